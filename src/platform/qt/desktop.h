#pragma once
// The program on the Qt desktop: the platform's services, the running program over them
// (app/running_program.h), its views as FormViews, and its wake-up as two Qt timers (one on the
// wall clock's seconds, a steady one for the rest). The desktop passes on what the platform
// tells: the user's events, the timers, a resume or a clock set, a second start, a request to end.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "app/running_program.h"
#include "platform/qt/browser_client.h"
#include "platform/qt/clock.h"
#include "platform/qt/file_system.h"
#include "platform/qt/help_window.h"
#include "platform/qt/message_box.h"
#include "platform/qt/settings_store.h"
#include "platform/qt/tone_wait.h"
#include "platform/qt/xdg_autostart.h"

class QTimer;

namespace tollvane {

class FormView;
class SecondTimer;

class Desktop : public QObject, private RunningProgram::Host {
    Q_OBJECT
public:
    struct Options {
        QString settingsPath;            // empty: ~/.config/Tollvane/settings.ini
        QString programDir;              // empty: the executable's folder
        QString userDataDir;             // empty: ~/.local/share/Tollvane
        QString browserProgram;          // empty: tollvane-browser beside the executable
        QString autostartDir;            // empty: ~/.config/autostart (xdg_autostart.h)
        Tone* tone = nullptr;            // empty: the sound server, or the desktop's bell
        Clock* clock = nullptr;          // empty: the system clock
        MessageBox* messages = nullptr;  // empty: Qt message boxes
        ComputerWake* wake = nullptr;    // empty: the system's (linux_wake.h)
    };

    Desktop();
    explicit Desktop(Options options);
    ~Desktop() override;

    // Loads the main window (its load sequence runs) and shows it.
    void start() { m_program.start(); }
    void dispatch(const std::function<void()>& handler) { m_program.dispatch(handler); }
    // The program was started again: the running one brings its full view to the front, on Wayland
    // with the activation token that the second start passed (see wayland_session.h).
    void secondStart(const QString& activationToken = {});
    // Ends the program through the main window's exit sequence, as File > Exit does. During a ring
    // the ring ends after the tone sounding now, and the exit sequence runs first thereafter.
    void endFromOutside() { m_program.endFromOutside(); }
    // The session saves itself: the values the exit sequence saves are saved now, at once, even
    // during a ring, and the program goes on.
    Status sessionCheckpoint() { return program().SessionCheckpoint(); }

    Program& program() { return m_program.program(); }
    FormView* view(const Form& window) const;
    HelpWindow& helpWindow() { return m_help; }
    BrowserClient& browser() { return m_browser; }
    bool ringing() const { return m_program.ringing(); }

signals:
    // The exit sequence has run: the event loop should end.
    void ended();

private:
    Scheduler::Instant now() const override;
    void aimWakeUp(const Scheduler::Wake& next) override;
    std::unique_ptr<WindowView> makeView(Form& window) override;
    void dropView(std::unique_ptr<WindowView> view) override;
    void programEnded() override;

    Options m_options;
    // What the ring's worker reaches of the application: closed as the desktop goes.
    std::shared_ptr<ApplicationReach> m_reach = std::make_shared<ApplicationReach>();
    QtClock m_clock;
    RingingTone m_tone;
    QtSettingsStore m_settings;
    QtMessageBox m_qtMessages;
    QtFileSystem m_files;
    HelpWindow m_help;
    BrowserClient m_browser;
    std::unique_ptr<ComputerWake> m_systemWake;  // unless a test gave one
    XdgAutostart m_autostart;
    std::unique_ptr<SecondTimer> m_wallWake;  // the clock tick's whole seconds
    std::unique_ptr<QTimer> m_steadyWake;     // every other timer
    // Declared last: it goes first, with the windows' views.
    RunningProgram m_program;
};

}  // namespace tollvane
