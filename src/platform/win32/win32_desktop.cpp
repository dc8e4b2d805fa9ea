#include "platform/win32/win32_desktop.h"

#include <commctrl.h>

#include <algorithm>

#include "app/second_start.h"
#include "windows/form.h"
#include "windows/form1.h"

namespace tollvane::win32 {

namespace {

constexpr UINT kRunQueued = WM_APP + 1;
constexpr UINT_PTR kWakeTimer = 1;
constexpr long long kLongestAimMs = 24LL * 3600 * 1000;

Ports portsOf(Clock& clock, Tone& tone, SettingsStore& settings, MessageBox& messages,
              FileSystem& files, HelpViewer& help, Browser& browser) {
    return {clock, tone, settings, messages, files, help, browser};
}

// The tone the worker plays: the test's, which outlives the program, or kernel32's Beep, which the
// worker keeps for as long as it needs it.
std::shared_ptr<Tone> backendTone(Tone* given) {
    if (given) return std::shared_ptr<Tone>(given, [](Tone*) {});
    return std::make_shared<Win32Tone>();
}

}  // namespace

UINT Desktop::secondStartMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tollvane.SecondStart");
    return message;
}

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options)
    : m_options(options),
      m_tone(backendTone(m_options.tone)),
      m_ringTone(m_tone),
      m_messageBoxes([this] { return messageOwner(); }),
      m_help(m_options.help ? nullptr : std::make_unique<Win32HelpWindow>()),
      m_shop(m_options.browser
                 ? nullptr
                 : std::make_unique<Win32ShopWindow>(
                       Form1::designLayout(),
                       [this] { dispatch([this] { m_program.ShopWindowClosed(); }); })),
      m_program(portsOf(m_options.clock ? *m_options.clock : m_clock, m_ringTone,
                        m_options.settings ? *m_options.settings : m_registry, messages(),
                        m_options.files ? *m_options.files : m_files,
                        m_options.help ? *m_options.help : *m_help,
                        m_options.browser ? *m_options.browser : *m_shop)),
      m_scheduler(m_program, *this, m_ringTone),
      m_wakeAim(m_program, m_options.wake ? *m_options.wake : m_computerWake, tellAboutWake) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);

    // A top-level window that is never shown: unlike a message-only window it is told of the
    // session's end.
    m_hwnd = createOwnedWindow(this, programWindowClass(), 0, L"Tollvane", WS_POPUP, 0, 0, 0, 0,
                               nullptr);
    // A second start may run at a lower integrity level than this one (this one started as
    // administrator): its message is let through.
    if (m_hwnd) ChangeWindowMessageFilterEx(m_hwnd, secondStartMessage(), MSGFLT_ALLOW, nullptr);
    m_scheduler.afterEvent = [this] { afterEvent(); };
    m_ringTone.ringStarted = [this] {
        if (const Form* shown = m_program.shownClockWindow()) {
            if (FormWindow* v = view(*shown)) askForAttention(v->hwnd());
        }
    };
    // A top-level window hears of suspend and resume anyway; the registration is what Windows
    // asks of programs that must hear of them on every kind of computer.
    m_resumeNotification = RegisterSuspendResumeNotification(m_hwnd, DEVICE_NOTIFY_WINDOW_HANDLE);
}

Desktop::~Desktop() {
    if (m_resumeNotification) UnregisterSuspendResumeNotification(m_resumeNotification);
    m_views.clear();
    m_shop.reset();
    m_help.reset();
    destroyOwnedWindow(m_hwnd);
}

MessageBox& Desktop::messages() {
    return m_options.messages ? *m_options.messages : m_messageBoxes;
}

void Desktop::start() {
    dispatch([this] { m_program.Start(); });
}

void Desktop::secondStart() {
    dispatch([this] { showFullViewForSecondStart(m_program); });
}

void Desktop::endFromOutside() {
    m_scheduler.postEndRequest([this] { m_program.EndRequested(); });
}

FormWindow* Desktop::view(const Form& window) const {
    const auto it = m_views.find(&window);
    return it == m_views.end() ? nullptr : it->second.get();
}

// Windows sends many messages while the program itself calls into it (a window shown is
// activated at once, a text set is reported as changed): events wait for the message loop, so a
// handler never starts inside another or inside the mirroring of the windows.
void Desktop::dispatch(std::function<void()> handler) {
    m_queue.push_back(std::move(handler));
    if (!m_queuePosted && m_hwnd) {
        m_queuePosted = PostMessageW(m_hwnd, kRunQueued, 0, 0) != FALSE;
    }
}

void Desktop::runQueued() {
    m_queuePosted = false;
    while (!m_queue.empty()) {
        std::function<void()> handler = std::move(m_queue.front());
        m_queue.pop_front();
        m_scheduler.post(std::move(handler));
    }
}

Scheduler::Instant Desktop::now() const {
    FILETIME wall;
    GetSystemTimePreciseAsFileTime(&wall);
    ULARGE_INTEGER t;
    t.LowPart = wall.dwLowDateTime;
    t.HighPart = wall.dwHighDateTime;
    // From 1601 to 1970, in units of 100 ns.
    constexpr long long kUnixEpoch = 116444736000000000LL;
    const long long wallMs = (static_cast<long long>(t.QuadPart) - kUnixEpoch) / 10000;
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    const long long steadyMs = counter.QuadPart / frequency.QuadPart * 1000 +
                               counter.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
    return {wallMs, steadyMs};
}

void Desktop::wake() {
    m_aimed = false;
    m_scheduler.runDue();
    armWake();
}

// The computer woke from sleep or the clock was set: the tick is aimed afresh from the clock now,
// whatever a timer aimed before counted meanwhile, and the computer's wake is armed again.
void Desktop::timeMoved() {
    wake();
    m_wakeAim.aim(now().wallMs, true);
}

void Desktop::afterEvent() {
    reconcileViews();
    m_wakeAim.aim(now().wallMs);
    if (m_program.ended()) {
        KillTimer(m_hwnd, kWakeTimer);
        m_ended = true;
        return;
    }
    armWake();
}

void Desktop::reconcileViews() {
    for (auto it = m_views.begin(); it != m_views.end();) {
        if (!m_program.isLoaded(*it->first) || m_program.ended()) {
            it->second->detach();
            ShowWindow(it->second->hwnd(), SW_HIDE);
            it = m_views.erase(it);
        } else {
            ++it;
        }
    }
    if (m_program.ended()) return;
    for (Form* w : m_program.loadedWindows()) {
        if (!w->layout().hasView) continue;
        FormWindow* v = view(*w);
        if (!v && w->Visible) {
            // The window's events reach its model only while the model is loaded: one that comes
            // after the model was unloaded is dropped.
            auto forWindow = [this, w](std::function<void()> handler) {
                dispatch([this, w, handler] {
                    if (m_program.isLoaded(*w)) handler();
                });
            };
            auto made = std::make_unique<FormWindow>(*w, forWindow, m_hwnd);
            v = made.get();
            m_views[w] = std::move(made);
        }
        if (v) v->mirror();
    }
}

// A window timer, which every message loop dispatches, aimed at the next time something is due.
// One already aimed at that time is left alone, so an idle second costs one wake-up.
void Desktop::armWake() {
    const Scheduler::Wake wake = m_scheduler.nextWake();
    const long long wallDue = wake.wallMs.value_or(-1);
    const long long steadyDue = wake.steadyMs.value_or(-1);
    if (m_aimed && wallDue == m_wallDue && steadyDue == m_steadyDue) return;
    m_aimed = true;
    m_wallDue = wallDue;
    m_steadyDue = steadyDue;
    if (!wake.wallMs && !wake.steadyMs) {
        KillTimer(m_hwnd, kWakeTimer);
        return;
    }
    const Scheduler::Instant now = this->now();
    long long in = kLongestAimMs;
    if (wake.wallMs) in = std::min(in, *wake.wallMs - now.wallMs);
    if (wake.steadyMs) in = std::min(in, *wake.steadyMs - now.steadyMs);
    // A millisecond more, as now() counts whole ones: a timer that came before its time would
    // find nothing due and have to be aimed again. Windows fires window timers at its clock tick
    // (about 16 ms by default); without coalescing, at the first tick after the time.
    const auto elapse = static_cast<UINT>(std::clamp(in + 1, 1LL, kLongestAimMs));
    if (!SetCoalescableTimer(m_hwnd, kWakeTimer, elapse, nullptr, TIMERV_NO_COALESCING))
        SetTimer(m_hwnd, kWakeTimer, elapse, nullptr);
}

// The window in front that a message box belongs to: the program's active window, else its main
// window if shown.
HWND Desktop::messageOwner() const {
    HWND active = GetActiveWindow();
    for (const auto& [form, v] : m_views) {
        if (v->hwnd() == active) return active;
    }
    for (const auto& [form, v] : m_views) {
        if (IsWindowVisible(v->hwnd())) return v->hwnd();
    }
    return nullptr;
}

bool Desktop::pump(MSG& message) {
    if (message.message == WM_QUIT) return false;
    if (m_shop && m_shop->preTranslateMessage(message)) return true;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root) {
        for (const auto& [form, v] : m_views) {
            if (v->hwnd() == root && v->translate(message)) return true;
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
            if (!pump(message)) {
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

LRESULT Desktop::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == secondStartMessage()) {
        secondStart();
        return 0;
    }
    switch (message) {
        case kRunQueued:
            runQueued();
            return 0;
        case WM_TIMER:
            if (wParam == kWakeTimer) wake();
            return 0;
        case WM_TIMECHANGE:
            // The clock was set: the display follows at once.
            timeMoved();
            return 0;
        case WM_POWERBROADCAST:
            // Automatic: woken by a timer, perhaps ours, with no one at the keyboard yet.
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) timeMoved();
            return TRUE;
        case WM_QUERYENDSESSION:
            // The session may end: the values are saved now, and again if it does end. A logoff
            // that is then cancelled leaves the program running with them saved.
            (void)m_program.SessionCheckpoint();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) endSession();
            return 0;
        case WM_CLOSE:
            return 0;  // the program ends through its own exit sequence only
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The user logs off or the machine shuts down: the exit sequence saves what the user left in the
// window, as File > Exit does. Windows may end the process as soon as this returns, so inside a
// handler (a ring, a message box) the exit sequence runs at once and the process ends here. A
// ring cannot finish then: the alarm is saved as rung, as the ring would have left it.
void Desktop::endSession() {
    if (m_program.ended()) return;
    if (m_scheduler.ringing()) {
        m_ringTone.silence();
        m_program.EndDuringRing();
        ExitProcess(0);
    }
    if (m_scheduler.busy()) {
        m_program.EndRequested();
        ExitProcess(0);
    }
    endFromOutside();
}

}  // namespace tollvane::win32
