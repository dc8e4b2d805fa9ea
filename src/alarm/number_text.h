#pragma once
// Numbers typed by the user are kept as text and converted only where they are used. A number is
// optional blanks, an optional sign, and digits with an optional decimal point (".5", "800",
// "+3", " 7 "); nothing else. Whole numbers are rounded with halves going to the even neighbour.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/ports.h"

namespace tollvane {

std::optional<double> parseNumber(std::string_view text);
// The nearest whole number, halves to even; nullopt when the value does not fit in 64 bits.
std::optional<std::int64_t> roundHalfEven(double value);

// How many beeps a ring sounds for the count text: empty or not a number rings once (an alarm
// must not fall silent through a typo), a negative count rings none, and a ring never sounds more
// than 32767 beeps.
int beepCount(std::string_view countText);

struct ToneSettings {
    std::int32_t frequencyHz = 0;
    std::int32_t durationMs = 0;
};

// The tone one beep plays, or nullopt when the beep is silent and takes no time: a frequency that
// is not a number or lies outside the tone's limits (Tone::kLowestHz..kHighestHz), a duration that
// is not a number or not above 0. A duration above Tone::kLongestMs plays for that long.
std::optional<ToneSettings> beepTone(std::string_view frequencyText, std::string_view durationText);

}  // namespace tollvane
