#pragma once
// A ring holds the clock tick for its whole length, yet the windows must keep repainting. Each
// tone therefore plays on a worker thread while the UI thread waits in a local event loop that
// repaints but delivers no user input; the desktop holds back timer events meanwhile, so no
// handler runs until the ring is over. A watchdog ends the wait if the tone never finishes, and
// the program's end waits only briefly for a worker still inside a tone.

#include <functional>
#include <memory>
#include <thread>

#include <QEventLoop>
#include <QObject>

#include "platform/ports.h"

namespace tollvane {

class RingingTone : public Tone {
public:
    // `ringing` is told true before each tone and false after it. The worker shares `backend`, so
    // a worker left behind inside a tone at the end keeps what it uses.
    RingingTone(std::shared_ptr<Tone> backend, std::function<void(bool)> ringing);
    ~RingingTone() override;

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;

    // How long past its duration a tone may take before the wait gives up.
    static constexpr int kWatchdogMarginMs = 1000;
    // How long the destructor waits for a worker that is still inside a tone; a worker that takes
    // longer is left behind, so a stuck sound server cannot hold up the program's end.
    static constexpr int kEndWaitMs = 500;

private:
    struct Shared;

    std::function<void(bool)> m_ringing;
    std::shared_ptr<Shared> m_shared;  // with the worker, which may outlive this object
    // Lives on the UI thread: the worker posts "tone ended" to it.
    QObject m_receiver;
    QEventLoop* m_loop = nullptr;
    std::thread m_worker;
};

}  // namespace tollvane
