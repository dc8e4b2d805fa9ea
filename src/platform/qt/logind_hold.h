#pragma once
// logind's inhibitors for the alarm, on the system bus. While an alarm waits without a kernel wake
// alarm: an `idle` block, so that logind's own idle action does not suspend the computer, and a
// `sleep` delay, so that a suspend the user asks for is seen coming: it is logged and let go
// at once, and the delay is taken again after the resume. Never a `sleep` block while waiting,
// which would refuse the user's own suspend. From the wake until the ring has ended: a block of
// `sleep`, `idle` and `handle-lid-switch`, so that a lid closed over a woken laptop does not send
// it back to sleep in the alarm's minute.
//
// Lives on the bus thread (sleep_guard.h).

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "platform/qt/sleep_hold.h"

namespace tollvane {

class LogindManager;

class LogindHold : public QObject {
    Q_OBJECT
public:
    LogindHold(const QDBusConnection& bus, LogLine log);
    ~LogindHold() override;
    LogindHold(const LogindHold&) = delete;
    LogindHold& operator=(const LogindHold&) = delete;

    void want(const SleepHold& hold);
    // Asks again for what logind refused before.
    void retry();
    bool busy() const { return m_asking; }
    // Why logind refused part of what is wanted; empty when it refused nothing.
    std::string error() const { return m_refused.empty() ? std::string() : m_error; }

signals:
    // The computer has resumed from sleep.
    void resumed();
    // No call to logind is on its way.
    void settled();

private:
    struct Lock {
        QString what;  // "idle", "sleep", "sleep:idle:handle-lid-switch"
        QString mode;  // "block", "delay"
        QString why;
        bool operator==(const Lock&) const = default;
    };
    struct Held {
        Lock lock;
        QDBusUnixFileDescriptor fd;  // closing its last copy releases the inhibitor
    };

    std::vector<Lock> wantedLocks() const;
    bool holds(const Lock& lock) const;
    void step();
    void ask(const Lock& lock);
    void onPrepareForSleep(bool start);

    std::unique_ptr<LogindManager> m_manager;
    LogLine m_log;
    SleepHold m_wanted;
    std::vector<Held> m_held;
    std::vector<Lock> m_refused;  // asked for and refused since the wish last changed
    bool m_asking = false;
    bool m_sleeping = false;  // between the suspend's announcement and the resume
    std::string m_error;
};

}  // namespace tollvane
