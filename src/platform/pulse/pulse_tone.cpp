#include "platform/pulse/pulse_tone.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <thread>
#include <utility>

#include "platform/pulse/pulse_library.h"
#include "platform/pulse/tone_wave.h"

namespace tollvane {

namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kSampleRate = 48000;
constexpr pa_sample_spec kFormat{PA_SAMPLE_FLOAT32NE, kSampleRate, 1};

// Every wait on the server ends at the tone's own end plus this margin: a server that stops
// answering (stopped, swapped out, hung) cannot hold the ring up.
constexpr auto kWatchdogMargin = 500ms;
// A local server answers in a few milliseconds; one that takes longer is treated as absent.
constexpr auto kConnectTimeout = 250ms;
// The server asks for more every this long, and in early-request mode this is also the output's
// latency: the next beep's stream is heard within about this much of the previous one's end.
constexpr auto kRequestInterval = 5ms;
// How far ahead of the output the tone is queued in the server, so a busy machine that starves
// this thread does not make the tone stutter.
constexpr auto kQueueAhead = 2000ms;
// The first write is kept short so the tone starts before the rest has been computed.
constexpr auto kFirstWrite = 10ms;

void setFlag(pa_stream*, int, void* flag) {
    *static_cast<bool*>(flag) = true;
}

}  // namespace

// One connection to the server, driven by a pa_mainloop that only runs inside beep(), in the
// calling thread, in steps bounded by the watchdog's deadline. Between beeps nothing runs: no
// thread of our own, no timer.
//
// The connection stays open between beeps and between rings. An idle client costs a socket and a
// little shared memory and makes the server do nothing (the tone's stream is closed after every
// beep, so no idle stream keeps the output awake or its latency low), and the next ring then
// starts without the connection's round trips. A connection that the server closed meanwhile is
// noticed on the next beep and replaced.
class PulseTone::Connection {
public:
    explicit Connection(const PulseLibrary& library) : m_pa(library) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ~Connection() {
        if (m_context) {
            m_pa.pa_context_disconnect(m_context);
            m_pa.pa_context_unref(m_context);
        }
        if (m_loop) m_pa.pa_mainloop_free(m_loop);
    }

    // Connects to the default server; false when it cannot be reached by `deadline`.
    bool open(const std::string& applicationName, SteadyClock::time_point deadline) {
        m_loop = m_pa.pa_mainloop_new();
        if (!m_loop) return false;
        pa_proplist* props = m_pa.pa_proplist_new();
        m_pa.pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, applicationName.c_str());
        m_pa.pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "alarm-clock");
        m_context = m_pa.pa_context_new_with_proplist(m_pa.pa_mainloop_get_api(m_loop),
                                                      applicationName.c_str(), props);
        m_pa.pa_proplist_free(props);
        if (!m_context) return false;
        // No autospawn: starting a daemon would block this thread for an unbounded time, and on a
        // desktop without a running server the alarm is better silent than starting one.
        if (m_pa.pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
        runUntil(
            [this] {
                const pa_context_state_t s = m_pa.pa_context_get_state(m_context);
                return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
            },
            deadline);
        return m_pa.pa_context_get_state(m_context) == PA_CONTEXT_READY;
    }

    // Handles whatever arrived while no beep ran (the server hanging up, for one); true if the
    // connection is still usable.
    bool stillUp() {
        dispatchPending();
        return m_pa.pa_context_get_state(m_context) == PA_CONTEXT_READY;
    }

    // Plays the whole tone and waits until it has been heard.
    Outcome play(ToneWave& wave, SteadyClock::time_point deadline) {
        pa_stream* stream = m_pa.pa_stream_new(m_context, "Alarm", &kFormat, nullptr);
        if (!stream) return Outcome::Failed;
        const Outcome outcome = playOn(stream, wave, deadline);
        m_pa.pa_stream_disconnect(stream);
        m_pa.pa_stream_unref(stream);
        // Send the stream's removal now rather than with the next beep, so a finished tone leaves
        // nothing behind in the server.
        dispatchPending();
        return outcome;
    }

private:
    Outcome playOn(pa_stream* stream, ToneWave& wave, SteadyClock::time_point deadline) {
        pa_buffer_attr attr{};
        attr.maxlength = UINT32_MAX;
        attr.tlength = bytesFor(kQueueAhead);
        attr.prebuf = bytesFor(kRequestInterval);
        attr.minreq = bytesFor(kRequestInterval);
        attr.fragsize = UINT32_MAX;
        // Early requests: the output's latency follows minreq, not the deep queue.
        if (m_pa.pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_EARLY_REQUESTS,
                                            nullptr, nullptr) < 0) {
            return Outcome::Failed;
        }
        const auto settled = [this, stream] {
            const pa_stream_state_t s = m_pa.pa_stream_get_state(stream);
            return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
        };
        if (!runUntil(settled, deadline)) return Outcome::TimedOut;
        const auto broken = [this, stream] {
            return m_pa.pa_stream_get_state(stream) != PA_STREAM_READY;
        };
        if (broken()) return Outcome::Failed;

        std::size_t firstWrite = bytesFor(kFirstWrite);
        while (!wave.finished()) {
            const std::size_t writable = m_pa.pa_stream_writable_size(stream);
            if (writable == static_cast<std::size_t>(-1)) return Outcome::Failed;
            if (writable < sizeof(float)) {
                const bool woke = runUntil(
                    [&] {
                        return broken() || m_pa.pa_stream_writable_size(stream) >= sizeof(float);
                    },
                    deadline);
                if (!woke) return Outcome::TimedOut;
                if (broken()) return Outcome::Failed;
                continue;
            }
            // Samples are made straight into the server's shared memory.
            void* data = nullptr;
            std::size_t bytes =
                std::min({writable, firstWrite, wave.remainingSamples() * sizeof(float)});
            firstWrite = SIZE_MAX;
            if (m_pa.pa_stream_begin_write(stream, &data, &bytes) < 0 || bytes < sizeof(float)) {
                return Outcome::Failed;
            }
            const std::size_t count = wave.fill({static_cast<float*>(data), bytes / sizeof(float)});
            if (m_pa.pa_stream_write(stream, data, count * sizeof(float), nullptr, 0,
                                     PA_SEEK_RELATIVE) < 0) {
                return Outcome::Failed;
            }
        }

        bool drained = false;
        pa_operation* drain = m_pa.pa_stream_drain(stream, setFlag, &drained);
        if (!drain) return Outcome::Failed;
        if (!await(drain, drained, stream, deadline)) {
            return broken() ? Outcome::Failed : Outcome::TimedOut;
        }
        return waitForPlayout(stream, deadline);
    }

    // The drain ends when the server has taken the last sample, but a sound card may still hold
    // some of it. Waiting for that too means the tone is over when beep() returns, and removing
    // the stream (which makes the server rewrite the card's buffer) cannot cut off its end.
    Outcome waitForPlayout(pa_stream* stream, SteadyClock::time_point deadline) {
        bool updated = false;
        pa_operation* update = m_pa.pa_stream_update_timing_info(stream, setFlag, &updated);
        if (!update) return Outcome::Failed;
        if (!await(update, updated, stream, deadline)) {
            return m_pa.pa_stream_get_state(stream) == PA_STREAM_READY ? Outcome::TimedOut
                                                                       : Outcome::Failed;
        }
        const pa_timing_info* timing = m_pa.pa_stream_get_timing_info(stream);
        pa_usec_t latency = 0;
        int negative = 0;
        if (!timing || m_pa.pa_stream_get_latency(stream, &latency, &negative) < 0 || negative) {
            return Outcome::Played;
        }
        // The latency also counts the silence the output has already taken after the tone.
        const pa_usec_t silenceAfter =
            timing->playing
                ? 0
                : m_pa.pa_bytes_to_usec(
                      static_cast<std::uint64_t>(std::max<std::int64_t>(timing->since_underrun, 0)),
                      &kFormat);
        if (latency <= silenceAfter) return Outcome::Played;
        const auto heard = SteadyClock::now() + std::chrono::microseconds(latency - silenceAfter);
        runUntil([] { return false; }, std::min(heard, deadline));
        return heard <= deadline ? Outcome::Played : Outcome::TimedOut;
    }

    // Waits for `operation` to report through `flag`; false if the stream broke or the deadline
    // passed first. The operation is cancelled then, as `flag` may not outlive this call.
    bool await(pa_operation* operation, const bool& flag, pa_stream* stream,
               SteadyClock::time_point deadline) {
        runUntil([&] { return flag || m_pa.pa_stream_get_state(stream) != PA_STREAM_READY; },
                 deadline);
        if (!flag) m_pa.pa_operation_cancel(operation);
        m_pa.pa_operation_unref(operation);
        return flag;
    }

    // Runs the loop until `done` holds or `deadline` passes; every poll is bounded by the time
    // left, so a silent server cannot block here.
    template <class Done>
    bool runUntil(Done done, SteadyClock::time_point deadline) {
        while (!done()) {
            const auto left =
                std::chrono::ceil<std::chrono::microseconds>(deadline - SteadyClock::now());
            if (left <= 0us) return false;
            const int timeout = static_cast<int>(std::min<std::int64_t>(left.count(), INT_MAX));
            if (m_pa.pa_mainloop_prepare(m_loop, timeout) < 0 ||
                m_pa.pa_mainloop_poll(m_loop) < 0 || m_pa.pa_mainloop_dispatch(m_loop) < 0) {
                return done();
            }
        }
        return true;
    }

    // Dispatches what is ready without waiting.
    void dispatchPending() {
        for (int i = 0; i < 4; ++i) {
            if (m_pa.pa_mainloop_prepare(m_loop, 0) < 0 || m_pa.pa_mainloop_poll(m_loop) < 0 ||
                m_pa.pa_mainloop_dispatch(m_loop) <= 0) {
                return;
            }
        }
    }

    std::uint32_t bytesFor(std::chrono::microseconds span) const {
        return static_cast<std::uint32_t>(
            m_pa.pa_usec_to_bytes(static_cast<pa_usec_t>(span.count()), &kFormat));
    }

    const PulseLibrary& m_pa;
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

PulseTone::PulseTone(std::string applicationName) : m_applicationName(std::move(applicationName)) {}

PulseTone::~PulseTone() {
    const std::lock_guard lock(m_mutex);
    m_connection.reset();
}

std::int32_t PulseTone::soundedLengthMs(std::int32_t frequencyHz, std::int32_t durationMs) {
    if (frequencyHz < kLowestHz || frequencyHz > kHighestHz || durationMs <= 0) return 0;
    return std::min(durationMs, kLongestMs);
}

void PulseTone::beep(std::int32_t frequencyHz, std::int32_t durationMs) {
    const auto end =
        SteadyClock::now() + std::chrono::milliseconds(soundedLengthMs(frequencyHz, durationMs));
    // A tone that could not be played is silence of the same length, so the ring keeps its time.
    if (play(frequencyHz, durationMs) != Outcome::Played) std::this_thread::sleep_until(end);
}

PulseTone::Outcome PulseTone::play(std::int32_t frequencyHz, std::int32_t durationMs,
                                   std::string* why) {
    const std::int32_t lengthMs = soundedLengthMs(frequencyHz, durationMs);
    if (lengthMs == 0) {
        m_lastOutcome = Outcome::Skipped;
        if (why) why->clear();
        return Outcome::Skipped;
    }

    const std::lock_guard lock(m_mutex);
    const auto start = SteadyClock::now();
    const auto end = start + std::chrono::milliseconds(lengthMs);

    if (m_connection && !m_connection->stillUp()) m_connection.reset();
    const PulseLibrary* library = pulseLibrary();
    if (!m_connection && library) {
        auto connection = std::make_unique<Connection>(*library);
        if (connection->open(m_applicationName, start + kConnectTimeout)) {
            m_connection = std::move(connection);
        }
    }

    Outcome outcome = library ? Outcome::NoServer : Outcome::NoLibrary;
    if (m_connection) {
        ToneWave wave(frequencyHz, lengthMs, kSampleRate);
        outcome = m_connection->play(wave, end + kWatchdogMargin);
        // Whatever went wrong may be the connection's fault: the next beep starts afresh.
        if (outcome != Outcome::Played) m_connection.reset();
    }
    m_lastOutcome = outcome;
    if (why) {
        *why = reasonOf(outcome);
        if (outcome == Outcome::NoLibrary) *why += std::string(" (") + pulseLibraryProblem() + ")";
    }
    return outcome;
}

const char* PulseTone::reasonOf(Outcome outcome) {
    switch (outcome) {
        case Outcome::None:
        case Outcome::Skipped:
        case Outcome::Played:
            return "";
        case Outcome::NoServer:
            return "no sound server could be reached";
        case Outcome::NoLibrary:
            return "the sound server's client library cannot be loaded";
        case Outcome::TimedOut:
            return "the sound server stopped answering";
        case Outcome::Failed:
            return "the sound server refused the tone or dropped the connection";
    }
    return "unknown error";
}

const char* toString(PulseTone::Outcome outcome) {
    switch (outcome) {
        case PulseTone::Outcome::None:
            return "none";
        case PulseTone::Outcome::Skipped:
            return "skipped";
        case PulseTone::Outcome::Played:
            return "played";
        case PulseTone::Outcome::NoServer:
            return "no-server";
        case PulseTone::Outcome::NoLibrary:
            return "no-library";
        case PulseTone::Outcome::TimedOut:
            return "timed-out";
        case PulseTone::Outcome::Failed:
            return "failed";
    }
    return "unknown";
}

}  // namespace tollvane
