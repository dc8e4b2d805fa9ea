#pragma once
// The services the program takes from its platform. Each is a small interface, passed in through
// the constructor of Program; adapters live beside this file (qt/, pulse/, win32/) and fakes in
// tests/fakes/.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tollvane {

// An operation that can fail, with the system's reason.
struct [[nodiscard]] Status {
    bool ok = true;
    std::string error;  // empty when ok

    static Status success() { return {}; }
    static Status failure(std::string why) { return {false, std::move(why)}; }
    explicit operator bool() const { return ok; }
};

// Writes one line to the program's log (standard error, the journal, the event log), from any
// thread. Each reason is logged once in a run, so a fault met every second fills no log.
using LogLine = std::function<void(const std::string& line)>;

struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    // What the clock shows at a moment of the wall clock (milliseconds since 1970-01-01 UTC): the
    // local date and time then, by the zone's rules for that day, daylight saving included.
    virtual LocalDateTime at(long long wallMs) const = 0;
};

// One tone of the given frequency and duration; returns when it has ended. A tone that cannot be
// played is silence of the same length (or no time at all for a duration the tone refuses).
class Tone {
public:
    // The program's limits on every platform: a frequency outside kLowestHz..kHighestHz, or a
    // duration not above 0, sounds nothing and takes no time; a beep lasts at most kLongestMs.
    static constexpr std::int32_t kLowestHz = 37;
    static constexpr std::int32_t kHighestHz = 32767;
    static constexpr std::int32_t kLongestMs = 60000;

    virtual ~Tone() = default;
    virtual void beep(std::int32_t frequencyHz, std::int32_t durationMs) = 0;
    // The ring is over: its last beep has sounded. What a tone held for the ring (an open stream,
    // an output it made audible) is let go; the next beep begins a new ring.
    virtual void ringEnded() {}
};

// When the computer must be awake for the alarm, as the program decides it (alarm/alarm_wake.h).
struct WakeRequest {
    long long wallMs = 0;    // milliseconds of the wall clock since 1970-01-01 UTC
    bool keepAwake = false;  // that moment has come: keep the computer and its screen awake now
    std::string reason;  // for the system's list of who keeps it awake: "Tollvane: alarm at 7:30"
    std::string alarm;   // the alarm's clock text, for what the program tells: "7:30"
    bool operator==(const WakeRequest&) const = default;
};

// Has the computer awake for the alarm: woken from sleep at a moment of the wall clock where the
// system allows it, else kept from going to sleep until then; and kept awake, its screen on, while
// the alarm is due and rings.
class ComputerWake {
public:
    virtual ~ComputerWake() = default;
    // Replaces whatever was armed before.
    virtual void arm(const WakeRequest& request) = 0;
    // Nothing armed, nothing kept awake: the computer sleeps as it likes.
    virtual void disarm() = 0;
    // Why the armed wake may not find the computer awake for the alarm (no permission to wake it,
    // a power plan without wake timers, a system that cannot resume); empty when nothing that the
    // program can see stands in the way.
    virtual std::string whyNot() const = 0;
};

// Starts the program when the user signs in, in the platform's own way for this user alone (no
// administrator rights), or no longer does. A user's own choice against it (a start turned off in
// the desktop's settings) is kept, never overwritten.
class SessionStart {
public:
    virtual ~SessionStart() = default;
    // Fails with the reason when the program will not be started with the session as wanted.
    virtual Status want(bool started) = 0;
};

// String values by application, section and key. Names are compared without regard to case;
// values are kept exactly. A value that was never stored reads as empty.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(const std::string& app, const std::string& section,
                                   const std::string& key) = 0;
    virtual Status SaveSetting(const std::string& app, const std::string& section,
                               const std::string& key, const std::string& value) = 0;
    // Several keys of one section with their values, saved together. A store kept in a file
    // writes them in one go, so a program killed meanwhile leaves all of them old or all new.
    // This one saves them one by one (the registry has no file to rewrite), tries every value and
    // reports the first failure.
    using Values = std::vector<std::pair<std::string, std::string>>;
    virtual Status SaveSettings(const std::string& app, const std::string& section,
                                const Values& values) {
        Status first;
        for (const auto& [key, value] : values) {
            Status s = SaveSetting(app, section, key, value);
            if (!s && first) first = std::move(s);
        }
        return first;
    }
    // Where the values are kept, for messages ("~/.config/Tollvane/settings.ini").
    virtual std::string location() const = 0;
};

// A modal message box with one OK button and no icon. Returns when the user has closed it; the
// program's timers keep running while it is open.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, const std::string& title) = 0;
};

// The program's directory and the one small text file the program keeps there.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The directory of the running executable, without a trailing separator.
    virtual std::string programDirectory() const = 0;
    // The per-user data folder, for files that cannot be kept beside the executable.
    virtual std::string userDataDirectory() const = 0;
    // The read-only data folder of an installed program (<prefix>/share/tollvane beside
    // <prefix>/bin), without a trailing separator; empty where the program keeps its files beside
    // the executable only.
    virtual std::string installedDataDirectory() const { return {}; }
    // The platform's path separator ('\\' on Windows, '/' elsewhere).
    virtual char separator() const = 0;
    // Text in the files' encoding and back: the locale's on Linux (UTF-8), the ANSI code page on
    // Windows. The program holds text as UTF-8. nullopt when the encoding cannot hold the text
    // whole: the file is then written in UTF-8, marked as such.
    virtual std::optional<std::string> encodeText(const std::string& utf8) const { return utf8; }
    virtual std::string decodeText(const std::string& bytes) const { return bytes; }
    // Creates the folder and its parents if they are missing.
    virtual Status makeDirectory(const std::string& path) = 0;
    // Replaces the whole file with `bytes` (atomically where the platform allows it).
    virtual Status writeFile(const std::string& path, const std::string& bytes) = 0;
    // Reads the whole file into `bytes`.
    virtual Status readFile(const std::string& path, std::string& bytes) = 0;
    virtual Status removeFile(const std::string& path) = 0;
    virtual bool exists(const std::string& path) const = 0;
};

// Shows a help file (fire and forget: returns at once).
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showHelp(const std::string& helpFile, int command, const std::string& key) = 0;
};

// The shop window's browser. The program shows the window, then tells it where to go.
// The user closing the window is reported by the adapter; the next show() makes a new one.
class Browser {
public:
    virtual ~Browser() = default;
    virtual Status show() = 0;
    virtual Status navigate(const std::string& url) = 0;
};

}  // namespace tollvane
