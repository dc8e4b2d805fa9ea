#pragma once
// app/: the runtime, not the windows' registry and handlers.
// Which handler of the program runs next. Every user event and every timer tick of every window
// goes through one Scheduler, on the real desktop and on the simulated one alike; the desktops only
// tell it the time and wake it when it asks to be woken.
//
// The rules of time:
// - Handlers run one at a time. While a message box is open inside a handler, timers fire and
//   events are handled inside it.
// - A ring holds the program: a user event that arrives while a tone sounds is handled after the
//   handler that rings has ended, and a timer that falls due meanwhile fires once, afterwards.
// - A timer enabled, or given a new interval, counts from the moment the event that changed it
//   began; after it fires it counts from the moment it fired.
// - A timer that the window marks as the clock tick fires, at an interval of 1000 ms, at each whole
//   second of the wall clock, so the seconds shown change with the real second and never skip or
//   repeat. At any other interval (the 100 ms after load) it counts like any other timer.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class Form;
class Program;

// The tone as the program plays it: the scheduler knows the program is ringing while a tone sounds.
class RingTone : public Tone {
public:
    explicit RingTone(Tone& backend) : m_backend(backend) {}
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    bool ringing() const { return m_ringing; }
    // The tone sounding now is the last: every later beep returns at once, so a ring in progress
    // runs through its count in silence and ends. For good: the program is about to end.
    void silence() { m_silenced = true; }
    // The handler that rang has ended: the backend is told that the ring is over, and the next
    // tone begins a new ring.
    void handlerEnded();

    // Told before the first tone of each ring, so that the desktop can ask for the user's
    // attention, and once the handler that rang has ended.
    std::function<void()> ringStarted;
    std::function<void()> ringEnded;

private:
    Tone& m_backend;
    bool m_ringing = false;
    bool m_inRing = false;
    bool m_silenced = false;
};

class Scheduler {
public:
    // Milliseconds on two clocks: the wall clock, whose whole seconds the clock tick follows, and a
    // steady clock that setting the time does not move, for every other timer.
    struct Instant {
        long long wallMs = 0;
        long long steadyMs = 0;
    };
    class Time {
    public:
        virtual ~Time() = default;
        virtual Instant now() const = 0;
    };
    // When the desktop should call runDue() next: at a time of the wall clock, after a time of the
    // steady clock, or both (whichever comes first). Neither: no timer is running.
    struct Wake {
        std::optional<long long> wallMs;
        std::optional<long long> steadyMs;
        bool operator==(const Wake&) const = default;
    };

    Scheduler(Program& program, Time& time, RingTone& tone);

    // A user event (click, menu choice, typing, activation, close box) or a request from outside:
    // handled now, or after the ring if one is sounding.
    void post(std::function<void()> event);
    // A request to end the program from outside (a signal, the session's logout). A ring would
    // hold it for as long as the ring lasts, and a session that is logging out does not wait: so
    // the ring ends after the tone sounding now, and the request runs before whatever the user
    // did meanwhile.
    void postEndRequest(std::function<void()> event);
    // Fires every timer that has come due, each once, the most overdue first.
    void runDue();
    Wake nextWake() const;

    bool ringing() const { return m_tone.ringing(); }
    // True while a handler runs.
    bool busy() const { return m_depth > 0; }

    // Told after every handler, so the desktop can bring its windows in line with the models and
    // re-arm its wake-up.
    std::function<void()> afterEvent;
    // Told after each timer's handler.
    std::function<void(Form& window, const std::string& timer)> afterTimer;

private:
    struct Entry {
        int interval = 0;
        bool onWall = false;  // the clock tick at 1000 ms: due at whole seconds of the wall clock
        long long dueMs = 0;  // on the wall clock or on the steady clock, as onWall says
    };
    using Key = std::pair<const Form*, std::string>;

    void run(const std::function<void()>& handler, Instant start);
    void reconcile(Instant changeStart);
    void afterOutermost();
    // Fires the most overdue timer; false when none is due.
    bool fireOne();
    // How far past its due time the entry is now (negative: not yet due).
    long long lateness(const Entry& e, Instant now) const;
    static long long nextWholeSecond(long long wallMs) { return (wallMs / 1000 + 1) * 1000; }

    Program& m_program;
    Time& m_time;
    RingTone& m_tone;
    std::map<Key, Entry> m_timers;
    std::deque<std::function<void()>> m_held;  // user events that came during a ring
    int m_depth = 0;
    bool m_draining = false;
};

}  // namespace tollvane
