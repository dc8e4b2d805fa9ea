// Whether the computer is woken for the alarm, and when; kept awake through the ring; the ring
// seen. On the simulated desktop local time is the wall clock; the days on which the clocks
// change are tested with a real zone in tests/qt/daylight_saving_test.cpp.

#include <optional>

#include "core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(AlarmWake, SetAlarm_WakesHalfAMinuteEarly_KeptAwakeFromThenThroughTheRing_RungReleases) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 9, 0, 0, {"9:30", "800", "100", "2"});
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(*d.wake.armed,
              (WakeRequest{at(7, 9, 29, 30), false, "Tollvane: alarm at 9:30", "9:30"}));

    const std::size_t calls = d.wake.calls.size();
    d.runUntil(9, 29, 29);
    EXPECT_EQ(d.wake.calls.size(), calls) << "an idle second asks nothing of the system";
    d.runUntil(9, 29, 30);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_TRUE(d.wake.armed->keepAwake);

    std::vector<bool> keptAwake;
    d.tone.onBeep = [&] { keptAwake.push_back(d.wake.armed && d.wake.armed->keepAwake); };
    d.runUntil(9, 30, 1);
    EXPECT_EQ(w.TxtTime.Text, "9:30 Has Passed");
    EXPECT_EQ(keptAwake, (std::vector<bool>{true, true}));
    EXPECT_FALSE(d.wake.armed);
    EXPECT_EQ(d.wake.calls.size(), calls + 2);  // kept awake, then released
}

TEST(AlarmWake, OnlyAnArmedTimeThatTheClockShows_WakesTheComputer_AtItsNextComing) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.type(w.TxtTime, "7:30");
    d.runFor(1000);
    EXPECT_FALSE(d.wake.armed) << "typed, not set";
    d.click(w, "CmdSet");
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 7, 29, 30)) << "gone today: tomorrow";

    // Typing into an armed alarm moves the wake at the next tick.
    for (const char* never : {"07:30", "7:30 ", " 7:30", "7:3", "7:300", "24:00", "7:60", "7.30",
                              "-1:30", "", "7:30 Has Passed"}) {
        d.type(w.TxtTime, never);
        d.runFor(1000);
        EXPECT_FALSE(d.wake.armed) << "'" << never << "'";
    }
    d.type(w.TxtTime, "0:00");
    d.runFor(1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(7, 23, 59, 30)) << "the margin reaches back a day";
    d.type(w.TxtTime, "19:45");
    d.runFor(1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(*d.wake.armed,
              (WakeRequest{at(7, 19, 44, 30), false, "Tollvane: alarm at 19:45", "19:45"}));

    d.click(w, "CmdReset");
    EXPECT_FALSE(d.wake.armed);
    EXPECT_EQ(d.wake.calls.back(), std::nullopt);
}

TEST(AlarmWake, ClockSetBack_WakeMovesToTheAlarmThatComesAgainToday) {
    SimulatedDesktop d;
    startArmed(d, 9, 0, 0, {"7:30", "800", "100", "1"});
    d.runFor(2000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 7, 29, 30));
    d.clock.set(2026, 12, 7, 6, 0, 0);
    d.runFor(0);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(7, 7, 29, 30));
}

// Local time is the wall clock moved by an offset that the test changes, as a change of the
// computer's time zone moves it.
class MovableZone : public Clock {
public:
    LocalDateTime now() const override { return wall->at(wall->ms() + offsetMs); }
    LocalDateTime at(long long wallMs) const override { return wall->at(wallMs + offsetMs); }
    const FakeClock* wall = nullptr;
    long long offsetMs = 0;
};

TEST(AlarmWake, TimeZoneMoved_WakeFollowsWithinAMinute_AtOnceAfterAResume) {
    MovableZone zone;
    SimulatedDesktop d{zone};
    zone.wall = &d.clock;
    startArmed(d, 9, 0, 0, {"7:30", "800", "100", "1"});
    d.runFor(2000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 7, 29, 30));
    zone.offsetMs = 3600 * 1000;  // an hour east: 7:30 comes an hour earlier
    d.runFor(60 * 1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 6, 29, 30));
    zone.offsetMs = 0;
    d.resume();
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 7, 29, 30));
}

TEST(AlarmWake, Resume_ArmsTheSameWakeAgain_TheSystemsRefusalLoggedOnce) {
    SimulatedDesktop d;
    d.wake.why = "no permission";
    startArmed(d, 9, 0, 0, {"7:30", "800", "100", "1"});
    d.runFor(5000);
    const std::size_t calls = d.wake.calls.size();
    d.resume();
    ASSERT_EQ(d.wake.calls.size(), calls + 1);
    EXPECT_EQ(d.wake.calls.back(), d.wake.calls[calls - 1]);
    d.runFor(5000);
    EXPECT_EQ(d.logged, (std::vector<std::string>{
                            "the alarm at 7:30 may not find the computer awake: no permission"}));
}

TEST(AlarmWake, StoredAlarm_WakesFromTheStart_RungOneNot_ExitReleases) {
    MemorySettingsStore settings;
    MemoryFileSystem files;
    store(settings, keys::kTimeAlarm, "7:30 Has Passed");
    {
        SimulatedDesktop d(settings, files);
        d.start();
        EXPECT_FALSE(d.wake.armed);
    }
    store(settings, keys::kTimeAlarm, "7:30");
    SimulatedDesktop d(settings, files);
    d.start();
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, at(8, 7, 29, 30));
    d.click(d.main(), "MnuExit");
    EXPECT_FALSE(d.wake.armed);
}

TEST(AlarmWake, Ring_AsksForAttentionOnceInTheWindowThatShowsTheClock) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 9, 0, 30, {"9:01", "800", "100", "3"});
    d.runUntil(9, 1, 1);
    ASSERT_EQ(d.tone.beeps.size(), 3u);
    EXPECT_EQ(d.attention, (std::vector<const Form*>{&w}));

    d.click(w, "MnuClock");
    ringAt(d, 9, 2);
    ASSERT_EQ(d.attention.size(), 2u);
    EXPECT_EQ(d.attention[1], &d.program.frmclock());
}

}  // namespace
}  // namespace tollvane
