#include "platform/win32/wake.h"

#include <powrprof.h>

#include "platform/win32/clock.h"
#include "platform/win32/event_log.h"
#include "platform/win32/text.h"

namespace tollvane::win32 {

namespace {

// What SetWaitableTimer leaves in GetLastError when it set the timer but will not resume the
// computer for it: ERROR_NOT_SUPPORTED as documented, ERROR_TIMER_RESUME_IGNORED as Windows and
// Wine also report it.
constexpr DWORD kErrorTimerResumeIgnored = 722;
constexpr WORD kWakeEventId = 1;
// The power plan's Sleep > Allow wake timers: 0 disabled, 1 enabled, 2 important ones only.
const GUID kSleepSubgroup = {
    0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
const GUID kAllowWakeTimers = {
    0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Why the active power plan keeps wake timers from waking the computer; empty when it lets them,
// or when it cannot be asked.
std::string powerPlanRefusal() {
    GUID* scheme = nullptr;
    if (PowerGetActiveScheme(nullptr, &scheme) != ERROR_SUCCESS || !scheme) return {};
    DWORD plugged = 1;
    DWORD battery = 1;
    const bool pluggedRead = PowerReadACValueIndex(nullptr, scheme, &kSleepSubgroup,
                                                   &kAllowWakeTimers, &plugged) == ERROR_SUCCESS;
    const bool batteryRead = PowerReadDCValueIndex(nullptr, scheme, &kSleepSubgroup,
                                                   &kAllowWakeTimers, &battery) == ERROR_SUCCESS;
    LocalFree(scheme);
    const bool offPlugged = pluggedRead && plugged != 1;
    const bool offBattery = batteryRead && battery != 1;
    if (!offPlugged && !offBattery) return {};
    const char* when = offPlugged && offBattery ? ""
                       : offPlugged             ? " when plugged in"
                                                : " on battery";
    return std::string("the power plan does not allow wake timers") + when +
           " (Power Options > Change advanced power settings > Sleep > Allow wake timers)";
}

}  // namespace

Win32Wake::Win32Wake() : m_timer(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS)) {}

Win32Wake::~Win32Wake() {
    disarm();
}

void Win32Wake::arm(const WakeRequest& request) {
    keepAwake(request.keepAwake);
    if (!m_timer) {
        m_why = "no wake timer: " + errorText(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    // A positive due time is an absolute time of the UTC clock, so a change of the local clock or
    // of daylight saving leaves it where it is.
    LARGE_INTEGER due;
    due.QuadPart = fileTimeFromUnixMs(request.wallMs);
    SetLastError(ERROR_SUCCESS);
    if (!SetWaitableTimer(m_timer.get(), &due, 0, nullptr, nullptr, TRUE)) {
        m_why = "Windows refused the wake timer: " + errorText(GetLastError());
        return;
    }
    const DWORD resume = GetLastError();
    if (resume == ERROR_NOT_SUPPORTED || resume == kErrorTimerResumeIgnored) {
        m_why = underWine() ? "Wine does not wake a sleeping computer for a timer"
                            : "this computer cannot be woken from sleep by a timer";
        return;
    }
    m_why = powerPlanRefusal();
}

void Win32Wake::disarm() {
    if (m_timer) CancelWaitableTimer(m_timer.get());
    keepAwake(false);
}

void Win32Wake::keepAwake(bool on) {
    if (on == m_keptAwake) return;
    // Continuous: in force until changed, not only for this call; set and cleared on the window
    // thread, whose state it is.
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED
                               : ES_CONTINUOUS);
    m_keptAwake = on;
}

void tellAboutWake(const std::string& line) {
    tellEventLog(line, EVENTLOG_WARNING_TYPE, kWakeEventId);
}

}  // namespace tollvane::win32
