#pragma once
// Binds a control's window to its row of the window's binding table: a click runs the control's
// Click handler as one event of the program, typing and picking fill the model value without
// running any handler, and the mirror copies the model value onto the control.

#include <functional>

#include "app/running_program.h"
#include "platform/win32/api.h"
#include "windows/form.h"

namespace tollvane::win32 {

struct BoundControl {
    std::function<void()> mirror;                // model to control; may be empty
    std::function<void(UINT code)> onCommand;    // a WM_COMMAND notification of the control
    std::function<void(const NMHDR&)> onNotify;  // a WM_NOTIFY of the control
};

// `mirroring` is true while the window copies its model onto the controls: the change
// notifications that copying raises are not the user's.
BoundControl bindControl(HWND control, const ControlLayout& layout, const Binding& binding,
                         const WindowEvents& events, const bool& mirroring);

}  // namespace tollvane::win32
