#pragma once
// The layouts' colours and fonts on Windows: the system colours come from the user's scheme
// (GetSysColor), and each font is the first of its families that is installed.

#include <string>

#include "platform/win32/handles.h"
#include "windows/theme.h"

namespace tollvane::win32 {

SystemColours systemColours();
COLORREF toColorRef(Rgb colour);
Rgb toRgb(COLORREF colour);
// A layout's colour under the user's scheme; `fallback` where the layout leaves it open.
COLORREF layoutColour(const Colour& colour, COLORREF fallback);

// The first of the font's families that is installed, or the first one named when none is.
std::wstring installedFamily(const FontSpec& font);
// The font at the window's dots per inch.
FontHandle makeFont(const FontSpec& font, unsigned dpi);

}  // namespace tollvane::win32
