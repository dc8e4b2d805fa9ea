#pragma once
// The widget for each kind of control of a layout, in its place, font and colours. The widget is
// not bound to anything yet: control_binding.h connects it to the window's model.

#include <QWidget>

#include "windows/layout.h"

namespace tollvane {

// nullptr for the controls that the window's canvas draws (filled rectangles) and for those with
// no place on the screen.
QWidget* makeControlWidget(const ControlLayout& control, const FontSpec& defaultFont, double dpi,
                           QWidget* parent);

}  // namespace tollvane
