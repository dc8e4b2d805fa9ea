#include "windows/frm_about.h"

#include "app/app_identity.h"
#include "app/program.h"
#include "links/shop_page.h"

namespace tollvane {

namespace {

WindowLayout makeLayout() {
    using K = ControlKind;
    using Role = Colour::Role;
    const Colour white = Colour::fixed(255, 255, 255);
    const FontSpec labelFont{"MS Sans Serif", 9.75, true};

    WindowLayout w;
    w.name = "frmAbout";
    w.border = Border::FixedDialog;
    w.minimizeButton = false;
    w.maximizeButton = false;
    w.taskbarButton = false;
    w.clientWidth = 5730;
    w.clientHeight = 3555;
    w.position = WindowLayout::Point{2340, 1935};
    w.background = Colour::system(Role::Highlight);

    w.controls.push_back(shape("Shape1", -120, 0, 5895, 255));
    w.controls.push_back(shape("Shape2", -120, 3360, 5895, 255));
    // Two lines make an engraved rule: the grey one (index 1) is drawn over the white one.
    w.lines = {{"Line1(0)", 105, 2640, 5654, 2640, white, 2},
               {"Line1(1)", 90, 2640, 5654, 2640, Colour::fixed(128, 128, 128), 1}};

    w.controls.push_back(control("Image1", K::Picture, "", 0, 0, 960, 1080, -1));
    w.controls.push_back(withFont(
        coloured(control("lblTitle", K::Label, "", 1050, 240, 3885, 480, 3), white), labelFont));
    w.controls.push_back(withFont(
        coloured(control("lblVersion", K::Label, "", 1050, 780, 3885, 225, 4), white), labelFont));
    ControlLayout description = withFont(
        coloured(control("lblDescription", K::Label,
                         "Tollvane lets you set a time and a date; at that time it sounds a "
                         "system beep, and on that date it brings back your reminder.",
                         960, 1080, 3885, 1530, 1),
                 white),
        labelFont);
    description.wordWrap = true;
    w.controls.push_back(description);
    ControlLayout disclaimer =
        withFont(coloured(control("lblDisclaimer", K::Label,
                                  "Tollvane is free to use and comes with no warranty.", 255, 2625,
                                  3870, 825, 2),
                          white),
                 labelFont);
    disclaimer.wordWrap = true;
    w.controls.push_back(disclaimer);

    ControlLayout ok = withFont(control("cmdOK", K::Button, "OK", 4245, 2760, 1260, 465, 0),
                                {"Comic Sans MS", 12, true});
    ok.background = Colour::system(Role::MenuText);
    ok.defaultButton = true;
    ok.cancelButton = true;
    w.controls.push_back(ok);
    w.controls.push_back(
        control("Command1", K::Button, shopButtonCaption(), 240, 3120, 3735, 375, 5));
    return w;
}

}  // namespace

const WindowLayout& frmAbout::designLayout() {
    static const WindowLayout layout = makeLayout();
    return layout;
}

frmAbout::frmAbout(Program& program) : Form(program, designLayout()) {
    bind({
        {"lblTitle", &lblTitle, {}},
        {"lblVersion", &lblVersion, {}},
        {"cmdOK", &cmdOK, [this] { cmdOK_Click(); }},
        {"Command1", &Command1, [this] { Command1_Click(); }},
    });
}

void frmAbout::Form_Load() {
    using namespace app_identity;
    Caption = std::string("About ") + kTitle;
    // The fourth number of the version is the revision; the third, the build, is not shown.
    lblVersion.Caption = "Version " + std::to_string(kMajor) + "." + std::to_string(kMinor) + "." +
                         std::to_string(kRevision);
    lblTitle.Caption = kTitle;
}

void frmAbout::cmdOK_Click() {
    app.Unload(*this);
}

// The About window's shop button opens the shop page like the ones on the other windows.
void frmAbout::Command1_Click() {
    openShopPage(app);
}

}  // namespace tollvane
