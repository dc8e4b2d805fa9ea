// How loud the output is made for a ring, and when it is put back.

#include "alarm/ring_loudness.h"

#include <gtest/gtest.h>

namespace tollvane {
namespace {

TEST(RingLoudness, MutedOrSilentOutput_UnmutedAndRaisedToAQuarter_TheUsersOwnVolumeKept) {
    EXPECT_EQ(levelForRing({false, 0.6}), std::nullopt);   // heard as it is
    EXPECT_EQ(levelForRing({false, 0.01}), std::nullopt);  // quiet, but the user's choice
    EXPECT_EQ(levelForRing({true, 0.6}), (OutputLevel{false, 0.6}));
    EXPECT_EQ(levelForRing({true, 0.1}), (OutputLevel{false, kRingVolume}));
    EXPECT_EQ(levelForRing({false, 0.0}), (OutputLevel{false, kRingVolume}));
}

TEST(RingLoudness, PutBackOnlyWhenTheUserLeftItAsTheRingSetIt) {
    const OutputLevel set{false, kRingVolume};
    EXPECT_TRUE(asTheRingLeftIt({false, kRingVolume + 0.004}, set));  // a volume step's rounding
    EXPECT_FALSE(asTheRingLeftIt({true, kRingVolume}, set));          // muted again by the user
    EXPECT_FALSE(asTheRingLeftIt({false, 0.5}, set));                 // turned up by the user
}

}  // namespace
}  // namespace tollvane
