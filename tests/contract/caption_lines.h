#pragma once
// How the Windows program sets each caption of its main, clock-only and About windows at 96 dots
// per inch: the table caption_lines.txt beside this file. The Windows test run measures it with
// tollvane.exe's own fonts and rules (tests/win32/captions) and fails where it is out of date; the
// Qt renderer is held to it (tests/qt/caption_lines_test.cpp). Both measure every captioned
// control of the three layouts, in their order, and compare the whole table.

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane::contract {

struct CaptionSetting {
    std::string window;  // the layout's name
    std::string control;
    int lines = 1;     // lines the caption is set in
    bool cut = false;  // wider than its room: the rest is cut off at the control's edge
    bool operator==(const CaptionSetting&) const = default;
};

// The table's opening lines, which the Windows run writes above what it measured.
inline constexpr const char* kCaptionTableHeader =
    "# How tollvane.exe sets each caption of its main, clock-only and About windows at 96 dots\n"
    "# per inch: window, control, the lines the caption is set in, and \"cut\" where it is wider\n"
    "# than its room and cut off at the control's edge. Measured under Wine by\n"
    "# tests/win32/captions, with the face and the widths in pixels (what the caption needs, of\n"
    "# what it has) after each row; the Qt renderer is held to it by\n"
    "# tests/qt/caption_lines_test.cpp. Where the Windows run finds this table out of date, it\n"
    "# leaves what it measured in build/windows/caption_lines.txt, to be copied over it.\n";

// The three windows, in the table's order.
inline std::vector<const WindowLayout*> captionedWindows() {
    return {&frmAlarmClock::designLayout(), &frmclock::designLayout(), &frmAbout::designLayout()};
}

// Labels wrap their words; buttons and option buttons keep their caption to one line.
inline bool showsCaption(const ControlLayout& c) {
    return c.kind == ControlKind::Label || c.kind == ControlKind::Button ||
           c.kind == ControlKind::OptionButton;
}

inline std::string formatCaptionRow(const CaptionSetting& s) {
    std::string row = s.window + ' ' + s.control + ' ' + std::to_string(s.lines);
    return s.cut ? row + " cut" : row;
}

// Rows are "window control lines", with "cut" after where the caption is cut; '#' starts a
// comment. A row that does not read so comes back with its text as the control and 0 lines, so
// that the comparison names it.
inline std::vector<CaptionSetting> readCaptionTable(const std::string& path) {
    std::vector<CaptionSetting> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream fields(line);
        CaptionSetting s;
        std::string lines, cut, extra;
        if (!(fields >> s.window)) continue;
        if (!(fields >> s.control >> lines) ||
            lines.find_first_not_of("0123456789") != std::string::npos ||
            (fields >> cut && cut != "cut") || fields >> extra) {
            rows.push_back({"unreadable row:", line, 0, false});
            continue;
        }
        s.lines = std::stoi(lines);
        s.cut = cut == "cut";
        rows.push_back(s);
    }
    return rows;
}

// What differs between the table and what was measured, a line for each row, or empty.
inline std::string captionDifferences(const std::vector<CaptionSetting>& table,
                                      const std::vector<CaptionSetting>& measured) {
    std::string out;
    const std::size_t rows = std::max(table.size(), measured.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string want = i < table.size() ? formatCaptionRow(table[i]) : "(no row)";
        const std::string got = i < measured.size() ? formatCaptionRow(measured[i]) : "(no row)";
        if (want != got) out += "  table: " + want + "\n  here:  " + got + "\n";
    }
    return out;
}

}  // namespace tollvane::contract
