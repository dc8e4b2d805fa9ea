#include "platform/win32/binding.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/win32/text.h"

namespace tollvane::win32 {

// Each control remembers what it shows, so that bringing it in line with its model asks the
// system nothing when nothing changed: the clock's tick mirrors every window every second, and
// under Wine each question to the system is a round trip to its server.
namespace {

// The enabled state a control shows.
class Enabled {
public:
    void mirror(HWND hwnd, bool enabled) {
        if (m_shown == enabled) return;
        EnableWindow(hwnd, enabled ? TRUE : FALSE);
        m_shown = enabled;
    }

private:
    std::optional<bool> m_shown;
};

BoundControl bindButton(HWND hwnd, const Binding& b, const WindowEvents& events) {
    BoundControl bound;
    if (b.click) {
        bound.onCommand = [events, click = b.click](UINT code) {
            if (code == BN_CLICKED) events(click);
        };
    }
    if (auto* const* model = std::get_if<CommandButton*>(&b.value)) {
        bound.mirror = [hwnd, m = *model, enabled = Enabled{}]() mutable {
            enabled.mirror(hwnd, m->Enabled);
        };
    }
    return bound;
}

BoundControl bindTextBox(HWND hwnd, TextBox* model, const WindowEvents& events,
                         const bool& mirroring) {
    struct Shown {
        std::optional<std::string> text;
        Enabled enabled;
    };
    auto shown = std::make_shared<Shown>();
    BoundControl bound;
    // Typing only fills the model's text: no handler runs.
    bound.onCommand = [hwnd, model, shown, events, &mirroring](UINT code) {
        if (code != EN_CHANGE || mirroring) return;
        events.edit([&] {
            model->Text = toUtf8(windowText(hwnd));
            shown->text = model->Text;
        });
    };
    bound.mirror = [hwnd, model, shown] {
        if (shown->text != model->Text) {
            SetWindowTextW(hwnd, toWideLossy(model->Text).c_str());
            shown->text = model->Text;
        }
        shown->enabled.mirror(hwnd, model->Enabled);
    };
    return bound;
}

// A control the program draws takes its new text and is drawn once, when the window is next
// painted. The text goes in as the system stores any window's text (which also tells a screen
// reader of the new name): the static control's own handling would draw it at once, and the
// invalidation a second time.
void setDrawnText(HWND hwnd, const std::string& text) {
    DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(toWideLossy(text).c_str()));
    InvalidateRect(hwnd, nullptr, FALSE);
}

// A display box shows its model's Text, a label its Caption; both start with the layout's caption.
BoundControl bindDrawnText(HWND hwnd, const std::string* text, std::string caption) {
    BoundControl bound;
    bound.mirror = [hwnd, text, shown = std::move(caption)]() mutable {
        if (*text == shown) return;
        shown = *text;
        setDrawnText(hwnd, shown);
    };
    return bound;
}

BoundControl bindOption(HWND hwnd, OptionButton* model, const WindowEvents& events) {
    auto shown = std::make_shared<std::optional<bool>>();
    BoundControl bound;
    bound.onCommand = [hwnd, model, shown, events](UINT code) {
        if (code != BN_CLICKED || SendMessageW(hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
        events.edit([&] {
            model->Value = true;
            *shown = true;
        });
    };
    bound.mirror = [hwnd, model, shown] {
        if (*shown == model->Value) return;
        SendMessageW(hwnd, BM_SETCHECK, model->Value ? BST_CHECKED : BST_UNCHECKED, 0);
        *shown = model->Value;
    };
    return bound;
}

// A page turn moves the control's selection to the same day of the month turned to, as every
// Windows month calendar does; what the control then shows, its page and its selected day, is
// handed to the model, which keeps its date on the page by its own rule.
BoundControl bindCalendar(HWND hwnd, MonthCalendar* model, const WindowEvents& events,
                          const bool& mirroring) {
    struct Date {
        int year = 0, month = 0, day = 0;
        bool operator==(const Date&) const = default;
    };
    auto shown = std::make_shared<Date>();
    BoundControl bound;
    bound.onNotify = [hwnd, model, shown, events, &mirroring](const NMHDR& header) {
        if (header.code != MCN_SELCHANGE || mirroring) return;
        const SYSTEMTIME& picked = reinterpret_cast<const NMSELCHANGE&>(header).stSelStart;
        SYSTEMTIME page[2]{};
        MonthCal_GetMonthRange(hwnd, GMR_VISIBLE, page);
        events.edit([&] {
            model->userShows(page[0].wYear, page[0].wMonth, picked.wYear, picked.wMonth,
                             picked.wDay);
            *shown = {picked.wYear, picked.wMonth, picked.wDay};
        });
    };
    bound.mirror = [hwnd, model, shown] {
        const Date wanted{model->Year(), model->Month(), model->Day()};
        if (*shown == wanted) return;
        SYSTEMTIME date{};
        date.wYear = static_cast<WORD>(wanted.year);
        date.wMonth = static_cast<WORD>(wanted.month);
        date.wDay = static_cast<WORD>(wanted.day);
        MonthCal_SetCurSel(hwnd, &date);
        *shown = wanted;
    };
    return bound;
}

}  // namespace

BoundControl bindControl(HWND hwnd, const ControlLayout& c, const Binding& b,
                         const WindowEvents& events, const bool& mirroring) {
    switch (c.kind) {
        case ControlKind::Button:
            return bindButton(hwnd, b, events);
        case ControlKind::TextBox:
            if (auto* const* model = std::get_if<TextBox*>(&b.value))
                return bindTextBox(hwnd, *model, events, mirroring);
            break;
        case ControlKind::DisplayBox:
            if (auto* const* model = std::get_if<TextBox*>(&b.value))
                return bindDrawnText(hwnd, &(*model)->Text, c.caption);
            break;
        case ControlKind::Label:
            if (auto* const* model = std::get_if<Label*>(&b.value))
                return bindDrawnText(hwnd, &(*model)->Caption, c.caption);
            break;
        case ControlKind::OptionButton:
            if (auto* const* model = std::get_if<OptionButton*>(&b.value))
                return bindOption(hwnd, *model, events);
            break;
        case ControlKind::Calendar:
            if (auto* const* model = std::get_if<MonthCalendar*>(&b.value))
                return bindCalendar(hwnd, *model, events, mirroring);
            break;
        default:
            break;
    }
    return {};
}

}  // namespace tollvane::win32
