#pragma once
// app/: the runtime, not the windows' registry and handlers.
// Keeps the computer's wake in line with the alarm. The port is told only of a change, so an idle
// second asks nothing of the system. Why the system cannot have the computer awake is logged once
// for each reason, in the run.
//
// Where the alarm's minute begins takes several readings of the zone's rules; it is worked out
// afresh only when it may have moved (the alarm's text changed, the time moved, the wall clock
// went back) and otherwise once a minute, so an idle second of an armed alarm only compares
// numbers and a change of time zone is seen within a minute.

#include <optional>
#include <set>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class Program;

class WakeAim {
public:
    WakeAim(Program& program, ComputerWake& port, LogLine log);

    // After every handler.
    void aim(long long nowWallMs) { aim(nowWallMs, false); }
    // After a clock set or a resume: armed anew even at the same moment (a timer that woke the
    // computer is spent), the minute worked out afresh (the time zone may have moved).
    void aimAfterTimeMoved(long long nowWallMs) { aim(nowWallMs, true); }

private:
    void aim(long long nowWallMs, bool timeMoved);

    Program& m_program;
    ComputerWake& m_port;
    LogLine m_log;
    bool m_aimed = false;
    std::optional<WakeRequest> m_armed;
    std::string m_minuteText;       // the alarm text whose minute is m_minute
    long long m_minuteFoundAt = 0;  // when it was worked out, on the wall clock
    std::optional<long long> m_minute;
    std::set<std::string> m_logged;
};

}  // namespace tollvane
