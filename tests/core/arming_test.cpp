// Set Alarm and Stop: the alarm's three states (idle, armed, rung), the speaker settings captured
// when it is armed, and a Stop pressed while the alarm is ringing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings_keys.h"
#include "fakes/simulated_desktop.h"

namespace tollvane {
namespace {

using fakes::FakeClock;
using fakes::MemoryFileSystem;
using fakes::MemorySettingsStore;
using fakes::SimulatedDesktop;
namespace keys = settings_keys;

long long at(int day, int h, int m, int s, int ms = 0) {
    FakeClock c;
    c.set(2026, 12, day, h, m, s, ms);
    return c.ms();
}

void typeSettings(SimulatedDesktop& d, const std::string& freq, const std::string& dura,
                  const std::string& count) {
    d.type(d.main().txtfreq1, freq);
    d.type(d.main().txtdura1, dura);
    d.type(d.main().txtam, count);
}

std::string stored(MemorySettingsStore& s, const char* key) {
    return s.GetSetting(keys::kApp, keys::kLastSettings, key);
}

void expectIdle(const frmAlarmClock& w) {
    EXPECT_TRUE(w.CmdSet.Enabled);
    EXPECT_FALSE(w.CmdReset.Enabled);
    EXPECT_EQ(w.TxtTime.Text, "");
    EXPECT_TRUE(w.cmdremset.Enabled);
}

TEST(SetAlarm, EmptyCount_BoxShowsOneCaptureStaysEmpty_OneBeepAtTheAlarm) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 7, 29, 50);
    frmAlarmClock& w = d.start();
    d.type(w.TxtTime, "7:30");
    typeSettings(d, "800", "200", "");
    d.click(w, "CmdSet");
    EXPECT_EQ(w.txtam.Text, "1");
    EXPECT_EQ(w.beepAmount, "");
    EXPECT_EQ(w.beepFreq, "800");
    EXPECT_EQ(w.beepDura, "200");
    EXPECT_FALSE(w.CmdSet.Enabled);
    EXPECT_TRUE(w.CmdReset.Enabled);
    EXPECT_TRUE(d.messages.shown.empty());
    d.runUntil(7, 30, 1);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].frequencyHz, 800);
    EXPECT_EQ(d.tone.beeps[0].durationMs, 200);
}

TEST(SetAlarm, EmptyAlarmTime_ArmedButNeverRings_StopReturnsToIdle) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 23, 55, 0);
    frmAlarmClock& w = d.start();
    typeSettings(d, "800", "100", "1");
    d.click(w, "CmdSet");
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
    d.clock.set(2026, 12, 7, 7, 29, 50);
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kTimeAlarm, "7:30");
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kAlarmMusic, "1000");
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kAlarmMusic2, "150");
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kAlarmMusic3, "2");
    frmAlarmClock& w = d.start();
    EXPECT_FALSE(w.cmdremset.Enabled);  // armed and active
    d.runUntil(7, 30, 0);
    ASSERT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(d.tone.beeps[1].frequencyHz, 1000);
    EXPECT_EQ(d.tone.beeps[1].durationMs, 150);
}

TEST(Stop, AfterTheRing_BackToIdleAndSetReminderEnabled) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 7, 29, 50);
    frmAlarmClock& w = d.start();
    d.type(w.TxtTime, "7:30");
    typeSettings(d, "800", "100", "2");
    d.click(w, "CmdSet");
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
        d.clock.set(2026, 12, 7, 7, 29, 50);
        frmAlarmClock& w = d.start();
        d.type(w.TxtTime, "7:30");
        typeSettings(d, "800", "100", "2");
        d.click(w, "CmdSet");
        typeSettings(d, "1200", "300", "4");
        d.runUntil(7, 30, 0);
        ASSERT_EQ(d.tone.beeps.size(), 2u);
        EXPECT_EQ(d.tone.beeps[0].frequencyHz, 800);
        EXPECT_EQ(d.tone.beeps[0].durationMs, 100);
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
    EXPECT_EQ(d.tone.beeps[0].frequencyHz, 1200);
    EXPECT_EQ(d.tone.beeps[0].durationMs, 300);
}

TEST(SetAlarm, TimeChangedWhileArmed_RingsAtTheNewTimeOnly) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 7, 29, 50);
    frmAlarmClock& w = d.start();
    d.type(w.TxtTime, "7:30");
    typeSettings(d, "800", "100", "1");
    d.click(w, "CmdSet");
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
    d.clock.set(2026, 12, 7, 7, 29, 50);
    frmAlarmClock& w = d.start();
    d.type(w.TxtTime, "7:30");
    typeSettings(d, "800", "100", "1");
    d.click(w, "CmdSet");
    d.runUntil(7, 30, 10);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    typeSettings(d, "1500", "100", "3");  // not captured: Set Alarm is not pressed again
    d.type(w.TxtTime, "7:32");
    d.runUntil(7, 32, 0);
    ASSERT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(d.tone.beeps[1].frequencyHz, 800);
}

TEST(SetAlarm, StoredHasPassedText_NothingRingsUntilStopAndANewTime) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 7, 29, 50);
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kTimeAlarm, "7:30 Has Passed");
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kAlarmMusic, "800");
    d.settings.SaveSetting(keys::kApp, keys::kLastSettings, keys::kAlarmMusic2, "100");
    frmAlarmClock& w = d.start();
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
    d.clock.set(2026, 12, 7, 7, 29, 50);
    frmAlarmClock& w = d.start();
    d.type(w.TxtTime, "7:30");
    typeSettings(d, "800", "200", "3");
    d.click(w, "CmdSet");

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
