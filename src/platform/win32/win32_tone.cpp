#include "platform/win32/win32_tone.h"

#include <algorithm>

#include "platform/win32/win32_api.h"

namespace tollvane {

Win32Tone::Win32Tone()
    : m_sounder([](std::uint32_t frequencyHz, std::uint32_t durationMs) {
          // A tone the system cannot play is simply not heard. Where Beep comes back before the
          // tone's time (a system without a speaker, or Wine, which sounds nothing), the rest of
          // it is silence: a ring lasts as long whether or not it is heard.
          const unsigned long long start = GetTickCount64();
          ::Beep(frequencyHz, durationMs);
          const unsigned long long took = GetTickCount64() - start;
          if (took < durationMs) Sleep(static_cast<DWORD>(durationMs - took));
      }) {}

void Win32Tone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    // The limits are applied here rather than left to Beep, so that a ring with odd settings
    // lasts as long on Windows as on every other platform.
    if (frequencyHz < kLowestHz || frequencyHz > kHighestHz || durationMs <= 0) return;
    durationMs = std::min(durationMs, kLongestMs);
    m_sounder(static_cast<std::uint32_t>(frequencyHz), static_cast<std::uint32_t>(durationMs));
}

}  // namespace tollvane
