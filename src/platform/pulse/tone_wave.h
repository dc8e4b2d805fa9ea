#pragma once
// The alarm's beep as samples: a square-ish wave (a few odd harmonics, softened so the edges do not
// ring) that fades in and out over a few milliseconds so the tone starts and stops without a click.
// Pure computation, so it can be checked without a sound server.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tollvane {

class ToneWave {
public:
    // Highest sample value; the rest is headroom for the server's resampler.
    static constexpr float kPeak = 0.7f;
    // Length of the fade at each end (shorter for tones under twice this length).
    static constexpr double kRampMs = 5.0;
    // Highest odd harmonic added to the fundamental.
    static constexpr int kHighestHarmonic = 9;

    // A tone of `durationMs` at `frequencyHz`, sampled at `sampleRate`. Harmonics at or above 45%
    // of the sample rate are left out; a fundamental up there gives silence of the same length.
    ToneWave(double frequencyHz, std::int32_t durationMs, std::uint32_t sampleRate);

    std::size_t totalSamples() const { return m_total; }
    std::size_t remainingSamples() const { return m_total - m_next; }
    bool finished() const { return m_next >= m_total; }

    // Writes the next samples of the tone into `out` (as many as fit or remain) and returns how
    // many were written. Successive calls continue where the last one stopped.
    std::size_t fill(std::span<float> out);

    // The whole tone at once.
    std::vector<float> samples();

private:
    float sampleAt(std::size_t index) const;

    double m_cyclesPerSample;
    std::size_t m_total;
    std::size_t m_ramp;
    std::size_t m_next = 0;
    std::vector<double> m_harmonicGain;  // gain of harmonic 2k+1 at index k, scaled to kPeak
};

}  // namespace tollvane
