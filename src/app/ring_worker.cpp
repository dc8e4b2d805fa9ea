#include "app/ring_worker.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tollvane {

// What the window thread and the worker share. It lives as long as either needs it.
struct RingWorker::Shared {
    std::mutex mutex;
    std::condition_variable wake;  // a tone to play, or the end
    std::condition_variable left;  // the worker has returned for good
    std::function<void()> toneEnded;
    bool hasJob = false;
    bool ringOver = false;
    bool busy = false;  // inside a tone, perhaps one the watchdog gave up on
    bool stop = false;
    bool gone = false;
    std::int32_t frequency = 0, duration = 0;
    std::uint64_t handed = 0;    // the last ticket given out
    std::uint64_t returned = 0;  // the last ticket whose tone has returned
};

RingWorker::RingWorker(std::shared_ptr<Tone> tone, std::function<void()> toneEnded)
    : m_shared(std::make_shared<Shared>()) {
    m_shared->toneEnded = std::move(toneEnded);
    // One thread for all tones of the program's life, so that an audio connection opened for the
    // first beep stays with it across a ring.
    m_worker = std::thread([shared = m_shared, tone = std::move(tone)] {
        Shared& s = *shared;
        std::unique_lock lock(s.mutex);
        for (;;) {
            s.wake.wait(lock, [&] { return s.stop || s.hasJob || s.ringOver; });
            // Before the end too: an output made audible for the ring is put back. A beep handed
            // over meanwhile waits its turn.
            if (s.ringOver) {
                s.ringOver = false;
                lock.unlock();
                tone->ringEnded();
                lock.lock();
                continue;
            }
            if (s.stop) break;
            s.hasJob = false;
            s.busy = true;
            const auto f = s.frequency, d = s.duration;
            const auto ticket = s.handed;
            lock.unlock();
            tone->beep(f, d);
            lock.lock();
            s.busy = false;
            s.returned = ticket;
            // Told under the lock, so the destructor cannot pass its stop meanwhile: once it has,
            // whoever waited may be gone.
            if (s.stop) break;
            if (s.toneEnded) s.toneEnded();
        }
        s.gone = true;
        s.left.notify_all();
    });
}

RingWorker::~RingWorker() {
    std::unique_lock lock(m_shared->mutex);
    m_shared->stop = true;
    m_shared->wake.notify_all();
    const bool left = m_shared->left.wait_for(lock, std::chrono::milliseconds(kEndWaitMs),
                                              [this] { return m_shared->gone; });
    lock.unlock();
    if (left)
        m_worker.join();
    else
        m_worker.detach();  // still inside a tone that never ends: the process ends without it
}

RingWorker::BeepWait RingWorker::play(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (durationMs <= 0) return {};
    durationMs = std::min(durationMs, Tone::kLongestMs);
    {
        std::lock_guard lock(m_shared->mutex);
        if (!m_shared->busy && !m_shared->hasJob) {
            m_shared->frequency = frequencyHz;
            m_shared->duration = durationMs;
            m_shared->hasJob = true;
            const std::uint64_t ticket = ++m_shared->handed;
            m_shared->wake.notify_one();
            return {ticket, durationMs + kWatchdogMarginMs};
        }
    }
    return {0, durationMs};
}

void RingWorker::ringEnded() {
    std::lock_guard lock(m_shared->mutex);
    m_shared->ringOver = true;
    m_shared->wake.notify_one();
}

bool RingWorker::ended(std::uint64_t ticket) const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->returned >= ticket;
}

RingingTone::RingingTone(std::shared_ptr<Tone> backend, std::unique_ptr<Wait> wait)
    : m_wait(std::move(wait)), m_worker(std::move(backend), [w = m_wait.get()] { w->wake(); }) {}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    const RingWorker::BeepWait beep = m_worker.play(frequencyHz, durationMs);
    if (beep.ms <= 0) return;
    // A wake may stand for an earlier tone (one the watchdog gave up on): the worker says which
    // tone has ended.
    m_wait->wait([&] { return beep.ticket != 0 && m_worker.ended(beep.ticket); }, beep.ms);
}

bool ApplicationReach::run(const std::function<void()>& call) {
    std::lock_guard lock(m_mutex);
    if (m_closed) return false;
    call();
    return true;
}

void ApplicationReach::close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
}

}  // namespace tollvane
