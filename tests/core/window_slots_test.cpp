// The five windows exist at most once, are made on first reference and again after a close.

#include <gtest/gtest.h>

#include "fakes/simulated_desktop.h"
#include "windows/form1.h"
#include "windows/frm_about.h"
#include "windows/frmhelp.h"

namespace tollvane {
namespace {

using fakes::SimulatedDesktop;

TEST(WindowSlots, FirstReference_CreatesLoadedHiddenWindowOnce) {
    SimulatedDesktop d;
    EXPECT_TRUE(d.program.loadedWindows().empty());
    frmclock& c = d.program.frmclock();
    EXPECT_FALSE(c.Visible);
    EXPECT_EQ(&c, &d.program.frmclock());
    EXPECT_EQ(d.program.loadedWindows().size(), 1u);
}

TEST(WindowSlots, MainWindowLoad_ReachesTheWindowBeingLoaded) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.program.frmAlarmClock();
    // The load sequence narrows the window through the arrow handler, which refers to the main
    // window while it is still loading: one window, narrowed.
    EXPECT_EQ(w.Width, frmAlarmClock::kNarrowWidth);
    EXPECT_EQ(d.program.loadedWindows().size(), 1u);
}

TEST(WindowSlots, UnloadedWindow_IsMadeAnewOnNextReference) {
    SimulatedDesktop d;
    frmAbout& first = d.program.frmAbout();
    first.lblTitle.Caption = "changed";
    d.program.Unload(first);
    d.program.releaseUnloaded();
    EXPECT_EQ(d.program.loadedWindows().size(), 0u);
    frmAbout& second = d.program.frmAbout();
    EXPECT_EQ(second.lblTitle.Caption, "Tollvane3");  // Form_Load ran again
}

TEST(WindowSlots, ShowingAShownWindow_CountsAsARequestToBringItUp) {
    SimulatedDesktop d;
    frmAbout& about = d.program.frmAbout();
    d.program.Show(about);
    d.program.Show(about);
    EXPECT_TRUE(about.Visible);
    EXPECT_EQ(about.showRequests, 2);
}

}  // namespace
}  // namespace tollvane
