// The one calendar reminder: storing it for the date picked in the calendar, showing it again when
// the alarm rings on that date, and keeping the calendar on today.

#include "app/program.h"
#include "app/settings_keys.h"
#include "reminder/reminder_file.h"
#include "reminder/signed_number_text.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

void frmAlarmClock::cmdremset_Click() {
    // A mark that nothing in the program reads: if the store refuses it, nothing changes for the
    // user, and the exit sequence reports a store that cannot be written.
    static_cast<void>(app.ports().settings.SaveSetting(
        settings_keys::kStateApp, settings_keys::kState, settings_keys::kRemSet, "Set"));
    const std::string day = SignedNumberText(Calendar1.Day());
    const std::string month = SignedNumberText(Calendar1.Month());
    const std::string year = SignedNumberText(Calendar1.Year());
    remText = TxtRem.Text;

    // The date moves only with a text that was stored: otherwise the pending reminder's text would
    // end up attached to a date the user never chose for it.
    if (remText.empty()) {
        app.ports().messages.show("You have not specified a reminder!", "Error");
        return;
    }
    ReminderFile file(app.ports().files);
    if (Status written = file.WriteReminderFile(remText); !written) {
        app.ports().messages.show("The reminder could not be saved.\n" + written.error, "Error");
        return;
    }
    curRemDay = day;
    curRemMonth = month;
    curRemYear = year;
    reminderStoredThisRun = true;

    const int shownBefore = remindersShown;
    app.ports().messages.show(
        "Success, Now choose a time and system speaker sound and press Set Alarm!!", "Status:");
    if (remindersShown == shownBefore) TxtRem.Text.clear();
    cmdremset.Enabled = false;
}

// Runs once, about a second after a ring. It compares with the date the calendar shows, which the
// calendar reset keeps on today.
void frmAlarmClock::Timer2_Timer() {
    if (!savedRemYear.empty() && !reminderStoredThisRun) {
        curRemYear = savedRemYear;
        curRemMonth = savedRemMonth;
        curRemDay = savedRemDay;
    }
    const std::string year = SignedNumberText(Calendar1.Year());
    const std::string month = SignedNumberText(Calendar1.Month());
    const std::string day = SignedNumberText(Calendar1.Day());

    if (curRemYear == year && curRemMonth == month && curRemDay == day) {
        // A reminder already shown has no file any more: then the box keeps what it has.
        ReminderFile file(app.ports().files);
        if (file.ReadReminderFile(fileRemText)) {
            TxtRem.Text = fileRemText;
            ++remindersShown;
            // A file that cannot be deleted brings the text back at the next ring on its date,
            // which is all it can do: the check runs from a timer and shows no message.
            static_cast<void>(file.DeleteReminderFile());
        }
    }
    Timer2.Enabled = false;
}

// One reading of the clock for all three parts: read one at a time, a reset at midnight on
// 31 December could put the calendar on a date of two different days.
void frmAlarmClock::Timer3_Timer() {
    const LocalDateTime today = app.ports().clock.now();
    Calendar1.setDate(today.year, today.month, today.day);
}

}  // namespace tollvane
