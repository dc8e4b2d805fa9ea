#pragma once
// The local date and time on Windows. Now is read from the system's precise clock: the reading
// that aims the program's wake-up at the whole second, so that the second shown is the one that
// woke it (GetLocalTime moves only at the system's clock tick and can lag it by 16 ms). Another
// moment is converted by the zone's rules for that moment's year.

#include <map>

#include "platform/ports.h"
#include "platform/win32/api.h"

namespace tollvane {

// Windows counts time in 100 ns steps from 1601 (FILETIME), the program in milliseconds from
// 1970 (Unix time).
long long fileTimeFromUnixMs(long long unixMs);
// The wall clock now, from the system's precise clock, in milliseconds from 1970.
long long unixMsNow();

class Win32Clock : public Clock {
public:
    LocalDateTime now() const override;
    LocalDateTime at(long long wallMs) const override;

private:
    struct Rules {
        TIME_ZONE_INFORMATION zone{};
        unsigned long long readAt = 0;  // GetTickCount64() when read from the system
    };
    mutable std::map<int, Rules> m_rules;  // by year
};

}  // namespace tollvane
