#pragma once
// The alarm's tone on the desktop: through the sound server, and where a tone cannot be sounded
// there (no server, no client library, a server error), the desktop's own bell instead, so that an
// alarm never passes in silence without a word. The first failure of each ring is logged with its
// reason; standard error, where the log goes, is kept by the desktop's journal.

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class FallbackTone : public Tone {
public:
    // Plays one tone through the sound server and returns when it has ended: nothing when it was
    // heard (or refused for its arguments, which sounds nothing anywhere), otherwise at once with
    // the reason it could not be.
    using SoundServer = std::function<std::optional<std::string>(std::int32_t frequencyHz,
                                                                 std::int32_t durationMs)>;

    // `bell` rings the desktop's bell and may be called from any thread; so may `log`.
    // `ringOver` tells the sound server that the ring is over.
    FallbackTone(SoundServer server, std::function<void()> bell, LogLine log,
                 std::function<void()> ringOver = {});

    // A tone that fails rings the bell and still takes its length, so the ring keeps its time.
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    // The ring is over: a failure in the next one is logged again.
    void ringEnded() override;

private:
    SoundServer m_server;
    std::function<void()> m_bell;
    LogLine m_log;
    std::function<void()> m_ringOver;
    std::atomic<bool> m_logged{false};
};

}  // namespace tollvane
