#pragma once
// Names for screen readers where a control's own text does not say what it is for (a text box
// for the alarm time, the arrow buttons): the system's annotation service gives the control the
// name its layout holds. Where the service is missing, the controls keep the names the system
// finds for them.

#include <string>

#include "platform/win32/win32_api.h"

namespace tollvane::win32 {

// Whether the system offers the annotation service (Windows does; Wine does not).
bool annotationService();
// Whether the name was set.
bool setAccessibleName(HWND control, const std::wstring& name);
// Before the control goes.
void clearAccessibleName(HWND control);

}  // namespace tollvane::win32
