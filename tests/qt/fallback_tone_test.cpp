// A beep that the sound server cannot sound rings the desktop's bell instead, keeps its length,
// and the first failure of each ring is logged with its reason.

#include "platform/qt/fallback_tone.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <vector>

#if defined(TOLLVANE_HAVE_PULSE)
#include "platform/pulse/pulse_tone.h"
#endif

namespace tollvane {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class BellAndLog {
public:
    FallbackTone make(FallbackTone::SoundServer server) {
        return FallbackTone(
            std::move(server), [this] { ++bells; },
            [this](const std::string& line) {
                std::lock_guard lock(mutex);
                lines.push_back(line);
            });
    }
    int bells = 0;
    std::mutex mutex;
    std::vector<std::string> lines;
};

TEST(FallbackTone, HeardTones_NoBellNoLog) {
    BellAndLog out;
    int played = 0;
    FallbackTone tone = out.make([&](std::int32_t, std::int32_t) -> std::optional<std::string> {
        ++played;
        return std::nullopt;
    });
    for (int i = 0; i < 3; ++i) tone.beep(800, 10);
    EXPECT_EQ(played, 3);
    EXPECT_EQ(out.bells, 0);
    EXPECT_TRUE(out.lines.empty());
}

TEST(FallbackTone, EveryBeepFails_BellForEachOneLogLinePerRingEachKeepsItsLength) {
    BellAndLog out;
    FallbackTone tone = out.make([](std::int32_t, std::int32_t) -> std::optional<std::string> {
        return "no sound server could be reached";
    });
    const auto start = Clock::now();
    for (int i = 0; i < 3; ++i) tone.beep(800, 40);
    EXPECT_GE(msSince(start), 3 * 40 - 1);  // the ring keeps its time
    EXPECT_EQ(out.bells, 3);
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_NE(out.lines[0].find("no sound server could be reached"), std::string::npos)
        << out.lines[0];
    EXPECT_NE(out.lines[0].find("bell"), std::string::npos) << out.lines[0];

    tone.ringEnded();
    tone.beep(800, 5);
    tone.beep(800, 5);
    EXPECT_EQ(out.bells, 5);
    EXPECT_EQ(out.lines.size(), 2u);  // the next ring's first failure, once
}

// The server answers for the first beeps and then goes: the failure is logged when it comes, with
// the reason the server gave, and only the failed beeps ring the bell.
TEST(FallbackTone, ServerFailsMidRing_LoggedAtTheFirstFailureWithItsReason) {
    BellAndLog out;
    int calls = 0;
    FallbackTone tone = out.make([&](std::int32_t, std::int32_t) -> std::optional<std::string> {
        if (++calls <= 2) return std::nullopt;
        return calls == 3 ? "the sound server stopped answering"
                          : "no sound server could be reached";
    });
    for (int i = 0; i < 5; ++i) tone.beep(800, 5);
    EXPECT_EQ(out.bells, 3);
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_NE(out.lines[0].find("stopped answering"), std::string::npos) << out.lines[0];
}

#if defined(TOLLVANE_HAVE_PULSE)
// Through the real client library with no server to reach.
TEST(FallbackTone, RealSoundServerAbsent_BellsAndSaysThereIsNoServer) {
    setenv("PULSE_SERVER", "unix:/nonexistent/tollvane-test/native", 1);
    PulseTone pulse("Tollvane test");
    BellAndLog out;
    FallbackTone tone = out.make([&](std::int32_t f, std::int32_t d) -> std::optional<std::string> {
        std::string why;
        const auto outcome = pulse.play(f, d, &why);
        if (outcome == PulseTone::Outcome::Played) return std::nullopt;
        return why;
    });
    const auto start = Clock::now();
    tone.beep(800, 100);
    tone.beep(800, 100);
    EXPECT_GE(msSince(start), 2 * 100 - 1);
    EXPECT_EQ(pulse.lastOutcome(), PulseTone::Outcome::NoServer);
    EXPECT_EQ(out.bells, 2);
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_NE(out.lines[0].find("no sound server"), std::string::npos) << out.lines[0];
}
#endif

}  // namespace
}  // namespace tollvane
