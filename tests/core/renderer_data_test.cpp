// What both renderers read from the core: each window's binding table against its layout, the
// colours a desktop scheme gives the layout's roles, and the pixel geometry at a window's DPI.

#include <gtest/gtest.h>

#include <variant>

#include "fakes/simulated_desktop.h"
#include "windows/frm_about.h"
#include "windows/geometry.h"
#include "windows/theme.h"

namespace tollvane {
namespace {

using fakes::SimulatedDesktop;

const Binding* bindingOf(const Form& w, const std::string& name) {
    for (const Binding& b : w.bindings()) {
        if (b.name == name) return &b;
    }
    return nullptr;
}

void expectEveryLeafMenuRuns(const Form& w, const std::vector<MenuLayout>& menus) {
    for (const MenuLayout& m : menus) {
        if (!m.items.empty()) {
            expectEveryLeafMenuRuns(w, m.items);
            continue;
        }
        const Binding* b = bindingOf(w, m.name);
        EXPECT_TRUE(b && b->click) << w.layout().name << "." << m.name << " runs nothing";
    }
}

// A button or menu item left out of the table would do nothing when clicked, and a box left out
// would never show its model's text: every one of the three drawn windows binds them all.
TEST(BindingTables, EveryButtonMenuItemAndValueControlOfTheDrawnWindowsIsBound) {
    SimulatedDesktop d;
    for (Form* w : std::initializer_list<Form*>{&d.program.frmAlarmClock(), &d.program.frmclock(),
                                                &d.program.frmAbout()}) {
        EXPECT_TRUE(unboundNames(w->layout(), w->bindings()).empty()) << w->layout().name;
        for (const ControlLayout& c : w->layout().controls) {
            const Binding* b = bindingOf(*w, c.name);
            switch (c.kind) {
                case ControlKind::Button:
                    EXPECT_TRUE(b && b->click) << w->layout().name << "." << c.name;
                    EXPECT_TRUE(b && std::holds_alternative<CommandButton*>(b->value))
                        << w->layout().name << "." << c.name;
                    break;
                case ControlKind::TextBox:
                case ControlKind::DisplayBox:
                    EXPECT_TRUE(b && std::holds_alternative<TextBox*>(b->value))
                        << w->layout().name << "." << c.name;
                    break;
                case ControlKind::OptionButton:
                case ControlKind::Calendar:
                    EXPECT_TRUE(b && !std::holds_alternative<std::monostate>(b->value))
                        << w->layout().name << "." << c.name;
                    break;
                default:
                    break;
            }
        }
        expectEveryLeafMenuRuns(*w, w->layout().menus);
    }
}

TEST(BindingTables, MisspeltOrUnknownName_IsReported_MenuItemsInListsAreKnown) {
    const WindowLayout& layout = frmAbout::designLayout();
    EXPECT_TRUE(unboundNames(layout, {{"cmdOK", {}, {}}, {"lblTitle", {}, {}}}).empty());
    EXPECT_EQ(unboundNames(layout, {{"cmdOk", {}, {}}, {"cmdOK", {}, {}}, {"Timer9", {}, {}}}),
              (std::vector<std::string>{"cmdOk", "Timer9"}));
    // Menu items nested in a list are found as well as the bar's own.
    const WindowLayout& main = frmAlarmClock::designLayout();
    EXPECT_TRUE(unboundNames(main, {{"MnuAbout", {}, {}}, {"MnuHelp", {}, {}}}).empty());
    EXPECT_EQ(unboundNames(main, {{"MnuAbuot", {}, {}}}), std::vector<std::string>{"MnuAbuot"});
}

TEST(BindingTables, ClickAndControlLookUpThroughTheTable) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    EXPECT_EQ(std::get<TextBox*>(w.control("TxtTime")), &w.TxtTime);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(w.control("Label3")));
    EXPECT_FALSE(w.Click("Label3"));  // bound to nothing: clicking a label runs nothing
    EXPECT_FALSE(w.Click("TxtTime"));
    EXPECT_TRUE(w.Click("cmdRem"));
    EXPECT_EQ(w.Width, frmAlarmClock::kFullWidth);
}

TEST(ColourRoles, DisplayFigures_TooCloseToTheirBoxTurnGreen_OthersKeepTheirColour) {
    // The clock window: the frame colour on black, black in the classic schemes and dark grey
    // (100, 100, 100) in today's Windows.
    EXPECT_EQ(readableText({0, 0, 0}, {0, 0, 0}), (Rgb{0, 192, 0}));
    EXPECT_EQ(readableText({100, 100, 100}, {0, 0, 0}), (Rgb{0, 192, 0}));
    // A light frame colour on black is readable as it is.
    EXPECT_EQ(readableText({255, 255, 255}, {0, 0, 0}), (Rgb{255, 255, 255}));
    EXPECT_EQ(readableText({160, 160, 160}, {0, 0, 0}), (Rgb{160, 160, 160}));
    // The main window: green on a dark blue highlight keeps its green.
    EXPECT_EQ(readableText({0, 192, 0}, {0, 0, 128}), (Rgb{0, 192, 0}));
    EXPECT_EQ(lightness({0, 192, 0}), 96);
    EXPECT_EQ(lightness({255, 255, 128}), 191);
}

TEST(PixelGeometry, ClientAreaFollowsTheModelsWidthAtTheWindowsDpi) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    EXPECT_EQ(clientSize(w, 96), (PixelSize{231, 336}));  // (3555 - 2 x 45) x 5040 twips
    EXPECT_EQ(clientSize(w, 144), (PixelSize{347, 504}));
    d.click(w, "cmdRem");
    EXPECT_EQ(clientSize(w, 96), (PixelSize{569, 336}));
    // A sizable window starts at its design size whatever its width field says.
    frmclock& clock = d.program.frmclock();
    clock.Width = 1;
    EXPECT_EQ(clientSize(clock, 96), (PixelSize{233, 98}));  // 3495 x 1470 twips
}

TEST(PixelGeometry, ControlsAndThePlacedClientArea) {
    const WindowLayout& l = frmAlarmClock::designLayout();
    EXPECT_EQ(controlRect(*l.find("txttimetot2"), 96), (PixelRect{136, 24, 73, 64}));
    EXPECT_EQ(controlRect(*l.find("Calendar1"), 120), (PixelRect{300, 20, 401, 201}));
    EXPECT_EQ(lineEnds(l.lines.at(0), 96), (PixelLine{{8, 88}, {232, 88}}));
    EXPECT_EQ(lineEnds(l.lines.at(1), 120), (PixelLine{{300, 250}, {700, 250}}));
    // Shapes start left of the client area.
    EXPECT_EQ(controlRect(*l.find("Shape1"), 96).left, -16);
    EXPECT_EQ(clientOrigin(l, 96), (PixelPoint{331, 257}));
    EXPECT_FALSE(clientOrigin(frmclock::designLayout(), 96));
    // The frame goes around the client area: title and menu bar above, borders at the sides.
    EXPECT_EQ(outerRect({331, 257}, {231, 336}, {3, 42, 3, 3}), (PixelRect{328, 215, 237, 381}));
}

}  // namespace
}  // namespace tollvane
