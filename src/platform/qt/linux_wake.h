#pragma once
// The computer awake for the alarm on Linux. Where the process may have one (CAP_WAKE_ALARM: root,
// or the user of a local seat under systemd 254 and later), a timerfd on CLOCK_REALTIME_ALARM
// wakes the computer from suspend at the given moment. Elsewhere, while the alarm waits, the
// desktop and logind are asked not to let the computer sleep by itself, and a suspend that the
// user asks for goes on, logged (sleep_guard.h). From the wake until the ring has ended the
// computer, its screen and its lid are held. The buses are reached on a thread of their own, and
// only once something is to be held, so a program with no alarm never connects to them.

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>
#include <string>

#include "platform/ports.h"
#include "platform/qt/sleep_hold.h"

class QSocketNotifier;

namespace tollvane {

class SleepGuard;

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
    bool openAlarmTimer();
    void closeAlarmTimer();
    void onAlarmTimer();
    void hold(const SleepHold& hold);

    int m_alarmFd = -1;
    std::unique_ptr<QSocketNotifier> m_alarmNotifier;
    std::string m_alarmError;  // why there is no alarm timer; empty until one was refused

    QThread m_busThread;
    SleepGuard* m_guard = nullptr;  // lives on m_busThread, which deletes it
    SleepHold m_held;               // as last asked of the guard
    int m_asked = 0;                // the number of the last wish, and of the last one answered
    int m_answered = 0;
    std::string m_logindError;   // why logind refused part of the last wish answered
    std::string m_desktopError;  // why the desktop did
};

}  // namespace tollvane
