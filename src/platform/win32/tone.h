#pragma once
// The alarm's beeps on Windows: kernel32's Beep, which sounds the tone and returns when it has
// ended, within the limits that Tone gives for every platform.

#include <cstdint>
#include <functional>

#include "platform/ports.h"

namespace tollvane {

class Win32Tone : public Tone {
public:
    // What actually sounds a tone; kernel32's Beep unless a test puts a recorder in its place.
    using Sounder = std::function<void(std::uint32_t frequencyHz, std::uint32_t durationMs)>;

    Win32Tone();
    explicit Win32Tone(Sounder sounder) : m_sounder(std::move(sounder)) {}

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;

private:
    Sounder m_sounder;
};

}  // namespace tollvane
