#include "app/scheduler.h"

#include "app/program.h"
#include "windows/form.h"

namespace tollvane {

void RingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (m_silenced) return;
    if (!m_inRing) {
        m_inRing = true;
        if (ringStarted) ringStarted();
    }
    m_ringing = true;
    m_backend.beep(frequencyHz, durationMs);
    m_ringing = false;
}

void RingTone::handlerEnded() {
    if (!m_inRing) return;
    m_inRing = false;
    m_backend.ringEnded();
    if (ringEnded) ringEnded();
}

Scheduler::Scheduler(Program& program, Time& time, RingTone& tone)
    : m_program(program), m_time(time), m_tone(tone) {}

void Scheduler::post(std::function<void()> event) {
    if (m_program.ended()) return;
    if (ringing()) {
        m_held.push_back(std::move(event));
        return;
    }
    run(event, m_time.now());
}

void Scheduler::postEndRequest(std::function<void()> event) {
    if (m_program.ended()) return;
    if (ringing()) {
        m_tone.silence();
        m_held.push_front(std::move(event));
        return;
    }
    run(event, m_time.now());
}

void Scheduler::runDue() {
    // Inside a ring nothing fires; the handler that rings drains what fell due once it ends.
    if (ringing()) return;
    if (m_depth == 0) {
        afterOutermost();
        return;
    }
    // Inside a message box: the timers fire within it.
    while (!m_program.ended() && fireOne()) {
    }
}

void Scheduler::run(const std::function<void()>& handler, Instant start) {
    if (m_program.ended()) return;
    ++m_depth;
    handler();
    --m_depth;
    m_tone.handlerEnded();
    reconcile(start);
    if (afterEvent) afterEvent();
    if (m_depth == 0) afterOutermost();
}

// Only with no handler on the stack are unloaded windows destroyed, and only then is what was held
// back handled: the user's events first, in the order they came, then each timer that fell due.
void Scheduler::afterOutermost() {
    m_program.releaseUnloaded();
    if (m_draining) return;
    m_draining = true;
    while (!m_program.ended()) {
        if (!m_held.empty()) {
            const std::function<void()> event = std::move(m_held.front());
            m_held.pop_front();
            run(event, m_time.now());
        } else if (!fireOne()) {
            break;
        }
    }
    m_draining = false;
}

bool Scheduler::fireOne() {
    const Instant now = m_time.now();
    const Key* most = nullptr;
    long long mostLate = -1;
    for (const auto& [key, entry] : m_timers) {
        const long long late = lateness(entry, now);
        if (late >= 0 && late > mostLate) {
            mostLate = late;
            most = &key;
        }
    }
    if (!most) return false;
    const Key key = *most;
    Entry& entry = m_timers[key];
    // The next shot counts from this one, so a tick held back by a ring fires once, not once for
    // every second the ring lasted.
    entry.dueMs = entry.onWall ? nextWholeSecond(now.wallMs) : now.steadyMs + entry.interval;

    Form& window = *const_cast<Form*>(key.first);
    const std::string& timer = key.second;
    run(
        [&] {
            window.runTimer(timer);
            if (afterTimer) afterTimer(window, timer);
        },
        now);
    return true;
}

// Brings the schedule in line with the timers' Enabled and Interval after an event. A timer that
// was enabled or given a new interval counts from the moment the event began, so a timer enabled
// before a long ring falls due right after it.
void Scheduler::reconcile(Instant changeStart) {
    std::map<Key, Entry> next;
    for (Form* window : m_program.loadedWindows()) {
        for (const TimerBinding& t : window->timers()) {
            if (!t.timer->Enabled || t.timer->Interval <= 0) continue;
            const Key key{window, t.name};
            Entry entry{t.timer->Interval, t.wallClockSecond && t.timer->Interval == 1000, 0};
            const auto old = m_timers.find(key);
            if (old != m_timers.end() && old->second.interval == entry.interval &&
                old->second.onWall == entry.onWall) {
                entry.dueMs = old->second.dueMs;
            } else if (entry.onWall) {
                entry.dueMs = nextWholeSecond(changeStart.wallMs);
            } else {
                entry.dueMs = changeStart.steadyMs + entry.interval;
            }
            next.emplace(key, entry);
        }
    }
    m_timers = std::move(next);
}

long long Scheduler::lateness(const Entry& e, Instant now) const {
    if (!e.onWall) return now.steadyMs - e.dueMs;
    // A whole second more than one second ahead means the clock was set back: tick at once, so
    // the display follows the clock instead of waiting for the old time to come round again.
    if (e.dueMs > nextWholeSecond(now.wallMs)) return 0;
    return now.wallMs - e.dueMs;
}

Scheduler::Wake Scheduler::nextWake() const {
    Wake wake;
    if (ringing() || m_program.ended()) return wake;
    const Instant now = m_time.now();
    for (const auto& [key, e] : m_timers) {
        if (e.onWall) {
            const long long due = lateness(e, now) >= 0 ? now.wallMs : e.dueMs;
            if (!wake.wallMs || due < *wake.wallMs) wake.wallMs = due;
        } else if (!wake.steadyMs || e.dueMs < *wake.steadyMs) {
            wake.steadyMs = e.dueMs;
        }
    }
    return wake;
}

}  // namespace tollvane
