// Start-up, activation, the arrow buttons and the exit sequence of the main window.

#include <gtest/gtest.h>

#include "app/settings_keys.h"
#include "fakes/simulated_desktop.h"

namespace tollvane {
namespace {

using fakes::MemoryFileSystem;
using fakes::MemorySettingsStore;
using fakes::SimulatedDesktop;
namespace keys = settings_keys;

std::string stored(MemorySettingsStore& s, const char* key) {
    return s.GetSetting(keys::kApp, keys::kLastSettings, key);
}

void store(MemorySettingsStore& s, const char* key, const std::string& value) {
    s.SaveSetting(keys::kApp, keys::kLastSettings, key, value);
}

TEST(MainWindowLoad, FirstRun_EmptyBoxesCountOneIdleNarrowCalendarToday) {
    SimulatedDesktop d;
    d.clock.set(2026, 3, 5, 8, 15, 0);
    frmAlarmClock& w = d.start();
    EXPECT_EQ(w.TxtTime.Text, "");
    EXPECT_EQ(w.txtfreq1.Text, "");
    EXPECT_EQ(w.txtdura1.Text, "");
    EXPECT_EQ(w.txtam.Text, "1");
    EXPECT_EQ(w.beepAmount, "");  // the box shows 1, the captured count stays empty
    EXPECT_TRUE(w.CmdSet.Enabled);
    EXPECT_FALSE(w.CmdReset.Enabled);
    EXPECT_TRUE(w.cmdremset.Enabled);
    EXPECT_EQ(w.Width, frmAlarmClock::kNarrowWidth);
    EXPECT_EQ(w.Calendar1.Year(), 2026);
    EXPECT_EQ(w.Calendar1.Month(), 3);
    EXPECT_EQ(w.Calendar1.Day(), 5);
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
    store(d.settings, keys::kTimeAlarm, "7:30");
    store(d.settings, keys::kAlarmMusic, "800");
    store(d.settings, keys::kAlarmMusic2, "200");
    store(d.settings, keys::kAlarmMusic3, "3");
    frmAlarmClock& w = d.program.frmAlarmClock();
    EXPECT_EQ(w.TxtTime.Text, "7:30");
    EXPECT_FALSE(w.CmdSet.Enabled);
    EXPECT_TRUE(w.CmdReset.Enabled);
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
    store(d.settings, keys::kRemYear, " 2003");
    store(d.settings, keys::kRemMonth, " 3");
    store(d.settings, keys::kRemDay, " 5");
    frmAlarmClock& w = d.start();
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_FALSE(w.CmdSet.Enabled);  // rung state: armed with a text that never matches
    EXPECT_EQ(w.txtfreq1.Text, "loud");
    EXPECT_EQ(w.savedRemYear, " 2003");
    EXPECT_EQ(w.savedRemMonth, " 3");
    EXPECT_EQ(w.savedRemDay, " 5");
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
    d.type(w.TxtTime, "19:30");
    d.type(w.txtfreq1, "800");
    d.type(w.txtdura1, "200");
    d.type(w.txtam, "");
    w.curRemYear = " 2026";
    w.curRemMonth = " 12";
    w.curRemDay = " 24";
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
    EXPECT_EQ(stored(d.settings, keys::kRemYear), " 2026");
    EXPECT_EQ(stored(d.settings, keys::kRemMonth), " 12");
    EXPECT_EQ(stored(d.settings, keys::kRemDay), " 24");
    EXPECT_TRUE(d.messages.shown.empty());
    // Nothing runs after the end.
    const int ticks = d.ticks;
    d.runFor(5000);
    EXPECT_EQ(d.ticks, ticks);
}

INSTANTIATE_TEST_SUITE_P(CloseBoxAndMenu, ExitSequence, ::testing::Values("close", "menu"));

TEST(ExitSequence, NoReminderDateThisRun_KeepsTheRestoredDate) {
    SimulatedDesktop d;
    store(d.settings, keys::kRemYear, " 2027");
    store(d.settings, keys::kRemMonth, " 1");
    store(d.settings, keys::kRemDay, " 9");
    frmAlarmClock& w = d.start();
    d.click(w, "MnuExit");
    EXPECT_EQ(stored(d.settings, keys::kRemYear), " 2027");
    EXPECT_EQ(stored(d.settings, keys::kRemMonth), " 1");
    EXPECT_EQ(stored(d.settings, keys::kRemDay), " 9");
}

TEST(ExitSequence, StoreCannotBeWritten_MessageNamesItAndProgramStillEnds) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.settings.failWrites = true;
    d.click(w, "MnuExit");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    EXPECT_EQ(d.messages.shown[0].title, "Error");
    EXPECT_NE(d.messages.shown[0].text.find("memory"), std::string::npos);
    EXPECT_NE(d.messages.shown[0].text.find("disk full"), std::string::npos);
    EXPECT_EQ(d.settings.writes, 7);  // every value was tried
    EXPECT_TRUE(d.program.ended());
}

TEST(Restart, ValuesSurviveTheNextStart) {
    MemorySettingsStore settings;
    MemoryFileSystem files;
    {
        SimulatedDesktop first(settings, files);
        frmAlarmClock& w = first.start();
        first.type(w.TxtTime, "6:45");
        first.type(w.txtfreq1, "1000");
        first.type(w.txtdura1, "150");
        first.type(w.txtam, "4");
        w.curRemYear = " 2026";
        w.curRemMonth = " 12";
        w.curRemDay = " 8";
        first.click(w, "MnuExit");
    }
    SimulatedDesktop second(settings, files);
    frmAlarmClock& w = second.start();
    EXPECT_EQ(w.TxtTime.Text, "6:45");
    EXPECT_FALSE(w.CmdSet.Enabled);
    EXPECT_EQ(w.txtfreq1.Text, "1000");
    EXPECT_EQ(w.txtdura1.Text, "150");
    EXPECT_EQ(w.txtam.Text, "4");
    EXPECT_EQ(w.savedRemYear, " 2026");
    EXPECT_EQ(w.savedRemMonth, " 12");
    EXPECT_EQ(w.savedRemDay, " 8");
}

}  // namespace
}  // namespace tollvane
