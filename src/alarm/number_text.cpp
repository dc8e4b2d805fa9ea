#include "alarm/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tollvane {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string number;
    bool digits = false, point = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number += c;
    }
    while (i < n && isBlank(text[i])) ++i;
    if (!digits || i != n) return std::nullopt;
    if (number.front() == '.') number = "0" + number;
    // from_chars, unlike strtod, ignores the locale: the decimal point is always '.'.
    double value = 0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it does not fit: a whole part other than zero
        // overflowed, anything else is too small to tell from zero.
        const std::size_t firstNonZero = number.find_first_not_of('0');
        const bool overflow = firstNonZero != std::string::npos && number[firstNonZero] != '.';
        value = overflow ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

std::optional<std::int64_t> roundHalfEven(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.0e18) return std::nullopt;
    return static_cast<std::int64_t>(std::nearbyint(value));  // default rounding: halves to even
}

int beepCount(std::string_view countText) {
    const auto number = parseNumber(countText);
    if (!number) return 1;
    const auto whole = roundHalfEven(*number);
    if (!whole) return *number < 0 ? 0 : 32767;
    if (*whole < 0) return 0;
    if (*whole > 32767) return 32767;
    return static_cast<int>(*whole);
}

std::optional<ToneSettings> beepTone(std::string_view frequencyText,
                                     std::string_view durationText) {
    const auto f = parseNumber(frequencyText);
    const auto d = parseNumber(durationText);
    if (!f || !d) return std::nullopt;
    const auto hz = roundHalfEven(*f);
    const auto ms = roundHalfEven(*d);
    if (!hz || *hz < Tone::kLowestHz || *hz > Tone::kHighestHz) return std::nullopt;
    if (!ms)
        return *d > 0
                   ? std::optional(ToneSettings{static_cast<std::int32_t>(*hz), Tone::kLongestMs})
                   : std::nullopt;
    if (*ms <= 0) return std::nullopt;
    return ToneSettings{static_cast<std::int32_t>(*hz),
                        static_cast<std::int32_t>(*ms > Tone::kLongestMs ? Tone::kLongestMs : *ms)};
}

}  // namespace tollvane
