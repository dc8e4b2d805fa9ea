#pragma once
// A ring holds the clock tick for its whole length, yet the windows must keep repainting. Each
// tone therefore sounds on a worker thread while the window thread waits in a loop of its own that
// paints and serves messages sent or posted to the program's windows, but leaves the user's input
// in the queue: clicks and keys are handled once the ring is over, in the order they came. A
// watchdog ends the wait if the tone never finishes.

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/ports.h"
#include "platform/win32/win32_handles.h"

namespace tollvane::win32 {

class RingingTone : public Tone {
public:
    explicit RingingTone(Tone& backend);
    ~RingingTone() override;
    RingingTone(const RingingTone&) = delete;
    RingingTone& operator=(const RingingTone&) = delete;

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;

    // How long past its duration a tone may take before the wait gives up.
    static constexpr int kWatchdogMarginMs = 2000;

private:
    void work();
    // Serves paint, sent and posted messages until `done` is signalled or `ms` have passed.
    static void waitServingWindows(HANDLE done, unsigned long long ms);

    Tone& m_backend;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    KernelHandle m_done;      // signalled by the worker after each tone
    KernelHandle m_finished;  // signalled as the worker leaves
    bool m_hasJob = false;
    bool m_busy = false;  // the worker is still inside a tone, perhaps one the watchdog gave up on
    bool m_stop = false;
    std::int32_t m_frequency = 0, m_duration = 0;
    std::thread m_worker;
};

}  // namespace tollvane::win32
