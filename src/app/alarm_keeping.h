#pragma once
// app/: the runtime, not the windows' registry and handlers.
// What a set alarm needs beyond the running process. Whenever the alarm's state changes (Set
// Alarm, Stop, the ring's " Has Passed", a time typed over a set alarm) the values that the exit
// sequence saves are saved at once, so that a crash or a power cut leaves the alarm in the store
// and the next start sets it again. While the alarm can still ring (set, with a time that the
// clock shows) the program is started with the user's session, so that a restart does not leave
// it unheard; once nothing can ring (Stop, the ring, an empty box) it no longer is.
//
// The desktops call keep() after every handler. An idle second compares a flag and a string and
// writes nothing. What cannot be done (a store that cannot be written, a start with the session
// that the user turned off) is logged once for each reason; the alarm is set all the same.

#include <optional>
#include <set>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class Program;

class AlarmKeeping {
public:
    AlarmKeeping(Program& program, SessionStart& sessionStart, LogLine log);

    void keep();

private:
    struct State {
        bool set = false;
        std::string text;  // the alarm time while set; empty while idle
        bool operator==(const State&) const = default;
    };
    void logOnce(const std::string& reason, const std::string& line);

    Program& m_program;
    SessionStart& m_sessionStart;
    LogLine m_log;
    std::optional<State> m_saved;   // as the store holds it: loaded at start, saved since
    std::optional<bool> m_started;  // what the session start was last asked for
    std::set<std::string> m_logged;
};

}  // namespace tollvane
