#include "fakes/simulated_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace tollvane::fakes {

namespace {
Ports portsOf(SimulatedDesktop& d) {
    return {d.localTime, d.tone, d.settings, d.messages, d.files, d.help, d.browser};
}

bool isClockTick(Form& window, const std::string& timer) {
    for (const TimerBinding& t : window.timers()) {
        if (t.name == timer) return t.wallClockSecond;
    }
    return false;
}
}  // namespace

SimulatedDesktop::SimulatedDesktop() : SimulatedDesktop(ownSettings, ownFiles, nullptr) {}

SimulatedDesktop::SimulatedDesktop(MemorySettingsStore& sharedSettings,
                                   MemoryFileSystem& sharedFiles)
    : SimulatedDesktop(sharedSettings, sharedFiles, nullptr) {}

SimulatedDesktop::SimulatedDesktop(Clock& localClock)
    : SimulatedDesktop(ownSettings, ownFiles, &localClock) {}

SimulatedDesktop::SimulatedDesktop(MemorySettingsStore& sharedSettings,
                                   MemoryFileSystem& sharedFiles, Clock* localTimeClock)
    : settings(sharedSettings),
      files(sharedFiles),
      localTime(localTimeClock ? *localTimeClock : clock),
      running(*this, portsOf(*this), wake, sessionStart,
              [this](const std::string& line) { logged.push_back(line); }),
      program(running.program()),
      scheduler(running.scheduler()) {
    clock.set(2026, 12, 7, 9, 0, 0);
    scheduler.afterTimer = [this](Form& window, const std::string& timer) {
        if (&window != &main() || !isClockTick(window, timer)) return;
        ++ticks;
        if (onTick) onTick();
    };
}

frmAlarmClock& SimulatedDesktop::start() {
    scheduler.post([this] {
        frmAlarmClock& w = program.frmAlarmClock();
        program.Show(w);
        w.Form_Activate();
    });
    return main();
}

void SimulatedDesktop::click(Form& window, const std::string& controlName) {
    // A disabled button takes no clicks.
    const ControlRef target = window.control(controlName);
    if (const auto* button = std::get_if<CommandButton*>(&target); button && !(*button)->Enabled) {
        return;
    }
    running.eventsOf(window)([&window, controlName] {
        EXPECT_TRUE(window.Click(controlName))
            << window.layout().name << "." << controlName << " has no Click handler";
    });
}

void SimulatedDesktop::activate(Form& window) {
    running.eventsOf(window)([&window] { window.Form_Activate(); });
}

void SimulatedDesktop::close(Form& window) {
    running.eventsOf(window)([&window] { window.Form_Unload(); });
}

bool SimulatedDesktop::isLoadedClockWindow() {
    const auto loaded = program.loadedWindows();
    return std::any_of(loaded.begin(), loaded.end(),
                       [](Form* w) { return dynamic_cast<frmclock*>(w) != nullptr; });
}

std::unique_ptr<WindowView> SimulatedDesktop::makeView(Form& window) {
    return std::make_unique<SimulatedView>(window, attention);
}

void SimulatedDesktop::runFor(long long ms) {
    const long long end = clock.ms() + ms;
    while (aimed) {
        // Both of the desktop's clocks are the one virtual clock. A wake-up on the wall clock
        // comes at once when the clock was set back after it was aimed, as the real desktops'
        // do (a wall-clock timer cancelled by the clock's change, WM_TIMECHANGE).
        long long due = end + 1;
        if (aimed->wallMs) due = std::min(due, clock.ms() < aimedAt ? clock.ms() : *aimed->wallMs);
        if (aimed->steadyMs) due = std::min(due, *aimed->steadyMs);
        if (due > end) break;
        if (clock.ms() < due) clock.setMs(due);
        running.wake();
    }
    if (clock.ms() < end && !program.ended()) clock.setMs(end);
}

void SimulatedDesktop::runUntil(int hour, int minute, int second) {
    const LocalDateTime n = clock.now();
    long long target = ((hour * 60LL + minute) * 60 + second) * 1000;
    long long current = ((n.hour * 60LL + n.minute) * 60 + n.second) * 1000 + n.millisecond;
    if (target <= current) target += 24LL * 3600 * 1000;
    runFor(target - current);
}

}  // namespace tollvane::fakes
