#pragma once
// Finds the beeps in a recording (or in generated samples): where each starts and ends, and its
// pitch. Independent of the tone generator, so it can judge it.

#include <cstddef>
#include <span>
#include <vector>

namespace tollvane::test {

struct FoundTone {
    double startMs = 0;  // from the first sample
    double endMs = 0;
    double frequencyHz = 0;  // 0 when the tone is too short to measure

    double lengthMs() const { return endMs - startMs; }
};

// A tone is a stretch whose local peak (over one period of `frequencyHz`, the pitch looked for)
// stays above a tenth of the loudest peak, so two tones that touch, each fading out and in, still
// count as two (for tones above about 500 Hz, whose period is short against a fade of a few ms). A
// recording whose loudest peak is under `silenceLevel` has no tones.
std::vector<FoundTone> findTones(std::span<const float> samples, double sampleRate,
                                 double frequencyHz, float silenceLevel = 0.01f);

// Pitch from the rising zero crossings between `from` and `to` (sample indices), interpolated
// between samples; 0 with fewer than two crossings.
double zeroCrossingFrequency(std::span<const float> samples, double sampleRate, std::size_t from,
                             std::size_t to);

// Amplitude of the component at `frequencyHz` (Goertzel), as the peak of that sine.
double componentAmplitude(std::span<const float> samples, double sampleRate, double frequencyHz);

}  // namespace tollvane::test
