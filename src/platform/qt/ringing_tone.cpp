#include "platform/qt/ringing_tone.h"

#include <QTimer>

namespace tollvane {

RingingTone::RingingTone(std::shared_ptr<Tone> backend)
    : m_worker(std::move(backend), [this] {
          QMetaObject::invokeMethod(
              &m_receiver,
              [this] {
                  if (m_loop && m_ticket && m_worker.ended(m_ticket)) m_loop->quit();
              },
              Qt::QueuedConnection);
      }) {}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    const RingWorker::Handed handed = m_worker.play(frequencyHz, durationMs);
    if (handed.waitMs <= 0) return;
    QEventLoop loop;
    m_loop = &loop;
    m_ticket = handed.ticket;
    // The watchdog; for a silent beep, its length.
    QTimer::singleShot(handed.waitMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    m_ticket = 0;
}

}  // namespace tollvane
