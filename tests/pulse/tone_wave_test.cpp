#include "platform/pulse/tone_wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tone_analysis.h"

namespace tollvane {
namespace {

using test::componentAmplitude;
using test::zeroCrossingFrequency;

constexpr std::uint32_t kRate = 48000;

std::vector<float> tone(double frequencyHz, std::int32_t durationMs, std::uint32_t rate = kRate) {
    return ToneWave(frequencyHz, durationMs, rate).samples();
}

float peakOf(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float peak = 0;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(samples[i]));
    return peak;
}

TEST(ToneWave, Length_IsDurationTimesRateRounded) {
    EXPECT_EQ(ToneWave(800, 200, 48000).totalSamples(), 9600u);
    EXPECT_EQ(ToneWave(800, 1, 48000).totalSamples(), 48u);
    EXPECT_EQ(ToneWave(800, 7, 44100).totalSamples(), 309u);  // 308.7
    EXPECT_EQ(ToneWave(800, 60000, 48000).totalSamples(), 2'880'000u);
    EXPECT_EQ(ToneWave(800, 0, 48000).totalSamples(), 0u);
    EXPECT_TRUE(ToneWave(800, -5, 48000).finished());
}

TEST(ToneWave, Fundamental_MeasuresAtTheRequestedFrequency) {
    for (const double f : {37.0, 110.0, 440.0, 800.0, 1000.0, 2500.0, 7000.0, 15000.0, 20000.0}) {
        const auto samples = tone(f, 500);
        const double measured =
            zeroCrossingFrequency(samples, kRate, kRate / 100, samples.size() - kRate / 100);
        EXPECT_NEAR(measured, f, f * 0.01) << f << " Hz";
    }
}

TEST(ToneWave, Shape_IsSquareIshWithSoftenedOddHarmonics) {
    const auto samples = tone(500, 1000);
    const double fundamental = componentAmplitude(samples, kRate, 500);
    // A hard square wave has its third harmonic at 1/3 and fifth at 1/5; softened ones are lower
    // but present, and there is nothing even and nothing past the ninth.
    const double third = componentAmplitude(samples, kRate, 1500) / fundamental;
    const double fifth = componentAmplitude(samples, kRate, 2500) / fundamental;
    EXPECT_GT(third, 0.2);
    EXPECT_LT(third, 1.0 / 3);
    EXPECT_GT(fifth, 0.05);
    EXPECT_LT(fifth, 1.0 / 5);
    EXPECT_LT(fifth, third);
    for (const double even : {1000.0, 2000.0, 3000.0}) {
        EXPECT_LT(componentAmplitude(samples, kRate, even) / fundamental, 0.01) << even << " Hz";
    }
    EXPECT_LT(componentAmplitude(samples, kRate, 5500) / fundamental, 0.01);
}

TEST(ToneWave, HighTone_LeavesOutHarmonicsTheRateCannotCarry) {
    // 8 kHz: the third harmonic (24 kHz) is past the limit, so this is a plain sine at full level.
    const auto samples = tone(8000, 200);
    EXPECT_NEAR(componentAmplitude(samples, kRate, 8000), ToneWave::kPeak, 0.02);
    // 5 kHz keeps its third harmonic (15 kHz).
    EXPECT_GT(componentAmplitude(tone(5000, 200), kRate, 15000), 0.1);
}

TEST(ToneWave, FundamentalAboveWhatTheRateCarries_IsSilenceOfFullLength) {
    const auto samples = tone(30000, 200);
    ASSERT_EQ(samples.size(), 9600u);
    EXPECT_EQ(peakOf(samples, 0, samples.size()), 0.0f);
}

TEST(ToneWave, Level_ReachesThePeakWithoutClipping) {
    for (const double f : {37.0, 300.0, 800.0, 3000.0, 9000.0, 21000.0}) {
        const auto samples = tone(f, 300);
        const float peak = peakOf(samples, 0, samples.size());
        EXPECT_LE(peak, ToneWave::kPeak + 1e-6f) << f << " Hz";
        EXPECT_GT(peak, ToneWave::kPeak * 0.95f) << f << " Hz";
    }
}

TEST(ToneWave, Edges_FadeInAndOutOverTheRamp) {
    const auto samples = tone(1000, 100);  // 48 samples a period
    const std::size_t n = samples.size();
    EXPECT_EQ(samples.front(), 0.0f);
    EXPECT_EQ(samples.back(), 0.0f);
    // Period by period the level rises through the 5 ms ramp and falls through the last one.
    float before = 0;
    for (std::size_t p = 0; p < 5; ++p) {
        const float level = peakOf(samples, p * 48, (p + 1) * 48);
        EXPECT_GT(level, before) << "period " << p;
        before = level;
        const float mirrored = peakOf(samples, n - (p + 1) * 48, n - p * 48);
        EXPECT_NEAR(mirrored, level, 0.05) << "period " << p;
    }
    EXPECT_LT(peakOf(samples, 0, 24), 0.1f * ToneWave::kPeak);
    EXPECT_GT(peakOf(samples, 5 * 48, 6 * 48), 0.99f * ToneWave::kPeak);
}

TEST(ToneWave, ToneShorterThanTwoRamps_StillFadesBothWays) {
    const auto samples = tone(2000, 2);  // 96 samples, ramps of 48
    ASSERT_EQ(samples.size(), 96u);
    EXPECT_EQ(samples.front(), 0.0f);
    EXPECT_EQ(samples.back(), 0.0f);
    EXPECT_GT(peakOf(samples, 36, 60), 0.5f * ToneWave::kPeak);
}

TEST(ToneWave, FillInPieces_GivesTheSameSamplesAsAtOnce) {
    const auto whole = tone(777, 250);
    ToneWave wave(777, 250, kRate);
    std::vector<float> pieces;
    std::vector<float> buffer(5000);
    for (const std::size_t size : {1u, 7u, 480u, 4096u, 5000u, 5000u, 5000u}) {
        const std::size_t got = wave.fill(std::span<float>(buffer).first(size));
        pieces.insert(pieces.end(), buffer.begin(), buffer.begin() + static_cast<long>(got));
    }
    EXPECT_TRUE(wave.finished());
    EXPECT_EQ(wave.remainingSamples(), 0u);
    EXPECT_EQ(wave.fill(buffer), 0u);
    EXPECT_EQ(pieces, whole);
}

}  // namespace
}  // namespace tollvane
