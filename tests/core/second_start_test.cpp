// A second start of the program hands over to the running one, which brings its full view up.

#include <gtest/gtest.h>

#include "app/second_start.h"
#include "core/core_test_support.h"

namespace tollvane {
namespace {

using namespace coretest;

void secondStart(SimulatedDesktop& d) {
    d.post([&d] { showFullViewForSecondStart(d.program); });
    d.runFor(1);
}

TEST(SecondStart, InClockView_FullViewComesBackAsItsMenuBringsIt_WidthKept) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.runFor(1000);
    d.click(w, "cmdRem");
    d.click(w, "MnuClock");
    ASSERT_FALSE(w.Visible);
    ASSERT_TRUE(d.program.frmclock().Visible);
    secondStart(d);
    EXPECT_TRUE(w.Visible);
    EXPECT_FALSE(d.program.frmclock().Visible);
    EXPECT_EQ(w.Width, frmAlarmClock::kFullWidth);
    // The hidden clock window stays loaded: its figures keep being written.
    EXPECT_EQ(loadedCount<frmclock>(d), 1);
}

TEST(SecondStart, InFullView_TheMainWindowIsShownAgain_NoClockWindowMade) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    const int shows = w.showRequests;
    secondStart(d);
    EXPECT_TRUE(w.Visible);
    EXPECT_EQ(w.showRequests, shows + 1);
    EXPECT_EQ(loadedCount<frmclock>(d), 0);
}

TEST(SecondStart, AlarmArmedInClockView_StaysArmedAndRingsAfterTheHandOver) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 14, 50);
    arm(d, {"9:15", "800", "100", "2"});
    d.click(w, "MnuClock");
    secondStart(d);
    EXPECT_FALSE(w.CmdSet.Enabled);
    d.runUntil(9, 15, 2);
    EXPECT_EQ(w.TxtTime.Text, "9:15 Has Passed");
}

TEST(SecondStart, AfterTheProgramEnded_NothingHappens) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "MnuExit");
    ASSERT_TRUE(d.program.ended());
    const auto before = d.program.loadedWindows();
    showFullViewForSecondStart(d.program);
    EXPECT_EQ(d.program.loadedWindows(), before);  // no window made or shown anew
}

}  // namespace
}  // namespace tollvane
