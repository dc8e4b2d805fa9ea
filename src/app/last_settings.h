#pragma once
// app/: the windows' registry and handlers, not the runtime.
// What the main window leaves for the next start: the reminder date, the alarm time and the three
// beep settings, saved at the end of the program and at each of the session's checkpoints.

#include "platform/ports.h"

namespace tollvane {

class frmAlarmClock;

// Saves the seven values of the window as they stand, in one write of the store.
Status saveLastSettings(const frmAlarmClock& window, SettingsStore& store);

}  // namespace tollvane
