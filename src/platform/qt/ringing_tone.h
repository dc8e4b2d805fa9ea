#pragma once
// A ring holds the clock tick for its whole length, yet the windows must keep repainting. Each
// tone therefore plays on a worker thread while the UI thread waits in a local event loop that
// repaints but delivers no user input; the desktop holds back timer events meanwhile, so no
// handler runs until the ring is over. A watchdog ends the wait if the tone never finishes.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <QEventLoop>
#include <QObject>

#include "platform/ports.h"

namespace tollvane {

class RingingTone : public Tone {
public:
    // `ringing` is told true before each tone and false after it.
    RingingTone(Tone& backend, std::function<void(bool)> ringing);
    ~RingingTone() override;

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;

    // Makes the tone sounding now the last one: every later beep returns at once, so a ring in
    // progress runs through its remaining count without a sound and ends. For good: called only
    // as the program is about to end.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

    // How long past its duration a tone may take before the wait gives up.
    static constexpr int kWatchdogMarginMs = 2000;

private:
    void work();

    Tone& m_backend;
    std::function<void(bool)> m_ringing;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_hasJob = false;
    bool m_busy = false;  // the worker is still inside a tone, perhaps one the watchdog gave up on
    bool m_stop = false;
    bool m_cancelled = false;  // UI thread only
    std::int32_t m_frequency = 0, m_duration = 0;
    unsigned long long m_job = 0;  // the tone the UI thread waits for
    // Lives on the UI thread: the worker posts "tone ended" to it.
    QObject m_receiver;
    QEventLoop* m_loop = nullptr;
    std::thread m_worker;
};

}  // namespace tollvane
