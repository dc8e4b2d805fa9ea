// Start-up, activation and exit of the main window: what the user left behind is restored at load
// and saved again whenever the program ends.

#include <string>

#include "app/program.h"
#include "app/settings_keys.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

namespace keys = settings_keys;

void frmAlarmClock::Form_Load() {
    SettingsStore& store = app.ports().settings;
    auto get = [&](const char* key) {
        return store.GetSetting(keys::kApp, keys::kLastSettings, key);
    };
    savedRemYear = get(keys::kRemYear);
    savedRemMonth = get(keys::kRemMonth);
    savedRemDay = get(keys::kRemDay);
    savedAlarmTime = get(keys::kTimeAlarm);
    beepFreq = get(keys::kAlarmMusic);
    beepDura = get(keys::kAlarmMusic2);
    beepAmount = get(keys::kAlarmMusic3);

    txtfreq1.Text = beepFreq;
    txtdura1.Text = beepDura;
    txtam.Text = beepAmount;
    if (txtam.Text.empty())
        txtam.Text = "1";  // beepAmount stays empty: the ring counts that as one

    TxtTime.Text = savedAlarmTime;

    const LocalDateTime today = app.ports().clock.now();
    Calendar1.setDate(today.year, today.month, today.day);

    Timer1.Interval = 100;  // the first tick comes almost at once; the tick then sets 1000
    CmdReset.Enabled = false;
    CmdIn_Click();

    // An alarm time that survived the last run is armed again at once.
    if (!TxtTime.Text.empty()) {
        CmdSet.Enabled = false;
        CmdReset.Enabled = true;
    }
}

void frmAlarmClock::Form_Activate() {
    if (!CmdSet.Enabled) cmdremset.Enabled = false;
}

void frmAlarmClock::Form_Unload() {
    SaveAndQuit();
}

void frmAlarmClock::MnuExit_Click() {
    SaveAndQuit();
}

void frmAlarmClock::SaveAndQuit() {
    SettingsStore& store = app.ports().settings;
    Status firstFailure;
    auto save = [&](const char* key, const std::string& value) {
        Status s = store.SaveSetting(keys::kApp, keys::kLastSettings, key, value);
        if (!s && firstFailure) firstFailure = s;
    };

    // With no reminder date of this run, keep the one restored at start-up, so that a pending
    // reminder is not erased by a run in which the alarm never rang.
    const bool noCurrentDate = curRemYear.empty() && curRemMonth.empty() && curRemDay.empty();
    save(keys::kRemYear, noCurrentDate ? savedRemYear : curRemYear);
    save(keys::kRemMonth, noCurrentDate ? savedRemMonth : curRemMonth);
    save(keys::kRemDay, noCurrentDate ? savedRemDay : curRemDay);
    save(keys::kTimeAlarm, TxtTime.Text);
    save(keys::kAlarmMusic, txtfreq1.Text);
    save(keys::kAlarmMusic2, txtdura1.Text);
    save(keys::kAlarmMusic3, txtam.Text);

    if (!firstFailure) {
        app.ports().messages.show("Tollvane could not save its settings to " + store.location() +
                                      ":\n" + firstFailure.error,
                                  "Error");
    }
    app.End();
}

}  // namespace tollvane
