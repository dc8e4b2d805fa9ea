#pragma once
// Fakes of the platform services for tests: a clock that is set and advanced by hand, tones that
// take virtual time and are recorded, a settings store and a file system in memory that fail on
// demand, scripted message boxes, and recorders for the help viewer and the browser.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tollvane::fakes {

// Local time as milliseconds since 1970-01-01 00:00:00 (no time zone: the fake is local time,
// and the wall clock the same).
class FakeClock : public Clock {
public:
    LocalDateTime now() const override;
    LocalDateTime at(long long wallMs) const override;
    void set(int year, int month, int day, int hour, int minute, int second, int ms = 0);
    void advance(long long ms) { m_ms += ms; }
    long long ms() const { return m_ms; }
    void setMs(long long ms) { m_ms = ms; }
    // Time that passes with every reading, for handlers that must read the clock only once.
    long long msPerReading = 0;

private:
    mutable long long m_ms = 0;
};

class FakeTone : public Tone {
public:
    explicit FakeTone(FakeClock& clock) : m_clock(clock) {}
    struct Beep {
        std::int32_t frequencyHz, durationMs;
        long long startMs;
    };
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override;
    void ringEnded() override { beepsAtRingEnds.push_back(beeps.size()); }
    std::vector<Beep> beeps;
    std::vector<std::size_t> beepsAtRingEnds;  // how many beeps had sounded at each ring's end
    std::function<void()> onBeep;  // runs after each beep, for tests that act during a ring

private:
    FakeClock& m_clock;
};

// Records what the program asks of the wake, and refuses with a reason of the test's choosing.
class FakeWake : public ComputerWake {
public:
    void arm(const WakeRequest& request) override {
        calls.emplace_back(request);
        armed = request;
    }
    void disarm() override {
        calls.emplace_back(std::nullopt);
        armed.reset();
    }
    std::string whyNot() const override { return why; }

    std::vector<std::optional<WakeRequest>> calls;  // each arm, or nullopt for each disarm
    std::optional<WakeRequest> armed;
    std::string why;
};

// Records what the program asks of the start with the session, and refuses with a reason of the
// test's choosing.
class FakeSessionStart : public SessionStart {
public:
    Status want(bool started) override {
        calls.push_back(started);
        return why.empty() ? Status::success() : Status::failure(why);
    }
    std::vector<bool> calls;
    std::string why;
};

class MemorySettingsStore : public SettingsStore {
public:
    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key) override;
    Status SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) override;
    // All the values or, when writes fail, none; one write either way.
    Status SaveSettings(const std::string& app, const std::string& section,
                        const Values& values) override;
    std::string location() const override { return "memory"; }

    // The value as stored, looked up without regard to case; nullopt-like "absent" marker.
    bool has(const std::string& app, const std::string& section, const std::string& key) const;
    bool failWrites = false;
    int writes = 0;  // each SaveSetting and each SaveSettings is one write

private:
    static std::string fold(const std::string& app, const std::string& section,
                            const std::string& key);
    std::map<std::string, std::string> m_values;
};

class ScriptedMessageBox : public MessageBox {
public:
    struct Shown {
        std::string text, title;
    };
    void show(const std::string& text, const std::string& title) override;
    std::vector<Shown> shown;
    std::function<void()> whileOpen;  // runs while the box is open (timers may fire there)
};

class MemoryFileSystem : public FileSystem {
public:
    std::string programDirectory() const override { return programDir; }
    std::string userDataDirectory() const override { return userDataDir; }
    std::string installedDataDirectory() const override { return installedDataDir; }
    char separator() const override { return '/'; }
    Status writeFile(const std::string& path, const std::string& bytes) override;
    Status readFile(const std::string& path, std::string& bytes) override;
    Status removeFile(const std::string& path) override;
    bool exists(const std::string& path) const override { return files.count(path) != 0; }
    Status makeDirectory(const std::string& path) override;

    std::string programDir = "/opt/tollvane";
    std::string userDataDir = "/home/user/.local/share/Tollvane";
    std::string installedDataDir;  // empty: a program that keeps its files beside itself
    std::map<std::string, std::string> files;
    std::set<std::string> readOnlyDirs;  // writes and removals of files in these folders fail
    bool failReads = false;
};

class FakeHelpViewer : public HelpViewer {
public:
    struct Call {
        std::string file;
        int command;
        std::string key;
    };
    void showHelp(const std::string& helpFile, int command, const std::string& key) override {
        calls.push_back({helpFile, command, key});
    }
    std::vector<Call> calls;
};

class FakeBrowser : public Browser {
public:
    Status show() override;
    Status navigate(const std::string& url) override;
    int shows = 0;
    std::vector<std::string> navigations;
    bool failToStart = false;
};

}  // namespace tollvane::fakes
