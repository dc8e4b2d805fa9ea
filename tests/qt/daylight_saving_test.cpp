// Days on which the clocks change, in Europe/Berlin (ctest runs this file's tests in that zone):
// the program runs on the simulated desktop, whose virtual clock is here the wall clock in UTC,
// and reads its local time through the real clock adapter and the system's zone rules.
//   29 March 2026:   at 01:00 UTC, 2:00 CET becomes 3:00 CEST (the hour from 2:00 is skipped)
//   25 October 2026: at 01:00 UTC, 3:00 CEST becomes 2:00 CET (the hour from 2:00 comes twice)

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/simulated_desktop.h"
#include "platform/qt/clock.h"

namespace tollvane {
namespace {

using fakes::SimulatedDesktop;

// Milliseconds since 1970 of a time in UTC.
long long utc(int year, int month, int day, int hour, int minute, int second) {
    fakes::FakeClock c;  // the fake counts its time without a zone
    c.set(year, month, day, hour, minute, second);
    return c.ms();
}

struct Tick {
    long long utcMs;
    std::string clockText, secondText;
};

// The program on the simulated desktop with the real clock adapter reading the virtual clock.
class ChangeDay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_STREQ(std::getenv("TZ"), "Europe/Berlin") << "run by ctest, in the zone";
        d.onTick = [this] {
            ticks.push_back({lastReading, d.main().txttimetot.Text, d.main().txttimetot2.Text});
        };
    }
    // Starts the program at `startUtc` with the alarm armed for `alarm` (one beep of 100 ms).
    frmAlarmClock& startArmed(long long startUtc, const std::string& alarm) {
        d.clock.setMs(startUtc);
        frmAlarmClock& w = d.start();
        d.type(w.TxtTime, alarm);
        d.type(w.txtfreq1, "800");
        d.type(w.txtdura1, "100");
        d.type(w.txtam, "1");
        d.click(w, "CmdSet");
        return w;
    }
    const Tick* tickAt(long long utcMs) const {
        for (const Tick& t : ticks)
            if (t.utcMs == utcMs) return &t;
        return nullptr;
    }
    // After the first tick, 100 ms after the start, every tick came at a whole second, one
    // second after the one before, and the second shown is that second of the wall clock: none
    // skipped or shown twice around the change.
    void expectWholeSecondsThroughout() const {
        ASSERT_GT(ticks.size(), 2u);
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            const Tick& t = ticks[i];
            EXPECT_EQ(t.utcMs % 1000, 0) << "a tick off the whole second at " << t.utcMs;
            if (i > 1) {
                EXPECT_EQ(t.utcMs - ticks[i - 1].utcMs, 1000) << "at " << t.utcMs;
            }
            char second[8];
            std::snprintf(second, sizeof second, ":%02lld", (t.utcMs / 1000) % 60);
            EXPECT_EQ(t.secondText, second) << "at " << t.utcMs;
        }
    }

    // The adapter reads the virtual clock; the time of its last reading is the tick's time.
    long long lastReading = 0;
    QtClock localTime{[this] {
        lastReading = d.clock.ms();
        return WallTime(std::chrono::milliseconds(lastReading));
    }};
    SimulatedDesktop d{localTime};
    std::vector<Tick> ticks;
};

TEST_F(ChangeDay, SpringForward_ClockJumpsFrom159To300_AlarmInTheSkippedHourNeverRings) {
    frmAlarmClock& w = startArmed(utc(2026, 3, 29, 0, 58, 0), "2:30");
    d.runFor(70 * 60 * 1000);  // until 4:08 CEST

    const Tick* before = tickAt(utc(2026, 3, 29, 0, 59, 59));
    const Tick* after = tickAt(utc(2026, 3, 29, 1, 0, 0));
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->clockText + before->secondText, "1:59:59");
    EXPECT_EQ(after->clockText + after->secondText, "3:00:00");
    for (const Tick& t : ticks) EXPECT_NE(t.clockText.rfind("2:", 0), 0u) << t.clockText;
    // No tick of 2:30 came: a minute without a tick rings nothing, and nothing is caught up.
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_EQ(w.TxtTime.Text, "2:30");
    EXPECT_FALSE(w.CmdSet.Enabled);  // still armed, for the next 2:30
    expectWholeSecondsThroughout();
}

TEST_F(ChangeDay, SpringForward_AlarmAtThreeRingsAtTheFirstTickAfterTheJump) {
    frmAlarmClock& w = startArmed(utc(2026, 3, 29, 0, 59, 0), "3:00");
    d.runFor(3 * 60 * 1000);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].startMs, utc(2026, 3, 29, 1, 0, 0));
    EXPECT_EQ(w.TxtTime.Text, "3:00 Has Passed");
}

TEST_F(ChangeDay, FallBack_ClockGoesFrom259BackTo200_AlarmInTheRepeatedHourRingsOnce) {
    frmAlarmClock& w = startArmed(utc(2026, 10, 25, 0, 25, 0), "2:30");
    d.runFor(70 * 60 * 1000);  // until the second 2:35, in CET

    const Tick* before = tickAt(utc(2026, 10, 25, 0, 59, 59));
    const Tick* after = tickAt(utc(2026, 10, 25, 1, 0, 0));
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->clockText + before->secondText, "2:59:59");
    EXPECT_EQ(after->clockText + after->secondText, "2:00:00");
    const Tick* secondHalfPast = tickAt(utc(2026, 10, 25, 1, 30, 0));
    ASSERT_TRUE(secondHalfPast);
    EXPECT_EQ(secondHalfPast->clockText, "2:30");  // the hour came again
    // It rang at the first 2:30 only, and the rung alarm never matches again.
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].startMs, utc(2026, 10, 25, 0, 30, 0));
    EXPECT_EQ(w.TxtTime.Text, "2:30 Has Passed");
    expectWholeSecondsThroughout();
}

// The computer is woken for the minute in which the clock really shows the alarm time.
TEST_F(ChangeDay, SpringForward_WakeForASkippedTimeComesTheNextDay_OthersInTheirOwnOffset) {
    frmAlarmClock& w = startArmed(utc(2026, 3, 28, 21, 0, 0), "2:30");  // 22:00 CET
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, utc(2026, 3, 30, 0, 29, 30));  // 2:30 CEST on the 30th
    d.type(w.TxtTime, "3:00");
    d.runFor(1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, utc(2026, 3, 29, 0, 59, 30));  // 3:00 CEST, after the jump
    d.type(w.TxtTime, "1:59");
    d.runFor(1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, utc(2026, 3, 29, 0, 58, 30));  // 1:59 CET, before it
}

TEST_F(ChangeDay, FallBack_WakeForTheFirst230_OnceThatHasGoneForTheSecond_WhichRings) {
    startArmed(utc(2026, 10, 24, 20, 0, 0), "2:30");  // 22:00 CEST
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, utc(2026, 10, 25, 0, 29, 30));  // 2:30 CEST
    // The clock set on to 2:45 CEST: the first 2:30 went by without a tick, the second is to come.
    d.clock.setMs(utc(2026, 10, 25, 0, 45, 0));
    d.runFor(1000);
    ASSERT_TRUE(d.wake.armed);
    EXPECT_EQ(d.wake.armed->wallMs, utc(2026, 10, 25, 1, 29, 30));  // 2:30 CET
    d.runFor(46 * 60 * 1000);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].startMs, utc(2026, 10, 25, 1, 30, 0));
}

// The calendar's date follows local time too: a start just after local midnight, which is still
// the day before in UTC, shows the local day.
TEST_F(ChangeDay, StartAfterLocalMidnight_CalendarOnTheLocalDay) {
    d.clock.setMs(utc(2026, 10, 24, 22, 30, 0));  // 0:30 CEST on the 25th
    frmAlarmClock& w = d.start();
    EXPECT_EQ(w.Calendar1.Day(), 25);
    d.runFor(2000);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.back().clockText, "0:30");
}

}  // namespace
}  // namespace tollvane
