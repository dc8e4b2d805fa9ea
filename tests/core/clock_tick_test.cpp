// The one-second clock tick: the time in both windows, and the alarm that rings once at the first
// tick of its minute.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(ClockTick, AtZeroFiveNine_BothWindowsShowIt_ClockWindowMadeHiddenByTheFirstTick) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 0, 5, 8, 950);
    EXPECT_FALSE(d.isLoadedClockWindow());
    d.runFor(100);
    ASSERT_EQ(d.ticks, 1);
    expectShows(w, "0:05", ":09");
    ASSERT_TRUE(d.isLoadedClockWindow());
    frmclock& c = d.program.frmclock();
    EXPECT_FALSE(c.Visible);
    expectShows(c, "0:05", ":09");
    EXPECT_TRUE(w.Visible);
}

TEST(ClockTick, FirstTickAbout100msAfterLoad_ThenOnEveryWholeSecond) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 7, 9, 0, 0, 250);
    std::vector<long long> tickTimes;
    d.onTick = [&] { tickTimes.push_back(d.clock.ms()); };
    frmAlarmClock& w = d.start();
    d.runFor(99);
    EXPECT_TRUE(tickTimes.empty());
    d.runFor(5000 - 99);
    const std::vector<long long> expected = {at(7, 9, 0, 0, 350), at(7, 9, 0, 1), at(7, 9, 0, 2),
                                             at(7, 9, 0, 3),      at(7, 9, 0, 4), at(7, 9, 0, 5)};
    EXPECT_EQ(tickTimes, expected);
    EXPECT_EQ(w.Timer1.Interval, 1000);
    EXPECT_EQ(w.txttimetot2.Text, ":05");
}

TEST(ClockTick, Armed1930Count3_ThreeBeepsBackToBackThenHasPassedAndNothingMore) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 19, 29, 50, {"19:30", "800", "200", "3"});
    d.runUntil(19, 29, 59);
    EXPECT_TRUE(d.tone.beeps.empty());
    d.runUntil(19, 30, 0);
    ASSERT_EQ(d.tone.beeps.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        expectBeep(d.tone.beeps[i], 800, 200);
        EXPECT_EQ(d.tone.beeps[i].startMs, at(7, 19, 30, 0) + 200 * static_cast<long long>(i));
    }
    EXPECT_EQ(w.TxtTime.Text, "19:30 Has Passed");
    EXPECT_FALSE(w.CmdSet.Enabled);  // rung is still armed, with a text that never matches
    d.runUntil(19, 35, 0);
    EXPECT_EQ(d.tone.beeps.size(), 3u);
    // The same time the next day (the whole day in between is run by WholeDay_... below).
    d.clock.set(2026, 12, 8, 19, 29, 50);
    d.runUntil(19, 31, 0);
    EXPECT_EQ(d.tone.beeps.size(), 3u);
    EXPECT_EQ(w.TxtTime.Text, "19:30 Has Passed");
}

TEST(ClockTick, RingingTick_EnablesTheReminderCheckBeforeTheFirstBeep) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "800", "100", "2"});
    std::vector<bool> checkEnabledAtBeep;
    d.tone.onBeep = [&] { checkEnabledAtBeep.push_back(w.Timer2.Enabled); };
    d.runUntil(7, 29, 59);
    EXPECT_FALSE(w.Timer2.Enabled);
    d.runUntil(7, 30, 0);
    EXPECT_EQ(checkEnabledAtBeep, (std::vector<bool>{true, true}));
    EXPECT_TRUE(w.Timer2.Enabled);
    d.runFor(1000);  // the check runs once and turns itself off
    EXPECT_FALSE(w.Timer2.Enabled);
}

TEST(ClockTick, ReminderOptionCleared_RingsButLeavesTheCheckOff) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "800", "100", "1"});
    w.OptDate.Value = false;
    d.runUntil(7, 30, 0);
    EXPECT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
}

struct CountCase {
    const char* stored;  // nullptr: no count stored
    std::size_t beeps;
};

class RestoredCount : public ::testing::TestWithParam<CountCase> {};

// The count the ring uses is the captured one, here the one restored at start-up.
TEST_P(RestoredCount, RingsThatManyBeepsAndMarksTheAlarmRung) {
    SimulatedDesktop d;
    storeAlarm(d.settings, "7:30", "800", "50");
    if (GetParam().stored) store(d.settings, keys::kAlarmMusic3, GetParam().stored);
    frmAlarmClock& w = startAt(d, 7, 29, 58);
    d.runUntil(7, 30, 0);
    EXPECT_EQ(d.tone.beeps.size(), GetParam().beeps);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    d.runFor(120000);
    EXPECT_EQ(d.tone.beeps.size(), GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(Counts, RestoredCount,
                         ::testing::Values(CountCase{nullptr, 1}, CountCase{"", 1},
                                           CountCase{"0", 0}, CountCase{"2", 2},
                                           CountCase{"2.5", 2}, CountCase{"-3", 0},
                                           CountCase{"many", 1}));

TEST(ClockTick, UnplayableTone_RingIsSilentTakesNoTimeAndStillMarksTheAlarmRung) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "20", "500", "5"});
    std::vector<long long> tickTimes;
    d.onTick = [&] { tickTimes.push_back(d.clock.ms()); };
    d.runUntil(7, 30, 1);
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_EQ(tickTimes.back(), at(7, 7, 30, 1));
    EXPECT_EQ(tickTimes[tickTimes.size() - 2], at(7, 7, 30, 0));
}

class NonMatchingAlarmText : public ::testing::TestWithParam<const char*> {};

TEST_P(NonMatchingAlarmText, NeverRings) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 0, {GetParam(), "800", "100", "1"});
    bool checkEverEnabled = false;
    d.onTick = [&] { checkEverEnabled = checkEverEnabled || w.Timer2.Enabled; };
    d.runUntil(7, 32, 0);
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_FALSE(checkEverEnabled);
    EXPECT_EQ(w.TxtTime.Text, GetParam());
}

INSTANTIATE_TEST_SUITE_P(OnlyTheClocksOwnFormRings, NonMatchingAlarmText,
                         ::testing::Values("07:30", "7:30 ", " 7:30", "7:3", "7.30", "7:30am",
                                           "7:30:00", "19:30"));

TEST(ClockTick, NotArmed_OnlyTheDisplayChanges) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 7, 29, 58);
    d.type(w.TxtTime, "7:30");
    d.runUntil(7, 31, 0);
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_EQ(w.TxtTime.Text, "7:30");
    EXPECT_FALSE(w.Timer2.Enabled);
    EXPECT_TRUE(w.CmdSet.Enabled);
    expectShows(w, "7:31", ":00");
}

TEST(ClockTick, ClosedClockWindow_MadeAgainHiddenByTheNextTickWithTheCurrentTime) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.runFor(100);
    d.click(w, "MnuClock");
    ASSERT_TRUE(d.program.frmclock().Visible);
    d.runFor(2000);
    d.close(d.program.frmclock());
    EXPECT_FALSE(d.isLoadedClockWindow());
    EXPECT_TRUE(w.Visible);
    d.runFor(1000);
    ASSERT_TRUE(d.isLoadedClockWindow());
    frmclock& again = d.program.frmclock();
    EXPECT_FALSE(again.Visible);
    expectShows(again, "9:00", ":03");
}

TEST(ClockTick, Midnight_HourShowsAsZero_AlarmAtZeroRings) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 31, 23, 59, 58, 950);
    frmAlarmClock& w = d.start();
    arm(d, {"0:00", "800", "10", "1"});
    d.runFor(100);
    expectShows(w, "23:59", ":59");
    d.runFor(1000);
    expectShows(w, "0:00", ":00");
    EXPECT_EQ(d.program.frmclock().txttimetot.Text, "0:00");
    EXPECT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(w.TxtTime.Text, "0:00 Has Passed");
}

TEST(ClockTick, ClockSetForwardAcrossTheAlarmMinute_RingsNothingUntilThatTimeComesAgain) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "1"});
    d.runFor(5000);
    d.clock.set(2026, 12, 7, 7, 31, 20);
    d.runFor(600 * 1000);
    EXPECT_TRUE(d.tone.beeps.empty());
    EXPECT_EQ(w.TxtTime.Text, "7:30");  // still armed for that time
    d.clock.set(2026, 12, 8, 7, 29, 0);
    d.runUntil(7, 29, 59);
    EXPECT_TRUE(d.tone.beeps.empty());
    d.runFor(1000);
    ASSERT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_EQ(d.tone.beeps[0].startMs, at(8, 7, 30, 0));
}

TEST(ClockTick, WholeDay_EverySecondShownOnceInOrder_AlarmRingsOnce) {
    SimulatedDesktop d;
    d.clock.set(2026, 12, 6, 23, 59, 59, 900);
    frmAlarmClock& w = d.start();
    arm(d, {"13:07", "800", "100", "2"});
    std::vector<std::string> shown;
    shown.reserve(86400);
    bool windowsAgree = true;
    d.onTick = [&] {
        shown.push_back(w.txttimetot.Text + w.txttimetot2.Text);
        const frmclock& c = d.program.frmclock();
        windowsAgree = windowsAgree && c.txttimetot.Text == w.txttimetot.Text &&
                       c.txttimetot2.Text == w.txttimetot2.Text;
    };
    d.runFor(24LL * 3600 * 1000);
    ASSERT_EQ(shown.size(), 86400u);
    char expected[16];
    int mismatches = 0;
    for (int i = 0; i < 86400 && mismatches < 5; ++i) {
        std::snprintf(expected, sizeof expected, "%d:%02d:%02d", i / 3600, i / 60 % 60, i % 60);
        if (shown[static_cast<std::size_t>(i)] != expected) {
            ADD_FAILURE() << "tick " << i << " showed " << shown[static_cast<std::size_t>(i)]
                          << ", expected " << expected;
            ++mismatches;
        }
    }
    EXPECT_TRUE(windowsAgree);
    ASSERT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(d.tone.beeps[0].startMs, at(7, 13, 7, 0));
    EXPECT_EQ(w.TxtTime.Text, "13:07 Has Passed");
}

TEST(ClockTick, MainWindowHiddenInClockView_AlarmStillRings) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "2"});
    d.click(w, "MnuClock");
    ASSERT_FALSE(w.Visible);
    d.runUntil(7, 30, 0);
    EXPECT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    EXPECT_FALSE(w.Visible);  // ringing brings nothing to the front
    EXPECT_EQ(d.program.frmclock().txttimetot.Text, "7:30");
}

TEST(ClockTick, Count32767_RingsExactlyThatManyThenTheClockGoesOn) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 58, {"7:30", "800", "1", "32767"});
    d.runUntil(7, 30, 0);
    const int ticksAfterRing = d.ticks;
    ASSERT_EQ(d.tone.beeps.size(), 32767u);
    EXPECT_EQ(d.tone.beeps.back().startMs, at(7, 7, 30, 0) + 32766);
    EXPECT_EQ(w.TxtTime.Text, "7:30 Has Passed");
    // The ticks that fell due during the ring come as one, right after it; then whole seconds.
    EXPECT_EQ(w.txttimetot2.Text, ":32");
    d.runUntil(7, 30, 33);
    EXPECT_EQ(d.ticks, ticksAfterRing + 1);
    EXPECT_EQ(w.txttimetot2.Text, ":33");
    d.runFor(60000);
    EXPECT_EQ(d.tone.beeps.size(), 32767u);
}

}  // namespace
}  // namespace tollvane
