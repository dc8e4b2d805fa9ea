#pragma once
// The sound output made audible for a ring on Windows: the default render endpoint, which Beep
// plays through, through Core Audio's IAudioEndpointVolume. Where it is muted or at zero volume at
// the ring's first beep, it is unmuted and raised for the ring (alarm/ring_loudness.h), and put
// back after the ring unless the user changed it meanwhile. Why it cannot be is told once for each
// reason. Used on the ring's worker thread, which it joins to COM's multithreaded apartment, but
// for putBackNow().

#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "alarm/ring_loudness.h"

struct IAudioEndpointVolume;

namespace tollvane::win32 {

class EndpointLoudness {
public:
    // Opens the volume of the output the ring plays on, as a new reference; null with the reason.
    using Open = std::function<IAudioEndpointVolume*(std::string& why)>;
    // The default render endpoint's, as Beep uses it.
    static IAudioEndpointVolume* defaultEndpoint(std::string& why);

    explicit EndpointLoudness(std::function<void(const std::string&)> log,
                              Open open = defaultEndpoint);
    ~EndpointLoudness();
    EndpointLoudness(const EndpointLoudness&) = delete;
    EndpointLoudness& operator=(const EndpointLoudness&) = delete;

    // Before the ring's first beep.
    void ringStarted();
    // After its last.
    void ringEnded();
    // The process is about to end in the middle of a ring (the session ends): the output is put
    // back now, from the calling thread, through an object of its own; the ring's own end, which
    // the process will not see, then finds nothing left to do.
    void putBackNow();

private:
    void putBack(IAudioEndpointVolume* volume);
    void logOnce(const std::string& line);

    std::function<void(const std::string&)> m_log;
    Open m_open;
    std::set<std::string> m_logged;
    std::mutex m_mutex;  // putBackNow() comes from another thread than the ring's
    IAudioEndpointVolume* m_raised = nullptr;  // the output made audible for this ring
    OutputLevel m_was;
    OutputLevel m_set;
};

}  // namespace tollvane::win32
