// Checks a raw recording (mono 32-bit float, native byte order) of the null sink's monitor:
//
//   tone_check FILE RATE COUNT FREQ MS [QUIETEST]
//
// expects exactly COUNT tones, each at FREQ Hz within 1% and MS long within 5 ms, with gaps under
// 40 ms between them (the next tone follows at once; a busy machine may hold the thread that
// starts it for a few milliseconds, a pause of the program's own would be far longer); COUNT 0
// expects silence. QUIETEST is the peak below which a recording counts as silence (default 0.01,
// for a tone played at full volume). Prints what it measured.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "tone_analysis.h"

namespace {

constexpr double kFrequencyTolerance = 0.01;
constexpr double kLengthToleranceMs = 5;
constexpr double kLongestGapMs = 40;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: tone_check FILE RATE COUNT FREQ MS [QUIETEST]\n");
        return 2;
    }
    const double rate = std::atof(argv[2]);
    const auto count = static_cast<std::size_t>(std::atoi(argv[3]));
    const double frequency = std::atof(argv[4]);
    const double lengthMs = std::atof(argv[5]);

    std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
    const auto bytes = static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0));
    std::vector<float> samples(bytes / sizeof(float));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(samples.data()),
            static_cast<std::streamsize>(samples.size() * sizeof(float)));
    std::printf("recording: %zu samples (%.1f ms)\n", samples.size(),
                static_cast<double>(samples.size()) * 1000.0 / rate);
    if (samples.empty()) {
        std::printf("FAIL: empty recording\n");
        return 1;
    }

    const float quietest = argc == 7 ? static_cast<float>(std::atof(argv[6])) : 0.01f;
    const auto tones = tollvane::test::findTones(samples, rate, frequency, quietest);
    bool ok = tones.size() == count;
    std::printf("tones found: %zu (expected %zu)\n", tones.size(), count);
    for (std::size_t i = 0; i < tones.size(); ++i) {
        const auto& t = tones[i];
        const double error = (t.frequencyHz - frequency) / frequency;
        const bool pitchOk = std::abs(error) <= kFrequencyTolerance;
        const bool lengthOk = std::abs(t.lengthMs() - lengthMs) <= kLengthToleranceMs;
        std::printf("tone %zu: at %.2f ms, length %.2f ms (%+.2f), %.2f Hz (error %+.3f%%)%s\n",
                    i + 1, t.startMs, t.lengthMs(), t.lengthMs() - lengthMs, t.frequencyHz,
                    error * 100, pitchOk && lengthOk ? "" : "  <-- out of tolerance");
        ok = ok && pitchOk && lengthOk;
        if (i > 0) {
            const double gap = t.startMs - tones[i - 1].endMs;
            const bool gapOk = gap < kLongestGapMs;
            std::printf("gap %zu-%zu: %.2f ms%s\n", i, i + 1, gap, gapOk ? "" : "  <-- too long");
            ok = ok && gapOk;
        }
    }
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
