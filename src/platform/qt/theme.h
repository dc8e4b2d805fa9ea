#pragma once
// The layouts' colours and fonts on the Qt desktop: the desktop's palette gives the system
// colours, and the font falls back to a stand-in where the named one is not installed.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "windows/theme.h"

namespace tollvane {

SystemColours systemColours(const QPalette& palette);
QColor toQColor(Rgb colour);
Rgb toRgb(const QColor& colour);
// A layout's colour under the palette's scheme; `fallback` where the layout leaves it open.
QColor layoutColour(const Colour& colour, const QPalette& palette, const QColor& fallback);
QFont toQFont(const FontSpec& font);

}  // namespace tollvane
