#pragma once
// A ring's tones on Qt: each plays on the shared ring worker (app/ring_worker.h) while the UI
// thread waits in a local event loop that repaints but delivers no user input; the desktop holds
// back timer events meanwhile, so no handler runs until the ring is over.

#include <memory>

#include <QEventLoop>
#include <QObject>

#include "app/ring_worker.h"
#include "platform/ports.h"

namespace tollvane {

class RingingTone : public Tone {
public:
    explicit RingingTone(std::shared_ptr<Tone> backend);

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    // Passed on to the backend on the worker, after the ring's last tone.
    void ringEnded() override { m_worker.ringEnded(); }

    static constexpr int kWatchdogMarginMs = RingWorker::kWatchdogMarginMs;
    static constexpr int kEndWaitMs = RingWorker::kEndWaitMs;

private:
    // Lives on the UI thread: the worker tells it of each tone's end. Declared before the worker,
    // which goes first and tells nothing once it has gone.
    QObject m_receiver;
    QEventLoop* m_loop = nullptr;
    std::uint64_t m_ticket = 0;  // the tone the loop waits for; 0: a silent beep
    RingWorker m_worker;
};

}  // namespace tollvane
