#pragma once
// The program on a simulated desktop: fakes for every platform service, and the running program
// that the real desktops run (app/running_program.h) over them, its wake-up taken in virtual time
// (a week of ticks in well under a second), so the tests prove the rules of time the program
// follows. Each window shown has a view that records what is asked of it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/running_program.h"
#include "fakes/fake_ports.h"
#include "windows/form.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane::fakes {

// What the program asks of a window's view.
struct SimulatedView : WindowView {
    SimulatedView(Form& shown, std::vector<const Form*>& asked) : window(shown), attention(asked) {}
    void mirror(const ViewChanges& changes) override {
        ++mirrors;
        told = changes;
    }
    void askForAttention() override { attention.push_back(&window); }
    void bringToFront(const std::string& activationToken) override {
        broughtToFront.push_back(activationToken);
    }
    Form& window;
    std::vector<const Form*>& attention;
    int mirrors = 0;
    ViewChanges told;                         // at the last mirror
    std::vector<std::string> broughtToFront;  // the activation token of each
};

class SimulatedDesktop : private RunningProgram::Host {
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

    // User events, each dispatched like the real desktops dispatch a view's events: for the window
    // as it is loaded now, so that one held by a ring runs nothing if the window went meanwhile. A
    // click on a disabled button does nothing; a click on a control or menu item that has no Click
    // handler is a fault of the test and fails it.
    void click(Form& window, const std::string& controlName);
    void type(TextBox& box, const std::string& text) { box.Text = text; }
    void activate(Form& window);
    void close(Form& window);

    // Input that arrives while a handler is running (a click during a ring): held until the ring
    // has ended, as the real desktop holds it.
    void post(std::function<void()> event) { running.dispatch(std::move(event)); }

    // A signal or the session's logout asks the program to end, as the real desktop passes it on.
    void endFromOutside() { running.endFromOutside(); }

    // The computer has resumed from sleep: the desktop runs what fell due and re-aims the wake.
    void resume() { running.timeMoved(); }

    // The view of a window: made when the window was first shown, gone with its model.
    SimulatedView* view(const Form& window) const {
        return static_cast<SimulatedView*>(running.view(window));
    }

    bool isLoadedClockWindow();

    FakeClock clock;
    FakeTone tone{clock};
    MemorySettingsStore ownSettings;
    MemoryFileSystem ownFiles;
    MemorySettingsStore& settings;
    MemoryFileSystem& files;
    ScriptedMessageBox messages;
    FakeHelpViewer help;
    FakeBrowser browser;
    Clock& localTime;  // `clock` itself unless one was given
    FakeWake wake;
    FakeSessionStart sessionStart;
    std::vector<std::string> logged;     // what the program wrote on its log, one line each
    std::vector<const Form*> attention;  // the window that asked for attention, at each ring
    RunningProgram running;
    Program& program;
    Scheduler& scheduler;
    std::optional<Scheduler::Wake> aimed;  // the desktop's wake-up; none once the program ended
    long long aimedAt = 0;                 // when it was aimed, on the virtual clock
    int ringsEnded = 0;

    int ticks = 0;                 // clock ticks of the main window so far
    std::function<void()> onTick;  // runs after each clock tick of the main window

private:
    SimulatedDesktop(MemorySettingsStore& sharedSettings, MemoryFileSystem& sharedFiles,
                     Clock* localTime);
    Scheduler::Instant now() const override { return {clock.ms(), clock.ms()}; }
    void aimWakeUp(const Scheduler::Wake& next) override {
        aimed = next;
        aimedAt = clock.ms();
    }
    std::unique_ptr<WindowView> makeView(Form& window) override;
    void dropView(std::unique_ptr<WindowView>) override {}
    void ringEnded() override { ++ringsEnded; }
    void programEnded() override { aimed.reset(); }
};

}  // namespace tollvane::fakes
