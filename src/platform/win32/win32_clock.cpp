#include "platform/win32/win32_clock.h"

#include "platform/win32/win32_api.h"

namespace tollvane {

// Local time with the time zone's present bias, as GetLocalTime has it.
LocalDateTime Win32Clock::now() const {
    FILETIME utc, local;
    GetSystemTimePreciseAsFileTime(&utc);
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace tollvane
