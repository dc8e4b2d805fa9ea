#include "platform/win32/win32_binding.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/win32_text.h"

namespace tollvane::win32 {

namespace {

void setEnabled(HWND hwnd, bool enabled) {
    if ((IsWindowEnabled(hwnd) != FALSE) != enabled) EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

BoundControl bindButton(HWND hwnd, const Binding& b, const Dispatch& dispatch) {
    BoundControl bound;
    if (b.click) {
        bound.onCommand = [dispatch, click = b.click](UINT code) {
            if (code == BN_CLICKED) dispatch(click);
        };
    }
    if (auto* const* model = std::get_if<CommandButton*>(&b.value)) {
        bound.mirror = [hwnd, m = *model] { setEnabled(hwnd, m->Enabled); };
    }
    return bound;
}

BoundControl bindTextBox(HWND hwnd, TextBox* model, const bool& mirroring) {
    BoundControl bound;
    // Typing only fills the model's text: no handler runs.
    bound.onCommand = [hwnd, model, &mirroring](UINT code) {
        if (code == EN_CHANGE && !mirroring) model->Text = toUtf8(windowText(hwnd));
    };
    // Compared with the control's own text, which the user's typing changes too.
    bound.mirror = [hwnd, model] {
        const std::wstring text = toWideLossy(model->Text);
        if (windowText(hwnd) != text) SetWindowTextW(hwnd, text.c_str());
        setEnabled(hwnd, model->Enabled);
    };
    return bound;
}

// The clock writes these every second: the text is converted and repainted only when it changed.
BoundControl bindDisplayBox(HWND hwnd, TextBox* model, std::string shown) {
    BoundControl bound;
    bound.mirror = [hwnd, model, shown]() mutable {
        if (model->Text == shown) return;
        shown = model->Text;
        SetWindowTextW(hwnd, toWideLossy(shown).c_str());
        InvalidateRect(hwnd, nullptr, FALSE);
    };
    return bound;
}

BoundControl bindLabel(HWND hwnd, Label* model) {
    BoundControl bound;
    bound.mirror = [hwnd, model] {
        const std::wstring text = toWideLossy(model->Caption);
        if (windowText(hwnd) == text) return;
        SetWindowTextW(hwnd, text.c_str());
        InvalidateRect(hwnd, nullptr, FALSE);
    };
    return bound;
}

BoundControl bindOption(HWND hwnd, OptionButton* model) {
    BoundControl bound;
    bound.onCommand = [hwnd, model](UINT code) {
        if (code == BN_CLICKED && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
            model->Value = true;
    };
    bound.mirror = [hwnd, model] {
        const WPARAM state = model->Value ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)) != state)
            SendMessageW(hwnd, BM_SETCHECK, state, 0);
    };
    return bound;
}

// The calendar turns its page by moving the selection to the same day of the next or last month,
// as every Windows month calendar does, so both picking and turning reach the model's date.
BoundControl bindCalendar(HWND hwnd, MonthCalendar* model, const bool& mirroring) {
    BoundControl bound;
    bound.onNotify = [model, &mirroring](const NMHDR& header) {
        if (header.code != MCN_SELCHANGE || mirroring) return;
        const auto& change = reinterpret_cast<const NMSELCHANGE&>(header);
        model->setDate(change.stSelStart.wYear, change.stSelStart.wMonth, change.stSelStart.wDay);
    };
    bound.mirror = [hwnd, model] {
        SYSTEMTIME shown{};
        MonthCal_GetCurSel(hwnd, &shown);
        if (shown.wYear == model->Year() && shown.wMonth == model->Month() &&
            shown.wDay == model->Day()) {
            return;
        }
        SYSTEMTIME date{};
        date.wYear = static_cast<WORD>(model->Year());
        date.wMonth = static_cast<WORD>(model->Month());
        date.wDay = static_cast<WORD>(model->Day());
        MonthCal_SetCurSel(hwnd, &date);
    };
    return bound;
}

}  // namespace

BoundControl bindControl(HWND hwnd, const ControlLayout& c, const Binding& b,
                         const Dispatch& dispatch, const bool& mirroring) {
    switch (c.kind) {
        case ControlKind::Button:
            return bindButton(hwnd, b, dispatch);
        case ControlKind::TextBox:
            if (auto* const* model = std::get_if<TextBox*>(&b.value))
                return bindTextBox(hwnd, *model, mirroring);
            break;
        case ControlKind::DisplayBox:
            if (auto* const* model = std::get_if<TextBox*>(&b.value))
                return bindDisplayBox(hwnd, *model, c.caption);
            break;
        case ControlKind::Label:
            if (auto* const* model = std::get_if<Label*>(&b.value)) return bindLabel(hwnd, *model);
            break;
        case ControlKind::OptionButton:
            if (auto* const* model = std::get_if<OptionButton*>(&b.value))
                return bindOption(hwnd, *model);
            break;
        case ControlKind::Calendar:
            if (auto* const* model = std::get_if<MonthCalendar*>(&b.value))
                return bindCalendar(hwnd, *model, mirroring);
            break;
        default:
            break;
    }
    return {};
}

}  // namespace tollvane::win32
