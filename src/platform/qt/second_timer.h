#pragma once
// The clock window's one-second tick, scheduled against the wall clock: each shot is re-armed for
// just after the next whole second, so the seconds shown change within a millisecond of the real
// second, never skip or repeat, and follow the clock when it is set or the machine wakes up.

#include <QObject>
#include <chrono>
#include <memory>

#include "platform/qt/second_timer_backend.h"

namespace tollvane {

class SecondTimer : public QObject {
    Q_OBJECT
public:
    // How long after the whole second a startAtNextSecond() shot comes due, so that a clock read in
    // the handler is already in the new second.
    static constexpr std::chrono::microseconds kMargin{100};

    // With the system's best backend.
    explicit SecondTimer(QObject* parent = nullptr);
    // With the given backend (a null one means the system's).
    SecondTimer(std::unique_ptr<SecondTimerBackend> backend, QObject* parent = nullptr);
    ~SecondTimer() override;

    // One shot after `ms` milliseconds (a negative delay counts as none).
    void startAfter(int ms);
    // One shot just after the next whole second of the wall clock.
    void startAtNextSecond();
    // One shot just after the wall clock reaches `deadline` (at once if it has).
    void startAt(WallTime deadline);
    // Each start replaces the shot armed before; stop() drops it.
    void stop();
    // True from a start until the shot comes or stop(); already false inside the timeout handler,
    // so the handler can arm the next shot.
    bool isActive() const { return m_active; }

signals:
    // The shot came due, or the wall clock was set (or jumped on resume) while it was armed.
    void timeout();

private:
    void onShot();

    std::unique_ptr<SecondTimerBackend> m_backend;
    bool m_active = false;
};

}  // namespace tollvane
