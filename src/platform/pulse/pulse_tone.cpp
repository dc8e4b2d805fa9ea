#include "platform/pulse/pulse_tone.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <utility>

#include "alarm/ring_loudness.h"
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
// latency: the next beep is heard within about this much of the previous one's end.
constexpr auto kRequestInterval = 5ms;
// How far ahead of the output the tone is queued in the server, so a busy machine that starves
// this thread does not make the tone stutter.
constexpr auto kQueueAhead = 2000ms;
// The first write is kept short so the tone starts before the rest has been computed.
constexpr auto kFirstWrite = 10ms;

// An output that slept when the ring began (HDMI, Bluetooth) is woken by this much silence
// before the first beep: a receiver that takes a moment to lock onto the signal again loses the
// silence, not the beep.
constexpr auto kWakeLeadIn = 200ms;
// Putting the output back after the ring waits no longer than this on the server.
constexpr auto kPutBackTimeout = 300ms;

void setFlag(pa_stream*, int, void* flag) {
    *static_cast<bool*>(flag) = true;
}

// The answer to a request that succeeds or fails.
struct Answer {
    bool done = false;
    bool ok = false;
};

void setAnswer(pa_context*, int success, void* answer) {
    *static_cast<Answer*>(answer) = {true, success != 0};
}

void setStreamAnswer(pa_stream*, int success, void* answer) {
    *static_cast<Answer*>(answer) = {true, success != 0};
}

// What the server says of an output (a sink).
struct SinkState {
    bool done = false;
    bool found = false;
    std::string name;
    pa_cvolume volume{};
    bool muted = false;
    bool suspended = false;
};

void readSink(pa_context*, const pa_sink_info* info, int eol, void* state) {
    auto& s = *static_cast<SinkState*>(state);
    if (eol != 0 || !info) {
        s.done = true;
        return;
    }
    s.found = true;
    s.name = info->description ? info->description : info->name ? info->name : "";
    s.volume = info->volume;
    s.muted = info->mute != 0;
    s.suspended = info->state == PA_SINK_SUSPENDED;
}

}  // namespace

// The output made audible for the ring sounding now, and how it was before.
struct PulseTone::Raised {
    std::uint32_t sink = PA_INVALID_INDEX;
    std::string name;
    pa_cvolume volume{};  // as it was, channel by channel
    bool muted = false;
    OutputLevel set;  // as the ring left it
};

// One connection to the server, driven by a pa_mainloop that only runs inside beep() and
// ringEnded(), in the calling thread, in steps bounded by the watchdog's deadline. Between them
// nothing runs: no thread of our own, no timer.
//
// The connection stays open between beeps and between rings. An idle client costs a socket and a
// little shared memory and makes the server do nothing, and the next ring then starts without the
// connection's round trips. The ring's stream lives from its first beep to its end: uncorked
// throughout, so the output stays awake between the beeps, and closed once the ring is over, so no
// idle stream keeps the output awake or its latency low. A connection that the server closed
// meanwhile is noticed on the next beep and replaced.
class PulseTone::Connection {
public:
    explicit Connection(const PulseLibrary& library) : m_pa(library) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ~Connection() {
        closeRing();
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

    // Handles whatever arrived while no beep ran (the server hanging up, the ring's output
    // removed); true if the connection is still usable. A ring stream that broke is dropped, and
    // the next beep opens another.
    bool stillUp() {
        dispatchPending();
        if (m_ring && m_pa.pa_stream_get_state(m_ring) != PA_STREAM_READY) closeRing();
        return m_pa.pa_context_get_state(m_context) == PA_CONTEXT_READY;
    }

    bool ringOpen() const { return m_ring != nullptr; }
    // The silence that wakes the output before the ring's first beep.
    std::chrono::microseconds leadIn() const {
        return std::chrono::microseconds(m_pa.pa_bytes_to_usec(m_leadIn * sizeof(float), &kFormat));
    }

    // Opens the ring's stream, corked until its output has been made audible where it is muted
    // or silent (into `raised`, unless a connection before this one did so for the ring). Played
    // when the stream is ready; `problem` says why the output could not be made audible.
    Outcome openRing(SteadyClock::time_point deadline, std::unique_ptr<Raised>& raised,
                     std::string& problem) {
        m_ring = m_pa.pa_stream_new(m_context, "Alarm", &kFormat, nullptr);
        if (!m_ring) return Outcome::Failed;
        pa_buffer_attr attr{};
        attr.maxlength = UINT32_MAX;
        attr.tlength = bytesFor(kQueueAhead);
        attr.prebuf = bytesFor(kRequestInterval);
        attr.minreq = bytesFor(kRequestInterval);
        attr.fragsize = UINT32_MAX;
        // Early requests: the output's latency follows minreq, not the deep queue.
        if (m_pa.pa_stream_connect_playback(
                m_ring, nullptr, &attr,
                static_cast<pa_stream_flags_t>(PA_STREAM_EARLY_REQUESTS | PA_STREAM_START_CORKED),
                nullptr, nullptr) < 0) {
            closeRing();
            return Outcome::Failed;
        }
        const bool settled = runUntil(
            [this] {
                const pa_stream_state_t s = m_pa.pa_stream_get_state(m_ring);
                return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
            },
            deadline);
        const Outcome opened = !settled ? Outcome::TimedOut
                               : m_pa.pa_stream_get_state(m_ring) != PA_STREAM_READY
                                   ? Outcome::Failed
                                   : Outcome::Played;
        if (opened != Outcome::Played) {
            closeRing();
            return opened;
        }
        // The output the server put the stream on, which need not be the default one.
        const std::uint32_t sink = m_pa.pa_stream_get_device_index(m_ring);
        SinkState state;
        if (sink != PA_INVALID_INDEX && askSink(sink, state, deadline) && state.found) {
            m_leadIn = state.suspended ? bytesFor(kWakeLeadIn) / sizeof(float) : 0;
            if (!raised) raised = raise(sink, state, deadline, problem);
        }
        Answer uncorked;
        pa_operation* uncork = m_pa.pa_stream_cork(m_ring, 0, setStreamAnswer, &uncorked);
        if (!uncork || !await(uncork, uncorked.done, m_ring, deadline)) {
            const bool broken = m_pa.pa_stream_get_state(m_ring) != PA_STREAM_READY;
            closeRing();
            return broken || !uncork ? Outcome::Failed : Outcome::TimedOut;
        }
        return Outcome::Played;
    }

    // Closes the ring's stream.
    void closeRing() {
        if (!m_ring) return;
        m_pa.pa_stream_disconnect(m_ring);
        m_pa.pa_stream_unref(m_ring);
        m_ring = nullptr;
        m_leadIn = 0;
        // Send the stream's removal now rather than with the next ring, so a finished ring leaves
        // nothing behind in the server.
        dispatchPending();
    }

    // Plays the whole tone on the ring's stream and waits until it has been heard.
    Outcome play(ToneWave& wave, SteadyClock::time_point deadline) {
        pa_stream* stream = m_ring;
        const auto broken = [this, stream] {
            return m_pa.pa_stream_get_state(stream) != PA_STREAM_READY;
        };
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
            // Samples are made straight into the server's shared memory: the silence that wakes
            // the output first, then the tone.
            void* data = nullptr;
            std::size_t bytes = std::min(
                {writable, firstWrite, (m_leadIn + wave.remainingSamples()) * sizeof(float)});
            firstWrite = SIZE_MAX;
            if (m_pa.pa_stream_begin_write(stream, &data, &bytes) < 0 || bytes < sizeof(float)) {
                return Outcome::Failed;
            }
            std::span<float> out{static_cast<float*>(data), bytes / sizeof(float)};
            const std::size_t silence = std::min(m_leadIn, out.size());
            std::fill_n(out.begin(), silence, 0.0f);
            m_leadIn -= silence;
            const std::size_t count = silence + wave.fill(out.subspan(silence));
            if (m_pa.pa_stream_write(stream, data, count * sizeof(float), nullptr, 0,
                                     PA_SEEK_RELATIVE) < 0) {
                return Outcome::Failed;
            }
        }

        // The drain leaves the stream open and playing: until the next beep, the server plays
        // silence on it.
        bool drained = false;
        pa_operation* drain = m_pa.pa_stream_drain(stream, setFlag, &drained);
        if (!drain) return Outcome::Failed;
        if (!await(drain, drained, stream, deadline)) {
            return broken() ? Outcome::Failed : Outcome::TimedOut;
        }
        return waitForPlayout(stream, deadline);
    }

    // Puts the output back as it was before the ring, unless the user changed it meanwhile; why
    // it could not be, or empty.
    std::string putBack(const Raised& raised, SteadyClock::time_point deadline) {
        SinkState now;
        if (!askSink(raised.sink, now, deadline)) return "the sound server did not answer";
        if (!now.found) return {};  // the output is gone
        if (!asTheRingLeftIt({now.muted, volumeOf(now.volume)}, raised.set)) return {};
        // Muted first, then turned down: nothing is heard louder on the way.
        if (raised.muted && !raised.set.muted && !setMute(raised.sink, true, deadline))
            return error();
        if (volumeOf(raised.volume) != raised.set.volume &&
            !setVolume(raised.sink, raised.volume, deadline))
            return error();
        return {};
    }

private:
    // Makes a muted or silent output audible for the ring: what it was and what it was set to.
    std::unique_ptr<Raised> raise(std::uint32_t sink, const SinkState& state,
                                  SteadyClock::time_point deadline, std::string& problem) {
        const OutputLevel was{state.muted, volumeOf(state.volume)};
        const std::optional<OutputLevel> wanted = levelForRing(was);
        if (!wanted) return nullptr;
        auto raised =
            std::make_unique<Raised>(Raised{sink, state.name, state.volume, state.muted, was});
        // Turned up first, then unmuted: nothing is heard louder on the way.
        pa_cvolume louder = state.volume;
        m_pa.pa_cvolume_scale(
            &louder, static_cast<pa_volume_t>(std::lround(wanted->volume * PA_VOLUME_NORM)));
        bool ok = wanted->volume == was.volume || setVolume(sink, louder, deadline);
        if (ok) raised->set.volume = wanted->volume;
        ok = ok && (!was.muted || setMute(sink, false, deadline));
        if (ok) raised->set.muted = false;
        if (!ok) {
            problem =
                "the sound output \"" + state.name +
                "\" is muted or silent and could not be made audible for the ring: " + error();
        }
        return raised;
    }

    bool askSink(std::uint32_t sink, SinkState& state, SteadyClock::time_point deadline) {
        pa_operation* ask =
            m_pa.pa_context_get_sink_info_by_index(m_context, sink, readSink, &state);
        return ask && awaitContext(ask, state.done, deadline);
    }

    bool setMute(std::uint32_t sink, bool muted, SteadyClock::time_point deadline) {
        Answer answer;
        pa_operation* set = m_pa.pa_context_set_sink_mute_by_index(m_context, sink, muted ? 1 : 0,
                                                                   setAnswer, &answer);
        return set && awaitContext(set, answer.done, deadline) && answer.ok;
    }

    bool setVolume(std::uint32_t sink, const pa_cvolume& volume, SteadyClock::time_point deadline) {
        Answer answer;
        pa_operation* set =
            m_pa.pa_context_set_sink_volume_by_index(m_context, sink, &volume, setAnswer, &answer);
        return set && awaitContext(set, answer.done, deadline) && answer.ok;
    }

    double volumeOf(const pa_cvolume& volume) const {
        return static_cast<double>(m_pa.pa_cvolume_max(&volume)) / PA_VOLUME_NORM;
    }

    std::string error() const { return m_pa.pa_strerror(m_pa.pa_context_errno(m_context)); }

    // The drain ends when the server has taken the last sample, but a sound card may still hold
    // some of it. Waiting for that too means the tone is over when beep() returns.
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

    // The same for a request of the connection itself.
    bool awaitContext(pa_operation* operation, const bool& flag, SteadyClock::time_point deadline) {
        runUntil([&] { return flag || m_pa.pa_context_get_state(m_context) != PA_CONTEXT_READY; },
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
    pa_stream* m_ring = nullptr;  // the ring's stream, while a ring sounds
    std::size_t m_leadIn = 0;     // samples of silence still to write before the first beep
};

PulseTone::PulseTone(std::string applicationName, LogLine log)
    : m_applicationName(std::move(applicationName)), m_log(std::move(log)) {}

PulseTone::~PulseTone() {
    const std::lock_guard lock(m_mutex);
    if (m_connection) m_connection->closeRing();
    putBack();
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
    if (m_connection && !m_connection->stillUp()) m_connection.reset();
    const bool library = connect(start + kConnectTimeout);

    Outcome outcome = library ? Outcome::NoServer : Outcome::NoLibrary;
    if (m_connection) {
        outcome = Outcome::Played;
        if (!m_connection->ringOpen()) {
            std::string problem;
            outcome = m_connection->openRing(start + kWatchdogMargin, m_raised, problem);
            if (!problem.empty()) logOnce(problem);
        }
        if (outcome == Outcome::Played) {
            ToneWave wave(frequencyHz, lengthMs, kSampleRate);
            // The watchdog counts from the start: opening the ring's stream eats into its margin.
            const auto end = start + m_connection->leadIn() + std::chrono::milliseconds(lengthMs);
            outcome = m_connection->play(wave, end + kWatchdogMargin);
        }
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

void PulseTone::ringEnded() {
    const std::lock_guard lock(m_mutex);
    if (m_connection) m_connection->closeRing();
    putBack();
}

// Connects unless connected; whether the client library is there.
bool PulseTone::connect(SteadyClock::time_point deadline) {
    const PulseLibrary* library = pulseLibrary();
    if (!m_connection && library) {
        auto connection = std::make_unique<Connection>(*library);
        if (connection->open(m_applicationName, deadline)) m_connection = std::move(connection);
    }
    return library != nullptr;
}

void PulseTone::putBack() {
    if (!m_raised) return;
    const auto deadline = SteadyClock::now() + kPutBackTimeout;
    if (m_connection && !m_connection->stillUp()) m_connection.reset();
    connect(deadline);
    const std::string why =
        m_connection ? m_connection->putBack(*m_raised, deadline) : reasonOf(Outcome::NoServer);
    if (!why.empty()) {
        logOnce("the sound output \"" + m_raised->name +
                "\" could not be put back as it was before the ring: " + why);
    }
    m_raised.reset();
}

void PulseTone::logOnce(const std::string& line) {
    if (m_log && m_logged.insert(line).second) m_log(line);
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
