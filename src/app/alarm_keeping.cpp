#include "app/alarm_keeping.h"

#include <utility>

#include "alarm/alarm_wake.h"
#include "app/last_settings.h"
#include "app/program.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

AlarmKeeping::AlarmKeeping(Program& program, SessionStart& sessionStart, LogLine log)
    : m_program(program), m_sessionStart(sessionStart), m_log(std::move(log)) {}

void AlarmKeeping::keep() {
    const frmAlarmClock* main = m_program.loadedMain();
    if (!main) return;
    // Set is Set Alarm disabled, as the tick reads it. A time typed while no alarm is set is not
    // an alarm yet: it is saved at exit, as before.
    const bool set = !main->CmdSet.Enabled;
    const State now{set, set ? main->TxtTime.Text : std::string()};
    if (m_saved == now) return;

    // The first look is at the window just loaded, which holds what the store holds; the exit
    // sequence saves for itself, and only the start with the session is left to follow it (an
    // alarm saved as rung by an end during its ring).
    if (m_saved && !m_program.ended()) {
        SettingsStore& store = m_program.ports().settings;
        if (const Status saved = saveLastSettings(*main, store); !saved) {
            logOnce(saved.error, "could not save its settings to " + store.location() + ": " +
                                     saved.error + "; the alarm is set all the same");
        }
    }
    // A store that failed is tried again at the next change, not at every second.
    m_saved = now;

    const bool canRing = set && isShownClockText(now.text);
    if (m_started == canRing) return;
    m_started = canRing;
    if (const Status started = m_sessionStart.want(canRing); !started) {
        logOnce(started.error, canRing
                                   ? "the alarm at " + now.text +
                                         " will not ring after a restart: " + started.error
                                   : "Tollvane may still start with the session: " + started.error);
    }
}

void AlarmKeeping::logOnce(const std::string& reason, const std::string& line) {
    if (m_log && m_logged.insert(reason).second) m_log(line);
}

}  // namespace tollvane
