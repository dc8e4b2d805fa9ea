#include "platform/win32/clock.h"

namespace tollvane {

namespace {
// From 1601 to 1970, in units of 100 ns.
constexpr long long kUnixEpoch = 116444736000000000LL;
constexpr long long kStepsPerMs = 10000;
// How long the zone's rules of a year are used before they are read again.
constexpr unsigned long long kRulesKeptMs = 60ULL * 1000;
}  // namespace

long long fileTimeFromUnixMs(long long unixMs) {
    return unixMs * kStepsPerMs + kUnixEpoch;
}

long long unixMsNow() {
    FILETIME wall;
    GetSystemTimePreciseAsFileTime(&wall);
    const auto steps = static_cast<long long>(wall.dwHighDateTime) << 32 | wall.dwLowDateTime;
    return (steps - kUnixEpoch) / kStepsPerMs;
}

// Local time with the time zone's present bias, as GetLocalTime has it.
LocalDateTime Win32Clock::now() const {
    FILETIME utc, local;
    GetSystemTimePreciseAsFileTime(&utc);
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

LocalDateTime Win32Clock::at(long long wallMs) const {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<unsigned long long>(fileTimeFromUnixMs(wallMs));
    const FILETIME file{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    FileTimeToSystemTime(&file, &utc);
    // A zone's rules may differ from year to year, so they are asked for the year in question.
    // Reading them costs a registry lookup and the alarm's wake asks for several moments at once:
    // they are kept a minute, so a change of zone is seen within one. (Wine lacks
    // SystemTimeToTzSpecificLocalTimeEx, which would read them itself.)
    Rules& rules = m_rules[utc.wYear];
    const unsigned long long tick = GetTickCount64();
    if (rules.readAt == 0 || tick - rules.readAt > kRulesKeptMs) {
        if (!GetTimeZoneInformationForYear(utc.wYear, nullptr, &rules.zone)) {
            GetTimeZoneInformation(&rules.zone);
        }
        rules.readAt = tick;
    }
    if (!SystemTimeToTzSpecificLocalTime(&rules.zone, &utc, &local)) local = utc;
    return {local.wYear,   local.wMonth,  local.wDay,         local.wHour,
            local.wMinute, local.wSecond, local.wMilliseconds};
}

}  // namespace tollvane
