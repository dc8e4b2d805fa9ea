#include "platform/qt/linux_wake.h"

#include <errno.h>
#include <string.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

#include "platform/qt/sleep_guard.h"
#include "platform/qt/system_log.h"

namespace tollvane {

LinuxWake::LinuxWake() = default;

LinuxWake::~LinuxWake() {
    closeAlarmTimer();
    if (!m_busThread.isRunning()) return;
    // Let go of everything before the thread ends; a service also lets go of what a program held
    // when the program leaves its bus.
    QMetaObject::invokeMethod(
        m_guard,
        [guard = m_guard] {
            guard->want({}, 0);
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_busThread.wait();
}

void LinuxWake::arm(const WakeRequest& request) {
    const bool alarmTimer = m_alarmFd >= 0 || (m_alarmError.empty() && openAlarmTimer());
    if (alarmTimer) {
        itimerspec spec{};
        spec.it_value.tv_sec = static_cast<time_t>(request.wallMs / 1000);
        spec.it_value.tv_nsec = static_cast<long>(request.wallMs % 1000 * 1000000);
        // Absolute on the realtime clock, so the kernel wakes the computer when the wall clock
        // reaches the moment; a clock set meanwhile is reported (ECANCELED) and the wake aimed
        // again.
        if (::timerfd_settime(m_alarmFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec,
                              nullptr) != 0) {
            m_alarmError = std::string("the wake alarm could not be set: ") + strerror(errno);
            closeAlarmTimer();
        }
    }
    SleepHold wanted{SleepHold::Kind::Nothing, QString::fromStdString(request.reason),
                     QString::fromStdString(request.alarm)};
    if (request.keepAwake)
        wanted.kind = SleepHold::Kind::Ringing;
    else if (m_alarmFd < 0)
        wanted.kind = SleepHold::Kind::Waiting;
    hold(wanted);
}

void LinuxWake::disarm() {
    closeAlarmTimer();
    hold({});
}

// Asked again even when unchanged: the program arms again after a resume or a clock set, and
// what a service refused before is then asked for again.
void LinuxWake::hold(const SleepHold& wanted) {
    m_held = wanted;
    if (!m_guard) {
        if (wanted.kind == SleepHold::Kind::Nothing) return;
        m_guard = new SleepGuard(tellSystemLog);
        m_guard->moveToThread(&m_busThread);
        connect(&m_busThread, &QThread::finished, m_guard, &QObject::deleteLater);
        connect(m_guard, &SleepGuard::resumed, this, &LinuxWake::timeMoved);
        connect(m_guard, &SleepGuard::answered, this,
                [this](int serial, const QString& logindError, const QString& desktopError) {
                    if (serial != m_asked) return;  // a later wish is on its way
                    m_answered = serial;
                    m_logindError = logindError.toStdString();
                    m_desktopError = desktopError.toStdString();
                });
        m_busThread.setObjectName(QStringLiteral("tollvane-buses"));
        m_busThread.start();
    }
    const int serial = ++m_asked;
    QMetaObject::invokeMethod(
        m_guard, [guard = m_guard, wanted, serial] { guard->want(wanted, serial); },
        Qt::QueuedConnection);
}

std::string LinuxWake::whyNot() const {
    if (m_answered != m_asked) return {};  // known once the services have answered
    std::string refused = m_desktopError;
    if (!m_logindError.empty())
        refused += (refused.empty() ? "" : ", and ") + ("logind refused: " + m_logindError);
    switch (m_held.kind) {
        case SleepHold::Kind::Nothing:
            return {};
        case SleepHold::Kind::Ringing:
            if (refused.empty()) return {};
            return "the computer may not be kept awake through the ring: " + refused;
        case SleepHold::Kind::Waiting:
            if (!refused.empty())
                return m_alarmError +
                       ", and the computer may not be kept from going to sleep by itself: " +
                       refused;
            return m_alarmError +
                   "; until the alarm the computer is kept from going to sleep by itself, but it "
                   "still sleeps when the user suspends it or closes the lid";
    }
    return {};
}

bool LinuxWake::openAlarmTimer() {
    m_alarmFd = ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_alarmFd < 0) {
        m_alarmError = errno == EPERM
                           ? "this user may not set a wake alarm (CAP_WAKE_ALARM)"
                           : std::string("the kernel gives no wake alarm: ") + strerror(errno);
        return false;
    }
    m_alarmNotifier = std::make_unique<QSocketNotifier>(m_alarmFd, QSocketNotifier::Read);
    connect(m_alarmNotifier.get(), &QSocketNotifier::activated, this, [this] { onAlarmTimer(); });
    return true;
}

// Closed, not merely disarmed, whenever nothing is armed: a wake alarm left open keeps the
// kernel's alarm timer base busy for nothing.
void LinuxWake::closeAlarmTimer() {
    m_alarmNotifier.reset();
    if (m_alarmFd >= 0) ::close(m_alarmFd);
    m_alarmFd = -1;
}

void LinuxWake::onAlarmTimer() {
    std::uint64_t expirations = 0;
    const ssize_t n = ::read(m_alarmFd, &expirations, sizeof expirations);
    // Come due: the computer is awake, and the program's tick follows within the second. A clock
    // set while armed: the program aims again.
    if (n < 0 && errno == ECANCELED) emit timeMoved();
}

}  // namespace tollvane
