#pragma once
// When the computer must be awake for the alarm. An armed alarm whose text is a time that the
// clock shows ("7:30", compared as the tick compares it) wants the computer awake a little before
// that minute begins, and kept awake from then until it has rung. A rung alarm, an idle one, and a
// text that no clock shows ("07:30", "7:30 ", "") want nothing.

#include <optional>
#include <string>

#include "platform/ports.h"

namespace tollvane {

// Whether `text` is a time that the clock shows ("7:30"; not "07:30" or "7:30 Has Passed"): an
// armed alarm with such a text can still ring.
bool isShownClockText(const std::string& text);

// How long before the alarm minute the computer is woken, to come up before the ring.
constexpr long long kWakeMarginMs = 30000;

// The first moment, in milliseconds of the wall clock, at which the clock begins to show
// `clockText` ("7:30") in a minute that has not yet ended at `nowWallMs`: today, or on a later day
// when that minute has passed or the clocks skip it today. Nothing for a text the clock never
// shows.
std::optional<long long> nextShownMinute(const std::string& clockText, const Clock& clock,
                                         long long nowWallMs);

// The wake at `nowWallMs` for the armed alarm `clockText`, whose minute begins at `minuteStart`
// (as nextShownMinute finds it).
WakeRequest alarmWake(long long minuteStart, const std::string& clockText, long long nowWallMs);

}  // namespace tollvane
