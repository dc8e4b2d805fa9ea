#pragma once
// Names for screen readers where a control's own text does not say what it is for (a text box
// for the alarm time, the arrow buttons): the system's annotation service gives each control the
// name its layout holds. Where the service is missing, the controls keep the names the system
// finds for them.

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_api.h"

namespace tollvane::win32 {

// Names the controls on a thread of its own: the service is a COM object, and starting COM can take
// seconds where the system's COM services are still starting (a fresh Wine session), which must
// not hold the windows back. A control gone meanwhile is skipped; its name goes with it.
void nameForScreenReaders(std::vector<std::pair<HWND, std::wstring>> names);

}  // namespace tollvane::win32
