#pragma once
#include <QIcon>

namespace tollvane {

// The program's icon, an alarm clock with a calendar page, shared by its windows: the same
// artwork as the desktop's menu entry, from 16 x 16 up.
QIcon programIcon();

}  // namespace tollvane
