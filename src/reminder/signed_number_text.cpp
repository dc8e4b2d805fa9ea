#include "reminder/signed_number_text.h"

namespace tollvane {

std::string SignedNumberText(long long value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace tollvane
