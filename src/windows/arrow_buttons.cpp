// The two arrow buttons narrow the main window to its alarm panel or widen it to show the
// reminder panel. Both act on the program's main window; the height never changes.

#include "app/program.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

void frmAlarmClock::CmdIn_Click() {
    app.frmAlarmClock().Width = kNarrowWidth;
}

void frmAlarmClock::cmdRem_Click() {
    app.frmAlarmClock().Width = kFullWidth;
}

}  // namespace tollvane
