#pragma once
// Binds a control's widget to its row of the window's binding table: a click runs the control's
// Click handler as one event of the program, typing and picking fill the model value without
// running any handler, and the returned mirror copies the model value onto the widget.

#include <QObject>
#include <QWidget>
#include <functional>

#include "app/running_program.h"
#include "windows/form.h"

namespace tollvane {

// `context` owns the connections. The mirror is empty where there is nothing to copy.
std::function<void()> bindControl(QWidget* widget, const ControlLayout& control,
                                  const Binding& binding, const WindowEvents& events,
                                  QObject* context);

}  // namespace tollvane
