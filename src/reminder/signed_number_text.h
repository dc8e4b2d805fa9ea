#pragma once
// A number as text in the form of a signed number whose sign position is blank for values that
// are not negative: " 2003", " 3", "-4". The reminder date is held, stored and compared in this
// form, so a text without the leading blank never matches.

#include <string>

namespace tollvane {

std::string SignedNumberText(long long value);

}  // namespace tollvane
