#include "app/wake_aim.h"

#include <utility>

#include "alarm/alarm_wake.h"
#include "app/program.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

WakeAim::WakeAim(Program& program, ComputerWake& port, Tell tell)
    : m_program(program), m_port(port), m_tell(std::move(tell)) {}

void WakeAim::aim(long long nowWallMs, bool again) {
    std::optional<WakeRequest> wanted;
    const frmAlarmClock* main = m_program.loadedMain();
    if (main && !m_program.ended()) wanted = alarmWake(*main, m_program.ports().clock, nowWallMs);
    if (again || !m_aimed || wanted != m_armed) {
        if (wanted)
            m_port.arm(*wanted);
        else
            m_port.disarm();
        m_armed = wanted;
        m_aimed = true;
    }
    if (!wanted) return;
    // Asked every time: an adapter may learn only later that the system refused.
    const std::string why = m_port.whyNot();
    if (why.empty() || !m_told.insert(why).second) return;
    if (m_tell)
        m_tell("the alarm at " + main->TxtTime.Text + " may not find the computer awake: " + why);
}

}  // namespace tollvane
