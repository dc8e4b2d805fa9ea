#pragma once
// The program on a simulated desktop: fakes for every platform service, the window slots, and the
// program's scheduler driven in virtual time (a week of ticks in well under a second). The
// scheduler is the one the real desktop runs, so the tests prove the rules of time the program
// follows.

#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/scheduler.h"
#include "app/wake_aim.h"
#include "fakes/fake_ports.h"
#include "windows/form.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane::fakes {

class SimulatedDesktop : private Scheduler::Time {
public:
    SimulatedDesktop();
    explicit SimulatedDesktop(MemorySettingsStore& sharedSettings, MemoryFileSystem& sharedFiles);
    // The program reads the time from `localClock`, a real clock adapter that turns the virtual
    // clock (then the wall clock, in UTC) into the local time of a real time zone.
    explicit SimulatedDesktop(Clock& localClock);

    // Loads and shows the main window and makes it the active window, as the program's start does.
    frmAlarmClock& start();
    frmAlarmClock& main() { return program.frmAlarmClock(); }

    // Runs every timer that falls due within the next `ms` milliseconds of virtual time.
    void runFor(long long ms);
    // Runs until the clock reads the given time of day (today, or tomorrow if it has passed).
    void runUntil(int hour, int minute, int second);

    // User events, each dispatched like the real desktop dispatches them. A click on a disabled
    // button does nothing; a click on a control or menu item that has no Click handler is a fault
    // of the test and fails it.
    void click(Form& window, const std::string& controlName);
    void type(TextBox& box, const std::string& text) { box.Text = text; }
    void activate(Form& window);
    void close(Form& window);

    // Input that arrives while a handler is running (a click during a ring): held until the ring
    // has ended, as the real desktop holds it.
    void post(std::function<void()> event) { scheduler.post(std::move(event)); }

    // A signal or the session's logout asks the program to end, as the real desktop passes it on.
    void endFromOutside() {
        scheduler.postEndRequest([this] { program.EndRequested(); });
    }

    // The computer has resumed from sleep: the desktop re-aims the wake and runs what fell due.
    void resume();

    bool isLoadedClockWindow();

    FakeClock clock;
    FakeTone tone{clock};
    RingTone ringTone{tone};
    MemorySettingsStore ownSettings;
    MemoryFileSystem ownFiles;
    MemorySettingsStore& settings;
    MemoryFileSystem& files;
    ScriptedMessageBox messages;
    FakeHelpViewer help;
    FakeBrowser browser;
    Clock& localTime;  // `clock` itself unless one was given
    Program program;
    Scheduler scheduler;
    FakeWake wake;
    std::vector<std::string> told;  // what the program said of the wake, one line each
    WakeAim wakeAim{program, wake, [this](const std::string& line) { told.push_back(line); }};
    std::vector<const Form*> attention;  // the window that asked for attention, at each ring

    int ticks = 0;                 // clock ticks of the main window so far
    std::function<void()> onTick;  // runs after each clock tick of the main window

private:
    SimulatedDesktop(MemorySettingsStore& sharedSettings, MemoryFileSystem& sharedFiles,
                     Clock* localTime);
    Scheduler::Instant now() const override { return {clock.ms(), clock.ms()}; }
};

}  // namespace tollvane::fakes
