#pragma once
// The alarm's beeps on Windows: kernel32's Beep, which sounds the tone and returns when it has
// ended. The limits are the program's own on every platform: a frequency outside 37..32767 hertz
// or a duration that is not above 0 sounds nothing and takes no time; a beep lasts at most a
// minute.

#include <cstdint>
#include <functional>

#include "platform/ports.h"

namespace tollvane {

class Win32Tone : public Tone {
public:
    static constexpr std::int32_t kLowestHz = 37;
    static constexpr std::int32_t kHighestHz = 32767;
    static constexpr std::int32_t kLongestMs = 60000;

    // What actually sounds a tone; kernel32's Beep unless a test puts a recorder in its place.
    using Sounder = std::function<void(std::uint32_t frequencyHz, std::uint32_t durationMs)>;

    Win32Tone();
    explicit Win32Tone(Sounder sounder) : m_sounder(std::move(sounder)) {}

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;

private:
    Sounder m_sounder;
};

}  // namespace tollvane
