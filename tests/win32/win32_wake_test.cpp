// The computer's wake on Windows, against the real system: the timer comes due at its moment and
// not after disarm, the system and the display are kept on from the moment until disarm, and the
// local time of another moment follows the zone's daylight saving. Under Wine, which never resumes
// a computer, the wake says so.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/win32/clock.h"
#include "platform/win32/wake.h"

namespace tollvane::win32 {
namespace {

long long wallNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(Win32Wake, TimerComesDueAtItsMoment_NotOnceDisarmed_WineSaysItCannotResume) {
    Win32Wake wake;
    const auto start = std::chrono::steady_clock::now();
    wake.arm({wallNowMs() + 400, false, "Tollvane: alarm at 7:30", "7:30"});
    ASSERT_EQ(WaitForSingleObject(wake.timer(), 5000), WAIT_OBJECT_0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(350));
    if (underWine()) {
        EXPECT_EQ(wake.whyNot(), "Wine does not wake a sleeping computer for a timer");
    }

    wake.arm({wallNowMs() + 300, false, "Tollvane: alarm at 7:30", "7:30"});
    wake.disarm();
    EXPECT_EQ(WaitForSingleObject(wake.timer(), 800), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Win32Wake, KeptAwakeWithTheScreenOn_UntilDisarmed) {
    constexpr EXECUTION_STATE kAwake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;
    Win32Wake wake;
    wake.arm({wallNowMs() - 1000, true, "Tollvane: alarm at 7:30", "7:30"});
    // Setting a state hands back the one in force before.
    EXPECT_EQ(SetThreadExecutionState(kAwake), kAwake);
    wake.disarm();
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

TEST(Win32Clock, LocalTimeOfTheMomentNow_IsWhatNowShows) {
    const Win32Clock clock;
    const LocalDateTime at = clock.at(wallNowMs());
    const LocalDateTime now = clock.now();
    const int atSecond = (at.hour * 60 + at.minute) * 60 + at.second;
    const int nowSecond = (now.hour * 60 + now.minute) * 60 + now.second;
    EXPECT_EQ(at.day, now.day);
    EXPECT_LE(nowSecond - atSecond, 1);
    EXPECT_GE(nowSecond - atSecond, 0);
}

// 29 March 2026: 2:00 CET becomes 3:00 CEST at 1:00 UTC; 25 October 2026: 3:00 CEST becomes
// 2:00 CET at 1:00 UTC, so 2:30 comes twice. Run with TZ=Europe/Berlin (its own ctest entry).
TEST(Win32ClockInBerlin, LocalTimeOfAMoment_FollowsTheYearsClockChanges) {
    const char* zone = std::getenv("TZ");
    if (!zone || std::string(zone) != "Europe/Berlin") GTEST_SKIP() << "needs TZ=Europe/Berlin";
    const Win32Clock clock;
    auto shows = [&](long long wallMs) {
        const LocalDateTime t = clock.at(wallMs);
        return std::to_string(t.day) + " " + std::to_string(t.hour) + ":" +
               std::to_string(t.minute) + ":" + std::to_string(t.second);
    };
    constexpr long long kMarch29 = 1774742400000;    // 2026-03-29 00:00 UTC
    constexpr long long kOctober25 = 1792886400000;  // 2026-10-25 00:00 UTC
    constexpr long long kHour = 3600000;
    EXPECT_EQ(shows(kMarch29 + kHour - 1000), "29 1:59:59");
    EXPECT_EQ(shows(kMarch29 + kHour), "29 3:0:0");
    EXPECT_EQ(shows(kOctober25 + kHour / 2), "25 2:30:0");
    EXPECT_EQ(shows(kOctober25 + kHour + kHour / 2), "25 2:30:0");
    EXPECT_EQ(shows(kOctober25 - 2 * kHour - 1000), "24 23:59:59");
}

}  // namespace
}  // namespace tollvane::win32
