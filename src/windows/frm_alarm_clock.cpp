#include "windows/frm_alarm_clock.h"

namespace tollvane {

frmAlarmClock::frmAlarmClock(Program& program) : Form(program, designLayout()) {}

ControlRef frmAlarmClock::control(std::string_view name) {
    if (name == "Command1") return &Command1;
    if (name == "txttimetot") return &txttimetot;
    if (name == "txttimetot2") return &txttimetot2;
    if (name == "OptDate") return &OptDate;
    if (name == "TxtTime") return &TxtTime;
    if (name == "CmdIn") return &CmdIn;
    if (name == "cmdRem") return &cmdRem;
    if (name == "txtfreq1") return &txtfreq1;
    if (name == "txtdura1") return &txtdura1;
    if (name == "txtam") return &txtam;
    if (name == "CmdSet") return &CmdSet;
    if (name == "CmdReset") return &CmdReset;
    if (name == "Calendar1") return &Calendar1;
    if (name == "TxtRem") return &TxtRem;
    if (name == "cmdremset") return &cmdremset;
    return {};
}

// The only events of the main window that run code. Typing, focus changes, clicks on labels, on
// the option button or on a date run nothing.
bool frmAlarmClock::Click(std::string_view name) {
    if (name == "CmdIn")
        CmdIn_Click();
    else if (name == "cmdRem")
        cmdRem_Click();
    else if (name == "CmdSet")
        CmdSet_Click();
    else if (name == "CmdReset")
        CmdReset_Click();
    else if (name == "cmdremset")
        cmdremset_Click();
    else if (name == "Command1")
        Command1_Click();
    else if (name == "MnuExit")
        MnuExit_Click();
    else if (name == "MnuClock")
        MnuClock_Click();
    else if (name == "MnuAlarm")
        MnuAlarm_Click();
    else if (name == "MnuHow")
        MnuHow_Click();
    else if (name == "MnuAbout")
        MnuAbout_Click();
    else
        return false;
    return true;
}

std::vector<TimerRef> frmAlarmClock::timers() {
    return {{"Timer1", &Timer1, true}, {"Timer2", &Timer2}, {"Timer3", &Timer3}};
}

void frmAlarmClock::runTimer(std::string_view timerName) {
    if (timerName == "Timer1")
        Timer1_Timer();
    else if (timerName == "Timer2")
        Timer2_Timer();
    else if (timerName == "Timer3")
        Timer3_Timer();
}

}  // namespace tollvane
