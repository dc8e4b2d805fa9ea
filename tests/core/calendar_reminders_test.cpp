// The calendar reminder: storing it for the picked date, the check about a second after a ring
// that puts its text back, the calendar kept on today, and the date carried across a restart.

#include <gtest/gtest.h>

#include <string>

#include "core/core_test_support.h"
#include "reminder/signed_number_text.h"

namespace tollvane {
namespace {

using namespace coretest;

const std::string kFile = "/opt/tollvane/reminder.ini";
const char* kSuccess = "Success, Now choose a time and system speaker sound and press Set Alarm!!";

// Set Reminder turns on again only through Stop, which needs an armed alarm.
void armAndStop(SimulatedDesktop& d) {
    d.click(d.main(), "CmdSet");
    d.click(d.main(), "CmdReset");
}

TEST(SignedNumberText, BlankInTheSignPlace_NoLeadingZeros) {
    EXPECT_EQ(SignedNumberText(2003), " 2003");
    EXPECT_EQ(SignedNumberText(3), " 3");
    EXPECT_EQ(SignedNumberText(5), " 5");
    EXPECT_EQ(SignedNumberText(12), " 12");
    EXPECT_EQ(SignedNumberText(0), " 0");
    EXPECT_EQ(SignedNumberText(-4), "-4");
}

using StoreReminder = StartedDesktop;

TEST_F(StoreReminder, WithText_FileAndStatusBox_TextEmptied_ButtonOffUntilStop) {
    d.click(w, "cmdRem");
    storeReminder(d, "Dentist at 4");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0].text, kSuccess);
    EXPECT_EQ(d.messages.shown[0].title, "Status:");
    EXPECT_EQ(d.files.files[kFile], "\"Dentist at 4\"\r\n");
    EXPECT_EQ(w.TxtRem.Text, "");
    EXPECT_EQ(w.remText, "Dentist at 4");
    expectDate(w, " 2026", " 12", " 7");
    EXPECT_EQ(d.settings.GetSetting("vuvuririvivur", "STATE", "RemSet"), "Set");
    EXPECT_FALSE(w.cmdremset.Enabled);

    d.activate(w);
    d.click(w, "CmdSet");
    EXPECT_FALSE(w.cmdremset.Enabled);
    storeReminder(d, "ignored: the button is off");
    EXPECT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.files.files[kFile], "\"Dentist at 4\"\r\n");
    d.click(w, "CmdReset");
    EXPECT_TRUE(w.cmdremset.Enabled);
}

TEST_F(StoreReminder, On5March2003_DateTextsAreSignedNumbers_AndExitSavesThem) {
    pick(w, 2003, 3, 5);
    storeReminder(d, "x");
    expectDate(w, " 2003", " 3", " 5");
    d.click(w, "MnuExit");
    expectStoredDate(d.settings, " 2003", " 3", " 5");
}

TEST_F(StoreReminder, SecondAfterStop_ReplacesTextAndDate) {
    storeReminder(d, "Dentist at 4");
    armAndStop(d);
    pick(w, 2026, 12, 24);
    storeReminder(d, "Vet");
    EXPECT_EQ(d.files.files[kFile], "\"Vet\"\r\n");
    expectDate(w, " 2026", " 12", " 24");
    EXPECT_EQ(d.messages.shown.size(), 2u);
}

TEST_F(StoreReminder, EmptyText_ErrorBox_SettingWritten_NoDateNoFile) {
    ASSERT_FALSE(d.settings.has(keys::kStateApp, keys::kState, keys::kRemSet));
    storeReminder(d, "");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0].text, "You have not specified a reminder!");
    EXPECT_EQ(d.messages.shown[0].title, "Error");
    EXPECT_EQ(d.settings.GetSetting(keys::kStateApp, keys::kState, keys::kRemSet), "Set");
    expectDate(w, "", "", "");
    EXPECT_TRUE(d.files.files.empty());
    EXPECT_TRUE(w.cmdremset.Enabled);
}

TEST_F(StoreReminder, EmptyText_EarlierReminderKeepsItsTextAndItsDate) {
    storeReminder(d, "Dentist at 4");
    armAndStop(d);
    pick(w, 2026, 12, 9);
    storeReminder(d, "");
    EXPECT_EQ(d.messages.shown.back().title, "Error");
    expectDate(w, " 2026", " 12", " 7");
    EXPECT_EQ(d.files.files[kFile], "\"Dentist at 4\"\r\n");
    EXPECT_TRUE(w.cmdremset.Enabled);
    // The earlier reminder still comes back on its own date, today.
    d.runFor(60000);  // the calendar back on today
    ringAt(d, 9, 3);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
}

TEST_F(StoreReminder, FileCannotBeWritten_ErrorWithPathAndReason_NothingElseChanges) {
    storeReminder(d, "Earlier");
    armAndStop(d);
    d.files.readOnlyDirs = {d.files.programDir, d.files.userDataDir};
    const int settingWrites = d.settings.writes;
    pick(w, 2026, 12, 9);
    storeReminder(d, "Later");
    ASSERT_EQ(d.messages.shown.size(), 2u);
    expectMessage(d.messages.shown[1], "Error", {"could not be saved", kFile, "Permission denied"});
    EXPECT_EQ(w.TxtRem.Text, "Later");
    EXPECT_TRUE(w.cmdremset.Enabled);
    expectDate(w, " 2026", " 12", " 7");
    EXPECT_EQ(d.files.files[kFile], "\"Earlier\"\r\n");
    EXPECT_EQ(d.settings.writes, settingWrites + 1);  // "remset", written before anything else
}

TEST_F(StoreReminder, ProgramFolderReadOnly_StoredInTheUserFolderAndShownFromThere) {
    d.files.readOnlyDirs = {d.files.programDir};
    storeReminder(d, "Dentist at 4");
    EXPECT_EQ(d.messages.shown.back().title, "Status:");
    EXPECT_EQ(d.files.files.count(kFile), 0u);
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
    EXPECT_TRUE(d.files.files.empty());
}

TEST(ReminderCheck, RingOnTheReminderDate_TextShownAboutASecondLater_FileGone_CheckOff) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    storeReminder(d, "Dentist at 4");
    arm(d, {"9:01", "800", "200", "3"});
    d.runUntil(9, 1, 0);
    ASSERT_EQ(d.tone.beeps.size(), 3u);
    const long long ringStart = d.tone.beeps[0].startMs;
    // The ring is over; the check has not run yet.
    EXPECT_TRUE(w.Timer2.Enabled);
    EXPECT_EQ(w.TxtRem.Text, "");
    EXPECT_EQ(d.files.files.count(kFile), 1u);
    d.runFor(ringStart + 999 - d.clock.ms());
    EXPECT_EQ(w.TxtRem.Text, "");
    d.runFor(1);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
    EXPECT_EQ(w.fileRemText, "Dentist at 4");
    EXPECT_EQ(d.files.files.count(kFile), 0u);
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(w.Width, frmAlarmClock::kNarrowWidth);  // shown even with the panel out of view
    EXPECT_EQ(d.messages.shown.size(), 1u);           // only the store's own box
    expectDate(w, " 2026", " 12", " 7");              // the date stays in force
}

TEST(ReminderCheck, RingOnAnotherDate_NothingShown_FileStays_ThenShownOnItsDay) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    pick(w, 2026, 12, 8);
    storeReminder(d, "Tomorrow");
    ringAt(d, 9, 2);  // the calendar was reset to today at 9:01
    EXPECT_EQ(w.TxtRem.Text, "");
    EXPECT_EQ(d.files.files.count(kFile), 1u);
    EXPECT_FALSE(w.Timer2.Enabled);
    d.clock.set(2026, 12, 8, 9, 4, 50);
    ringAt(d, 9, 5);
    EXPECT_EQ(w.TxtRem.Text, "Tomorrow");
    EXPECT_EQ(d.files.files.count(kFile), 0u);
}

TEST(ReminderCheck, SecondRingSameDate_FileGone_TextLeftAsTheUserHasIt) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    storeReminder(d, "Dentist at 4");
    ringAt(d, 9, 1);
    ASSERT_EQ(w.TxtRem.Text, "Dentist at 4");
    d.type(w.TxtRem, "my own notes");
    ringAt(d, 9, 3);
    EXPECT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(w.TxtRem.Text, "my own notes");
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

TEST(ReminderCheck, NoReminderDate_NothingIsEverDue) {
    SimulatedDesktop d;
    d.files.files[kFile] = "\"left over\"\r\n";
    frmAlarmClock& w = d.start();
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "");
    EXPECT_EQ(d.files.files.count(kFile), 1u);
    EXPECT_FALSE(w.Timer2.Enabled);
}

class CheckFailure : public ::testing::TestWithParam<const char*> {};

// A due reminder whose file is empty or cannot be read leaves the box alone, quietly.
TEST_P(CheckFailure, TextLeftAlone_CheckOff_NoMessage) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    storeReminder(d, "Dentist at 4");
    const std::string failure = GetParam();
    if (failure == "empty") d.files.files[kFile] = "";
    if (failure == "unreadable") d.files.failReads = true;
    if (failure == "missing") d.files.files.clear();
    d.type(w.TxtRem, "draft");
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "draft");
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Files, CheckFailure, ::testing::Values("empty", "unreadable", "missing"));

TEST(ReminderCheck, FileCannotBeDeleted_TextStillShown_CheckOff) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    storeReminder(d, "Dentist at 4");
    d.files.readOnlyDirs = {d.files.programDir};
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

TEST(ReminderCheck, BlankOnlyText_IsStoredAndShownLikeAnyOther) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    storeReminder(d, "   ");
    EXPECT_EQ(d.messages.shown.back().title, "Status:");
    EXPECT_EQ(d.files.files[kFile], "\"   \"\r\n");
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "   ");
    EXPECT_EQ(d.files.files.count(kFile), 0u);
}

struct MovedCalendarCase {
    int reminderDay;
    bool shown;
};

class CalendarMovedBeforeARing : public ::testing::TestWithParam<MovedCalendarCase> {};

// The check compares with the date the calendar shows; within a minute it is back on today.
TEST_P(CalendarMovedBeforeARing, CheckUsesTheDateShown_CalendarBackOnTodayWithinAMinute) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 8, 59, 30);  // calendar resets at :30 past each minute
    frmAlarmClock& w = d.start();
    pick(w, 2026, 12, GetParam().reminderDay);
    storeReminder(d, "Reminder");
    armAndStop(d);
    arm(d, {"9:01", "800", "10", "1"});
    d.runUntil(9, 0, 40);
    ASSERT_EQ(w.Calendar1.Day(), 7);
    pick(w, 2026, 12, 8);  // the user looks at tomorrow
    d.runUntil(9, 1, 1);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(w.TxtRem.Text, GetParam().shown ? "Reminder" : "");
    EXPECT_EQ(d.files.files.count(kFile), GetParam().shown ? 0u : 1u);
    EXPECT_EQ(w.Calendar1.Day(), 8);
    d.runUntil(9, 1, 30);
    expectCalendarOn(w, 2026, 12, 7);
}

INSTANTIATE_TEST_SUITE_P(Dates, CalendarMovedBeforeARing,
                         ::testing::Values(MovedCalendarCase{7, false},
                                           MovedCalendarCase{8, true}));

struct ResetCase {
    int shownYear, shownMonth, shownDay;
    int todayYear, todayMonth, todayDay;
};

class CalendarReset : public ::testing::TestWithParam<ResetCase> {};

TEST_P(CalendarReset, EndsOnTodayWhateverDaysLieOnTheWay) {
    const ResetCase& c = GetParam();
    SimulatedDesktop d;
    d.clock.set(c.todayYear, c.todayMonth, c.todayDay, 12, 0, 0);
    frmAlarmClock& w = d.start();
    pick(w, c.shownYear, c.shownMonth, c.shownDay);
    ASSERT_EQ(w.Calendar1.Day(), c.shownDay);
    d.runFor(59999);
    EXPECT_EQ(w.Calendar1.Day(), c.shownDay);
    d.runFor(1);
    expectCalendarOn(w, c.todayYear, c.todayMonth, c.todayDay);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CalendarReset,
    ::testing::Values(ResetCase{2027, 1, 31, 2027, 2, 14}, ResetCase{2027, 1, 31, 2027, 2, 28},
                      ResetCase{2028, 1, 31, 2028, 2, 29}, ResetCase{2028, 2, 29, 2029, 3, 1},
                      ResetCase{2027, 3, 31, 2027, 4, 30}, ResetCase{2026, 12, 31, 2027, 1, 1},
                      ResetCase{2027, 2, 1, 2027, 1, 31}));

// Turning the page takes the date along, so that Set Reminder stores the date on the page; the
// minute's reset brings page and date back to today together.
TEST(CalendarPage, TurnedWithoutPickingADay_DateGoesAlong_StoredForIt_ResetBringsTodayBack) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 12, 0, 0);  // 7 December 2026
    const auto turnTo = [&w](int year, int month) {
        w.Calendar1.userShows(year, month, w.Calendar1.Year(), w.Calendar1.Month(),
                              w.Calendar1.Day());
    };
    turnTo(2027, 1);
    turnTo(2027, 2);
    expectCalendarOn(w, 2027, 2, 7);
    storeReminder(d, "Dentist");
    expectDate(w, " 2027", " 2", " 7");

    pick(w, 2027, 1, 31);
    turnTo(2027, 2);
    expectCalendarOn(w, 2027, 2, 28);  // February has no 31st
    turnTo(2026, 2);                   // a year back, by the year's own arrows
    expectCalendarOn(w, 2026, 2, 28);
    // A day of the next month picked on the page turns the page to it: the day picked wins.
    w.Calendar1.userShows(2026, 3, 2026, 3, 2);
    expectCalendarOn(w, 2026, 3, 2);

    d.runFor(60000);
    expectCalendarOn(w, 2026, 12, 7);
}

TEST(CalendarReset, ClockReadAtTheStrokeOfTheNewYear_DateOfOneDayNotOfTwo) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    // Each reading of the clock takes a millisecond: the year is read in the old year, and a
    // second reading would already fall in the new one.
    d.clock.set(2026, 12, 31, 23, 59, 59, 999);
    d.clock.msPerReading = 1;
    w.Timer3_Timer();
    const int y = w.Calendar1.Year(), m = w.Calendar1.Month(), day = w.Calendar1.Day();
    EXPECT_TRUE((y == 2026 && m == 12 && day == 31) || (y == 2027 && m == 1 && day == 1))
        << y << "-" << m << "-" << day;
}

TEST(CalendarReset, AcrossMidnightInto1February_CalendarFollows) {
    SimulatedDesktop d;
    d.clock.set(2027, 1, 31, 23, 59, 0);
    frmAlarmClock& w = d.start();
    d.runFor(2 * 60000);
    EXPECT_EQ(w.Calendar1.Month(), 2);
    EXPECT_EQ(w.Calendar1.Day(), 1);
}

TEST(MessageBoxOpen, TicksAndCalendarResetGoOn_StoreUsesTheDateReadBeforeTheBox) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.runFor(100);
    pick(w, 2026, 12, 9);
    std::string textWhileOpen;
    int ticksWhileOpen = 0;
    d.messages.whileOpen = [&] {
        const int before = d.ticks;
        d.runFor(65000);
        ticksWhileOpen = d.ticks - before;
        textWhileOpen = w.TxtRem.Text;
    };
    storeReminder(d, "Dentist at 4");
    EXPECT_EQ(ticksWhileOpen, 65);
    expectShows(d.program.frmclock(), "9:01", ":05");
    EXPECT_EQ(w.Calendar1.Day(), 7);  // reset while the box was open
    expectDate(w, " 2026", " 12", " 9");
    EXPECT_EQ(textWhileOpen, "Dentist at 4");  // emptied only once the box is closed
    EXPECT_EQ(w.TxtRem.Text, "");
    EXPECT_FALSE(w.cmdremset.Enabled);
}

TEST(MessageBoxOpen, AlarmRingsBehindTheErrorBox) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 9, 0, 50, {"9:01", "800", "10", "1"});
    d.messages.whileOpen = [&] { d.runFor(15000); };
    storeReminder(d, "");
    EXPECT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(w.TxtTime.Text, "9:01 Has Passed");
    EXPECT_FALSE(w.Timer2.Enabled);  // the check ran behind the box too
}

TEST(MessageBoxOpen, NewReminderShownBehindTheSuccessBox_StaysInTheBox) {
    SimulatedDesktop d;
    // No frequency typed: the ring is silent, but it still runs the reminder check.
    frmAlarmClock& w = startArmed(d, 9, 0, 50, {"9:01", "", "10", "1"});
    d.messages.whileOpen = [&] { d.runFor(15000); };  // the user reads the box as the alarm rings
    storeReminder(d, "Dentist at 4");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0].title, "Status:");
    EXPECT_EQ(d.files.files.size(), 0u);  // shown and taken from the file
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
    EXPECT_FALSE(w.cmdremset.Enabled);
}

class RestoredDate : public ::testing::Test {
protected:
    // First run, on 6 December: a reminder for the 7th, then exit.
    void SetUp() override {
        SimulatedDesktop first(settings, files);
        first.clock.set(2026, 12, 6, 20, 0, 0);
        frmAlarmClock& w = first.start();
        pick(w, 2026, 12, 7);
        storeReminder(first, "Dentist at 4");
        first.click(w, "MnuExit");
        ASSERT_EQ(stored(settings, keys::kRemDay), " 7");
    }

    MemorySettingsStore settings;
    MemoryFileSystem files;
};

TEST_F(RestoredDate, NextRunOnThatDate_RingShowsTheReminder) {
    SimulatedDesktop d(settings, files);
    frmAlarmClock& w = d.start();
    expectDate(w, "", "", "");
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
    EXPECT_EQ(files.files.count(kFile), 0u);
    expectDate(w, " 2026", " 12", " 7");
}

class RestoredDateRunBefore : public RestoredDate, public ::testing::WithParamInterface<bool> {};

// A run on the day before, with or without a ring, carries the date on to the next run.
TEST_P(RestoredDateRunBefore, ExitKeepsTheDate_ShownOnTheDay) {
    const bool ring = GetParam();
    {
        SimulatedDesktop d(settings, files);
        d.clock.set(2026, 12, 6, 21, 0, 0);
        frmAlarmClock& w = d.start();
        if (ring) ringAt(d, 21, 1);
        EXPECT_EQ(w.TxtRem.Text, "");
        EXPECT_EQ(w.curRemDay, ring ? " 7" : "");
        d.click(w, "MnuExit");
    }
    expectStoredDate(settings, " 2026", " 12", " 7");
    SimulatedDesktop d(settings, files);
    frmAlarmClock& w = d.start();
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "Dentist at 4");
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutARing, RestoredDateRunBefore, ::testing::Bool());

TEST_F(RestoredDate, ReminderStoredInTheNextRun_ItsOwnDateWins_AndIsSaved) {
    {
        SimulatedDesktop d(settings, files);
        frmAlarmClock& w = d.start();  // 7 December, the restored date
        pick(w, 2026, 12, 9);
        storeReminder(d, "Vet");
        ringAt(d, 9, 2);  // calendar back on the 7th; the restored date does not take over
        EXPECT_EQ(w.TxtRem.Text, "");
        EXPECT_EQ(files.files[kFile], "\"Vet\"\r\n");
        expectDate(w, " 2026", " 12", " 9");
        d.click(w, "MnuExit");
    }
    EXPECT_EQ(stored(settings, keys::kRemDay), " 9");
    SimulatedDesktop d(settings, files);
    d.clock.set(2026, 12, 9, 9, 0, 0);
    frmAlarmClock& w = d.start();
    ringAt(d, 9, 1);
    EXPECT_EQ(w.TxtRem.Text, "Vet");
}

}  // namespace
}  // namespace tollvane
