#pragma once
// A ring's tones, for the desktops of every platform. A ring holds the clock tick for its whole
// length, yet the windows must keep repainting: each tone plays on a worker thread while the
// window thread waits in a loop of its own platform (RingingTone::Wait) that paints but delivers
// no user input, until the tone has ended or a watchdog gives up on it. A tone given up on keeps
// the worker until it returns, and the ring's later beeps are silence of their length meanwhile.
//
// The worker holds only what it shares with this object and its tone, never the object itself:
// when the program ends with the worker stuck in a tone, the worker is left behind, and a tone
// that returns after that touches nothing that is gone.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ports.h"

namespace tollvane {

class RingWorker {
public:
    // `toneEnded` is told on the worker thread after each tone, as long as this object lives; it
    // should only wake the waiting window thread, which then asks ended().
    RingWorker(std::shared_ptr<Tone> tone, std::function<void()> toneEnded);
    // Waits at most kEndWaitMs for a worker still inside a tone, then leaves it behind.
    ~RingWorker();
    RingWorker(const RingWorker&) = delete;
    RingWorker& operator=(const RingWorker&) = delete;

    // How the window thread waits out one beep: for the tone of `ticket` (see ended(); 0 when
    // nothing plays and the beep is silence), at most `ms` (0: no wait at all).
    struct BeepWait {
        std::uint64_t ticket = 0;
        int ms = 0;
    };
    // Hands over one beep. While the worker is still inside a tone the watchdog gave up on, it
    // plays nothing: the beep is silence of its length.
    BeepWait play(std::int32_t frequencyHz, std::int32_t durationMs);
    // Whether the tone of `ticket` has returned.
    bool ended(std::uint64_t ticket) const;
    // The ring is over: once the tone sounding now has returned, the worker tells the tone so
    // (Tone::ringEnded), also when the program is ending. Returns at once.
    void ringEnded();

    // How long past its duration a tone may take before the wait gives up.
    static constexpr int kWatchdogMarginMs = 1000;
    // How long the end of the program waits for a worker that is still inside a tone; one that
    // takes longer is left behind, so that a stuck sound system cannot hold the end up.
    static constexpr int kEndWaitMs = 500;

private:
    struct Shared;

    std::shared_ptr<Shared> m_shared;  // with the worker, which may outlive this object
    std::thread m_worker;
};

// The tone a desktop gives the program: each beep on the worker, the window thread waiting.
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

// What a ring's tone reaches of the application from the worker thread (the desktop's bell, say).
// A worker left behind in a stuck tone may come back at any moment of the application's teardown,
// or after it: a call through here runs only until the application begins to go (close()), and
// close() waits for a call in progress, so that nothing of the application is touched once it is
// going.
class ApplicationReach {
public:
    // Runs `call` unless the reach is closed; whether it ran.
    bool run(const std::function<void()>& call);
    void close();

private:
    std::mutex m_mutex;
    bool m_closed = false;
};

}  // namespace tollvane
