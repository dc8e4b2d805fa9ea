#pragma once
// A window's size and place on the Qt desktop, from its model and layout. Qt's window geometry
// covers the menu bar and the client area below it; the desktop adds its frame around that.

#include <QWidget>

#include "windows/form.h"

namespace tollvane {

// The client area the model asks for, with the menu bar above it. A window with a fixed border
// is fixed at that size; a sizable one only starts at it.
void applyClientSize(QWidget& window, const Form& model, double dpi, int menuHeight);
// Puts the client area's top-left corner where the layout says; a layout without a position
// leaves the window to the system.
void placeWindow(QWidget& window, const WindowLayout& layout, double dpi, int menuHeight);

}  // namespace tollvane
