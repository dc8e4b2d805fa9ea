#include "fakes/simulated_desktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace tollvane::fakes {

namespace {
Ports portsOf(SimulatedDesktop& d) {
    return {d.localTime, d.ringTone, d.settings, d.messages, d.files, d.help, d.browser};
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
      program(portsOf(*this)),
      scheduler(program, *this, ringTone) {
    clock.set(2026, 12, 7, 9, 0, 0);
    // As on the real desktops: the wake follows the alarm after every handler, and a ring asks
    // for attention in the window that shows the clock.
    scheduler.afterEvent = [this] { wakeAim.aim(clock.ms()); };
    ringTone.ringStarted = [this] { attention.push_back(program.shownClockWindow()); };
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
    scheduler.post([&window, controlName] {
        EXPECT_TRUE(window.Click(controlName))
            << window.layout().name << "." << controlName << " has no Click handler";
    });
}

void SimulatedDesktop::activate(Form& window) {
    scheduler.post([&window] { window.Form_Activate(); });
}

void SimulatedDesktop::close(Form& window) {
    scheduler.post([&window] { window.Form_Unload(); });
}

bool SimulatedDesktop::isLoadedClockWindow() {
    const auto loaded = program.loadedWindows();
    return std::any_of(loaded.begin(), loaded.end(),
                       [](Form* w) { return dynamic_cast<frmclock*>(w) != nullptr; });
}

void SimulatedDesktop::resume() {
    wakeAim.aim(clock.ms(), true);
    scheduler.runDue();
}

void SimulatedDesktop::runFor(long long ms) {
    const long long end = clock.ms() + ms;
    while (!program.ended()) {
        // Both of the scheduler's clocks are the one virtual clock.
        const Scheduler::Wake next = scheduler.nextWake();
        long long due = end + 1;
        if (next.wallMs) due = std::min(due, *next.wallMs);
        if (next.steadyMs) due = std::min(due, *next.steadyMs);
        if (due > end) break;
        if (clock.ms() < due) clock.setMs(due);
        scheduler.runDue();
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
