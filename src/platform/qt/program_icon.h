#pragma once
#include <QIcon>

namespace tollvane {

// The program's 16 x 16 icon, a small alarm clock in the 16 standard colours, shared by its
// windows.
QIcon programIcon();

}  // namespace tollvane
