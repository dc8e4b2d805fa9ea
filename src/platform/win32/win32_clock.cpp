#include "platform/win32/win32_clock.h"

#include "platform/win32/win32_api.h"

namespace tollvane {

LocalDateTime Win32Clock::now() const {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

}  // namespace tollvane
