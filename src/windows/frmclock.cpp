#include "windows/frmclock.h"

#include "links/shop_page.h"

namespace tollvane {

namespace {

WindowLayout makeLayout() {
    using K = ControlKind;
    using Role = Colour::Role;
    const FontSpec clockFont{"Comic Sans MS", 36, false};
    const Colour black = Colour::fixed(0, 0, 0);
    const Colour frame = Colour::system(Role::WindowFrame);

    WindowLayout w;
    w.name = "frmclock";
    w.caption = "Tollvane(Clock View)";
    w.border = Border::Sizable;  // resizing moves nothing inside
    w.minimizeButton = true;
    w.maximizeButton = false;
    w.clientWidth = 3495;
    w.clientHeight = 1470;
    w.background = Colour::system(Role::MenuText);
    w.controls.push_back(control("Command1", K::Button, shopButtonCaption(), 0, 0, 3735, 255, 2));
    w.controls.push_back(withFont(
        coloured(control("txttimetot", K::DisplayBox, "", 120, 360, 3255, 1035, 1), frame, black),
        clockFont));
    w.controls.push_back(withFont(
        coloured(control("txttimetot2", K::DisplayBox, "", 2040, 360, 1095, 960, 0), frame, black),
        clockFont));
    w.controls[1].accessibleName = "Time, hours and minutes";
    w.controls[2].accessibleName = "Time, seconds";
    w.menus = {{"MnuFull", "Full View", {}}};
    return w;
}

}  // namespace

const WindowLayout& frmclock::designLayout() {
    static const WindowLayout layout = makeLayout();
    return layout;
}

frmclock::frmclock(Program& program) : Form(program, designLayout()) {
    bind({
        {"Command1", &Command1, [this] { Command1_Click(); }},
        {"txttimetot", &txttimetot, {}},
        {"txttimetot2", &txttimetot2, {}},
        {"MnuFull", {}, [this] { MnuFull_Click(); }},
    });
}

void frmclock::Command1_Click() {
    openShopPage(app);
}

}  // namespace tollvane
