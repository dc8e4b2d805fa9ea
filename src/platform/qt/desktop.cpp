#include "platform/qt/desktop.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "platform/qt/fallback_tone.h"
#include "platform/qt/form_view.h"
#include "platform/qt/second_timer.h"
#include "windows/layout.h"
#if defined(TOLLVANE_HAVE_PULSE)
#include "platform/pulse/pulse_tone.h"
#endif
#if defined(__linux__)
#include "platform/qt/linux_wake.h"
#endif

namespace tollvane {

namespace {

// The desktop's bell, rung on the UI thread whichever thread asks, while the desktop is there: a
// worker left behind in a stuck tone may ask as the application is being torn down.
std::function<void()> desktopBell(std::shared_ptr<ApplicationReach> reach) {
    return [reach = std::move(reach)] {
        reach->run([] {
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app, [] { QApplication::beep(); }, Qt::QueuedConnection);
        });
    };
}

void logLine(const std::string& line) {
    std::fprintf(stderr, "tollvane: %s\n", line.c_str());
}

// The tone through the sound server, with the desktop's bell where it cannot sound.
std::shared_ptr<Tone> soundServerTone(std::shared_ptr<ApplicationReach> reach) {
#if defined(TOLLVANE_HAVE_PULSE)
    auto pulse = std::make_shared<PulseTone>("Tollvane", logLine);
    FallbackTone::SoundServer server =
        [pulse](std::int32_t frequencyHz, std::int32_t durationMs) -> std::optional<std::string> {
        std::string why;
        const PulseTone::Outcome outcome = pulse->play(frequencyHz, durationMs, &why);
        if (outcome == PulseTone::Outcome::Played || outcome == PulseTone::Outcome::Skipped)
            return std::nullopt;
        return why;
    };
    auto ringOver = [pulse] { pulse->ringEnded(); };
#else
    FallbackTone::SoundServer server = [](std::int32_t, std::int32_t) {
        return std::optional<std::string>("this build has no sound server support");
    };
    std::function<void()> ringOver;
#endif
    return std::make_shared<FallbackTone>(std::move(server), desktopBell(std::move(reach)), logLine,
                                          std::move(ringOver));
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

}  // namespace

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options)
    : m_options(std::move(options)),
      m_tone(m_options.tone ? std::shared_ptr<Tone>(m_options.tone, [](Tone*) {})
                            : soundServerTone(m_reach)),
      m_settings(m_options.settingsPath.isEmpty() ? QtSettingsStore::defaultPath()
                                                  : m_options.settingsPath),
      m_files(m_options.programDir, m_options.userDataDir),
      m_browser(shopName(), m_options.browserProgram),
      m_systemWake(systemWake(m_options.wake)),
      m_autostart(m_options.autostartDir),
      m_wallWake(std::make_unique<SecondTimer>()),
      m_steadyWake(std::make_unique<QTimer>()),
      m_program(
          *this,
          {m_options.clock ? *m_options.clock : m_clock, m_tone, m_settings,
           m_options.messages ? *m_options.messages : m_qtMessages, m_files, m_help, m_browser},
          m_options.wake ? *m_options.wake : *m_systemWake, m_autostart, logLine) {
    m_steadyWake->setSingleShot(true);
    m_steadyWake->setTimerType(Qt::PreciseTimer);
    connect(m_wallWake.get(), &SecondTimer::timeout, this, [this] { m_program.wake(); });
    connect(m_steadyWake.get(), &QTimer::timeout, this, [this] { m_program.wake(); });
#if defined(__linux__)
    if (auto* linuxWake = dynamic_cast<LinuxWake*>(m_systemWake.get()))
        connect(linuxWake, &LinuxWake::timeMoved, this, [this] { m_program.timeMoved(); });
#endif
    connect(&m_browser, &BrowserClient::windowClosed, this,
            [this] { dispatch([this] { program().ShopWindowClosed(); }); });
}

// First of all: the ring's worker, which may stay behind, reaches nothing of the application from
// here on.
Desktop::~Desktop() {
    m_reach->close();
}

void Desktop::secondStart(const QString& activationToken) {
    m_program.secondStart(activationToken.toStdString());
}

FormView* Desktop::view(const Form& window) const {
    return static_cast<FormView*>(m_program.view(window));
}

Scheduler::Instant Desktop::now() const {
    using namespace std::chrono;
    const auto wall = time_point_cast<milliseconds>(systemWallClock());
    const auto steady = time_point_cast<milliseconds>(steady_clock::now());
    return {wall.time_since_epoch().count(), steady.time_since_epoch().count()};
}

// One that comes early (a coarse timer, or the clock set while it was armed) runs nothing and is
// aimed again.
void Desktop::aimWakeUp(const Scheduler::Wake& next) {
    if (next.wallMs)
        m_wallWake->startAt(WallTime(std::chrono::milliseconds(*next.wallMs)));
    else
        m_wallWake->stop();
    if (next.steadyMs) {
        const long long in = *next.steadyMs - now().steadyMs;
        m_steadyWake->start(static_cast<int>(std::clamp(in, 0LL, 24LL * 3600 * 1000)));
    } else {
        m_steadyWake->stop();
    }
}

std::unique_ptr<WindowView> Desktop::makeView(Form& window) {
    return std::make_unique<FormView>(window, m_program.eventsOf(window));
}

// The view may be inside its own close event: it goes once the event loop has it again.
void Desktop::dropView(std::unique_ptr<WindowView> view) {
    auto* v = static_cast<FormView*>(view.release());
    v->detach();
    v->hide();
    v->deleteLater();
}

void Desktop::programEnded() {
    m_wallWake->stop();
    m_steadyWake->stop();
    emit ended();
}

}  // namespace tollvane
