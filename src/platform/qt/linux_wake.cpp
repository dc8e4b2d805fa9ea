#include "platform/qt/linux_wake.h"

#include <errno.h>
#include <string.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QDBusAbstractInterface>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSocketNotifier>
#include <cstdint>

namespace tollvane {

// logind's manager object: its Inhibit method and its PrepareForSleep signal, which the bus
// delivers to this object's signal of the same name.
class LogindManager : public QDBusAbstractInterface {
    Q_OBJECT
public:
    explicit LogindManager(const QDBusConnection& bus)
        : QDBusAbstractInterface(QStringLiteral("org.freedesktop.login1"),
                                 QStringLiteral("/org/freedesktop/login1"),
                                 "org.freedesktop.login1.Manager", bus, nullptr) {}
signals:
    void PrepareForSleep(bool start);
};

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

}  // namespace

LinuxWake::LinuxWake() = default;

LinuxWake::~LinuxWake() {
    closeAlarmTimer();
}

void LinuxWake::arm(const WakeRequest& request) {
    connectLogind();
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
    const QString why = QString::fromStdString(request.reason);
    if (request.keepAwake) {
        want({QStringLiteral("sleep:idle"), why});
    } else if (m_alarmFd >= 0) {
        want({});
    } else {
        want({QStringLiteral("sleep"), why});
    }
}

void LinuxWake::disarm() {
    closeAlarmTimer();
    want({});
}

std::string LinuxWake::whyNot() const {
    if (m_asking) return {};  // known once logind has answered
    const bool ringing = m_wanted.what.contains(QStringLiteral("idle"));
    if (m_alarmFd >= 0) {
        if (ringing && !m_logindError.empty())
            return "logind cannot keep the computer awake through the ring: " + m_logindError;
        return {};
    }
    if (m_alarmError.empty()) return {};
    if (!m_logindError.empty())
        return m_alarmError +
               ", and logind cannot keep the computer from sleeping: " + m_logindError;
    return m_alarmError +
           "; until the alarm the computer is kept from going to sleep by itself, but closing "
           "the lid still sends it to sleep";
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

void LinuxWake::connectLogind() {
    if (m_logind) return;
    m_logind = std::make_unique<LogindManager>(QDBusConnection::systemBus());
    // After a resume the tick and the wake are aimed again at once.
    connect(m_logind.get(), &LogindManager::PrepareForSleep, this, [this](bool start) {
        if (!start) emit timeMoved();
    });
}

// One Inhibit call at a time. The new inhibitor is taken before the old one is let go, so the
// computer is never free to sleep in between.
void LinuxWake::want(const Inhibitor& inhibitor) {
    m_wanted = inhibitor;
    if (m_wanted.what.isEmpty()) {
        m_held = {};
        m_heldFd = {};
        return;
    }
    if (m_held == m_wanted && m_heldFd.isValid()) return;
    if (!m_asking) askLogind();
}

void LinuxWake::askLogind() {
    m_asking = true;
    const Inhibitor asked = m_wanted;
    const QDBusPendingCall call =
        m_logind->asyncCall(QStringLiteral("Inhibit"), asked.what, QStringLiteral("Tollvane"),
                            asked.why, QStringLiteral("block"));
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, asked](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                m_asking = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *done;
                if (reply.isError()) {
                    m_logindError = text(reply.error().message());
                    return;  // asked again when the wake changes or the computer resumes
                }
                m_logindError.clear();
                if (asked == m_wanted) {
                    m_held = asked;
                    m_heldFd = reply.value();
                } else if (!m_wanted.what.isEmpty()) {
                    askLogind();  // the wake changed meanwhile; this one is let go at once
                }
            });
}

}  // namespace tollvane

#include "linux_wake.moc"
