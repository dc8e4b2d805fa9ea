// Start-up, activation, the arrow buttons and the exit sequence of the main window.

#include <gtest/gtest.h>

#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(MainWindowLoad, FirstRun_EmptyBoxesCountOneIdleNarrowCalendarToday) {
    SimulatedDesktop d;
    d.clock.set(2026, 3, 5, 8, 15, 0);
    frmAlarmClock& w = d.start();
    expectIdle(w);
    EXPECT_EQ(w.txtfreq1.Text, "");
    EXPECT_EQ(w.txtdura1.Text, "");
    EXPECT_EQ(w.txtam.Text, "1");
    EXPECT_EQ(w.beepAmount, "");  // the box shows 1, the captured count stays empty
    EXPECT_EQ(w.Width, frmAlarmClock::kNarrowWidth);
    expectCalendarOn(w, 2026, 3, 5);
    EXPECT_EQ(w.Timer1.Interval, 100);
    EXPECT_TRUE(w.Timer1.Enabled);
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(w.Timer2.Interval, 1000);
    EXPECT_TRUE(w.Timer3.Enabled);
    EXPECT_EQ(w.Timer3.Interval, 60000);
    EXPECT_TRUE(w.OptDate.Value);
    EXPECT_FALSE(w.txttimetot.Enabled);
    EXPECT_FALSE(w.txttimetot2.Enabled);
    EXPECT_EQ(w.Caption, "Tollvane");
}

TEST(MainWindowLoad, StoredAlarm_ArmedAtOnce_SetReminderOffWhenActivated) {
    SimulatedDesktop d;
    storeAlarm(d.settings, "7:30", "800", "200");
    store(d.settings, keys::kAlarmMusic3, "3");
    frmAlarmClock& w = d.program.frmAlarmClock();
    EXPECT_EQ(w.TxtTime.Text, "7:30");
    expectArmed(w);
    EXPECT_TRUE(w.cmdremset.Enabled);  // load alone leaves it; activation turns it off
    d.activate(w);
    EXPECT_FALSE(w.cmdremset.Enabled);
    EXPECT_EQ(w.txtfreq1.Text, "800");
    EXPECT_EQ(w.beepFreq, "800");
    EXPECT_EQ(w.beepDura, "200");
    EXPECT_EQ(w.beepAmount, "3");
    EXPECT_EQ(w.txtam.Text, "3");
}

TEST(MainWindowLoad, StoredValuesComeBackUnvalidated) {
    SimulatedDesktop d;
    store(d.settings, keys::kTimeAlarm, "7:30 Has Passed");
    store(d.settings, keys::kAlarmMusic, "loud");
    storeDate(d.settings, " 2003", " 3", " 5");
    frmAlarmClock& w = d.start();
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_FALSE(w.CmdSet.Enabled);  // rung state: armed with a text that never matches
    EXPECT_EQ(w.txtfreq1.Text, "loud");
    expectSavedDate(w, " 2003", " 3", " 5");
    EXPECT_EQ(w.curRemYear, "");
}

TEST(MainWindowActivate, NotArmed_LeavesSetReminderAlone) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    w.cmdremset.Enabled = false;
    d.activate(w);
    EXPECT_FALSE(w.cmdremset.Enabled);  // activation never enables anything
    w.cmdremset.Enabled = true;
    d.activate(w);
    EXPECT_TRUE(w.cmdremset.Enabled);
}

TEST(ArrowButtons, WidenAndNarrow_RepeatedPressesChangeNothingMore) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "cmdRem");
    EXPECT_EQ(w.Width, 8625);
    d.click(w, "cmdRem");
    EXPECT_EQ(w.Width, 8625);
    d.click(w, "CmdIn");
    EXPECT_EQ(w.Width, 3555);
    d.click(w, "CmdIn");
    EXPECT_EQ(w.Width, 3555);
}

class ExitSequence : public ::testing::TestWithParam<const char*> {};

// The close box and File > Exit leave the same seven values and end the program.
TEST_P(ExitSequence, SavesTheSevenValuesFromTheBoxesAndEnds) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    typeAlarm(d, {"19:30", "800", "200", ""});
    setDate(w, " 2026", " 12", " 24");
    const int writesBefore = d.settings.writes;
    if (std::string(GetParam()) == "close") {
        d.close(w);
    } else {
        d.click(w, "MnuExit");
    }
    EXPECT_TRUE(d.program.ended());
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "19:30");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic), "800");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic2), "200");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic3), "");
    expectStoredDate(d.settings, " 2026", " 12", " 24");
    // All seven in one write, so an end cut short leaves all old or all new.
    EXPECT_EQ(d.settings.writes, writesBefore + 1);
    EXPECT_TRUE(d.messages.shown.empty());
    // Nothing runs after the end.
    const int ticks = d.ticks;
    d.runFor(5000);
    EXPECT_EQ(d.ticks, ticks);
}

INSTANTIATE_TEST_SUITE_P(CloseBoxAndMenu, ExitSequence, ::testing::Values("close", "menu"));

TEST(ExitSequence, NoReminderDateThisRun_KeepsTheRestoredDate) {
    SimulatedDesktop d;
    storeDate(d.settings, " 2027", " 1", " 9");
    frmAlarmClock& w = d.start();
    d.click(w, "MnuExit");
    expectStoredDate(d.settings, " 2027", " 1", " 9");
}

TEST(ExitSequence, StoreCannotBeWritten_MessageNamesItAndProgramStillEnds) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.settings.failWrites = true;
    d.click(w, "MnuExit");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    expectMessage(d.messages.shown[0], "Error", {"memory", "disk full"});
    EXPECT_EQ(d.settings.writes, 1);  // one write for the seven, which failed as a whole
    EXPECT_FALSE(d.settings.has(keys::kApp, keys::kLastSettings, keys::kTimeAlarm));
    EXPECT_TRUE(d.program.ended());
}

// A checkpoint of the desktop session ("save session now", a logout the user then cancels) saves
// what the exit sequence saves, and the program goes on: an armed alarm still rings.
TEST(SessionCheckpoint, SavesTheSevenValuesInOneWrite_ProgramGoesOnAndStillRings) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 28, 0, {"7:30", "800", "200", "2"});
    setDate(w, " 2026", " 12", " 24");
    const int writes = d.settings.writes;
    ASSERT_TRUE(d.program.SessionCheckpoint());
    EXPECT_EQ(d.settings.writes, writes + 1);
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:30");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic), "800");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic2), "200");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic3), "2");
    expectStoredDate(d.settings, " 2026", " 12", " 24");
    EXPECT_FALSE(d.program.ended());
    EXPECT_TRUE(w.Visible);
    d.runUntil(7, 30, 2);
    EXPECT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
}

// During a ring the values are saved as the boxes stand, and the ring runs its course (and saves
// the alarm as rung once it has).
TEST(SessionCheckpoint, DuringARing_SavesTheAlarmAsItStandsAndTheRingGoesOn) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "800", "200", "3"});
    Status saved = Status::failure("no checkpoint");
    std::string savedAlarm;
    d.tone.onBeep = [&] {
        if (d.tone.beeps.size() != 1) return;
        saved = d.program.SessionCheckpoint();
        savedAlarm = stored(d.settings, keys::kTimeAlarm);
    };
    d.runUntil(7, 30, 2);
    EXPECT_TRUE(saved);
    EXPECT_EQ(savedAlarm, "7:30");
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:30 Has Passed");
    EXPECT_EQ(d.tone.beeps.size(), 3u);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_FALSE(d.program.ended());
}

TEST(SessionCheckpoint, StoreCannotBeWritten_ReportedToTheCallerNoMessageBox) {
    SimulatedDesktop d;
    d.start();
    d.settings.failWrites = true;
    const Status saved = d.program.SessionCheckpoint();
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.error, "disk full");
    EXPECT_TRUE(d.messages.shown.empty());  // the session asked for no interaction
    EXPECT_FALSE(d.program.ended());
}

TEST(SessionCheckpoint, BeforeTheStartOrAfterTheEnd_WritesNothing) {
    SimulatedDesktop d;
    EXPECT_TRUE(d.program.SessionCheckpoint());
    EXPECT_EQ(d.settings.writes, 0);
    EXPECT_TRUE(d.program.loadedWindows().empty());  // nor did it load the main window
    frmAlarmClock& w = d.start();
    d.click(w, "MnuExit");
    const int writes = d.settings.writes;
    EXPECT_TRUE(d.program.SessionCheckpoint());
    EXPECT_EQ(d.settings.writes, writes);
}

TEST(Restart, ValuesSurviveTheNextStart) {
    MemorySettingsStore settings;
    MemoryFileSystem files;
    {
        SimulatedDesktop first(settings, files);
        frmAlarmClock& w = first.start();
        typeAlarm(first, {"6:45", "1000", "150", "4"});
        setDate(w, " 2026", " 12", " 8");
        first.click(w, "MnuExit");
    }
    SimulatedDesktop second(settings, files);
    frmAlarmClock& w = second.start();
    EXPECT_EQ(w.TxtTime.Text, "6:45");
    EXPECT_FALSE(w.CmdSet.Enabled);
    EXPECT_EQ(w.txtfreq1.Text, "1000");
    EXPECT_EQ(w.txtdura1.Text, "150");
    EXPECT_EQ(w.txtam.Text, "4");
    expectSavedDate(w, " 2026", " 12", " 8");
}

}  // namespace
}  // namespace tollvane
