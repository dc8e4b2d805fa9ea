#pragma once
// What the help and shop window tests read off real windows: texts, sizes, and the windows of a
// class that this thread owns.

#include <string>

#include "platform/win32/api.h"

namespace tollvane::testing {

// Handles the messages waiting for this thread's windows, as the program's message loop would.
void pumpMessages();
SIZE clientSize(HWND window);
// The window's place in its parent's client area.
RECT placeInParent(HWND child);
// How many top-level windows of the class this thread has, shown or hidden.
int threadWindowsOfClass(const wchar_t* className);

}  // namespace tollvane::testing
