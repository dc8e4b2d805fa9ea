#include "platform/pulse/tone_wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tollvane {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Harmonics this close to the Nyquist frequency would alias in the server's resampler.
constexpr double kHighestFrequencyShare = 0.45;

double waveAt(const std::vector<double>& gains, double phase) {
    double sum = 0.0;
    for (std::size_t k = 0; k < gains.size(); ++k) {
        sum += gains[k] * std::sin(static_cast<double>(2 * k + 1) * phase);
    }
    return sum;
}

}  // namespace

ToneWave::ToneWave(double frequencyHz, std::int32_t durationMs, std::uint32_t sampleRate)
    : m_cyclesPerSample(frequencyHz / sampleRate),
      m_total(durationMs > 0 ? static_cast<std::size_t>(std::llround(
                                   static_cast<double>(durationMs) * sampleRate / 1000.0))
                             : 0),
      m_ramp(std::min(static_cast<std::size_t>(std::llround(kRampMs * sampleRate / 1000.0)),
                      m_total / 2)) {
    // A square wave's series (1/n for odd n) with Lanczos sigma factors, which trade the ringing at
    // the edges for a slightly rounder edge: a square-ish tone that is not harsh.
    const double limit = kHighestFrequencyShare * sampleRate;
    for (int n = 1; n <= kHighestHarmonic && n * frequencyHz < limit; n += 2) {
        const double x = std::numbers::pi * n / (kHighestHarmonic + 2);
        const double sigma = n == 1 ? 1.0 : std::sin(x) / x;
        m_harmonicGain.push_back(sigma / n);
    }
    if (m_harmonicGain.empty()) return;

    // The peak depends on how many harmonics fit, so find it over one period and scale to kPeak.
    constexpr int kSteps = 4096;
    double peak = 0.0;
    for (int i = 0; i < kSteps; ++i) {
        peak = std::max(peak, std::abs(waveAt(m_harmonicGain, kTwoPi * i / kSteps)));
    }
    for (double& gain : m_harmonicGain) gain *= kPeak / peak;
}

float ToneWave::sampleAt(std::size_t index) const {
    if (m_harmonicGain.empty()) return 0.0f;
    // The phase comes from the index each time, so a minute-long tone does not drift in pitch.
    const double cycles = static_cast<double>(index) * m_cyclesPerSample;
    double value = waveAt(m_harmonicGain, kTwoPi * (cycles - std::floor(cycles)));

    const std::size_t fromEdge = std::min(index, m_total - 1 - index);
    if (fromEdge < m_ramp) {
        // Raised-cosine fade, zero on the first and last sample.
        const double s = std::sin(std::numbers::pi / 2 * static_cast<double>(fromEdge) /
                                  static_cast<double>(m_ramp));
        value *= s * s;
    }
    return static_cast<float>(value);
}

std::size_t ToneWave::fill(std::span<float> out) {
    const std::size_t count = std::min(out.size(), remainingSamples());
    for (std::size_t i = 0; i < count; ++i) out[i] = sampleAt(m_next + i);
    m_next += count;
    return count;
}

std::vector<float> ToneWave::samples() {
    std::vector<float> all(remainingSamples());
    fill(all);
    return all;
}

}  // namespace tollvane
