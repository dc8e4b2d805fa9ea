#pragma once
// A window's size and place on the Qt desktop, from its model and layout. Qt's window geometry
// covers the client area, the menu bar above it and, where the program draws the window's frame
// itself, that frame: `inside` is all of that around the client area. The desktop adds its own
// frame around the whole.

#include <QWidget>

#include "windows/form.h"
#include "windows/geometry.h"

namespace tollvane {

// The client area the model asks for, with the menu bar above it. A window with a fixed border
// is fixed at that size; a sizable one only starts at it.
void applyClientSize(QWidget& window, const Form& model, double dpi, const FrameInsets& inside);
// Puts the client area's top-left corner where the layout says; a layout without a position
// leaves the window to the system.
void placeWindow(QWidget& window, const WindowLayout& layout, double dpi,
                 const FrameInsets& inside);

}  // namespace tollvane
