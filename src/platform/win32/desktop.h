#pragma once
// The program on Windows: the platform's parts, the running program over them
// (app/running_program.h), its views as FormWindows, and its wake-up as one window timer, aimed
// at the next moment something is due (the wall clock's next whole second for the clock tick).
// The desktop passes on what Windows tells: the user's events (through its message loop), the
// timer, a resume or a clock set, a second start, the session's end.
//
// Every message loop dispatches window timers: the program's own, a message box's, a menu's, that
// of a window moved or sized by its frame or of a scroll bar dragged, a text box's context menu,
// the browser control's menus. So the clock goes on in all of them, and none has to be tracked.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "app/running_program.h"
#include "platform/win32/clock.h"
#include "platform/win32/file_system.h"
#include "platform/win32/form_window.h"
#include "platform/win32/handles.h"
#include "platform/win32/help_window.h"
#include "platform/win32/message_box.h"
#include "platform/win32/session_start.h"
#include "platform/win32/settings_store.h"
#include "platform/win32/shop_window.h"
#include "platform/win32/tone.h"
#include "platform/win32/tone_wait.h"
#include "platform/win32/wake.h"
#include "platform/win32/window_class.h"

namespace tollvane::win32 {

class Desktop : private RunningProgram::Host {
public:
    // Each part left empty is the real one.
    struct Options {
        Tone* tone = nullptr;
        Clock* clock = nullptr;
        MessageBox* messages = nullptr;
        SettingsStore* settings = nullptr;
        FileSystem* files = nullptr;
        HelpViewer* help = nullptr;
        Browser* browser = nullptr;  // the shop window
        ComputerWake* wake = nullptr;
        SessionStart* sessionStart = nullptr;
        // In-process tests keep their process when the session ends: the program ends alone.
        bool keepProcess = false;
    };

    Desktop();
    explicit Desktop(Options options);
    ~Desktop() override;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Loads the main window (its load sequence runs) and shows it.
    void start() { m_program.start(); }
    // Runs a handler as one event of the program, from the message loop.
    void dispatch(std::function<void()> handler);
    // Ends the program through the main window's exit sequence, as File > Exit does. During a ring
    // the ring ends after the tone sounding now.
    void endFromOutside() { m_program.endFromOutside(); }

    // Runs the message loop until the program has ended; the process's exit code.
    int run();
    // Runs the program's own message loop until `done` says so, the program has ended, or `ms` have
    // passed; whether `done` said so. Never from inside a window's message.
    bool runUntil(const std::function<bool()>& done, unsigned ms);

    Program& program() { return m_program.program(); }
    FormWindow* view(const Form& window) const;
    bool ringing() const { return m_program.ringing(); }
    // The program's hidden window: it owns the windows without a taskbar button of their own and
    // takes the messages meant for the program as a whole.
    HWND programWindow() const { return m_window.get(); }
    // The message a second start posts to the running program's hidden window.
    static UINT secondStartMessage();
    static const wchar_t* programWindowClass() { return L"Tollvane.Program"; }

private:
    Scheduler::Instant now() const override;
    void aimWakeUp(const Scheduler::Wake& next) override;
    std::unique_ptr<WindowView> makeView(Form& window) override;
    void dropView(std::unique_ptr<WindowView> view) override;
    void programEnded() override;
    friend LRESULT CALLBACK ownedWindowProc<Desktop>(HWND, UINT, WPARAM, LPARAM);
    // The messages of the program's hidden window.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A message taken from the queue, to the window it is for (the browser control's and the
    // windows' own keys first); false for WM_QUIT, which asks the loop to end.
    bool deliver(MSG& message);
    void runQueued();
    HWND messageOwner() const;
    MessageBox& messages();

    // The browser control, the rich edit box and the screen readers' names need OLE; it is the
    // last to go.
    OleSession m_ole;
    Options m_options;
    Win32Clock m_clock;
    std::shared_ptr<Win32Tone> m_systemTone;  // unless a test gave the tone
    RingingTone m_tone;
    Win32SettingsStore m_registry;
    Win32FileSystem m_files;
    MessageBoxWindow m_messageBoxes;
    std::unique_ptr<Win32HelpWindow> m_help;
    std::unique_ptr<Win32ShopWindow> m_shop;
    Win32Wake m_computerWake;
    Win32SessionStart m_sessionStart;
    OwnedWindow m_window;  // owns the windows without a taskbar button: it goes after them
    HPOWERNOTIFY m_resumeNotification = nullptr;
    std::deque<std::function<void()>> m_queue;  // events waiting for the message loop
    bool m_queuePosted = false;
    bool m_ended = false;
    RunningProgram m_program;
    // Views dropped, hidden, waiting for the program's own loop to destroy them. Declared after
    // the program, so that they go before it.
    std::vector<std::unique_ptr<WindowView>> m_dropped;
};

}  // namespace tollvane::win32
