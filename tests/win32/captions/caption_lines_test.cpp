// The lines in which the Windows program sets each caption at 96 dots per inch, measured on its
// real windows with the fonts its renderer chose for them: a label with the renderer's own
// DrawTextW rules, a button and the option button by the width the control itself asks for.

#include "ui_fixture.h"

#include <commctrl.h>

#include <fstream>

#include "contract/caption_lines.h"
#include "platform/win32/controls.h"
#include "windows/geometry.h"

namespace tollvane::win32::testing {
namespace {

using contract::CaptionSetting;

class CaptionLines : public UiFixture {
protected:
    // Each row with the face and the widths it was measured with, as a comment.
    void measure(const Form& form, std::vector<CaptionSetting>& rows,
                 std::vector<std::string>& notes) {
        FormWindow& v = view(form);
        ASSERT_EQ(v.dpi(), 96u) << "the table holds the lines at 96 dots per inch";
        for (const ControlLayout& c : form.layout().controls) {
            if (!contract::showsCaption(c)) continue;
            std::string note;
            rows.push_back(measured(v, c, note));
            notes.push_back(note);
        }
    }

    static CaptionSetting measured(const FormWindow& v, const ControlLayout& c, std::string& note) {
        CaptionSetting s{v.model().layout().name, c.name};
        HWND control = v.control(c.name);
        const std::wstring text = windowText(control);
        HDC dc = GetDC(control);
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        int needed = 0, room = 0;
        if (c.kind == ControlKind::Label) {
            TEXTMETRICW metrics;
            GetTextMetricsW(dc, &metrics);
            const PixelRect place = controlRect(c, v.dpi());
            RECT set{0, 0, place.width, 0};
            const int height = DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &set,
                                         kLabelTextFormat | DT_CALCRECT);
            s.lines = height / metrics.tmHeight;
            needed = set.right;
            room = place.width;
        } else {
            // One line, as the control has no BS_MULTILINE; cut where it asks for more width
            // than it has. The button the program draws itself sets its caption on one line
            // across its whole width.
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
            EXPECT_FALSE(style & BS_MULTILINE) << c.name;
            RECT client;
            GetClientRect(control, &client);
            room = client.right;
            SIZE size{};
            if ((style & BS_TYPEMASK) == BS_OWNERDRAW) {
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            } else {
                EXPECT_TRUE(Button_GetIdealSize(control, &size)) << c.name;
            }
            needed = size.cx;
        }
        s.cut = needed > room;
        note = toUtf8(face) + ", " + std::to_string(needed) + " of " + std::to_string(room) + " px";
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        return s;
    }
};

TEST_F(CaptionLines, EveryCaption_SetInTheLinesOfTheTable) {
    start();
    std::vector<CaptionSetting> rows;
    std::vector<std::string> notes;
    measure(main(), rows, notes);
    chooseMenu(main(), "MnuClock");
    measure(desktop->program().frmclock(), rows, notes);
    chooseMenu(desktop->program().frmclock(), "MnuFull");
    chooseMenu(main(), "MnuAbout");
    measure(desktop->program().frmAbout(), rows, notes);

    std::ofstream out(TOLLVANE_CAPTION_MEASURED);
    out << contract::kCaptionTableHeader;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out << contract::formatCaptionRow(rows[i]) << "  # " << notes[i] << "\n";
    }
    out.close();
    const std::string differences =
        contract::captionDifferences(contract::readCaptionTable(TOLLVANE_CAPTION_TABLE), rows);
    EXPECT_TRUE(differences.empty())
        << "The captions are set otherwise than tests/contract/caption_lines.txt says:\n"
        << differences << "What was measured is in " << TOLLVANE_CAPTION_MEASURED;
}

}  // namespace
}  // namespace tollvane::win32::testing
