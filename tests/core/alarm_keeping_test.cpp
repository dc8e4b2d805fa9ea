// A set alarm outlives the process: saved at each change of its state, so that a kill leaves it
// set at the next start, and the program started with the session while it can still ring.

#include <gtest/gtest.h>

#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(AlarmKeeping, KilledAfterSetAlarm_NextStartIsSetAndRingsWithTheBeepsSetThen) {
    MemorySettingsStore settings;
    MemoryFileSystem files;
    {
        SimulatedDesktop first(settings, files);
        startArmed(first, 7, 0, 0, {"7:30", "800", "200", "3"});
        first.runFor(5000);
        // Killed: the desktop goes without the exit sequence.
    }
    SimulatedDesktop second(settings, files);
    frmAlarmClock& w = startAt(second, 7, 10, 0);
    EXPECT_EQ(w.TxtTime.Text, "7:30");
    expectArmed(w);
    second.runUntil(7, 30, 2);
    ASSERT_EQ(second.tone.beeps.size(), 3u);
    expectBeep(second.tone.beeps[0], 800, 200);
}

// Each change is saved once, in one write of the seven values; idle seconds write nothing. A time
// typed over a set alarm is the alarm's new time, saved as such; one typed while no alarm is set
// waits for Set Alarm or the exit.
TEST(AlarmKeeping, EachChangeSavedOnce_StartWithTheSessionOnlyWhileItCanRing) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 7, 0, 0);
    const int loaded = d.settings.writes;
    d.type(w.TxtTime, "7:30");
    d.runFor(10000);
    EXPECT_EQ(d.settings.writes, loaded);
    d.click(w, "CmdSet");
    EXPECT_EQ(d.settings.writes, loaded + 1);
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:30");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic3), "1");
    d.runFor(60000);
    EXPECT_EQ(d.settings.writes, loaded + 1);
    d.type(w.TxtTime, "7:45");
    d.runFor(1000);  // seen by the next tick
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:45");
    d.runUntil(7, 45, 2);
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:45 Has Passed");
    d.click(w, "CmdReset");
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "");
    EXPECT_EQ(d.settings.writes, loaded + 4);
    arm(d, {"", "800", "10", "1"});  // set, but nothing can ring
    d.click(w, "CmdReset");
    // At start nothing could ring; Set Alarm; the ring; nothing asked for the rest.
    EXPECT_EQ(d.sessionStart.calls, (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(d.logged.empty());
}

TEST(AlarmKeeping, StoreCannotBeWritten_AlarmSetAllTheSame_ToldOnceWithoutAMessageBox) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 7, 0, 0);
    d.settings.failWrites = true;
    arm(d, {"7:30", "800", "10", "1"});
    expectArmed(w);
    d.click(w, "CmdReset");
    arm(d, {"7:31", "800", "10", "1"});
    EXPECT_EQ(d.logged,
              std::vector<std::string>{
                  "could not save its settings to memory: disk full; the alarm is set all "
                  "the same"});
    EXPECT_TRUE(d.messages.shown.empty());
    d.runUntil(7, 31, 2);
    EXPECT_EQ(d.tone.beeps.size(), 1u);
}

TEST(AlarmKeeping, StartWithTheSessionRefused_ToldOnceForItsReason) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 7, 0, 0);
    d.sessionStart.why = "turned off by the user";
    arm(d, {"7:30", "800", "10", "1"});
    d.click(w, "CmdReset");
    arm(d, {"7:31", "800", "10", "1"});
    EXPECT_EQ(d.logged,
              std::vector<std::string>{
                  "the alarm at 7:30 will not ring after a restart: turned off by the user"});
}

}  // namespace
}  // namespace tollvane
