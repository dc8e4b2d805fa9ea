// Set Alarm and Stop: the alarm's three states (idle, armed, rung), the speaker settings captured
// when it is armed, and a Stop pressed while the alarm is ringing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(SetAlarm, EmptyCount_BoxShowsOneCaptureStaysEmpty_OneBeepAtTheAlarm) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "200", ""});
    EXPECT_EQ(w.txtam.Text, "1");
    EXPECT_EQ(w.beepAmount, "");
    EXPECT_EQ(w.beepFreq, "800");
    EXPECT_EQ(w.beepDura, "200");
    expectArmed(w);
    EXPECT_TRUE(d.messages.shown.empty());
    d.runUntil(7, 30, 1);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    expectBeep(d.tone.beeps[0], 800, 200);
}

TEST(SetAlarm, EmptyAlarmTime_ArmedButNeverRings_StopReturnsToIdle) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 23, 55, 0, {"", "800", "100", "1"});
    EXPECT_FALSE(w.CmdSet.Enabled);
    d.runFor(10 * 60 * 1000);  // across midnight
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(w.TxtTime.Text, "");
    d.click(w, "CmdReset");
    expectIdle(w);
}

TEST(SetAlarm, StoredAlarm_RingsAtItsTimeWithTheStoredSettings) {
    SimulatedDesktop d;
    storeAlarm(d.settings, "7:30", "1000", "150");
    store(d.settings, keys::kAlarmMusic3, "2");
    frmAlarmClock& w = startAt(d, 7, 29, 50);
    EXPECT_FALSE(w.cmdremset.Enabled);  // armed and active
    d.runUntil(7, 30, 0);
    ASSERT_EQ(d.tone.beeps.size(), 2u);
    expectBeep(d.tone.beeps[1], 1000, 150);
}

TEST(Stop, AfterTheRing_BackToIdleAndSetReminderEnabled) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "2"});
    d.activate(w);  // the armed window becoming active turns Set Reminder off
    ASSERT_FALSE(w.cmdremset.Enabled);
    d.runUntil(7, 30, 5);
    ASSERT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_EQ(w.WindowsMediaPlayer1.closeCalls, 0);
    d.click(w, "CmdReset");
    expectIdle(w);
    EXPECT_EQ(w.WindowsMediaPlayer1.closeCalls, 1);
    // Stop leaves the captured settings and the boxes alone.
    EXPECT_EQ(w.beepFreq, "800");
    EXPECT_EQ(w.beepAmount, "2");
    EXPECT_EQ(w.txtfreq1.Text, "800");
    EXPECT_TRUE(w.OptDate.Value);
    d.runUntil(7, 31, 0);
    EXPECT_EQ(d.tone.beeps.size(), 2u);
}

TEST(SetAlarm, BoxesEditedWhileArmed_RingUsesTheCapturedValues_ExitSavesTheEditedOnes) {
    MemorySettingsStore settings;
    MemoryFileSystem files;
    {
        SimulatedDesktop d(settings, files);
        frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "2"});
        typeTone(d, "1200", "300", "4");
        d.runUntil(7, 30, 0);
        ASSERT_EQ(d.tone.beeps.size(), 2u);
        expectBeep(d.tone.beeps[0], 800, 100);
        d.type(w.TxtTime, "8:00");
        d.click(w, "MnuExit");
        EXPECT_EQ(stored(settings, keys::kAlarmMusic), "1200");
        EXPECT_EQ(stored(settings, keys::kAlarmMusic2), "300");
        EXPECT_EQ(stored(settings, keys::kAlarmMusic3), "4");
    }
    // The next start captures what was saved.
    SimulatedDesktop d(settings, files);
    d.clock.set(2026, 12, 8, 7, 59, 50);
    d.start();
    d.runUntil(8, 0, 1);
    ASSERT_EQ(d.tone.beeps.size(), 4u);
    expectBeep(d.tone.beeps[0], 1200, 300);
}

TEST(SetAlarm, TimeChangedWhileArmed_RingsAtTheNewTimeOnly) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "1"});
    d.type(w.TxtTime, "7:45");
    d.runUntil(7, 44, 59);
    EXPECT_TRUE(d.tone.beeps.empty());
    d.runUntil(7, 45, 0);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].startMs, at(7, 7, 45, 0));
    EXPECT_EQ(w.TxtTime.Text, "7:45 Has Passed");
}

TEST(SetAlarm, TimeTypedOverARungAlarm_ArmsItAgainWithTheSameSettings) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "1"});
    d.runUntil(7, 30, 10);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    typeTone(d, "1500", "100", "3");  // not captured: Set Alarm is not pressed again
    d.type(w.TxtTime, "7:32");
    d.runUntil(7, 32, 0);
    ASSERT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(d.tone.beeps[1].frequencyHz, 800);
}

TEST(SetAlarm, StoredHasPassedText_NothingRingsUntilStopAndANewTime) {
    SimulatedDesktop d;
    storeAlarm(d.settings, "7:30 Has Passed", "800", "100");
    frmAlarmClock& w = startAt(d, 7, 29, 50);
    EXPECT_FALSE(w.CmdSet.Enabled);
    d.runUntil(7, 31, 0);
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    d.click(w, "CmdReset");
    expectIdle(w);
    d.type(w.TxtTime, "7:32");
    d.click(w, "CmdSet");
    d.runUntil(7, 32, 0);
    EXPECT_EQ(d.tone.beeps.size(), 1u);
}

// The ring holds the user-interface thread: a Stop clicked during the beeps waits for the last one.
TEST(Stop, ClickedDuringTheRing_HandledAfterTheLastBeep) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "200", "3"});

    struct AtBeep {
        bool armed;
        int closeCalls;
    };
    std::vector<AtBeep> duringRing;
    long long stopHandledAt = 0;
    std::string alarmTextWhenStopRan;
    bool checkPendingWhenStopRan = false;
    d.tone.onBeep = [&] {
        duringRing.push_back({!w.CmdSet.Enabled, w.WindowsMediaPlayer1.closeCalls});
        if (duringRing.size() == 1) {
            d.post([&] {
                stopHandledAt = d.clock.ms();
                alarmTextWhenStopRan = w.TxtTime.Text;
                checkPendingWhenStopRan = w.Timer2.Enabled;
                d.click(w, "CmdReset");
            });
        }
    };
    d.runUntil(7, 30, 0);
    ASSERT_EQ(duringRing.size(), 3u);
    for (const AtBeep& b : duringRing) {
        EXPECT_TRUE(b.armed);
        EXPECT_EQ(b.closeCalls, 0);
    }
    EXPECT_EQ(stopHandledAt, at(7, 7, 30, 0, 600));
    EXPECT_EQ(alarmTextWhenStopRan, "7:30 Has Passed");
    EXPECT_TRUE(checkPendingWhenStopRan);
    expectIdle(w);
    EXPECT_EQ(w.WindowsMediaPlayer1.closeCalls, 1);
    // Stop leaves the pending reminder check alone; it runs and ends as usual.
    EXPECT_TRUE(w.Timer2.Enabled);
    d.runFor(1000);
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(d.tone.beeps.size(), 3u);
}

}  // namespace
}  // namespace tollvane
