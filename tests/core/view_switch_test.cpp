// Switching between the full main window and the clock-only window.

#include <gtest/gtest.h>

#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

TEST(ViewSwitch, ClockOnly_ShowsTheClockWindowAlreadyRunning_HidesTheMainWindow) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 15, 0);
    EXPECT_EQ(loadedCount<frmclock>(d), 0);
    d.runFor(3000);
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
    d.click(w, "MnuClock");
    frmclock& c = d.program.frmclock();
    EXPECT_TRUE(c.Visible);
    EXPECT_FALSE(w.Visible);
    expectShows(c, "9:15", ":03");
    EXPECT_EQ(c.Caption, "Tollvane(Clock View)");
    // The hidden main window's tick keeps the figures moving.
    d.runFor(2000);
    EXPECT_EQ(c.txttimetot2.Text, ":05");
    EXPECT_EQ(w.txttimetot2.Text, ":05");
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
}

TEST(ViewSwitch, FullViewOnTheClockWindow_MainWindowBackAtTheWidthItHad) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.runFor(1000);
    d.click(w, "cmdRem");
    ASSERT_EQ(w.Width, frmAlarmClock::kFullWidth);
    d.click(w, "MnuClock");
    d.runFor(5000);
    d.click(d.program.frmclock(), "MnuFull");
    EXPECT_TRUE(w.Visible);
    EXPECT_FALSE(d.program.frmclock().Visible);
    EXPECT_EQ(w.Width, frmAlarmClock::kFullWidth);
    // And the narrow width is kept the same way.
    d.click(w, "CmdIn");
    d.click(w, "MnuClock");
    d.click(d.program.frmclock(), "MnuFull");
    EXPECT_EQ(w.Width, frmAlarmClock::kNarrowWidth);
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
}

TEST(ViewSwitch, FullViewOnTheMainWindow_HidesTheClockWindow_MakingItHiddenIfNeeded) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    // Before the first tick the clock window does not exist yet; Full View makes it, hidden.
    d.click(w, "MnuAlarm");
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
    EXPECT_FALSE(d.program.frmclock().Visible);
    EXPECT_TRUE(w.Visible);
    const int mainShows = w.showRequests;
    d.click(w, "MnuAlarm");
    EXPECT_TRUE(w.Visible);
    EXPECT_EQ(w.showRequests, mainShows + 1);  // shown again: brought up, nothing else
    EXPECT_FALSE(d.program.frmclock().Visible);
}

TEST(ViewSwitch, ClockOnlyTwice_OneClockWindowStillShown) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.runFor(1000);
    d.click(w, "MnuClock");
    d.click(w, "MnuClock");
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
    EXPECT_TRUE(d.program.frmclock().Visible);
    EXPECT_EQ(d.program.frmclock().showRequests, 2);
    EXPECT_FALSE(w.Visible);
}

TEST(ViewSwitch, ClosingTheClockWindow_BringsTheMainWindowBack_NextClockOnlyMakesAFreshOne) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 15, 0);
    d.click(w, "cmdRem");
    d.runFor(1000);
    d.click(w, "MnuClock");
    const int mainShows = w.showRequests;
    d.close(d.program.frmclock());
    EXPECT_TRUE(w.Visible);
    EXPECT_EQ(w.showRequests, mainShows + 1);
    EXPECT_EQ(w.Width, frmAlarmClock::kFullWidth);
    EXPECT_EQ(loadedCount<frmclock>(d), 0);
    EXPECT_FALSE(d.program.ended());  // closing it does not end the program
    d.runFor(1000);
    d.click(w, "MnuClock");
    frmclock& again = d.program.frmclock();
    EXPECT_TRUE(again.Visible);
    EXPECT_EQ(again.showRequests, 1);
    EXPECT_EQ(again.txttimetot2.Text, ":02");
    EXPECT_FALSE(w.Visible);
}

}  // namespace
}  // namespace tollvane
