#include "alarm/ring_loudness.h"

#include <algorithm>
#include <cmath>

namespace tollvane {

std::optional<OutputLevel> levelForRing(const OutputLevel& now) {
    if (!now.muted && now.volume > 0) return std::nullopt;
    return OutputLevel{false, std::max(now.volume, kRingVolume)};
}

bool asTheRingLeftIt(const OutputLevel& now, const OutputLevel& set) {
    // A hundredth of the slider: finer than any step a user can take on it.
    constexpr double kSame = 0.01;
    return now.muted == set.muted && std::abs(now.volume - set.volume) < kSame;
}

}  // namespace tollvane
