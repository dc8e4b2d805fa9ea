#include "windows/frm_alarm_clock.h"

namespace tollvane {

// The only events of the main window that run code are the Clicks and Timers below. Typing, focus
// changes, clicks on labels, on the option button or on a date run nothing.
frmAlarmClock::frmAlarmClock(Program& program) : Form(program, designLayout()) {
    bind(
        {
            {"Command1", &Command1, [this] { Command1_Click(); }},
            {"txttimetot", &txttimetot, {}},
            {"txttimetot2", &txttimetot2, {}},
            {"OptDate", &OptDate, {}},
            {"TxtTime", &TxtTime, {}},
            {"CmdIn", &CmdIn, [this] { CmdIn_Click(); }},
            {"cmdRem", &cmdRem, [this] { cmdRem_Click(); }},
            {"txtfreq1", &txtfreq1, {}},
            {"txtdura1", &txtdura1, {}},
            {"txtam", &txtam, {}},
            {"CmdSet", &CmdSet, [this] { CmdSet_Click(); }},
            {"CmdReset", &CmdReset, [this] { CmdReset_Click(); }},
            {"Calendar1", &Calendar1, {}},
            {"TxtRem", &TxtRem, {}},
            {"cmdremset", &cmdremset, [this] { cmdremset_Click(); }},
            {"MnuExit", {}, [this] { MnuExit_Click(); }},
            {"MnuClock", {}, [this] { MnuClock_Click(); }},
            {"MnuAlarm", {}, [this] { MnuAlarm_Click(); }},
            {"MnuHow", {}, [this] { MnuHow_Click(); }},
            {"MnuAbout", {}, [this] { MnuAbout_Click(); }},
        },
        {
            {"Timer1", &Timer1, [this] { Timer1_Timer(); }, true},
            {"Timer2", &Timer2, [this] { Timer2_Timer(); }},
            {"Timer3", &Timer3, [this] { Timer3_Timer(); }},
        });
}

}  // namespace tollvane
