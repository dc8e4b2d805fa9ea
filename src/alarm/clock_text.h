#pragma once
// The texts the clock shows: the hour without leading zero and the two-digit minute ("7:05",
// "19:30", "0:05"), and a colon with the two-digit second (":09").

#include <string>

#include "platform/ports.h"

namespace tollvane {

std::string clockText(const LocalDateTime& t);
std::string secondText(const LocalDateTime& t);

}  // namespace tollvane
