#pragma once
// The program on a real desktop: the platform adapters, the window slots, one FormView per shown
// window, and the windows' timers bound to Qt timers. Every click, menu choice, activation, close
// and timer tick reaches the models through dispatch(), one at a time; after each, the views and
// timers are brought in line with the models.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/qt/browser_client.h"
#include "platform/qt/help_window.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_file_system.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/ringing_tone.h"

class QTimer;

namespace tollvane {

class FormView;
class SecondTimer;

class Desktop : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString settingsPath;            // empty: ~/.config/Tollvane/settings.ini
        QString programDir;              // empty: the executable's folder
        QString userDataDir;             // empty: ~/.local/share/Tollvane
        QString browserProgram;          // empty: tollvane-browser beside the executable
        Tone* tone = nullptr;            // empty: the sound server (PulseAudio)
        Clock* clock = nullptr;          // empty: the system clock
        MessageBox* messages = nullptr;  // empty: Qt message boxes
    };

    Desktop();
    explicit Desktop(Options options);
    ~Desktop() override;

    // Loads the main window (its load sequence runs) and shows it.
    void start();
    void dispatch(const std::function<void()>& handler);
    // Ends the program through the main window's exit sequence, as File > Exit does. During a ring
    // the ring ends after the tone sounding now, and the exit sequence runs first thereafter.
    void endFromOutside();

    Program& program() { return m_program; }
    FormView* view(const Form& window) const;
    HelpWindow& helpWindow() { return m_help; }
    BrowserClient& browser() { return m_browser; }
    bool ringing() const { return m_ringing; }

signals:
    // The exit sequence has run: the event loop should end.
    void ended();

private:
    struct TimerBinding;
    using TimerKey = std::pair<const Form*, std::string>;

    void reconcile();
    void reconcileTimers();
    void onTimer(const TimerKey& key);
    void runDeferredEvents();
    void runPendingTimers();

    Options m_options;
    QtClock m_clock;
    std::unique_ptr<Tone> m_soundServer;
    RingingTone m_tone;
    std::unique_ptr<SettingsStore> m_settings;
    QtMessageBox m_qtMessages;
    std::unique_ptr<FileSystem> m_files;
    HelpWindow m_help;
    BrowserClient m_browser;
    Program m_program;

    std::map<const Form*, FormView*> m_views;
    std::map<TimerKey, std::unique_ptr<TimerBinding>> m_timers;
    std::set<TimerKey> m_pending;  // ticks that fell due during a ring, run once afterwards
    std::vector<std::function<void()>> m_deferred;  // user events that came during a ring
    int m_depth = 0;
    bool m_ringing = false;
    long long m_tickSecond = 0;  // the wall-clock second in which the last clock tick began
};

}  // namespace tollvane
