// Switching between the full main window and the clock-only window. Hiding never unloads: a
// hidden window keeps its texts, its place and its width, and the main window's timers go on.

#include "app/program.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane {

void frmAlarmClock::MnuClock_Click() {
    app.Show(app.frmclock());
    app.Hide(app.frmAlarmClock());
}

void frmAlarmClock::MnuAlarm_Click() {
    app.Hide(app.frmclock());
    app.Show(app.frmAlarmClock());
}

void frmclock::MnuFull_Click() {
    app.Show(app.frmAlarmClock());
    app.Hide(app.frmclock());
}

void frmclock::Form_Unload() {
    app.Show(app.frmAlarmClock());
    app.Unload(*this);
}

}  // namespace tollvane
