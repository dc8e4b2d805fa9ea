// Set Alarm and Stop. The alarm has no state variable of its own: idle, armed and rung are the
// enabled states of these two buttons together with the text of TxtTime.

#include "app/program.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

void frmAlarmClock::CmdSet_Click() {
    CmdSet.Enabled = false;
    CmdReset.Enabled = true;
    // The ring uses the settings captured here, whatever is typed into the boxes afterwards.
    beepFreq = txtfreq1.Text;
    beepDura = txtdura1.Text;
    beepAmount = txtam.Text;
    if (txtam.Text.empty()) txtam.Text = "1";
}

void frmAlarmClock::CmdReset_Click() {
    WindowsMediaPlayer1.close();
    CmdSet.Enabled = true;
    CmdReset.Enabled = false;
    TxtTime.Text.clear();
    cmdremset.Enabled = true;
}

}  // namespace tollvane
