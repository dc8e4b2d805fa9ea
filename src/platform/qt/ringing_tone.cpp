#include "platform/qt/ringing_tone.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace tollvane {

RingingTone::RingingTone(Tone& backend, std::function<void(bool)> ringing)
    : m_backend(backend), m_ringing(std::move(ringing)), m_worker([this] { work(); }) {}

RingingTone::~RingingTone() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

// The worker keeps one thread for all tones, so the audio connection it opens stays with it
// across the beeps of a ring.
void RingingTone::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_hasJob; });
        if (m_stop) return;
        m_hasJob = false;
        m_busy = true;
        const auto f = m_frequency, d = m_duration;
        const auto job = m_job;
        lock.unlock();
        m_backend.beep(f, d);
        lock.lock();
        m_busy = false;
        QMetaObject::invokeMethod(
            &m_receiver,
            [this, job] {
                if (m_loop && job == m_job) m_loop->quit();
            },
            Qt::QueuedConnection);
    }
}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (durationMs <= 0 || m_cancelled) return;
    QEventLoop loop;
    bool queued = false;
    {
        std::lock_guard lock(m_mutex);
        ++m_job;
        if (!m_busy && !m_hasJob) {
            m_frequency = frequencyHz;
            m_duration = durationMs;
            m_hasJob = true;
            queued = true;
        }
    }
    if (queued) m_wake.notify_one();

    if (m_ringing) m_ringing(true);
    m_loop = &loop;
    // A worker still stuck in an earlier tone plays nothing: the beep is silence of its length.
    QTimer::singleShot(queued ? durationMs + kWatchdogMarginMs : durationMs, &loop,
                       &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    if (m_ringing) m_ringing(false);
}

}  // namespace tollvane
