#pragma once
// The alarm's beeps on Windows: kernel32's Beep, which sounds the tone and returns when it has
// ended, within the limits that Tone gives for every platform. A muted or silent output is made
// audible for each ring (win32/endpoint_loudness.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ports.h"
#include "platform/win32/endpoint_loudness.h"

namespace tollvane {

class Win32Tone : public Tone {
public:
    // What actually sounds a tone; kernel32's Beep unless a test puts a recorder in its place.
    using Sounder = std::function<void(std::uint32_t frequencyHz, std::uint32_t durationMs)>;

    // Beep, on the default output made audible for each ring; `log` says why it could not be.
    explicit Win32Tone(std::function<void(const std::string&)> log = {});
    // A test's recorder in place of Beep, on the output `loudness` looks after (none: the output
    // is left as it is).
    explicit Win32Tone(Sounder sounder, std::unique_ptr<win32::EndpointLoudness> loudness = nullptr)
        : m_sounder(std::move(sounder)), m_loudness(std::move(loudness)) {}

    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    void ringEnded() override;
    // The session ends during a ring and the process with it: the output is put back now, from
    // the calling thread (endpoint_loudness.h).
    void putBackNow() {
        if (m_loudness) m_loudness->putBackNow();
    }

private:
    Sounder m_sounder;
    std::unique_ptr<win32::EndpointLoudness> m_loudness;
    bool m_inRing = false;
};

}  // namespace tollvane
