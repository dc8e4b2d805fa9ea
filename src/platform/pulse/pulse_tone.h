#pragma once
// The alarm's beeps on Linux, through the PulseAudio client API (PulseAudio and PipeWire both serve
// it). Each beep() plays one tone on the default output and returns once the server has played it
// out. The beeps of one ring play in one stream, kept open until ringEnded(), so an output that
// wakes from its sleep at the ring's start (HDMI, Bluetooth) wakes once, before the first beep,
// and clips none; an output that is muted or at zero volume is made audible for the ring alone
// (alarm/ring_loudness.h). Without a reachable server or its client library, or with a server that
// stops answering, a beep is silence of the same length and never takes much longer than its
// duration; play() tells such a failure and why. No Qt here: the program calls them from a worker
// thread while its window waits.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
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

    // `applicationName` is how the program shows in the sound server's mixer; `log` says, once
    // for each reason, why an output could not be made audible or put back (from the beeping
    // thread).
    explicit PulseTone(std::string applicationName = "Tollvane", LogLine log = {});
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
    // The ring is over: its stream closes, and an output made audible for it is put back as it
    // was, unless the user changed it meanwhile.
    void ringEnded() override;

    Outcome lastOutcome() const { return m_lastOutcome.load(); }
    // What went wrong, in words, for an outcome that is a failure; empty for the others.
    static const char* reasonOf(Outcome outcome);

private:
    class Connection;
    struct Raised;

    bool connect(std::chrono::steady_clock::time_point deadline);
    void putBack();
    void logOnce(const std::string& line);

    std::mutex m_mutex;  // one beep at a time owns the connection
    std::string m_applicationName;
    LogLine m_log;
    std::set<std::string> m_logged;
    std::unique_ptr<Connection> m_connection;  // null until the first beep and after a failure
    std::unique_ptr<Raised> m_raised;          // the output made audible for the ring sounding now
    std::atomic<Outcome> m_lastOutcome{Outcome::None};
};

const char* toString(PulseTone::Outcome outcome);

}  // namespace tollvane
