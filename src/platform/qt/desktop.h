#pragma once
// The program on a real desktop: the platform adapters, the window slots, one FormView per shown
// window, and the program's scheduler driven by two Qt-side wake-ups (a timer on the wall clock's
// seconds, a steady one for the rest). Every click, menu choice, activation and close reaches the
// models through dispatch(); the scheduler decides when each handler and timer runs, and after
// each the views are brought in line with the models.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/program.h"
#include "app/scheduler.h"
#include "app/wake_aim.h"
#include "platform/qt/browser_client.h"
#include "platform/qt/help_window.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_file_system.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_settings_store.h"
#include "platform/qt/ringing_tone.h"

class QTimer;

namespace tollvane {

class FallbackTone;
class FormView;
class SecondTimer;

class Desktop : public QObject, private Scheduler::Time {
    Q_OBJECT
public:
    struct Options {
        QString settingsPath;            // empty: ~/.config/Tollvane/settings.ini
        QString programDir;              // empty: the executable's folder
        QString userDataDir;             // empty: ~/.local/share/Tollvane
        QString browserProgram;          // empty: tollvane-browser beside the executable
        Tone* tone = nullptr;            // empty: the sound server, or the desktop's bell
        Clock* clock = nullptr;          // empty: the system clock
        MessageBox* messages = nullptr;  // empty: Qt message boxes
        ComputerWake* wake = nullptr;    // empty: the system's (linux_wake.h)
    };

    Desktop();
    explicit Desktop(Options options);
    ~Desktop() override;

    // Loads the main window (its load sequence runs) and shows it.
    void start();
    void dispatch(const std::function<void()>& handler);
    // The program was started again: the running one brings its full view to the front, on Wayland
    // with the activation token that the second start passed (see wayland_session.h).
    void secondStart(const QString& activationToken = {});
    // Ends the program through the main window's exit sequence, as File > Exit does. During a ring
    // the ring ends after the tone sounding now, and the exit sequence runs first thereafter.
    void endFromOutside();
    // The session saves itself: the values the exit sequence saves are saved now, at once, even
    // during a ring, and the program goes on.
    Status sessionCheckpoint() { return m_program.SessionCheckpoint(); }

    Program& program() { return m_program; }
    FormView* view(const Form& window) const;
    HelpWindow& helpWindow() { return m_help; }
    BrowserClient& browser() { return m_browser; }
    bool ringing() const { return m_scheduler.ringing(); }

signals:
    // The exit sequence has run: the event loop should end.
    void ended();

private:
    Scheduler::Instant now() const override;
    void afterEvent();
    void reconcileViews();
    void armWake();
    void askForAttention();

    Options m_options;
    QtClock m_clock;
    FallbackTone* m_fallbackTone = nullptr;  // the sound server's tone, unless a test gave one
    RingingTone m_tone;
    RingTone m_ringTone;
    std::unique_ptr<SettingsStore> m_settings;
    QtMessageBox m_qtMessages;
    std::unique_ptr<FileSystem> m_files;
    HelpWindow m_help;
    BrowserClient m_browser;
    Program m_program;
    Scheduler m_scheduler;
    std::unique_ptr<ComputerWake> m_systemWake;  // unless a test gave one
    WakeAim m_wakeAim;

    std::map<const Form*, FormView*> m_views;
    std::unique_ptr<SecondTimer> m_wallWake;   // the clock tick's whole seconds
    std::unique_ptr<QTimer> m_steadyWake;      // every other timer
    long long m_wallDue = 0, m_steadyDue = 0;  // what each is aimed at
    bool m_endedTold = false;
};

}  // namespace tollvane
