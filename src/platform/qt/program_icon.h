#pragma once
#include <QIcon>

namespace tollvane {

// The program's icon, an alarm clock with a calendar page, shared by its windows: the same
// artwork as the desktop's menu entry, from 16 x 16 up to `largest` (at most 256).
QIcon programIcon(int largest = 256);

// The windows' own icon, up to 64 x 64. Each window sends it to the X server as it is created,
// every size as raw pixels, so the larger ones would cost each start their decoding and a quarter
// of a megabyte; the desktops show the installed icons of the menu entry (tollvane.desktop, which
// the windows name) where they want a larger one.
inline QIcon windowIcon() {
    return programIcon(64);
}

}  // namespace tollvane
