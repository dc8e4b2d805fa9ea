#include "platform/qt/ringing_tone.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tollvane {

// What the UI thread and the worker share. It lives as long as either of them needs it: a worker
// left behind at the end still finds its mutex when its tone returns at last.
struct RingingTone::Shared {
    std::mutex mutex;
    std::condition_variable wake;  // a tone to play, or the end
    std::condition_variable left;  // the worker has returned
    bool hasJob = false;
    bool busy = false;  // the worker is inside a tone, perhaps one the watchdog gave up on
    bool stop = false;
    bool gone = false;
    std::int32_t frequency = 0, duration = 0;
    unsigned long long job = 0;  // the tone the UI thread waits for
};

RingingTone::RingingTone(std::shared_ptr<Tone> backend, std::function<void(bool)> ringing)
    : m_ringing(std::move(ringing)), m_shared(std::make_shared<Shared>()) {
    // The worker keeps one thread for all tones, so the audio connection it opens stays with it
    // across the beeps of a ring.
    m_worker = std::thread([this, shared = m_shared, backend = std::move(backend)] {
        Shared& s = *shared;
        std::unique_lock lock(s.mutex);
        for (;;) {
            s.wake.wait(lock, [&] { return s.stop || s.hasJob; });
            if (s.stop) break;
            s.hasJob = false;
            s.busy = true;
            const auto f = s.frequency, d = s.duration;
            const auto job = s.job;
            lock.unlock();
            backend->beep(f, d);
            lock.lock();
            s.busy = false;
            // Once stopped, the receiver may be gone: nothing is told. Posting under the lock
            // keeps the destructor from passing the stop while the event is on its way.
            if (s.stop) break;
            QMetaObject::invokeMethod(
                &m_receiver,
                [this, job] {
                    if (m_loop && job == m_shared->job) m_loop->quit();
                },
                Qt::QueuedConnection);
        }
        s.gone = true;
        s.left.notify_all();
    });
}

RingingTone::~RingingTone() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->stop = true;
    m_shared->wake.notify_all();
    const bool left = m_shared->left.wait_for(lock, std::chrono::milliseconds(kEndWaitMs),
                                              [this] { return m_shared->gone; });
    lock.unlock();
    if (left) {
        m_worker.join();
    } else {
        // Still inside a tone that the sound server never ends: the process ends without it.
        m_worker.detach();
    }
}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (durationMs <= 0) return;
    durationMs = std::min(durationMs, kLongestMs);
    QEventLoop loop;
    bool queued = false;
    {
        std::lock_guard lock(m_shared->mutex);
        ++m_shared->job;
        if (!m_shared->busy && !m_shared->hasJob) {
            m_shared->frequency = frequencyHz;
            m_shared->duration = durationMs;
            m_shared->hasJob = true;
            queued = true;
        }
    }
    if (queued) m_shared->wake.notify_one();

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
