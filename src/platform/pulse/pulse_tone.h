#pragma once
// The alarm's beeps on Linux, through the PulseAudio client API (PulseAudio and PipeWire both serve
// it). Each beep() plays one tone on the default output and returns once the server has played it
// out. Without a reachable server or its client library, or with a server that stops answering, a
// beep is silence of the same length and never takes much longer than its duration; play() tells
// such a failure and why. No Qt here: the program calls them from a worker thread while its
// window waits.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ports.h"

namespace tollvane {

class PulseTone : public Tone {
public:
    // How the last beep went, for logs and tests.
    enum class Outcome {
        None,       // no beep yet
        Skipped,    // frequency or duration refused: no sound, no time
        Played,     // heard in full
        NoServer,   // no server could be reached in time: silence
        NoLibrary,  // the client library is missing or lacks a function: silence
        TimedOut,   // the server stopped answering: the watchdog ended the beep, connection dropped
        Failed,     // the server refused the stream or the connection broke: silence
    };

    // `applicationName` is how the program shows in the sound server's mixer.
    explicit PulseTone(std::string applicationName = "Tollvane");
    ~PulseTone() override;
    PulseTone(const PulseTone&) = delete;
    PulseTone& operator=(const PulseTone&) = delete;

    // How long a beep of these arguments sounds: 0 (no sound, no time) for a frequency outside
    // kLowestHz..kHighestHz or a duration of 0 or less, and at most kLongestMs.
    static std::int32_t soundedLengthMs(std::int32_t frequencyHz, std::int32_t durationMs);

    // Safe to call from any thread, one at a time (calls from several threads queue up).
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    // Plays one tone as beep() does, but returns as soon as it has failed instead of keeping its
    // length in silence: how it went, with the reason of a failure in `why`.
    Outcome play(std::int32_t frequencyHz, std::int32_t durationMs, std::string* why = nullptr);

    Outcome lastOutcome() const { return m_lastOutcome.load(); }
    // What went wrong, in words, for an outcome that is a failure; empty for the others.
    static const char* reasonOf(Outcome outcome);

private:
    class Connection;

    std::mutex m_mutex;  // one beep at a time owns the connection
    std::string m_applicationName;
    std::unique_ptr<Connection> m_connection;  // null until the first beep and after a failure
    std::atomic<Outcome> m_lastOutcome{Outcome::None};
};

const char* toString(PulseTone::Outcome outcome);

}  // namespace tollvane
