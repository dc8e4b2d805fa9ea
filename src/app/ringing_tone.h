#pragma once
// A ring's tones, for the desktops of every platform: each plays on the ring worker
// (app/ring_worker.h) while the window thread waits in a loop of its platform (its Wait) that
// paints but delivers no user input, so that clicks and keys are handled once the ring is over.

#include <cstdint>
#include <functional>
#include <memory>

#include "app/ring_worker.h"
#include "platform/ports.h"

namespace tollvane {

class RingingTone : public Tone {
public:
    // How the window thread waits for a tone on its platform.
    class Wait {
    public:
        virtual ~Wait() = default;
        // Told on the worker thread after each tone: only wakes the wait, which then asks `ended`.
        virtual void wake() = 0;
        // Paints and serves the program's windows, leaving the user's input for later, until
        // `ended()` says so or `ms` have passed.
        virtual void wait(const std::function<bool()>& ended, int ms) = 0;
    };

    RingingTone(std::shared_ptr<Tone> backend, std::unique_ptr<Wait> wait);

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    // Passed on to the backend on the worker, after the ring's last tone.
    void ringEnded() override { m_worker.ringEnded(); }

private:
    std::unique_ptr<Wait> m_wait;  // declared before the worker, which tells it to the end
    RingWorker m_worker;
};

}  // namespace tollvane
