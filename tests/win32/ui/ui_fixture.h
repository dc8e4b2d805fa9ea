#pragma once
// The Windows program's real windows, run in the test's own process on a Wine (or Windows)
// desktop: a Desktop with recorded tones, a fixed or real clock, the real registry (under a
// key emptied for each test) and the real message boxes, driven through the messages a user's
// clicks and keys send.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/fake_ports.h"
#include "platform/win32/desktop.h"
#include "platform/win32/form_window.h"
#include "platform/win32/text.h"
#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

namespace tollvane::win32::testing {

// Tones that take their time on the ring's worker thread, and are recorded.
class RecordingTone : public Tone {
public:
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        std::lock_guard lock(m_mutex);
        m_beeps.push_back({frequencyHz, durationMs});
    }
    std::vector<std::pair<int, int>> beeps() {
        std::lock_guard lock(m_mutex);
        return m_beeps;
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<int, int>> m_beeps;
};

// Local time that runs with the real clock from a chosen moment on.
class ShiftedClock : public Clock {
public:
    ShiftedClock(int hour, int minute, int second);
    LocalDateTime now() const override;
    LocalDateTime at(long long wallMs) const override {
        return Win32Clock().at(wallMs + m_offsetMs);
    }

private:
    long long m_offsetMs = 0;
};

class UiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void start(Clock* clock = nullptr);
    // Runs the program's message loop until `done`, at most `ms`; whether `done` came true.
    bool runUntil(const std::function<bool()>& done, unsigned ms = 3000);
    void runFor(unsigned ms);

    frmAlarmClock& main() { return desktop->program().frmAlarmClock(); }
    FormWindow& view(const Form& form);
    HWND control(const Form& form, const char* name);
    // A click as the user makes it: the button's own messages, through the message loop.
    void click(const Form& form, const char* name);
    void chooseMenu(const Form& form, const char* item);
    // Typing: the text as the edit control receives it from the keyboard (a long one pasted).
    void type(const Form& form, const char* name, const std::wstring& text);
    std::wstring text(const Form& form, const char* name);

    // The registry values the program keeps, under its application key.
    static std::string registryValue(const char* key);
    static void setRegistryValue(const char* key, const std::string& value);
    static void clearRegistry();

    RecordingTone tone;
    ComputerWake* wake = nullptr;  // set before start(); empty: the system's
    // The start with the session, recorded: the Run key is left to the end-to-end tests.
    fakes::FakeSessionStart sessionStart;
    std::unique_ptr<Desktop> desktop;
};

// Runs `check` on the window thread every 20 ms from inside whatever loop is running there (a
// message box's among them) until it returns true.
class WhileLooping {
public:
    explicit WhileLooping(std::function<bool()> check);
    ~WhileLooping();

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR m_timer = 0;
    std::function<bool()> m_check;
};

// The message box of this thread that is open now, by its title.
HWND openMessageBox(const wchar_t* title);
std::wstring messageBoxText(HWND box);

}  // namespace tollvane::win32::testing
