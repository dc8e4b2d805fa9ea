#include "app/wake_aim.h"

#include <utility>

#include "alarm/alarm_wake.h"
#include "app/program.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

WakeAim::WakeAim(Program& program, ComputerWake& port, LogLine log)
    : m_program(program), m_port(port), m_log(std::move(log)) {}

namespace {
constexpr long long kMinuteMs = 60LL * 1000;
}

void WakeAim::aim(long long nowWallMs, bool timeMoved) {
    std::optional<WakeRequest> wanted;
    const frmAlarmClock* main = m_program.loadedMain();
    // Armed is Set Alarm disabled, as the tick reads it.
    if (main && !m_program.ended() && !main->CmdSet.Enabled) {
        const std::string& text = main->TxtTime.Text;
        if (timeMoved || text != m_minuteText || nowWallMs < m_minuteFoundAt ||
            nowWallMs - m_minuteFoundAt >= kMinuteMs) {
            m_minute = nextShownMinute(text, m_program.ports().clock, nowWallMs);
            m_minuteText = text;
            m_minuteFoundAt = nowWallMs;
        }
        if (m_minute) wanted = alarmWake(*m_minute, text, nowWallMs);
    }
    if (timeMoved || !m_aimed || wanted != m_armed) {
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
    if (why.empty() || !m_logged.insert(why).second) return;
    if (m_log)
        m_log("the alarm at " + main->TxtTime.Text + " may not find the computer awake: " + why);
}

}  // namespace tollvane
