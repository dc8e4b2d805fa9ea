#pragma once
// How loud the sound output is for a ring. The alarm was made for a speaker that no volume control
// could silence; today's is the sound card, which a click or a key mutes. So an output that is
// muted or at zero volume is made audible for the ring alone and put back as it was afterwards,
// unless the user changed it meanwhile: a mute or a volume the user sets during the ring stays as
// the user left it. Each platform's tone applies this to the output it plays on.

#include <optional>

namespace tollvane {

// An output's mute and its volume as the platform's volume slider shows it (0 silent, 1 full).
struct OutputLevel {
    bool muted = false;
    double volume = 1.0;
    bool operator==(const OutputLevel&) const = default;
};

// The volume a muted or silent output is raised to for a ring: a person in the room hears it.
constexpr double kRingVolume = 0.25;

// What the output is set to for the ring; nothing when it is heard as it is. A volume above
// kRingVolume is the user's own and is kept.
std::optional<OutputLevel> levelForRing(const OutputLevel& now);

// Whether the output, read after the ring, is as the ring set it (`set`), give or take the
// rounding of the platform's volume steps; if not, the user changed it and it is left alone.
bool asTheRingLeftIt(const OutputLevel& now, const OutputLevel& set);

}  // namespace tollvane
