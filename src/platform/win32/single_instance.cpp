#include "platform/win32/single_instance.h"

#include "platform/win32/desktop.h"

namespace tollvane::win32 {

// While it waits for the running program's window, the running program may end: then the mutex
// is free again and this start is the one.
SingleInstance::Claim SingleInstance::claim(unsigned waitMs) {
    const unsigned long long deadline = GetTickCount64() + waitMs;
    for (;;) {
        m_mutex.reset(CreateMutexW(nullptr, FALSE, m_name.c_str()));
        if (m_mutex && GetLastError() != ERROR_ALREADY_EXISTS) return Claim::First;
        m_mutex.reset();
        if (HWND running = FindWindowW(Desktop::programWindowClass(), nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(running, &process);
            // The user started this process, so it may hand the foreground to the running one.
            AllowSetForegroundWindow(process);
            if (PostMessageW(running, Desktop::secondStartMessage(), 0, 0))
                return Claim::HandedOver;
        }
        if (GetTickCount64() >= deadline) return Claim::NoAnswer;
        Sleep(50);
    }
}

}  // namespace tollvane::win32
