#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

namespace tollvane::test {

namespace {

// Local peak of |x| over a window of `width` samples centred on each sample (a sliding maximum).
std::vector<float> peakEnvelope(std::span<const float> samples, std::size_t width) {
    const std::size_t n = samples.size();
    const std::size_t half = width / 2;
    std::vector<float> envelope(n);
    std::deque<std::size_t> window;  // indices with decreasing |x|
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t last = std::min(n - 1, i + half);
        for (; next <= last; ++next) {
            while (!window.empty() && std::abs(samples[window.back()]) <= std::abs(samples[next])) {
                window.pop_back();
            }
            window.push_back(next);
        }
        while (window.front() + half < i) window.pop_front();
        envelope[i] = std::abs(samples[window.front()]);
    }
    return envelope;
}

}  // namespace

std::vector<FoundTone> findTones(std::span<const float> samples, double sampleRate,
                                 double frequencyHz, float silenceLevel) {
    std::vector<FoundTone> tones;
    if (samples.empty()) return tones;
    const auto width = static_cast<std::size_t>(std::ceil(sampleRate / frequencyHz)) + 2;
    const std::vector<float> envelope = peakEnvelope(samples, width);
    const float loudest = *std::max_element(envelope.begin(), envelope.end());
    if (loudest < silenceLevel) return tones;
    const float threshold = loudest / 10;
    const std::size_t half = width / 2;
    const double msPerSample = 1000.0 / sampleRate;

    std::size_t i = 0;
    while (i < envelope.size()) {
        if (envelope[i] < threshold) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < envelope.size() && envelope[end] >= threshold) ++end;
        // The sliding window sees a tone half a window before it starts and after it ends.
        const std::size_t first = std::min(i + half, end);
        const std::size_t last = std::max(first, end > half ? end - half : 0);
        FoundTone tone;
        tone.startMs = static_cast<double>(first) * msPerSample;
        tone.endMs = static_cast<double>(last) * msPerSample;
        // Pitch from the steady middle, away from the fades.
        const auto margin = static_cast<std::size_t>(std::ceil(sampleRate * 0.006));
        if (last > first + 2 * margin) {
            tone.frequencyHz =
                zeroCrossingFrequency(samples, sampleRate, first + margin, last - margin);
        }
        tones.push_back(tone);
        i = end;
    }
    return tones;
}

double zeroCrossingFrequency(std::span<const float> samples, double sampleRate, std::size_t from,
                             std::size_t to) {
    to = std::min(to, samples.size());
    double firstCrossing = -1;
    double lastCrossing = -1;
    int crossings = 0;
    for (std::size_t k = from + 1; k < to; ++k) {
        const float a = samples[k - 1];
        const float b = samples[k];
        if (a < 0 && b >= 0) {
            const double at = static_cast<double>(k - 1) + a / (a - b);
            if (crossings == 0) firstCrossing = at;
            lastCrossing = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * sampleRate / (lastCrossing - firstCrossing);
}

double componentAmplitude(std::span<const float> samples, double sampleRate, double frequencyHz) {
    const double w = 2 * std::numbers::pi * frequencyHz / sampleRate;
    const double coefficient = 2 * std::cos(w);
    double s1 = 0;
    double s2 = 0;
    for (const float x : samples) {
        const double s0 = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(samples.size());
}

}  // namespace tollvane::test
