#pragma once
// The computer awake for the alarm on Windows. A waitable timer armed with resume at the moment
// (an absolute time of the UTC clock) wakes the computer from sleep or hibernation, where the power
// plan allows wake timers. Left alone, Windows sends a computer that a timer woke back to sleep
// after about two minutes: from the moment until the ring has ended the thread's execution state
// keeps the system and the display on.

#include <string>

#include "platform/ports.h"
#include "platform/win32/api.h"
#include "platform/win32/handles.h"

namespace tollvane::win32 {

class Win32Wake final : public ComputerWake {
public:
    Win32Wake();
    ~Win32Wake() override;
    Win32Wake(const Win32Wake&) = delete;
    Win32Wake& operator=(const Win32Wake&) = delete;

    void arm(const WakeRequest& request) override;
    void disarm() override;
    std::string whyNot() const override { return m_why; }

    // The waitable timer, for a test to wait on.
    HANDLE timer() const { return m_timer.get(); }

private:
    void keepAwake(bool on);

    KernelHandle m_timer;
    bool m_keptAwake = false;
    std::string m_why;
};

// Why the computer may not be awake for the alarm, as a warning for whoever looks after it
// (event_log.h).
void tellAboutWake(const std::string& line);

}  // namespace tollvane::win32
