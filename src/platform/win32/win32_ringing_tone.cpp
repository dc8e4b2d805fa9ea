#include "platform/win32/win32_ringing_tone.h"

namespace tollvane::win32 {

RingingTone::RingingTone(Tone& backend)
    : m_backend(backend),
      m_done(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_finished(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_worker([this] { work(); }) {}

// The program is ending. A worker stuck in a tone the system never finishes is left behind
// rather than waited for: the process ends all the same.
RingingTone::~RingingTone() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (WaitForSingleObject(m_finished.get(), kWatchdogMarginMs) == WAIT_OBJECT_0)
        m_worker.join();
    else
        m_worker.detach();
}

// One thread for all tones of the program's life.
void RingingTone::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_hasJob; });
        if (m_stop) break;
        m_hasJob = false;
        m_busy = true;
        const auto f = m_frequency, d = m_duration;
        lock.unlock();
        m_backend.beep(f, d);
        lock.lock();
        m_busy = false;
        SetEvent(m_done.get());
    }
    SetEvent(m_finished.get());
}

void RingingTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (durationMs <= 0) return;
    bool queued = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_busy && !m_hasJob) {
            ResetEvent(m_done.get());
            m_frequency = frequencyHz;
            m_duration = durationMs;
            m_hasJob = true;
            queued = true;
        }
    }
    if (!queued) {
        // A worker still stuck in an earlier tone plays nothing: the beep is silence of its length.
        waitServingWindows(nullptr, static_cast<unsigned long long>(durationMs));
        return;
    }
    m_wake.notify_one();
    waitServingWindows(m_done.get(),
                       static_cast<unsigned long long>(durationMs) + kWatchdogMarginMs);
}

void RingingTone::waitServingWindows(HANDLE done, unsigned long long ms) {
    const unsigned long long deadline = GetTickCount64() + ms;
    constexpr DWORD kServed = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;
    for (;;) {
        const unsigned long long now = GetTickCount64();
        if (now >= deadline) return;
        const auto left = static_cast<DWORD>(deadline - now);
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(done ? 1 : 0, done ? &done : nullptr, left, kServed, 0);
        if (done && woke == WAIT_OBJECT_0) return;
        if (woke == WAIT_TIMEOUT || woke == WAIT_FAILED) return;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0,
                            PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            DispatchMessageW(&message);
        }
    }
}

}  // namespace tollvane::win32
