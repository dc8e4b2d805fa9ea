#include "app/ringing_tone.h"

#include <utility>

namespace tollvane {

RingingTone::RingingTone(std::shared_ptr<Tone> backend, std::unique_ptr<Wait> wait)
    : m_wait(std::move(wait)), m_worker(std::move(backend), [w = m_wait.get()] { w->wake(); }) {}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    const RingWorker::BeepWait beep = m_worker.play(frequencyHz, durationMs);
    if (beep.ms <= 0) return;
    // A wake may stand for an earlier tone (one the watchdog gave up on): the worker says which
    // tone has ended.
    m_wait->wait([&] { return beep.ticket != 0 && m_worker.ended(beep.ticket); }, beep.ms);
}

}  // namespace tollvane
