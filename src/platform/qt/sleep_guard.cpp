#include "platform/qt/sleep_guard.h"

#include <QDBusConnection>
#include <QFileInfo>

namespace tollvane {

namespace {

// The session's bus. Where no address is given and none is at its usual place, there is no
// desktop session to ask; libdbus would start a bus of its own on the X display instead.
QDBusConnection sessionBus() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (runtime.isEmpty() || !QFileInfo(runtime + QStringLiteral("/bus")).exists()))
        return QDBusConnection(QStringLiteral("tollvane-no-session-bus"));
    return QDBusConnection::sessionBus();
}

}  // namespace

SleepGuard::SleepGuard(LogLine log) : m_log(std::move(log)) {}

SleepGuard::~SleepGuard() = default;

void SleepGuard::want(const SleepHold& hold, int serial) {
    connectBuses();
    m_serial = serial;
    m_logind->want(hold);
    m_desktop->want(hold);
    answerIfSettled();
}

void SleepGuard::connectBuses() {
    if (m_logind) return;
    m_logind = std::make_unique<LogindHold>(QDBusConnection::systemBus(), m_log);
    m_desktop = std::make_unique<DesktopHold>(sessionBus());
    // After a resume, what was refused before is asked for again.
    connect(m_logind.get(), &LogindHold::resumed, this, [this] {
        m_desktop->retry();
        emit resumed();
    });
    connect(m_logind.get(), &LogindHold::settled, this, [this] { answerIfSettled(); });
    connect(m_desktop.get(), &DesktopHold::settled, this, [this] { answerIfSettled(); });
}

void SleepGuard::answerIfSettled() {
    if (m_logind->busy() || m_desktop->busy()) return;
    emit answered(m_serial, QString::fromStdString(m_logind->error()),
                  QString::fromStdString(m_desktop->error()));
}

}  // namespace tollvane
