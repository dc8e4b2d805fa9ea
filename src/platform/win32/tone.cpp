#include "platform/win32/tone.h"

#include <algorithm>

#include "platform/win32/api.h"
#include "platform/win32/handles.h"

namespace tollvane {

namespace {

long long performanceCount() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Waits `hundredNs` units of 100 ns on a high-resolution timer where Windows has one (Sleep
// would round up to the system's clock tick, about 16 ms).
void waitPrecisely(long long hundredNs) {
    constexpr DWORD kHighResolution = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    win32::KernelHandle timer(
        CreateWaitableTimerExW(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS));
    if (!timer) timer.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    LARGE_INTEGER due;
    due.QuadPart = -hundredNs;  // negative: from now
    if (timer && SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(timer.get(), INFINITE);
    else
        Sleep(static_cast<DWORD>((hundredNs + 9999) / 10000));
}

}  // namespace

Win32Tone::Win32Tone(std::function<void(const std::string&)> log)
    : m_sounder([](std::uint32_t frequencyHz, std::uint32_t durationMs) {
          // A tone the system cannot play is simply not heard. Where Beep comes back before the
          // tone's time (a system without a speaker, or Wine, which sounds nothing), the rest of
          // it is silence: a ring lasts as long whether or not it is heard, with no gap of its
          // own between the beeps. Measured on the performance counter, as the tick count moves
          // in steps of about 16 ms.
          LARGE_INTEGER frequency;
          QueryPerformanceFrequency(&frequency);
          const long long start = performanceCount();
          ::Beep(frequencyHz, durationMs);
          const long long took = (performanceCount() - start) * 10000000 / frequency.QuadPart;
          const long long left = static_cast<long long>(durationMs) * 10000 - took;
          if (left > 0) waitPrecisely(left);
      }),
      m_loudness(std::make_unique<win32::EndpointLoudness>(std::move(log))) {}

void Win32Tone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    // The limits are applied here rather than left to Beep, so that a ring with odd settings
    // lasts as long on Windows as on every other platform.
    if (frequencyHz < kLowestHz || frequencyHz > kHighestHz || durationMs <= 0) return;
    durationMs = std::min(durationMs, kLongestMs);
    if (!m_inRing) {
        m_inRing = true;
        if (m_loudness) m_loudness->ringStarted();
    }
    m_sounder(static_cast<std::uint32_t>(frequencyHz), static_cast<std::uint32_t>(durationMs));
}

void Win32Tone::ringEnded() {
    if (!m_inRing) return;
    m_inRing = false;
    if (m_loudness) m_loudness->ringEnded();
}

}  // namespace tollvane
