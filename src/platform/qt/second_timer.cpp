#include "platform/qt/second_timer.h"

#include <algorithm>
#include <utility>

namespace tollvane {

SecondTimer::SecondTimer(QObject* parent) : SecondTimer(nullptr, parent) {}

SecondTimer::SecondTimer(std::unique_ptr<SecondTimerBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend)) {
    if (!m_backend) m_backend = makeSystemSecondTimerBackend();
    m_backend->setHandler([this] { onShot(); });
}

SecondTimer::~SecondTimer() {
    m_backend->disarm();
    m_backend->setHandler(nullptr);
}

void SecondTimer::startAfter(int ms) {
    m_active = true;
    m_backend->armAfter(std::chrono::milliseconds(std::max(ms, 0)));
}

void SecondTimer::startAtNextSecond() {
    startAt(std::chrono::floor<std::chrono::seconds>(m_backend->now()) + std::chrono::seconds(1));
}

void SecondTimer::startAt(WallTime deadline) {
    // Each shot is aimed afresh at a whole second of the wall clock rather than repeating an
    // interval: an interval drifts against the clock and, once it has drifted across a second,
    // the display skips or repeats one. The deadline is absolute, so a clock set while the shot is
    // armed is reported by the backend instead of leaving the shot aimed at the old time.
    m_active = true;
    m_backend->armAt(deadline + kMargin);
}

void SecondTimer::stop() {
    m_active = false;
    m_backend->disarm();
}

void SecondTimer::onShot() {
    // A socket notification can already be on its way when the shot is dropped or replaced.
    if (!m_active) return;
    m_active = false;
    emit timeout();
}

}  // namespace tollvane
