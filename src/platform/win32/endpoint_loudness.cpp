#include "platform/win32/endpoint_loudness.h"

#include <utility>

#include "platform/win32/api.h"
#include "platform/win32/text.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>

namespace tollvane::win32 {

namespace {

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
const CLSID kDeviceEnumerator = {
    0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};

// Joins the calling thread to COM once; a thread already in another apartment stays there, which
// serves as well.
void joinCom() {
    thread_local const HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    (void)joined;
}

template <class T>
void release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// The output's level, or false with the reason in `why`.
bool read(IAudioEndpointVolume* volume, OutputLevel& level, std::string& why) {
    BOOL muted = FALSE;
    float scalar = 1.0f;
    HRESULT hr = volume->GetMute(&muted);
    if (SUCCEEDED(hr)) hr = volume->GetMasterVolumeLevelScalar(&scalar);
    if (FAILED(hr)) {
        why = errorText(static_cast<unsigned long>(hr));
        return false;
    }
    level = {muted != FALSE, scalar};
    return true;
}

}  // namespace

IAudioEndpointVolume* EndpointLoudness::defaultEndpoint(std::string& why) {
    joinCom();
    IMMDeviceEnumerator* devices = nullptr;
    IMMDevice* device = nullptr;
    IAudioEndpointVolume* volume = nullptr;
    HRESULT hr =
        CoCreateInstance(kDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER,
                         __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&devices));
    if (SUCCEEDED(hr)) hr = devices->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    if (SUCCEEDED(hr)) {
        hr = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                              reinterpret_cast<void**>(&volume));
    }
    release(device);
    release(devices);
    if (FAILED(hr)) why = "no sound output to ask: " + errorText(static_cast<unsigned long>(hr));
    return SUCCEEDED(hr) ? volume : nullptr;
}

EndpointLoudness::EndpointLoudness(std::function<void(const std::string&)> log, Open open)
    : m_log(std::move(log)), m_open(std::move(open)) {}

EndpointLoudness::~EndpointLoudness() {
    ringEnded();
}

void EndpointLoudness::ringStarted() {
    joinCom();
    const std::lock_guard lock(m_mutex);
    std::string why;
    IAudioEndpointVolume* volume = m_open(why);
    OutputLevel was;
    if (!volume || !read(volume, was, why)) {
        logOnce("the sound output could not be checked for a mute before the ring: " + why);
        release(volume);
        return;
    }
    const std::optional<OutputLevel> wanted = levelForRing(was);
    if (!wanted) {
        release(volume);
        return;
    }
    m_raised = volume;
    m_was = m_set = was;
    // Turned up first, then unmuted: nothing is heard louder on the way.
    HRESULT hr = S_OK;
    if (wanted->volume != was.volume) {
        hr = volume->SetMasterVolumeLevelScalar(static_cast<float>(wanted->volume), nullptr);
        if (SUCCEEDED(hr)) m_set.volume = wanted->volume;
    }
    if (SUCCEEDED(hr) && was.muted) {
        hr = volume->SetMute(FALSE, nullptr);
        if (SUCCEEDED(hr)) m_set.muted = false;
    }
    if (FAILED(hr)) {
        logOnce("the sound output is muted or silent and could not be made audible for the ring: " +
                errorText(static_cast<unsigned long>(hr)));
    }
}

void EndpointLoudness::ringEnded() {
    const std::lock_guard lock(m_mutex);
    if (!m_raised) return;
    putBack(m_raised);
    release(m_raised);
}

void EndpointLoudness::putBackNow() {
    const std::lock_guard lock(m_mutex);
    if (!m_raised) return;
    std::string why;
    IAudioEndpointVolume* volume = m_open(why);
    if (volume) {
        putBack(volume);
        release(volume);
    } else {
        logOnce("the sound output could not be put back as it was before the ring: " + why);
    }
    // The worker's object belongs to its apartment; the process ends with it.
    m_raised = nullptr;
}

void EndpointLoudness::putBack(IAudioEndpointVolume* volume) {
    OutputLevel now;
    std::string why;
    if (!read(volume, now, why)) {
        logOnce("the sound output could not be put back as it was before the ring: " + why);
    } else if (asTheRingLeftIt(now, m_set)) {
        // Muted first, then turned down.
        HRESULT hr = S_OK;
        if (m_was.muted && !m_set.muted) hr = volume->SetMute(TRUE, nullptr);
        if (SUCCEEDED(hr) && m_set.volume != m_was.volume)
            hr = volume->SetMasterVolumeLevelScalar(static_cast<float>(m_was.volume), nullptr);
        if (FAILED(hr)) {
            logOnce("the sound output could not be put back as it was before the ring: " +
                    errorText(static_cast<unsigned long>(hr)));
        }
    }
}

void EndpointLoudness::logOnce(const std::string& line) {
    if (m_log && m_logged.insert(line).second) m_log(line);
}

}  // namespace tollvane::win32
