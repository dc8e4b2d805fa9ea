#include "fakes/simulated_desktop.h"

#include <variant>

namespace tollvane::fakes {

namespace {
Ports portsOf(SimulatedDesktop& d) {
    return {d.clock, d.tone, d.settings, d.messages, d.files, d.help, d.browser};
}
}  // namespace

SimulatedDesktop::SimulatedDesktop() : SimulatedDesktop(ownSettings, ownFiles) {}

SimulatedDesktop::SimulatedDesktop(MemorySettingsStore& sharedSettings,
                                   MemoryFileSystem& sharedFiles)
    : settings(sharedSettings), files(sharedFiles), program(portsOf(*this)) {
    clock.set(2026, 12, 7, 9, 0, 0);
}

frmAlarmClock& SimulatedDesktop::start() {
    const long long t = clock.ms();
    frmAlarmClock& w = program.frmAlarmClock();
    program.Show(w);
    w.Form_Activate();
    afterEvent(t);
    return w;
}

void SimulatedDesktop::click(Form& window, const std::string& controlName) {
    // A disabled button takes no clicks.
    const ControlRef target = window.control(controlName);
    if (const auto* button = std::get_if<CommandButton*>(&target); button && !(*button)->Enabled) {
        return;
    }
    const long long t = clock.ms();
    window.Click(controlName);
    afterEvent(t);
}

void SimulatedDesktop::activate(Form& window) {
    const long long t = clock.ms();
    window.Form_Activate();
    afterEvent(t);
}

void SimulatedDesktop::close(Form& window) {
    const long long t = clock.ms();
    window.Form_Unload();
    afterEvent(t);
}

bool SimulatedDesktop::isLoadedClockWindow() {
    for (Form* w : program.loadedWindows()) {
        if (dynamic_cast<frmclock*>(w)) return true;
    }
    return false;
}

void SimulatedDesktop::afterEvent(long long eventStartMs) {
    schedule(eventStartMs);
    program.releaseUnloaded();
}

// Brings the schedule in line with the timers' Enabled and Interval. A timer that was enabled or
// given a new interval during an event counts from the moment the event began, so a timer enabled
// before a long ring falls due right after it.
void SimulatedDesktop::schedule(long long changeMs) {
    std::map<std::pair<const Form*, std::string>, Scheduled> next;
    for (Form* w : program.loadedWindows()) {
        for (const TimerRef& t : w->timers()) {
            const auto key = std::make_pair(static_cast<const Form*>(w), t.name);
            Scheduled s{0, t.timer->Interval, t.timer->Enabled && t.timer->Interval > 0};
            const auto old = m_timers.find(key);
            if (!s.enabled) {
                // not scheduled
            } else if (old != m_timers.end() && old->second.enabled &&
                       old->second.interval == s.interval) {
                s.dueMs = old->second.dueMs;
            } else {
                s.dueMs = std::max(clock.ms(), changeMs + s.interval);
            }
            next[key] = s;
        }
    }
    m_timers = std::move(next);
}

bool SimulatedDesktop::fireNextBefore(long long endMs) {
    if (program.ended()) return false;
    const std::pair<const Form*, std::string>* nextKey = nullptr;
    long long nextDue = endMs + 1;
    for (const auto& [key, s] : m_timers) {
        if (s.enabled && s.dueMs < nextDue) {
            nextDue = s.dueMs;
            nextKey = &key;
        }
    }
    if (!nextKey) return false;
    const auto key = *nextKey;
    if (clock.ms() < nextDue) clock.setMs(nextDue);

    Form* window = const_cast<Form*>(key.first);
    const long long firedAt = clock.ms();
    window->runTimer(key.second);
    const bool clockTick = key.second == "Timer1" && dynamic_cast<frmAlarmClock*>(window);
    if (clockTick) ++ticks;

    // Re-arm: the clock tick at the next whole second of the clock, like the real binding; every
    // other timer one interval after it fired.
    auto it = m_timers.find(key);
    if (it != m_timers.end()) {
        if (key.second == "Timer1" && it->second.interval == 1000) {
            it->second.dueMs = (clock.ms() / 1000 + 1) * 1000;
        } else {
            it->second.dueMs = std::max(clock.ms(), firedAt + it->second.interval);
        }
    }
    afterEvent(firedAt);
    if (auto again = m_timers.find(key); again != m_timers.end() && key.second == "Timer1" &&
                                         again->second.interval == 1000 && again->second.enabled) {
        // The interval was just changed from 100 to 1000 by the tick itself: align it.
        if (again->second.dueMs % 1000 != 0) again->second.dueMs = (clock.ms() / 1000 + 1) * 1000;
    }
    if (clockTick && onTick) onTick();
    return true;
}

void SimulatedDesktop::dispatchPosted() {
    while (!m_posted.empty() && !program.ended()) {
        auto event = std::move(m_posted.front());
        m_posted.pop_front();
        event();
    }
}

void SimulatedDesktop::runFor(long long ms) {
    const long long end = clock.ms() + ms;
    // Queued input goes first: the desktop hands it over as soon as the event that was running
    // when it arrived has returned.
    dispatchPosted();
    while (fireNextBefore(end)) {
        dispatchPosted();
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
