#include "platform/qt/desktop.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/second_start.h"
#include "platform/qt/fallback_tone.h"
#include "platform/qt/form_view.h"
#include "platform/qt/second_timer.h"
#include "platform/qt/wayland_session.h"
#include "windows/form.h"
#include "windows/frm_alarm_clock.h"
#include "windows/layout.h"
#if defined(TOLLVANE_HAVE_PULSE)
#include "platform/pulse/pulse_tone.h"
#endif
#if defined(__linux__)
#include "platform/qt/linux_wake.h"
#endif
#if defined(_WIN32)
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_tone.h"
#endif

namespace tollvane {

namespace {

// The desktop's bell, rung on the UI thread whichever thread asks.
void ringDesktopBell() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { QApplication::beep(); }, Qt::QueuedConnection);
}

void logLine(const std::string& line) {
    std::fprintf(stderr, "tollvane: %s\n", line.c_str());
}

// The tone through the sound server, with the desktop's bell where it cannot sound.
std::shared_ptr<Tone> soundServerTone(FallbackTone*& fallback) {
#if defined(_WIN32)
    fallback = nullptr;
    return std::make_shared<Win32Tone>();
#else
#if defined(TOLLVANE_HAVE_PULSE)
    auto pulse = std::make_shared<PulseTone>("Tollvane");
    FallbackTone::SoundServer server =
        [pulse](std::int32_t frequencyHz, std::int32_t durationMs) -> std::optional<std::string> {
        std::string why;
        const PulseTone::Outcome outcome = pulse->play(frequencyHz, durationMs, &why);
        if (outcome == PulseTone::Outcome::Played || outcome == PulseTone::Outcome::Skipped)
            return std::nullopt;
        return why;
    };
#else
    FallbackTone::SoundServer server = [](std::int32_t, std::int32_t) {
        return std::optional<std::string>("this build has no sound server support");
    };
#endif
    auto tone = std::make_shared<FallbackTone>(std::move(server), ringDesktopBell, logLine);
    fallback = tone.get();
    return tone;
#endif
}

// Windows keeps the settings in the registry, where earlier versions left them; elsewhere one
// INI file per user.
std::unique_ptr<SettingsStore> settingsStore(const QString& path) {
#if defined(_WIN32)
    (void)path;
    return std::make_unique<Win32SettingsStore>();
#else
    return std::make_unique<QtSettingsStore>(path.isEmpty() ? QtSettingsStore::defaultPath()
                                                            : path);
#endif
}

std::unique_ptr<FileSystem> fileSystem(const QString& programDir, const QString& userDataDir) {
#if defined(_WIN32)
    (void)programDir;
    (void)userDataDir;
    return std::make_unique<Win32FileSystem>();
#else
    return std::make_unique<QtFileSystem>(programDir, userDataDir);
#endif
}

#if !defined(__linux__)
class NoWake : public ComputerWake {
public:
    void arm(const WakeRequest&) override {}
    void disarm() override {}
    std::string whyNot() const override { return "this build cannot wake the computer"; }
};
#endif

std::unique_ptr<ComputerWake> systemWake(ComputerWake* given) {
    if (given) return nullptr;
#if defined(__linux__)
    return std::make_unique<LinuxWake>();
#else
    return std::make_unique<NoWake>();
#endif
}

Ports portsOf(Clock& clock, Tone& tone, SettingsStore& settings, MessageBox& messages,
              FileSystem& files, HelpWindow& help, BrowserClient& browser) {
    return {clock, tone, settings, messages, files, help, browser};
}

}  // namespace

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options)
    : m_options(std::move(options)),
      m_tone(m_options.tone ? std::shared_ptr<Tone>(m_options.tone, [](Tone*) {})
                            : soundServerTone(m_fallbackTone),
             {}),
      m_ringTone(m_tone),
      m_settings(settingsStore(m_options.settingsPath)),
      m_files(fileSystem(m_options.programDir, m_options.userDataDir)),
      m_browser(shopName(), m_options.browserProgram),
      m_program(portsOf(m_options.clock ? *m_options.clock : m_clock, m_ringTone, *m_settings,
                        m_options.messages ? *m_options.messages : m_qtMessages, *m_files, m_help,
                        m_browser)),
      m_scheduler(m_program, *this, m_ringTone),
      m_systemWake(systemWake(m_options.wake)),
      m_wakeAim(m_program, m_options.wake ? *m_options.wake : *m_systemWake, logLine),
      m_wallWake(std::make_unique<SecondTimer>()),
      m_steadyWake(std::make_unique<QTimer>()) {
    m_scheduler.afterEvent = [this] { afterEvent(); };
    m_steadyWake->setSingleShot(true);
    m_steadyWake->setTimerType(Qt::PreciseTimer);
    // Each wake-up runs what has come due, then aims at the next due time. One that comes early
    // (a coarse timer, or the clock set while it was armed) runs nothing and is aimed again.
    const auto wake = [this] {
        m_scheduler.runDue();
        armWake();
    };
    connect(m_wallWake.get(), &SecondTimer::timeout, this, wake);
    connect(m_steadyWake.get(), &QTimer::timeout, this, wake);
#if defined(__linux__)
    // A resume, or the clock set: the tick and the computer's wake are aimed afresh.
    if (auto* linuxWake = dynamic_cast<LinuxWake*>(m_systemWake.get())) {
        connect(linuxWake, &LinuxWake::timeMoved, this, [this, wake] {
            wake();
            m_wakeAim.aim(now().wallMs, true);
        });
    }
#endif
    m_ringTone.ringStarted = [this] { askForAttention(); };
    connect(&m_browser, &BrowserClient::windowClosed, this,
            [this] { dispatch([this] { m_program.ShopWindowClosed(); }); });
}

Desktop::~Desktop() {
    m_wallWake.reset();
    m_steadyWake.reset();
    for (auto& [form, view] : m_views) delete view;
}

void Desktop::start() {
    dispatch([this] { m_program.Start(); });
}

void Desktop::secondStart(const QString& activationToken) {
    dispatch([this] { showFullViewForSecondStart(m_program); });
    // As an event of its own, so that it follows the full view even when a ring holds both.
    dispatch([this, activationToken] {
        if (FormView* full = view(m_program.frmAlarmClock())) bringToFront(*full, activationToken);
    });
}

void Desktop::endFromOutside() {
    m_scheduler.postEndRequest([this] { m_program.EndRequested(); });
}

FormView* Desktop::view(const Form& window) const {
    const auto it = m_views.find(&window);
    return it == m_views.end() ? nullptr : it->second;
}

void Desktop::dispatch(const std::function<void()>& handler) {
    m_scheduler.post(handler);
}

Scheduler::Instant Desktop::now() const {
    using namespace std::chrono;
    const auto wall = time_point_cast<milliseconds>(systemWallClock());
    const auto steady = time_point_cast<milliseconds>(steady_clock::now());
    return {wall.time_since_epoch().count(), steady.time_since_epoch().count()};
}

void Desktop::afterEvent() {
    // A ring runs inside one handler, so after every handler any ring is over.
    if (m_fallbackTone) m_fallbackTone->ringEnded();
    reconcileViews();
    m_wakeAim.aim(now().wallMs);
    if (m_program.ended()) {
        m_wallWake->stop();
        m_steadyWake->stop();
        if (!m_endedTold) {
            m_endedTold = true;
            emit ended();
        }
        return;
    }
    armWake();
}

void Desktop::reconcileViews() {
    for (auto it = m_views.begin(); it != m_views.end();) {
        if (!m_program.isLoaded(*it->first) || m_program.ended()) {
            it->second->detach();
            it->second->hide();
            it->second->deleteLater();  // the view may be inside its own close event
            it = m_views.erase(it);
        } else {
            ++it;
        }
    }
    if (m_program.ended()) return;
    for (Form* w : m_program.loadedWindows()) {
        if (!w->layout().hasView) continue;
        FormView* v = view(*w);
        if (!v && w->Visible) {
            v = new FormView(*w, [this](const std::function<void()>& h) { dispatch(h); });
            m_views[w] = v;
        }
        if (v) v->mirror();
    }
}

// The taskbar entry of the window that shows the clock asks for attention until the user comes
// back to it; no window is raised and the keyboard stays where it is.
void Desktop::askForAttention() {
    if (const Form* shown = m_program.shownClockWindow()) {
        if (FormView* v = view(*shown)) QApplication::alert(v);
    }
}

// A wake-up already aimed at the right time is left alone, so an idle second costs one shot.
void Desktop::armWake() {
    const Scheduler::Wake wake = m_scheduler.nextWake();
    if (!wake.wallMs) {
        m_wallWake->stop();
    } else if (!m_wallWake->isActive() || m_wallDue != *wake.wallMs) {
        m_wallWake->startAt(WallTime(std::chrono::milliseconds(*wake.wallMs)));
    }
    m_wallDue = wake.wallMs.value_or(0);
    if (!wake.steadyMs) {
        m_steadyWake->stop();
    } else if (!m_steadyWake->isActive() || m_steadyDue != *wake.steadyMs) {
        const long long in = *wake.steadyMs - now().steadyMs;
        m_steadyWake->start(static_cast<int>(std::clamp(in, 0LL, 24LL * 3600 * 1000)));
    }
    m_steadyDue = wake.steadyMs.value_or(0);
}

}  // namespace tollvane
