#include "platform/qt/fallback_tone.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace tollvane {

FallbackTone::FallbackTone(SoundServer server, std::function<void()> bell, LogLine log,
                           std::function<void()> ringOver)
    : m_server(std::move(server)),
      m_bell(std::move(bell)),
      m_log(std::move(log)),
      m_ringOver(std::move(ringOver)) {}

void FallbackTone::ringEnded() {
    m_logged = false;
    if (m_ringOver) m_ringOver();
}

void FallbackTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<std::string> failure = m_server(frequencyHz, durationMs);
    if (!failure) return;
    if (m_bell) m_bell();
    if (!m_logged.exchange(true) && m_log) {
        m_log("the alarm could not be sounded through the sound server: " + *failure +
              "; the desktop's bell rings instead");
    }
    // A tone that failed was a valid one, so it has a length to keep.
    std::this_thread::sleep_until(start +
                                  std::chrono::milliseconds(std::min(durationMs, kLongestMs)));
}

}  // namespace tollvane
