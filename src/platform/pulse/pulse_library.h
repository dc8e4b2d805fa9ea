#pragma once
// The PulseAudio client library, opened at the first beep instead of with the program: linked
// directly, it would bring a dozen libraries of its own (the sound file formats, the codecs,
// crypto) into every start of a program that may never ring in its session. Without the library
// (not installed, or too old to have one of these functions) the beeps are silence, as without a
// server.

#include <pulse/pulseaudio.h>

namespace tollvane {

// Every function of the library that the tone uses.
// clang-format off
#define TOLLVANE_PULSE_FUNCTIONS(F) \
    F(pa_mainloop_new) \
    F(pa_mainloop_free) \
    F(pa_mainloop_get_api) \
    F(pa_mainloop_prepare) \
    F(pa_mainloop_poll) \
    F(pa_mainloop_dispatch) \
    F(pa_proplist_new) \
    F(pa_proplist_sets) \
    F(pa_proplist_free) \
    F(pa_context_new_with_proplist) \
    F(pa_context_connect) \
    F(pa_context_disconnect) \
    F(pa_context_unref) \
    F(pa_context_get_state) \
    F(pa_stream_new) \
    F(pa_stream_connect_playback) \
    F(pa_stream_disconnect) \
    F(pa_stream_unref) \
    F(pa_stream_get_state) \
    F(pa_stream_writable_size) \
    F(pa_stream_begin_write) \
    F(pa_stream_write) \
    F(pa_stream_drain) \
    F(pa_stream_update_timing_info) \
    F(pa_stream_get_timing_info) \
    F(pa_stream_get_latency) \
    F(pa_operation_cancel) \
    F(pa_operation_unref) \
    F(pa_usec_to_bytes) \
    F(pa_bytes_to_usec) \
    F(pa_stream_get_device_index) \
    F(pa_stream_cork) \
    F(pa_context_get_sink_info_by_index) \
    F(pa_context_set_sink_mute_by_index) \
    F(pa_context_set_sink_volume_by_index) \
    F(pa_context_errno) \
    F(pa_strerror) \
    F(pa_cvolume_max) \
    F(pa_cvolume_scale)
// clang-format on

struct PulseLibrary {
// `name` is a declarator here, which parentheses would turn into something else.
#define TOLLVANE_PULSE_MEMBER(name) \
    decltype(&::name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
    TOLLVANE_PULSE_FUNCTIONS(TOLLVANE_PULSE_MEMBER)
#undef TOLLVANE_PULSE_MEMBER
};

// The library's functions, opened on the first call (from any thread) and kept for the life of
// the program; null when the library or one of its functions is missing.
const PulseLibrary* pulseLibrary();
// Why pulseLibrary() is null ("libpulse.so.0: cannot open shared object file ..."); empty when
// the library is there.
const char* pulseLibraryProblem();

}  // namespace tollvane
