// The main window's design: the alarm panel on the left (0 to 3465 twips), the reminder panel on
// the right (from 3600), yellow bars along the top and bottom edges.

#include <utility>

#include "windows/frm_alarm_clock.h"

namespace tollvane {

namespace {

using K = ControlKind;
using Role = Colour::Role;

const Colour kWhite = Colour::fixed(255, 255, 255);
const Colour kGreen = Colour::fixed(0, 192, 0);
const Colour kRed = Colour::fixed(255, 0, 0);
const Colour kDarkRed = Colour::fixed(128, 0, 0);
const Colour kHighlight = Colour::system(Role::Highlight);
const FontSpec kClockFont{"Comic Sans MS", 36, false};

WindowLayout makeLayout() {
    WindowLayout w;
    w.name = "frmAlarmClock";
    w.caption = "Tollvane";
    w.border = Border::FixedSingle;
    w.minimizeButton = true;
    w.maximizeButton = false;
    w.clientWidth = 8535;
    w.clientHeight = 5040;
    w.borderWidth = 45;
    w.position = WindowLayout::Point{4965, 3855};
    w.background = kHighlight;

    // Drawn beneath the controls.
    w.controls.push_back(shape("Shape1", -240, 0, 8775, 255));
    w.controls.push_back(shape("Shape2", -240, 4800, 8775, 255));
    w.lines = {{"Line1", 120, 1320, 3480, 1320, kRed, 7},
               {"Line2", 3600, 3000, 8400, 3000, kRed, 7}};

    // Alarm panel.
    w.controls.push_back(control("Command1", K::Button, shopButtonCaption(), 0, 0, 3615, 255, 7));
    w.controls.push_back(
        withFont(coloured(control("txttimetot", K::DisplayBox, "", 120, 360, 3255, 945, 0), kGreen,
                          kHighlight),
                 kClockFont));
    w.controls.push_back(
        withFont(coloured(control("txttimetot2", K::DisplayBox, "", 2040, 360, 1095, 960, 6),
                          kGreen, kHighlight),
                 kClockFont));
    w.controls.push_back(coloured(
        control("Lbltimerinf", K::Label, "Enter time for alarm to go off  in format: H:MM(24HR)",
                120, 1440, 3615, 615, 4),
        kWhite));
    w.controls.push_back(coloured(
        control("OptDate", K::OptionButton, "Enable For A Reminder", 1920, 1800, 1815, 435, 9),
        kWhite, kHighlight));
    w.controls.push_back(withFont(control("TxtTime", K::TextBox, "", 120, 1920, 1695, 285, 1),
                                  {"Comic Sans MS", 8.25, false}));
    w.controls.push_back(coloured(
        control("Label3", K::Label, "Use arrows for reminder screen", 1200, 2280, 2295, 495, 15),
        kDarkRed));
    w.controls.push_back(
        withFont(control("Label7", K::Label, "System alarm settings", 600, 2520, 2295, 255, 23),
                 {"MS Sans Serif", 9.75, false}));
    w.controls.push_back(control("CmdIn", K::Button, "<<<", 3200, 2520, 135, 735, 13));
    w.controls.push_back(control("cmdRem", K::Button, ">>>", 3330, 2520, 135, 735, 8));
    w.controls.push_back(control("Label6", K::Label, "Frequency", 120, 3000, 975, 255, 22));
    w.controls.push_back(control("txtfreq1", K::TextBox, "", 1920, 3000, 855, 285, 18));
    w.controls.push_back(
        control("Label5", K::Label, "Duration (milliseconds)", 120, 3480, 1695, 255, 21));
    w.controls.push_back(control("txtdura1", K::TextBox, "", 1920, 3480, 855, 285, 17));
    w.controls.push_back(coloured(
        control("Label2", K::Label, "1000ms = 1 second", 120, 3720, 1575, 255, 20), kDarkRed));
    w.controls.push_back(control("Label4", K::Label, "Amount of beeps", 120, 3960, 1335, 255, 19));
    w.controls.push_back(control("txtam", K::TextBox, "1", 1920, 3960, 855, 285, 16));
    w.controls.push_back(control("CmdSet", K::Button, "Set Alarm", 240, 4410, 1335, 375, 2));
    w.controls.push_back(control("CmdReset", K::Button, "Stop", 1920, 4410, 1335, 375, 3));

    // Reminder panel.
    w.controls.push_back(withFont(control("Calendar1", K::Calendar, "", 3600, 240, 4815, 2415, 10),
                                  {"Arial", 8.25, false}));
    w.controls.push_back(
        coloured(control("Label1", K::Label, "Click on a date then write reminder below....", 3600,
                         2760, 4815, 495, 11),
                 kWhite));
    w.controls.push_back(control("TxtRem", K::TextBox, "", 3600, 3240, 4815, 1215, 12));
    w.controls.push_back(
        control("cmdremset", K::Button, "Set Reminder", 5040, 4470, 1695, 315, 14));

    const std::pair<const char*, const char*> spoken[] = {
        {"txttimetot", "Time, hours and minutes"},
        {"txttimetot2", "Time, seconds"},
        {"TxtTime", "Alarm time, H:MM on the 24-hour clock"},
        {"CmdIn", "Hide the reminder panel"},
        {"cmdRem", "Show the reminder panel"},
        {"txtfreq1", "Frequency in hertz"},
        {"txtdura1", "Duration in milliseconds"},
        {"txtam", "Amount of beeps"},
        {"Calendar1", "Reminder date"},
        {"TxtRem", "Reminder text"}};
    for (const auto& [name, text] : spoken) {
        for (auto& c : w.controls) {
            if (c.name == name) c.accessibleName = text;
        }
    }

    // No place on the screen.
    ControlLayout player = control("WindowsMediaPlayer1", K::Hidden, "", 960, 5040, 5415, 615, 5);
    player.visible = false;
    w.controls.push_back(player);

    w.menus = {
        {"MnuFile", "File", {{"MnuExit", "Exit", {}}}},
        {"MnuView", "View", {{"MnuClock", "Clock Only", {}}, {"MnuAlarm", "Full View", {}}}},
        {"MnuHelp", "Help", {{"MnuHow", "How To...", {}}, {"MnuAbout", "About", {}}}},
    };
    return w;
}

}  // namespace

const WindowLayout& frmAlarmClock::designLayout() {
    static const WindowLayout layout = makeLayout();
    return layout;
}

}  // namespace tollvane
