// What both desktops leave to the running program: a view for each window shown, kept in line with
// its model and gone with it; the desktop's one wake-up; a second start; the end of a ring and of
// the session.

#include <gtest/gtest.h>

#include "core/core_test_support.h"
#include "windows/frm_about.h"

namespace tollvane {
namespace {

using namespace coretest;
using fakes::SimulatedView;

TEST(RunningProgram, Views_MadeWhenFirstShown_MirroredAfterEachEvent_GoneWithTheirModel) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    SimulatedView* main = d.view(w);
    ASSERT_NE(main, nullptr);
    const int mirrors = main->mirrors;
    d.click(w, "cmdRem");
    EXPECT_EQ(main->mirrors, mirrors + 1);
    // The first tick makes the clock-only window, hidden: it has no view until it is shown.
    d.runFor(1000);
    ASSERT_TRUE(d.isLoadedClockWindow());
    EXPECT_EQ(d.view(d.program.frmclock()), nullptr);
    d.click(w, "MnuClock");
    EXPECT_NE(d.view(d.program.frmclock()), nullptr);
    EXPECT_EQ(d.view(w), main);  // hidden, the main window keeps its view

    d.click(w, "MnuAbout");
    frmAbout& about = d.program.frmAbout();
    ASSERT_NE(d.view(about), nullptr);
    d.click(about, "cmdOK");  // unloads the About window
    EXPECT_EQ(d.view(about), nullptr);

    d.click(w, "MnuExit");
    EXPECT_EQ(d.view(w), nullptr);
    EXPECT_EQ(d.view(d.program.frmclock()), nullptr);
    EXPECT_FALSE(d.aimed);  // nothing wakes the desktop any more
}

// The arrow buttons set the main window's width, which its view takes once; a sizable window's
// size is the user's, whatever its model's width says.
TEST(RunningProgram, ViewChanges_FixedWindowTakesANewWidthOnce_SizableNever) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "cmdRem");
    EXPECT_TRUE(d.view(w)->told.width);
    d.activate(w);
    EXPECT_FALSE(d.view(w)->told.width);
    d.click(w, "MnuClock");
    frmclock& clock = d.program.frmclock();
    d.post([&clock] { clock.Width += 300; });
    EXPECT_FALSE(d.view(clock)->told.width);
}

// Shown, a window's controls are brought in line; hidden, they are left alone. Each Show of a
// window already shown brings it up once.
TEST(RunningProgram, ViewChanges_ShownAgainWhileShown_RaisedOnce_HiddenControlsLeftAlone) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    SimulatedView& v = *d.view(w);
    d.post([&] { d.program.Show(w); });
    EXPECT_TRUE(v.told.raise);
    EXPECT_FALSE(v.told.visible);
    d.activate(w);
    EXPECT_FALSE(v.told.raise);
    d.click(w, "MnuClock");
    EXPECT_EQ(v.told.visible, false);
    EXPECT_FALSE(v.told.controls);
    d.click(d.program.frmclock(), "MnuFull");
    EXPECT_EQ(v.told.visible, true);
    EXPECT_TRUE(v.told.controls);
    EXPECT_FALSE(v.told.raise);  // newly shown, it comes up as it is shown
}

TEST(RunningProgram, SecondStartInClockView_FullViewShownAndBroughtToTheFrontWithTheToken) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "MnuClock");
    d.running.secondStart("activation-token");
    EXPECT_TRUE(w.Visible);
    EXPECT_FALSE(d.program.frmclock().Visible);
    EXPECT_EQ(d.view(w)->broughtToFront, std::vector<std::string>{"activation-token"});
}

TEST(RunningProgram, Ring_TheDesktopHearsOfEachRingsEndOnce) {
    SimulatedDesktop d;
    startArmed(d, 9, 0, 50, {"9:01", "800", "100", "3"});
    d.runUntil(9, 1, 5);
    ASSERT_EQ(d.tone.beeps.size(), 3u);
    EXPECT_EQ(d.ringsEnded, 1);
    ringAt(d, 9, 2);
    EXPECT_EQ(d.ringsEnded, 2);
    // The tone too, after each ring's last beep.
    EXPECT_EQ(d.tone.beepsAtRingEnds, (std::vector<std::size_t>{3, 4}));
}

// The close box of About pressed twice during a ring, then Help > About: the requests are held and
// run after the ring, one by one. The first unloads About; the second, and a third that comes after
// About was made anew (perhaps where the old one lay in memory), belong to the window that went,
// and run nothing.
TEST(RunningProgram, CloseRequestsHeldDuringARing_RunOnlyForTheLoadTheyCameFrom) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 59, {"7:30", "800", "300", "3"});
    d.click(w, "MnuAbout");
    frmAbout& about = d.program.frmAbout();
    d.tone.onBeep = [&] {
        if (d.tone.beeps.size() != 1) return;
        d.close(about);
        d.close(about);
        d.click(w, "MnuAbout");
        d.close(about);
    };
    d.runUntil(7, 30, 2);
    ASSERT_EQ(d.tone.beeps.size(), 3u);
    ASSERT_FALSE(d.program.ended());
    ASSERT_EQ(loadedCount<frmAbout>(d), 1);
    frmAbout& again = d.program.frmAbout();
    EXPECT_TRUE(again.Visible);
    EXPECT_NE(d.view(again), nullptr);
    const int ticks = d.ticks;
    d.runFor(2000);
    EXPECT_EQ(d.ticks, ticks + 2);
    d.click(again, "cmdOK");
    EXPECT_EQ(loadedCount<frmAbout>(d), 0);
}

// Windows may end the process as soon as it has told of the session's end: a ring that cannot
// finish leaves the alarm as it would have, rung.
TEST(RunningProgram, SessionEndsDuringARing_AlarmSavedAsRung_TheProcessMustEndAtOnce) {
    SimulatedDesktop d;
    startArmed(d, 7, 29, 59, {"7:30", "800", "500", "20"});
    bool endedInTheRing = false;
    d.tone.onBeep = [&] {
        if (d.tone.beeps.size() != 2) return;
        d.running.endWithTheSession();
        endedInTheRing = d.program.ended();
    };
    d.runUntil(7, 30, 5);
    EXPECT_TRUE(endedInTheRing);
    EXPECT_EQ(d.tone.beeps.size(), 2u);
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "7:30 Has Passed");
    // Rung, it no longer starts with the next session.
    EXPECT_EQ(d.sessionStart.calls, (std::vector<bool>{false, true, false}));
}

TEST(RunningProgram, SessionEndsWhileIdle_ExitSequenceAsFileExitRunsIt_ProgramHasEnded) {
    SimulatedDesktop d;
    frmAlarmClock& w = startAt(d, 9, 0, 0);
    d.type(w.TxtTime, "6:45");
    d.running.endWithTheSession();
    EXPECT_TRUE(d.program.ended());
    EXPECT_EQ(stored(d.settings, keys::kTimeAlarm), "6:45");
}

}  // namespace
}  // namespace tollvane
