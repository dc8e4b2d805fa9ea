#include "platform/win32/desktop.h"

#include <commctrl.h>

#include <algorithm>

#include "windows/form.h"
#include "windows/form1.h"

namespace tollvane::win32 {

namespace {

constexpr UINT kRunQueued = WM_APP + 1;
constexpr UINT kFreeDropped = WM_APP + 2;
constexpr UINT_PTR kWakeTimer = 1;
constexpr long long kLongestAimMs = 24LL * 3600 * 1000;

// The tone the worker plays: the test's, which outlives the program, or kernel32's Beep, which the
// worker keeps for as long as it needs it (`system` is set to it).
std::shared_ptr<Tone> backendTone(Tone* given, std::shared_ptr<Win32Tone>& system) {
    if (given) return std::shared_ptr<Tone>(given, [](Tone*) {});
    system = std::make_shared<Win32Tone>(tellAboutWake);
    return system;
}

}  // namespace

UINT Desktop::secondStartMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tollvane.SecondStart");
    return message;
}

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options)
    : m_options(options),
      m_tone(backendTone(m_options.tone, m_systemTone), std::make_unique<Win32ToneWait>()),
      m_messageBoxes([this] { return messageOwner(); }),
      m_help(m_options.help ? nullptr : std::make_unique<Win32HelpWindow>()),
      m_shop(m_options.browser
                 ? nullptr
                 : std::make_unique<Win32ShopWindow>(
                       Form1::designLayout(),
                       [this] { dispatch([this] { program().ShopWindowClosed(); }); })),
      m_program(
          *this,
          {m_options.clock ? *m_options.clock : m_clock, m_tone,
           m_options.settings ? *m_options.settings : m_registry, messages(),
           m_options.files ? *m_options.files : m_files, m_options.help ? *m_options.help : *m_help,
           m_options.browser ? *m_options.browser : *m_shop},
          m_options.wake ? *m_options.wake : m_computerWake,
          m_options.sessionStart ? *m_options.sessionStart : m_sessionStart, tellAboutWake) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
    // A top-level window that is never shown: unlike a message-only window it is told of the
    // session's end.
    m_window.reset(createOwnedWindow(this, programWindowClass(), 0, L"Tollvane", WS_POPUP, 0, 0, 0,
                                     0, nullptr));
    HWND window = m_window.get();
    // A second start may run at a lower integrity level than this one (this one started as
    // administrator): its message is let through.
    if (window) ChangeWindowMessageFilterEx(window, secondStartMessage(), MSGFLT_ALLOW, nullptr);
    // A top-level window hears of suspend and resume anyway; the registration is what Windows
    // asks of programs that must hear of them on every kind of computer.
    m_resumeNotification = RegisterSuspendResumeNotification(window, DEVICE_NOTIFY_WINDOW_HANDLE);
}

Desktop::~Desktop() {
    if (m_resumeNotification) UnregisterSuspendResumeNotification(m_resumeNotification);
}

MessageBox& Desktop::messages() {
    return m_options.messages ? *m_options.messages : m_messageBoxes;
}

FormWindow* Desktop::view(const Form& window) const {
    return static_cast<FormWindow*>(m_program.view(window));
}

// Windows sends many messages while the program itself calls into it (a window shown is
// activated at once, a text set is reported as changed): events wait for the message loop, so a
// handler never starts inside another or inside the mirroring of the windows.
void Desktop::dispatch(std::function<void()> handler) {
    m_queue.push_back(std::move(handler));
    if (!m_queuePosted && programWindow()) {
        m_queuePosted = PostMessageW(programWindow(), kRunQueued, 0, 0) != FALSE;
    }
}

void Desktop::runQueued() {
    m_queuePosted = false;
    while (!m_queue.empty()) {
        std::function<void()> handler = std::move(m_queue.front());
        m_queue.pop_front();
        m_program.dispatch(std::move(handler));
    }
}

Scheduler::Instant Desktop::now() const {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const long long steadyMs = counter.QuadPart / frequency.QuadPart * 1000 +
                               counter.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
    return {unixMsNow(), steadyMs};
}

// A window timer, which every message loop dispatches, aimed at the next time something is due.
void Desktop::aimWakeUp(const Scheduler::Wake& next) {
    if (!next.wallMs && !next.steadyMs) {
        KillTimer(programWindow(), kWakeTimer);
        return;
    }
    const Scheduler::Instant now = this->now();
    long long in = kLongestAimMs;
    if (next.wallMs) in = std::min(in, *next.wallMs - now.wallMs);
    if (next.steadyMs) in = std::min(in, *next.steadyMs - now.steadyMs);
    // A millisecond more, as now() counts whole ones: a timer that came before its time would
    // find nothing due and have to be aimed again. Windows fires window timers at its clock tick
    // (about 16 ms by default); without coalescing, at the first tick after the time.
    const auto elapse = static_cast<UINT>(std::clamp(in + 1, 1LL, kLongestAimMs));
    SetCoalescableTimer(programWindow(), kWakeTimer, elapse, nullptr, TIMERV_NO_COALESCING);
}

std::unique_ptr<WindowView> Desktop::makeView(Form& window) {
    return std::make_unique<FormWindow>(
        window,
        m_program.eventsOf(window, [this](std::function<void()> h) { dispatch(std::move(h)); }),
        programWindow());
}

// The window leaves the screen at once, but may be inside one of its own messages, or in a modal
// loop of its own (its menu, a move by its frame) that dispatched the tick which unloaded it:
// it is destroyed once the program's own loop has the thread again.
void Desktop::dropView(std::unique_ptr<WindowView> view) {
    auto& window = static_cast<FormWindow&>(*view);
    window.detach();
    ShowWindow(window.hwnd(), SW_HIDE);
    m_dropped.push_back(std::move(view));
    if (programWindow()) PostMessageW(programWindow(), kFreeDropped, 0, 0);
}

void Desktop::programEnded() {
    KillTimer(programWindow(), kWakeTimer);
    m_ended = true;
}

// The window in front that a message box belongs to: the program's active window, else its main
// window if shown.
HWND Desktop::messageOwner() const {
    HWND active = GetActiveWindow();
    HWND shown = nullptr;
    for (Form* form : m_program.program().loadedWindows()) {
        const FormWindow* v = view(*form);
        if (!v) continue;
        if (v->hwnd() == active) return active;
        if (!shown && IsWindowVisible(v->hwnd())) shown = v->hwnd();
    }
    return shown;
}

bool Desktop::deliver(MSG& message) {
    if (message.message == WM_QUIT) return false;
    if (m_shop && m_shop->preTranslateMessage(message)) return true;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root) {
        for (Form* form : program().loadedWindows()) {
            FormWindow* v = view(*form);
            if (v && v->hwnd() == root && v->translate(message)) return true;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool Desktop::runUntil(const std::function<bool()>& done, unsigned ms) {
    const unsigned long long deadline = GetTickCount64() + ms;
    for (;;) {
        if (done && done()) return true;
        if (m_ended) return false;
        const unsigned long long now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            const bool goOn = deliver(message);
            // Back in the program's own loop, none of its windows is inside a message or a modal
            // loop of its own: the windows dropped meanwhile can go.
            m_dropped.clear();
            if (!goOn) {
                m_ended = true;
                return false;
            }
            if (m_ended || (done && done())) break;
        }
    }
}

int Desktop::run() {
    while (!m_ended) runUntil({}, INFINITE);
    return 0;
}

LRESULT Desktop::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == secondStartMessage()) {
        m_program.secondStart();
        return 0;
    }
    switch (message) {
        case kRunQueued:
            runQueued();
            return 0;
        case kFreeDropped:
            // It only wakes the program's own loop, which destroys the dropped windows after each
            // message; passed on here by a modal loop, it leaves them for the program's own.
            return 0;
        case WM_TIMER:
            if (wParam == kWakeTimer) m_program.wake();
            return 0;
        case WM_TIMECHANGE:
            // The clock was set: the display follows at once.
            m_program.timeMoved();
            return 0;
        case WM_POWERBROADCAST:
            // Automatic: woken by a timer, perhaps ours, with no one at the keyboard yet.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
                m_program.timeMoved();
            return TRUE;
        case WM_QUERYENDSESSION:
            // The session may end: the values are saved now, and again if it does end. A logoff
            // that is then cancelled leaves the program running with them saved.
            (void)program().SessionCheckpoint();
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process as soon as this returns: the exit sequence runs to its
            // end here, and the process ends without tearing down the windows and the browser
            // control that the session takes away anyway. A message box would hold up the
            // sign-out: what the exit sequence has to say is written instead.
            if (!wParam) return 0;
            m_messageBoxes.sessionEnding();
            m_program.endWithTheSession();
            if (program().ended() && !m_options.keepProcess) {
                // A ring cut short leaves no output it made audible behind.
                if (m_systemTone) m_systemTone->putBackNow();
                ExitProcess(0);
            }
            return 0;
        case WM_CLOSE:
            return 0;  // the program ends through its own exit sequence only
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace tollvane::win32
