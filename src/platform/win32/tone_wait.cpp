#include "platform/win32/tone_wait.h"

#include <algorithm>

namespace tollvane::win32 {

namespace {

// How long the ring's wait goes without looking at the queue.
constexpr unsigned long long kLookMs = 500;

}  // namespace

void Win32ToneWait::wait(const std::function<bool()>& ended, int ms) {
    const unsigned long long deadline = GetTickCount64() + static_cast<unsigned long long>(ms);
    HANDLE toneEnded = m_toneEnded.get();
    constexpr DWORD kServed = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;
    for (;;) {
        if (ended()) return;
        const unsigned long long now = GetTickCount64();
        if (now >= deadline) return;
        // Windows counts a thread that waits without input in its wake mask, and has not looked
        // at its queue for 5 s, as not responding: it ghosts the window, offers to end the
        // program, and senders that skip hung windows skip it. The queue is looked at every half
        // second, its input left in it.
        const auto slice =
            static_cast<DWORD>(std::min<unsigned long long>(deadline - now, kLookMs));
        // A message that came before the wait began, and that a look at the queue has seen
        // without taking it, wakes it too.
        const DWORD woke = MsgWaitForMultipleObjectsEx(toneEnded ? 1 : 0, &toneEnded, slice,
                                                       kServed, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) return;
        if (toneEnded && woke == WAIT_OBJECT_0) continue;
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
