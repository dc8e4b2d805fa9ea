#include "alarm/clock_text.h"

namespace tollvane {

namespace {
std::string twoDigits(int n) {
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}
}  // namespace

std::string clockText(const LocalDateTime& t) {
    return std::to_string(t.hour) + ":" + twoDigits(t.minute);
}

std::string secondText(const LocalDateTime& t) {
    return ":" + twoDigits(t.second);
}

}  // namespace tollvane
