// The program's rules of time, through the scheduler that the real desktop runs too: whole-second
// ticks, what a ring holds back and releases, the wall clock set back, and clicks a test gets
// wrong.

#include <gtest/gtest-spi.h>

#include "core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(Scheduler, FirstTickAfter100ms_ThenAtEveryWholeSecond) {
    SimulatedDesktop d;
    std::vector<long long> tickTimes;
    d.onTick = [&] { tickTimes.push_back(d.clock.ms()); };
    startAt(d, 9, 0, 0, 450);
    d.runFor(3000);
    const long long t0 = at(7, 9, 0, 0);
    EXPECT_EQ(tickTimes, (std::vector<long long>{t0 + 550, t0 + 1000, t0 + 2000, t0 + 3000}));
}

TEST(Scheduler, WallClockSetBackAnHour_TickComesAtOnceAndFollowsTheNewTime) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.runFor(5000);
    ASSERT_EQ(w.txttimetot2.Text, ":05");
    const int ticks = d.ticks;
    d.clock.set(2026, 12, 7, 8, 0, 5, 300);
    d.runFor(0);
    EXPECT_EQ(d.ticks, ticks + 1);
    EXPECT_EQ(w.txttimetot.Text, "8:00");
    d.runFor(700);
    EXPECT_EQ(d.ticks, ticks + 2);
    EXPECT_EQ(w.txttimetot2.Text, ":06");
}

TEST(Scheduler, WallClockSetForward_OneTickNotOneForEverySkippedSecond) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.runFor(2000);
    const int ticks = d.ticks;
    d.clock.set(2026, 12, 7, 11, 0, 0, 400);
    d.runFor(0);
    EXPECT_EQ(d.ticks, ticks + 1);
    EXPECT_EQ(w.txttimetot.Text, "11:00");
    d.runFor(600);
    EXPECT_EQ(d.ticks, ticks + 2);
}

TEST(Scheduler, InputDuringRing_HeldUntilItEnds_ThenBeforeTheTimersThatFellDue) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "800", "1000", "3"});
    std::vector<std::string> order;
    d.tone.onBeep = [&] {
        if (d.tone.beeps.size() != 1) return;
        d.post([&] { order.push_back("click " + w.TxtTime.Text); });
    };
    d.runUntil(7, 29, 59);
    const int ticksBefore = d.ticks;
    d.onTick = [&] { order.push_back("tick " + w.txttimetot2.Text); };
    d.runUntil(7, 30, 0);
    // The click came during the first beep, ran when the third had ended, and saw the ring's end.
    EXPECT_EQ(order, (std::vector<std::string>{"tick :00", "click 7:30 Has Passed", "tick :03"}));
    EXPECT_EQ(d.ticks, ticksBefore + 2);
    // The reminder check that the ringing tick enabled fell due during the ring and ran after it.
    EXPECT_FALSE(w.Timer2.Enabled);
}

TEST(Scheduler, TimerEnabledDuringAnEvent_CountsFromWhenTheEventBegan) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.runFor(500);
    int checks = 0;
    d.scheduler.afterTimer = [&](Form&, const std::string& timer) { checks += timer == "Timer2"; };
    d.post([&] {
        w.Timer2.Enabled = true;
        d.clock.advance(400);  // a long handler
    });
    d.runFor(599);
    EXPECT_EQ(checks, 0);
    d.runFor(1);
    EXPECT_EQ(checks, 1);
    EXPECT_FALSE(w.Timer2.Enabled);
}

TEST(Scheduler, ProgramEnded_NoTimerFiresAgain) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.runFor(1000);
    d.close(w);  // the exit sequence
    ASSERT_TRUE(d.program.ended());
    const int ticks = d.ticks;
    d.runFor(5000);
    EXPECT_EQ(d.ticks, ticks);
    EXPECT_FALSE(d.scheduler.nextWake().wallMs.has_value());
}

TEST(Scheduler, EndRequestDuringLongRing_RingEndsAfterTheSoundingBeep_ValuesSaved) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 59, {"7:30", "800", "500", "20"});
    d.tone.onBeep = [&] {
        if (d.tone.beeps.size() == 1) d.post([&] { d.click(w, "CmdReset"); });  // Stop, held
        if (d.tone.beeps.size() == 4) d.endFromOutside();  // the session logs out
    };
    d.runUntil(7, 30, 5);
    EXPECT_EQ(d.tone.beeps.size(), 4u);
    ASSERT_TRUE(d.program.ended());
    // The ring ran to its end in silence and marked the alarm; the held Stop never ran.
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:30 Has Passed");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic), "800");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic2), "500");
    EXPECT_EQ(stored(d.settings, keys::kAlarmMusic3), "20");
    EXPECT_EQ(d.clock.ms(), at(7, 7, 30, 2));  // four beeps of 500 ms, then the end
}

TEST(Scheduler, EndRequestWhileIdle_RunsTheExitSequenceAtOnce) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.type(w.TxtTime, "6:45");
    d.endFromOutside();
    ASSERT_TRUE(d.program.ended());
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "6:45");
}

// Once silenced the tone plays nothing more: the rest of a ring of any length runs through at once.
TEST(RingTone, Silenced_LaterBeepsPlayNothingAndTakeNoTime) {
    FakeClock clock;
    FakeTone backend(clock);
    RingTone ring(backend);
    ring.beep(800, 30);
    ring.silence();
    const long long before = clock.ms();
    for (int i = 0; i < 32767; ++i) ring.beep(800, 60000);
    EXPECT_EQ(backend.beeps.size(), 1u);
    EXPECT_EQ(clock.ms(), before);
    EXPECT_FALSE(ring.ringing());
}

TEST(SimulatedDesktopClicks, ControlWithoutClickHandler_FailsTheTest) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    EXPECT_NONFATAL_FAILURE(d.click(w, "CmdSte"), "has no Click handler");
    EXPECT_NONFATAL_FAILURE(d.click(w, "txttimetot"), "has no Click handler");
}

}  // namespace
}  // namespace tollvane
