#include "platform/qt/desktop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QTimer>

#include "platform/qt/form_view.h"
#include "platform/qt/second_timer.h"
#include "windows/form1.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmhelp.h"
#if defined(TOLLVANE_HAVE_PULSE)
#include "platform/pulse/pulse_tone.h"
#endif
#if defined(_WIN32)
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_tone.h"
#endif

namespace tollvane {

namespace {

// Without a sound server library, a beep is silence of its length.
class SilentTone : public Tone {
public:
    void beep(std::int32_t, std::int32_t durationMs) override {
        QThread::msleep(static_cast<unsigned long>(durationMs > 0 ? durationMs : 0));
    }
};

std::unique_ptr<Tone> soundServerTone() {
#if defined(_WIN32)
    return std::make_unique<Win32Tone>();
#elif defined(TOLLVANE_HAVE_PULSE)
    return std::make_unique<PulseTone>("Tollvane");
#else
    return std::make_unique<SilentTone>();
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

Ports portsOf(Clock& clock, Tone& tone, SettingsStore& settings, MessageBox& messages,
              FileSystem& files, HelpWindow& help, BrowserClient& browser) {
    return {clock, tone, settings, messages, files, help, browser};
}

long long wallSecond() {
    return QDateTime::currentMSecsSinceEpoch() / 1000;
}

}  // namespace

// A model timer bound to a Qt timer. The clock tick is a one-shot re-armed for every whole second
// of the wall clock; every other timer repeats at its interval.
struct Desktop::TimerBinding {
    std::unique_ptr<SecondTimer> clockTick;
    std::unique_ptr<QTimer> timer;
    int interval = 0;
    bool running = false;
};

Desktop::Desktop() : Desktop(Options{}) {}

Desktop::Desktop(Options options)
    : m_options(std::move(options)),
      m_soundServer(m_options.tone ? nullptr : soundServerTone()),
      m_tone(m_options.tone ? *m_options.tone : *m_soundServer,
             [this](bool on) { m_ringing = on; }),
      m_settings(settingsStore(m_options.settingsPath)),
      m_files(fileSystem(m_options.programDir, m_options.userDataDir)),
      m_browser(Form1::designLayout().caption, m_options.browserProgram),
      m_program(portsOf(m_options.clock ? *m_options.clock : m_clock, m_tone, *m_settings,
                        m_options.messages ? *m_options.messages : m_qtMessages, *m_files, m_help,
                        m_browser)) {
    connect(&m_browser, &BrowserClient::windowClosed, this, [this] {
        for (Form* w : m_program.loadedWindows()) {
            if (auto* shop = dynamic_cast<Form1*>(w)) dispatch([shop] { shop->Form_Unload(); });
        }
    });
}

Desktop::~Desktop() {
    m_timers.clear();
    for (auto& [form, view] : m_views) delete view;
}

void Desktop::start() {
    dispatch([this] {
        frmAlarmClock& main = m_program.frmAlarmClock();
        m_program.Show(main);
    });
}

void Desktop::endFromOutside() {
    const auto exitSequence = [this] { m_program.frmAlarmClock().SaveAndQuit(); };
    if (m_ringing) {
        // Asked to end during a ring (a logout, `kill`): waiting for the rest of a long ring would
        // get the program killed unsaved. The tone sounding now is the last; once the ring's tick
        // has returned, the exit sequence runs before anything the user did meanwhile.
        m_tone.cancel();
        m_deferred.insert(m_deferred.begin(), exitSequence);
        return;
    }
    dispatch(exitSequence);
}

FormView* Desktop::view(const Form& window) const {
    const auto it = m_views.find(&window);
    return it == m_views.end() ? nullptr : it->second;
}

void Desktop::dispatch(const std::function<void()>& handler) {
    if (m_program.ended()) return;
    if (m_ringing) {
        // A ring holds the program: whatever the user does meanwhile is handled after it.
        m_deferred.push_back(handler);
        return;
    }
    ++m_depth;
    handler();
    --m_depth;
    reconcile();
    if (m_depth == 0) {
        // Only now, with no handler of theirs on the stack, are unloaded windows destroyed.
        m_program.releaseUnloaded();
        runDeferredEvents();
        runPendingTimers();
    }
    if (m_program.ended()) {
        m_timers.clear();
        emit ended();
    }
}

void Desktop::reconcile() {
    const auto loaded = m_program.loadedWindows();
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
    for (Form* w : loaded) {
        // The help carrier is never shown, and the shop window is the browser program's.
        if (dynamic_cast<frmhelp*>(w) || dynamic_cast<Form1*>(w)) continue;
        FormView* v = view(*w);
        if (!v && w->Visible) {
            v = new FormView(*w, [this](std::function<void()> h) { dispatch(h); });
            m_views[w] = v;
        }
        if (v) v->mirror();
    }
    reconcileTimers();
}

void Desktop::reconcileTimers() {
    std::set<TimerKey> alive;
    for (Form* w : m_program.loadedWindows()) {
        for (const TimerRef& t : w->timers()) {
            const TimerKey key{w, t.name};
            alive.insert(key);
            auto& binding = m_timers[key];
            const bool isClockTick = t.name == "Timer1" && dynamic_cast<frmAlarmClock*>(w);
            if (!binding) {
                binding = std::make_unique<TimerBinding>();
                if (isClockTick) {
                    binding->clockTick = std::make_unique<SecondTimer>();
                    connect(binding->clockTick.get(), &SecondTimer::timeout, this,
                            [this, key] { onTimer(key); });
                } else {
                    binding->timer = std::make_unique<QTimer>();
                    connect(binding->timer.get(), &QTimer::timeout, this,
                            [this, key] { onTimer(key); });
                }
            }
            const bool wanted = t.timer->Enabled && t.timer->Interval > 0;
            if (isClockTick) {
                if (!wanted) {
                    binding->clockTick->stop();
                } else if (!binding->clockTick->isActive()) {
                    if (t.timer->Interval != 1000) {
                        binding->clockTick->startAfter(t.timer->Interval);
                    } else if (wallSecond() != m_tickSecond) {
                        // A second began while the last tick ran (a ring): tick at once.
                        binding->clockTick->startAfter(0);
                    } else {
                        binding->clockTick->startAtNextSecond();
                    }
                }
                continue;
            }
            if (!wanted) {
                binding->timer->stop();
                binding->running = false;
            } else if (!binding->running || binding->interval != t.timer->Interval) {
                binding->timer->start(t.timer->Interval);
                binding->interval = t.timer->Interval;
                binding->running = true;
            }
        }
    }
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        it = alive.count(it->first) ? std::next(it) : m_timers.erase(it);
    }
}

void Desktop::onTimer(const TimerKey& key) {
    if (m_ringing) {
        m_pending.insert(key);
        return;
    }
    Form* form = const_cast<Form*>(key.first);
    if (!m_program.isLoaded(*form)) return;
    if (key.second == "Timer1") m_tickSecond = wallSecond();
    const std::string name = key.second;
    dispatch([form, name] { form->runTimer(name); });
}

void Desktop::runDeferredEvents() {
    while (!m_deferred.empty() && !m_program.ended() && m_depth == 0) {
        const auto handler = m_deferred.front();
        m_deferred.erase(m_deferred.begin());
        dispatch(handler);
    }
}

void Desktop::runPendingTimers() {
    while (!m_pending.empty() && !m_program.ended()) {
        const TimerKey key = *m_pending.begin();
        m_pending.erase(m_pending.begin());
        const auto it = m_timers.find(key);
        if (it == m_timers.end()) continue;
        Form* form = const_cast<Form*>(key.first);
        for (const TimerRef& t : form->timers()) {
            if (t.name == key.second && t.timer->Enabled && t.timer->Interval > 0) onTimer(key);
        }
    }
}

}  // namespace tollvane
