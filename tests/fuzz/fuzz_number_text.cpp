// Any text in the beep boxes: conversion never crashes and stays within the ring's limits.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alarm/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)tollvane::parseNumber(text);
    const int count = tollvane::beepCount(text);
    if (count < 0 || count > 32767) std::abort();
    const std::size_t half = size / 2;
    if (const auto tone = tollvane::beepTone(text.substr(0, half), text.substr(half))) {
        if (tone->frequencyHz < 37 || tone->frequencyHz > 32767) std::abort();
        if (tone->durationMs <= 0 || tone->durationMs > 60000) std::abort();
    }
    return 0;
}
