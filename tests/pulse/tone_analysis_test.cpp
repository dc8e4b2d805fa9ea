// The recording check is only as good as its analyser: these feed it signals made here, without
// the tone generator, and check that it finds what they hold.
#include "tone_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace tollvane::test {
namespace {

constexpr double kRate = 48000;

// Appends a sine burst with linear fades of `fadeMs` at both ends.
void addBurst(std::vector<float>& out, double frequencyHz, double ms, double fadeMs,
              float level = 0.5f) {
    const auto n = static_cast<std::size_t>(ms * kRate / 1000);
    const double fade = fadeMs * kRate / 1000;
    for (std::size_t i = 0; i < n; ++i) {
        const double edge = static_cast<double>(std::min(i, n - 1 - i));
        const double gain = fade > 0 ? std::min(1.0, edge / fade) : 1.0;
        const double phase = 2 * std::numbers::pi * frequencyHz * static_cast<double>(i) / kRate;
        out.push_back(static_cast<float>(level * gain * std::sin(phase)));
    }
}

void addSilence(std::vector<float>& out, double ms) {
    out.insert(out.end(), static_cast<std::size_t>(ms * kRate / 1000), 0.0f);
}

TEST(ToneAnalysis, SeparateTones_AreFoundWithLengthPitchAndGap) {
    std::vector<float> s;
    addSilence(s, 100);
    addBurst(s, 800, 200, 0);
    addSilence(s, 12);
    addBurst(s, 1234.5, 150, 0);
    addSilence(s, 50);
    const auto tones = findTones(s, kRate, 800);
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_NEAR(tones[0].startMs, 100, 0.5);
    EXPECT_NEAR(tones[0].lengthMs(), 200, 0.5);
    EXPECT_NEAR(tones[0].frequencyHz, 800, 0.08);
    EXPECT_NEAR(tones[1].startMs - tones[0].endMs, 12, 0.5);
    EXPECT_NEAR(tones[1].lengthMs(), 150, 0.5);
    EXPECT_NEAR(tones[1].frequencyHz, 1234.5, 0.12);
}

TEST(ToneAnalysis, TonesThatTouchAfterFades_CountAsTwo) {
    std::vector<float> s;
    addSilence(s, 20);
    addBurst(s, 800, 200, 5);
    addBurst(s, 800, 200, 5);
    addSilence(s, 20);
    const auto tones = findTones(s, kRate, 800);
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_LT(tones[1].startMs - tones[0].endMs, 2.0);
    EXPECT_NEAR(tones[0].lengthMs(), 200, 2.0);
}

TEST(ToneAnalysis, DropoutInsideATone_SplitsIt) {
    std::vector<float> s;
    addBurst(s, 800, 100, 0);
    addSilence(s, 3);
    addBurst(s, 800, 100, 0);
    EXPECT_EQ(findTones(s, kRate, 800).size(), 2u);
}

TEST(ToneAnalysis, SilenceOrFaintNoise_HoldsNoTones) {
    std::vector<float> s;
    addSilence(s, 500);
    EXPECT_TRUE(findTones(s, kRate, 800).empty());
    addBurst(s, 800, 100, 0, 0.002f);
    EXPECT_TRUE(findTones(s, kRate, 800).empty());
    EXPECT_TRUE(findTones({}, kRate, 800).empty());
}

TEST(ToneAnalysis, ComponentAmplitude_ReadsTheLevelOfOneFrequency) {
    std::vector<float> s;
    addBurst(s, 1000, 500, 0, 0.5f);
    EXPECT_NEAR(componentAmplitude(s, kRate, 1000), 0.5, 0.005);
    EXPECT_LT(componentAmplitude(s, kRate, 3000), 0.005);
}

}  // namespace
}  // namespace tollvane::test
