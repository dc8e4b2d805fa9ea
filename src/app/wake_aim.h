#pragma once
// Keeps the computer's wake in line with the alarm. The desktops call aim() after every handler,
// and again with `again` when the clock was set or the computer has resumed from sleep. The port
// is told only of a change, so an idle second asks nothing of the system; `again` tells it anew,
// since a timer that woke the computer is spent and the time zone may have moved meanwhile. Why
// the system cannot have the computer awake is told once for each reason, in the run.
//
// Where the alarm's minute begins takes several readings of the zone's rules; it is worked out
// afresh only when it may have moved (the alarm's text changed, `again`, the wall clock went back)
// and otherwise once a minute, so an idle second of an armed alarm only compares numbers and a
// change of time zone is seen within a minute.

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class Program;

class WakeAim {
public:
    using Tell = std::function<void(const std::string& line)>;
    WakeAim(Program& program, ComputerWake& port, Tell tell);

    void aim(long long nowWallMs, bool again = false);

private:
    Program& m_program;
    ComputerWake& m_port;
    Tell m_tell;
    bool m_aimed = false;
    std::optional<WakeRequest> m_armed;
    std::string m_minuteText;       // the alarm text whose minute is m_minute
    long long m_minuteFoundAt = 0;  // when it was worked out, on the wall clock
    std::optional<long long> m_minute;
    std::set<std::string> m_told;
};

}  // namespace tollvane
