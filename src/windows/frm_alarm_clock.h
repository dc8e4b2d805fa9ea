#pragma once
// The main window: the clock, the alarm panel and the reminder panel. The window is the model:
// the alarm's armed flag is CmdSet's enabled state, the alarm time is TxtTime's text, and the
// reminder date lives in the form-level fields below.

#include <string>

#include "windows/form.h"

namespace tollvane {

class frmAlarmClock : public Form {
public:
    explicit frmAlarmClock(Program& app);

    static const WindowLayout& designLayout();
    static constexpr int kNarrowWidth = 3555;  // alarm panel only
    static constexpr int kFullWidth = 8625;    // both panels

    // Alarm panel.
    CommandButton Command1;
    TextBox txttimetot{"", false};
    TextBox txttimetot2{"", false};
    OptionButton OptDate{true};
    TextBox TxtTime;
    CommandButton CmdIn;
    CommandButton cmdRem;
    TextBox txtfreq1;
    TextBox txtdura1;
    TextBox txtam{"1"};
    CommandButton CmdSet;
    CommandButton CmdReset;
    // Reminder panel.
    MonthCalendar Calendar1;
    TextBox TxtRem;
    CommandButton cmdremset;
    // Controls without a place on the screen.
    Timer Timer1{true, 0};
    Timer Timer2{false, 1000};
    Timer Timer3{true, 60000};
    MediaPlayer WindowsMediaPlayer1;

    // Form-level fields; all start empty.
    std::string curRemYear, curRemMonth, curRemDay;
    std::string savedRemYear, savedRemMonth, savedRemDay;
    std::string remText;
    std::string fileRemText;
    std::string savedAlarmTime;
    std::string beepFreq, beepDura, beepAmount;
    // True once a reminder has been stored in this run: from then on its date is the one in force
    // and the date restored at start-up no longer replaces it.
    bool reminderStoredThisRun = false;
    // How many reminders the check has shown; a store whose success box was open while the alarm
    // rang and showed the new reminder leaves that text in the box.
    int remindersShown = 0;

    // Lifecycle (main_window_lifecycle.cpp).
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;
    void MnuExit_Click();
    void SaveAndQuit();

    // Width (arrow_buttons.cpp).
    void CmdIn_Click();
    void cmdRem_Click();

    // Views (view_switch.cpp).
    void MnuClock_Click();
    void MnuAlarm_Click();

    // Alarm (clock_tick.cpp, arming.cpp).
    void Timer1_Timer();
    // The alarm has rung: the suffix keeps TxtTime from matching the clock again.
    void markRung();
    void CmdSet_Click();
    void CmdReset_Click();

    // Reminders (calendar_reminders.cpp).
    void cmdremset_Click();
    void Timer2_Timer();
    void Timer3_Timer();

    // Links (help_command.cpp, shop_page.cpp).
    void MnuHow_Click();
    void MnuAbout_Click();
    void Command1_Click();
};

}  // namespace tollvane
