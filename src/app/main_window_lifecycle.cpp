// Start-up, activation and exit of the main window: what the user left behind is restored at load
// and saved again whenever the program ends.

#include <string>

#include "app/last_settings.h"
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

Status saveLastSettings(const frmAlarmClock& w, SettingsStore& store) {
    // With no reminder date of this run, keep the one restored at start-up, so that a pending
    // reminder is not erased by a run in which the alarm never rang.
    const bool noCurrentDate = w.curRemYear.empty() && w.curRemMonth.empty() && w.curRemDay.empty();
    return store.SaveSettings(keys::kApp, keys::kLastSettings,
                              {{keys::kRemYear, noCurrentDate ? w.savedRemYear : w.curRemYear},
                               {keys::kRemMonth, noCurrentDate ? w.savedRemMonth : w.curRemMonth},
                               {keys::kRemDay, noCurrentDate ? w.savedRemDay : w.curRemDay},
                               {keys::kTimeAlarm, w.TxtTime.Text},
                               {keys::kAlarmMusic, w.txtfreq1.Text},
                               {keys::kAlarmMusic2, w.txtdura1.Text},
                               {keys::kAlarmMusic3, w.txtam.Text}});
}

void frmAlarmClock::SaveAndQuit() {
    SettingsStore& store = app.ports().settings;
    if (const Status saved = saveLastSettings(*this, store); !saved) {
        app.ports().messages.show(
            "Tollvane could not save its settings to " + store.location() + ":\n" + saved.error,
            "Error");
    }
    app.End();
}

}  // namespace tollvane
