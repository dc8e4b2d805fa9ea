// The tone where the sound server's client library cannot be used: run with a libpulse.so.0 of
// the test's own first on the library path, one without any of the library's functions, as an
// old or broken installation has. Every beep is then silence of its length, and play() says why.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/pulse/pulse_library.h"
#include "platform/pulse/pulse_tone.h"

namespace tollvane {
namespace {

TEST(PulseToneWithoutLibrary, LibraryUnusable_ProblemNamesTheLibraryAndWhatIsMissing) {
    EXPECT_EQ(pulseLibrary(), nullptr);
    const std::string problem = pulseLibraryProblem();
    EXPECT_NE(problem.find("libpulse.so.0"), std::string::npos) << problem;
    EXPECT_NE(problem.find("pa_"), std::string::npos) << problem;  // the first function missing
}

TEST(PulseToneWithoutLibrary, Play_NoLibraryAtOnce_BeepKeepsItsLength) {
    PulseTone tone;
    std::string why;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(tone.play(800, 2000, &why), PulseTone::Outcome::NoLibrary);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_NE(why.find("client library"), std::string::npos) << why;
    EXPECT_NE(why.find("libpulse.so.0"), std::string::npos) << why;

    start = std::chrono::steady_clock::now();
    tone.beep(800, 150);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(149));
    EXPECT_EQ(tone.lastOutcome(), PulseTone::Outcome::NoLibrary);
}

}  // namespace
}  // namespace tollvane
