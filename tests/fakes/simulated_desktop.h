#pragma once
// The program on a simulated desktop: fakes for every platform service, the window slots, and
// the windows' timers fired in virtual time (a week of ticks in well under a second). The clock
// tick is scheduled as the real program schedules it: 100 ms after load, then at each whole
// second of the clock.

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

    // User events, each dispatched like the real desktop dispatches them.
    void click(Form& window, const std::string& controlName);
    void type(TextBox& box, const std::string& text) { box.Text = text; }
    void activate(Form& window);
    void close(Form& window);

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

    int ticks = 0;  // Timer1 ticks so far

private:
    struct Scheduled {
        long long dueMs = 0;
        int interval = 0;
        bool enabled = false;
    };
    void afterEvent(long long eventStartMs);
    void schedule(long long changeMs);
    bool fireNextBefore(long long endMs);

    std::map<std::pair<const Form*, std::string>, Scheduled> m_timers;
};

}  // namespace tollvane::fakes
