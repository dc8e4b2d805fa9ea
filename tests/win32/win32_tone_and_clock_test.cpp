// The speaker tone's limits and the local clock on Windows.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/clock.h"
#include "platform/win32/tone.h"

#include <endpointvolume.h>

namespace tollvane {
namespace {

using Played = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

TEST(Win32Tone, RefusedFrequenciesAndDurations_SoundNothing_LongOnesLastAMinute) {
    Played played;
    Win32Tone tone([&](std::uint32_t hz, std::uint32_t ms) { played.emplace_back(hz, ms); });
    tone.beep(36, 200);
    tone.beep(32768, 200);
    tone.beep(-800, 200);
    tone.beep(800, 0);
    tone.beep(800, -1);
    EXPECT_TRUE(played.empty());

    tone.beep(37, 1);
    tone.beep(32767, 200);
    tone.beep(800, 60001);
    tone.beep(800, 2147483647);
    EXPECT_EQ(played, (Played{{37, 1}, {32767, 200}, {800, 60000}, {800, 60000}}));
}

TEST(Win32Tone, KernelBeep_ReturnsAfterTheTonesLength_HeardOrNot) {
    // Under Wine Beep returns at once without a sound; on Windows after the tone. Either way the
    // beep takes its length, and returns: a beep that never returned would stop the ring.
    Win32Tone tone;
    const auto start = std::chrono::steady_clock::now();
    auto done = std::async(std::launch::async, [&] { tone.beep(800, 200); });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
}

// Under Wine the endpoint's mute is kept by each object alone (and its volume is always full), so
// the ring is given the test's object; on Windows every object shows the device's one state.
TEST(Win32Tone, MutedOutput_UnmutedForTheRingAlone) {
    std::string why;
    IAudioEndpointVolume* endpoint = win32::EndpointLoudness::defaultEndpoint(why);
    // Wine without a sound server offers no output (win32.endpoint_with_sound_server gives one).
    if (!endpoint) GTEST_SKIP() << why;
    const auto muted = [endpoint] {
        BOOL now = FALSE;
        endpoint->GetMute(&now);
        return now != FALSE;
    };
    std::vector<bool> mutedAtBeeps;
    std::vector<std::string> told;
    Win32Tone tone([&](std::uint32_t, std::uint32_t) { mutedAtBeeps.push_back(muted()); },
                   std::make_unique<win32::EndpointLoudness>(
                       [&](const std::string& line) { told.push_back(line); },
                       [endpoint](std::string&) {
                           endpoint->AddRef();
                           return endpoint;
                       }));
    ASSERT_TRUE(SUCCEEDED(endpoint->SetMute(TRUE, nullptr)));
    tone.beep(800, 20);
    tone.beep(800, 20);
    tone.ringEnded();
    EXPECT_EQ(mutedAtBeeps, (std::vector<bool>{false, false}));
    EXPECT_TRUE(muted());
    EXPECT_TRUE(told.empty()) << told.front();
    endpoint->Release();
}

// The session ends in the middle of the ring, and the process with it: the output is put back at
// once, and the ring's own end, which the process would not see, finds nothing left to do.
TEST(Win32Tone, MutedOutput_PutBackAtOnceWhenTheSessionEndsMidRing) {
    std::string why;
    IAudioEndpointVolume* endpoint = win32::EndpointLoudness::defaultEndpoint(why);
    if (!endpoint) GTEST_SKIP() << why;
    std::vector<std::string> told;
    Win32Tone tone([](std::uint32_t, std::uint32_t) {},
                   std::make_unique<win32::EndpointLoudness>(
                       [&](const std::string& line) { told.push_back(line); },
                       [endpoint](std::string&) {
                           endpoint->AddRef();
                           return endpoint;
                       }));
    ASSERT_TRUE(SUCCEEDED(endpoint->SetMute(TRUE, nullptr)));
    BOOL muted = TRUE;
    tone.beep(800, 20);
    endpoint->GetMute(&muted);
    ASSERT_FALSE(muted) << "the ring did not make the output audible";
    tone.putBackNow();
    endpoint->GetMute(&muted);
    EXPECT_TRUE(muted);
    tone.ringEnded();
    endpoint->GetMute(&muted);
    EXPECT_TRUE(muted);
    EXPECT_TRUE(told.empty()) << told.front();
    endpoint->Release();
}

std::tuple<int, int, int, int, int, int> fields(const LocalDateTime& t) {
    return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

LocalDateTime fromRuntime(std::time_t when) {
    std::tm tm{};
    localtime_s(&tm, &when);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, 0};
}

TEST(Win32Clock, Now_LiesBetweenTheRuntimesLocalTimesTakenAroundIt) {
    Win32Clock clock;
    const LocalDateTime before = fromRuntime(std::time(nullptr));
    const LocalDateTime now = clock.now();
    const LocalDateTime after = fromRuntime(std::time(nullptr));

    EXPECT_LE(fields(before), fields(now));
    EXPECT_LE(fields(now), fields(after));
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
}

// 2026-12-09 11:44:05.123 UTC, as the system reads it back from its own count of time.
TEST(Win32Clock, UnixMilliseconds_AsFileTime_TheSameMomentForTheSystem) {
    const auto steps = static_cast<unsigned long long>(fileTimeFromUnixMs(1796816645123LL));
    const FILETIME file{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    SYSTEMTIME utc{};
    ASSERT_TRUE(FileTimeToSystemTime(&file, &utc));
    EXPECT_EQ((std::vector<int>{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute,
                                utc.wSecond, utc.wMilliseconds}),
              (std::vector<int>{2026, 12, 9, 11, 44, 5, 123}));
}

TEST(Win32Clock, UnixMsNow_LiesBetweenTheRuntimesWallClockTakenAroundIt) {
    using namespace std::chrono;
    const auto wall = [] {
        return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    };
    const long long before = wall();
    const long long now = unixMsNow();
    const long long after = wall();
    // The runtime's clock may move at the system's tick only.
    EXPECT_GE(now, before - 20);
    EXPECT_LE(now, after + 20);
}

}  // namespace
}  // namespace tollvane
