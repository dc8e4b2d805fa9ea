#pragma once
// The program on a simulated desktop: fakes for every platform service, the window slots, and
// the windows' timers fired in virtual time (a week of ticks in well under a second). The clock
// tick is scheduled as the real program schedules it: 100 ms after load, then at each whole
// second of the clock.

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "app/program.h"
#include "fakes/fake_ports.h"
#include "windows/form.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane::fakes {

class SimulatedDesktop {
public:
    SimulatedDesktop();
    explicit SimulatedDesktop(MemorySettingsStore& sharedSettings, MemoryFileSystem& sharedFiles);

    // Loads and shows the main window and makes it the active window, as the program's start does.
    frmAlarmClock& start();
    frmAlarmClock& main() { return program.frmAlarmClock(); }

    // Runs every timer that falls due within the next `ms` milliseconds of virtual time.
    void runFor(long long ms);
    // Runs until the clock reads the given time of day (today, or tomorrow if it has passed).
    void runUntil(int hour, int minute, int second);

    // User events, each dispatched like the real desktop dispatches them; a click on a disabled
    // button does nothing.
    void click(Form& window, const std::string& controlName);
    void type(TextBox& box, const std::string& text) { box.Text = text; }
    void activate(Form& window);
    void close(Form& window);

    // Input that arrives while a handler is running (a click during a ring). The desktop queues
    // it and runFor dispatches it once the running event has ended, before the next timer.
    void post(std::function<void()> event) { m_posted.push_back(std::move(event)); }

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
    Program program;

    int ticks = 0;                 // Timer1 ticks so far
    std::function<void()> onTick;  // runs after each clock tick of the main window

private:
    struct Scheduled {
        long long dueMs = 0;
        int interval = 0;
        bool enabled = false;
    };
    void afterEvent(long long eventStartMs);
    void schedule(long long changeMs);
    bool fireNextBefore(long long endMs);
    void dispatchPosted();

    std::deque<std::function<void()>> m_posted;
    std::map<std::pair<const Form*, std::string>, Scheduled> m_timers;
};

}  // namespace tollvane::fakes
