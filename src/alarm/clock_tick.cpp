// The clock tick: once a second it writes the time into both windows and decides whether the
// alarm goes off. It keeps nothing of its own between ticks; the alarm's state is the main
// window's controls.

#include "alarm/clock_text.h"
#include "alarm/number_text.h"
#include "app/program.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane {

void frmAlarmClock::Timer1_Timer() {
    Timer1.Interval = 1000;
    const LocalDateTime now = app.ports().clock.now();
    txttimetot.Text = clockText(now);
    txttimetot2.Text = secondText(now);
    app.frmclock().txttimetot.Text = txttimetot.Text;
    app.frmclock().txttimetot2.Text = txttimetot2.Text;

    // Compared as text: only the clock's own form rings ("7:30", not "07:30" or "7:30 ").
    const bool due = TxtTime.Text == txttimetot.Text && !CmdSet.Enabled;
    if (due && OptDate.Value) Timer2.Enabled = true;
    if (!due) return;

    const int count = beepCount(beepAmount);
    const auto tone = beepTone(beepFreq, beepDura);
    for (int beep = 0; beep < count; ++beep) {
        if (tone) app.ports().tone.beep(tone->frequencyHz, tone->durationMs);
    }
    markRung();
}

// The alarm rings once per alarm time.
void frmAlarmClock::markRung() {
    TxtTime.Text = txttimetot.Text + " Has Passed";
}

}  // namespace tollvane
