#pragma once
// The program's hold against sleep on the system's buses, on a thread of its own: connecting to a
// bus waits for it (Qt's own bus connection, and the owner of a name looked up for a signal, are
// both answered in turn), and the window's thread must never stand while a bus is slow. The
// window's thread tells the guard what to hold; the guard answers when the services have.

#include <QObject>
#include <QString>
#include <memory>

#include "platform/qt/desktop_hold.h"
#include "platform/qt/logind_hold.h"
#include "platform/qt/sleep_hold.h"

namespace tollvane {

class SleepGuard : public QObject {
    Q_OBJECT
public:
    explicit SleepGuard(LogLine log);
    ~SleepGuard() override;
    SleepGuard(const SleepGuard&) = delete;
    SleepGuard& operator=(const SleepGuard&) = delete;

    // On the guard's thread: hold `hold`, the wish numbered `serial`. The buses are connected at
    // the first wish.
    void want(const SleepHold& hold, int serial);

signals:
    // The computer has resumed from sleep.
    void resumed();
    // The services have answered the wish `serial`; why each one refused part of it (empty: it
    // refused nothing).
    void answered(int serial, const QString& logindError, const QString& desktopError);

private:
    void connectBuses();
    void answerIfSettled();

    LogLine m_log;
    std::unique_ptr<LogindHold> m_logind;
    std::unique_ptr<DesktopHold> m_desktop;
    int m_serial = 0;
};

}  // namespace tollvane
