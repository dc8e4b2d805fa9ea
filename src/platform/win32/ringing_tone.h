#pragma once
// A ring's tones on Windows: each plays on the shared ring worker (app/ring_worker.h) while the
// window thread waits in a loop of its own that paints and serves messages sent or posted to the
// program's windows, but leaves the user's input in the queue: clicks and keys are handled once
// the ring is over, in the order they came.

#include <memory>

#include "app/ring_worker.h"
#include "platform/ports.h"
#include "platform/win32/api.h"

namespace tollvane::win32 {

class RingingTone : public Tone {
public:
    explicit RingingTone(std::shared_ptr<Tone> backend);

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    // Passed on to the backend on the worker, after the ring's last tone.
    void ringEnded() override { m_worker.ringEnded(); }

    static constexpr int kWatchdogMarginMs = RingWorker::kWatchdogMarginMs;

private:
    // Serves paint, sent and posted messages until the tone of `ticket` has ended (never, for a
    // ticket of 0) or `ms` have passed.
    void waitServingWindows(std::uint64_t ticket, unsigned long long ms);

    // Set by the worker after each tone. Shared with it, so that it stays open for a worker left
    // behind.
    std::shared_ptr<void> m_toneEnded;
    RingWorker m_worker;
};

}  // namespace tollvane::win32
