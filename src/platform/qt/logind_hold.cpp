#include "platform/qt/logind_hold.h"

#include <QDBusAbstractInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <algorithm>

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

LogindHold::LogindHold(const QDBusConnection& bus, LogLine log)
    : m_manager(std::make_unique<LogindManager>(bus)), m_log(std::move(log)) {
    connect(m_manager.get(), &LogindManager::PrepareForSleep, this,
            [this](bool start) { onPrepareForSleep(start); });
}

LogindHold::~LogindHold() = default;

void LogindHold::want(const SleepHold& hold) {
    if (hold != m_wanted) m_refused.clear();
    m_wanted = hold;
    step();
}

void LogindHold::retry() {
    m_refused.clear();
    step();
}

std::vector<LogindHold::Lock> LogindHold::wantedLocks() const {
    const QString why = m_wanted.reason;
    switch (m_wanted.kind) {
        case SleepHold::Kind::Nothing:
            return {};
        case SleepHold::Kind::Waiting:
            if (m_sleeping) return {{QStringLiteral("idle"), QStringLiteral("block"), why}};
            return {{QStringLiteral("idle"), QStringLiteral("block"), why},
                    {QStringLiteral("sleep"), QStringLiteral("delay"), why}};
        case SleepHold::Kind::Ringing:
            return {{QStringLiteral("sleep:idle:handle-lid-switch"), QStringLiteral("block"), why}};
    }
    return {};
}

bool LogindHold::holds(const Lock& lock) const {
    return std::any_of(m_held.begin(), m_held.end(), [&](const Held& h) { return h.lock == lock; });
}

// One call at a time. What is newly wanted is taken before what is no longer wanted is let go,
// so that the computer is never free to sleep in between.
void LogindHold::step() {
    if (m_asking) return;
    const std::vector<Lock> wanted = wantedLocks();
    for (const Lock& lock : wanted) {
        const bool refused = std::find(m_refused.begin(), m_refused.end(), lock) != m_refused.end();
        if (!holds(lock) && !refused) {
            ask(lock);
            return;
        }
    }
    std::erase_if(m_held, [&](const Held& h) {
        return std::find(wanted.begin(), wanted.end(), h.lock) == wanted.end();
    });
    emit settled();
}

void LogindHold::ask(const Lock& lock) {
    m_asking = true;
    const QDBusPendingCall call = m_manager->asyncCall(
        QStringLiteral("Inhibit"), lock.what, QStringLiteral("Tollvane"), lock.why, lock.mode);
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, lock](QDBusPendingCallWatcher* done) {
                done->deleteLater();
                m_asking = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *done;
                if (reply.isError()) {
                    m_error = reply.error().message().toStdString();
                    m_refused.push_back(lock);
                } else {
                    m_held.push_back({lock, reply.value()});  // let go at once if no longer wanted
                }
                step();
            });
}

// A suspend is coming, asked for by the user or by something that does not ask the desktop: the
// alarm cannot ring while the computer sleeps, which is said once, and the delay is let go at
// once so that the suspend goes on.
void LogindHold::onPrepareForSleep(bool start) {
    if (start) {
        if (m_wanted.kind != SleepHold::Kind::Nothing && m_log)
            m_log("the computer is going to sleep: the alarm at " + m_wanted.alarm.toStdString() +
                  " will not ring while it sleeps");
        m_sleeping = true;
        std::erase_if(m_held, [](const Held& h) { return h.lock.mode == QStringLiteral("delay"); });
        return;
    }
    m_sleeping = false;
    emit resumed();
    retry();
}

}  // namespace tollvane

#include "logind_hold.moc"
