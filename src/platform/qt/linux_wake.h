#pragma once
// The computer awake for the alarm on Linux. Where the process may have one (CAP_WAKE_ALARM: root,
// or the user of a local seat under systemd 254 and later), a timerfd on CLOCK_REALTIME_ALARM
// wakes the computer from suspend at the given moment. Elsewhere logind's sleep inhibitor, held
// while the alarm waits, keeps the computer from going to sleep by itself. Through the ring a
// sleep and idle inhibitor keeps it and its screen awake. logind is reached on the system bus only
// once something is armed, so a program with no alarm never connects to it.

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "platform/ports.h"

class QSocketNotifier;

namespace tollvane {

class LogindManager;

class LinuxWake : public QObject, public ComputerWake {
    Q_OBJECT
public:
    LinuxWake();
    ~LinuxWake() override;
    LinuxWake(const LinuxWake&) = delete;
    LinuxWake& operator=(const LinuxWake&) = delete;

    void arm(const WakeRequest& request) override;
    void disarm() override;
    std::string whyNot() const override;

signals:
    // The computer has resumed from sleep, or the wall clock was set while the wake was armed: the
    // tick and the wake should be aimed again.
    void timeMoved();

private:
    struct Inhibitor {
        QString what;  // "sleep", "sleep:idle"; empty: none
        QString why;
        bool operator==(const Inhibitor&) const = default;
    };

    bool openAlarmTimer();
    void closeAlarmTimer();
    void onAlarmTimer();
    void connectLogind();
    void want(const Inhibitor& inhibitor);
    void askLogind();

    int m_alarmFd = -1;
    std::unique_ptr<QSocketNotifier> m_alarmNotifier;
    std::string m_alarmError;  // why there is no alarm timer; empty until one was refused

    std::unique_ptr<LogindManager> m_logind;
    Inhibitor m_wanted;
    Inhibitor m_held;
    QDBusUnixFileDescriptor m_heldFd;  // closing its last copy releases the inhibitor
    bool m_asking = false;             // an Inhibit call is on its way
    std::string m_logindError;         // why the last Inhibit failed; empty after one succeeded
};

}  // namespace tollvane
