// PulseTone's rules that hold without a sound server. Playback itself is checked against a real
// server by null_sink_test.sh.
#include "platform/pulse/pulse_tone.h"

#include "platform/pulse/pulse_library.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <string>

namespace tollvane {
namespace {

using Ms = std::chrono::duration<double, std::milli>;
constexpr pa_sample_spec kOneSecondFormat{PA_SAMPLE_FLOAT32NE, 48000, 1};

// Never find a desktop's own server, whoever runs the tests.
class PulseToneWithoutServer : public ::testing::Test {
protected:
    void SetUp() override { setenv("PULSE_SERVER", "unix:/nonexistent/tollvane-test/native", 1); }

    // Runs one beep and returns how long it took.
    double timedBeep(std::int32_t frequencyHz, std::int32_t durationMs) {
        const auto start = std::chrono::steady_clock::now();
        tone.beep(frequencyHz, durationMs);
        return Ms(std::chrono::steady_clock::now() - start).count();
    }

    PulseTone tone;
};

TEST(PulseToneRules, SoundedLength_RefusesOutOfRangeAndCapsAtOneMinute) {
    EXPECT_EQ(PulseTone::soundedLengthMs(36, 100), 0);
    EXPECT_EQ(PulseTone::soundedLengthMs(37, 100), 100);
    EXPECT_EQ(PulseTone::soundedLengthMs(32767, 100), 100);
    EXPECT_EQ(PulseTone::soundedLengthMs(32768, 100), 0);
    EXPECT_EQ(PulseTone::soundedLengthMs(INT32_MIN, 100), 0);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, 0), 0);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, -1), 0);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, 1), 1);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, 60000), 60000);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, 60001), 60000);
    EXPECT_EQ(PulseTone::soundedLengthMs(800, INT32_MAX), 60000);
}

TEST_F(PulseToneWithoutServer, RefusedBeeps_ReturnAtOnce) {
    EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::None);
    // Each would take five seconds if it were treated as silence.
    EXPECT_LT(timedBeep(36, 5000), 2500);
    EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::Skipped);
    EXPECT_LT(timedBeep(40000, 5000), 2500);
    EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::Skipped);
    EXPECT_LT(timedBeep(800, -5000), 2500);
    EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::Skipped);
}

TEST_F(PulseToneWithoutServer, Beep_IsSilenceOfItsDurationAndEnds) {
    for (int i = 0; i < 3; ++i) {
        const double took = timedBeep(800, 150);
        EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::NoServer);
        EXPECT_GE(took, 150 - 1);
        EXPECT_LT(took, 150 + 2000);  // only that it ends
    }
}

// play() tells a failure at once, with its reason, instead of keeping the beep's length: the
// program then rings the desktop's bell in its place.
TEST_F(PulseToneWithoutServer, Play_ReportsNoServerAtOnceWithItsReason) {
    std::string why;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(tone.play(800, 3000, &why), PulseTone::Outcome::NoServer);
    EXPECT_LT(Ms(std::chrono::steady_clock::now() - start).count(), 1500);
    EXPECT_EQ(why, "no sound server could be reached");
    EXPECT_EQ(tone.play(20, 3000, &why), PulseTone::Outcome::Skipped);
    EXPECT_EQ(why, "");
}

// The client library is opened at the first beep, from any thread, once: every function the tone
// calls is there (a misspelt name or a wrong soname would make every ring silent).
TEST(PulseLibraryTest, OpensOnceWithEveryFunction) {
    const PulseLibrary* library = pulseLibrary();
    ASSERT_NE(library, nullptr);
#define EXPECT_LOADED(name) EXPECT_NE(library->name, nullptr) << #name;
    TOLLVANE_PULSE_FUNCTIONS(EXPECT_LOADED)
#undef EXPECT_LOADED
    EXPECT_EQ(pulseLibrary(), library);
    EXPECT_STREQ(pulseLibraryProblem(), "");
    EXPECT_EQ(library->pa_usec_to_bytes(1000000, &kOneSecondFormat), 48000u * sizeof(float));
}

}  // namespace
}  // namespace tollvane
