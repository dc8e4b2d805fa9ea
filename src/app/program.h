#pragma once
// app/: the windows' registry and handlers, not the runtime.
// The program's windows: its platform services and the five window slots. A window exists at most
// once; referring to one that does not exist creates it, loaded (its Form_Load has run) but not
// shown. A window the user closed is unloaded and made anew on its next reference.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ports.h"

namespace tollvane {

class Form;
class frmAlarmClock;
class frmclock;
class frmAbout;
class frmhelp;
class Form1;

struct Ports {
    Clock& clock;
    Tone& tone;
    SettingsStore& settings;
    MessageBox& messages;
    FileSystem& files;
    HelpViewer& help;
    Browser& browser;
};

class Program {
public:
    explicit Program(Ports ports);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The window slots, named after the windows.
    tollvane::frmAlarmClock& frmAlarmClock();
    tollvane::frmclock& frmclock();
    tollvane::frmAbout& frmAbout();
    tollvane::frmhelp& frmhelp();
    tollvane::Form1& Form1();

    // The windows that exist now, main window first.
    std::vector<Form*> loadedWindows() const;
    // The window of the given load (Form::load()) while that load lasts; null once it is unloaded.
    Form* loadedWindow(std::uint64_t load) const;
    // The main window if it exists (asking does not create it).
    const tollvane::frmAlarmClock* loadedMain() const { return m_frmAlarmClock.get(); }
    // The window that shows the user the clock: the main window when shown, else the clock-only
    // window when shown; null when neither is.
    Form* shownClockWindow() const;

    void Show(Form& window);
    void Hide(Form& window);
    // Discards the window. Its object stays valid until releaseUnloaded(), so a handler may unload
    // its own window.
    void Unload(Form& window);
    void releaseUnloaded();

    // The process starts: the main window is loaded (its load sequence runs) and shown.
    void Start();
    // The process is asked to end from outside (a signal, the session's logout): the main window's
    // exit sequence runs, as File > Exit runs it.
    void EndRequested();
    // The same, while the alarm rings and the process must end before the ring can finish (the
    // session ends on Windows): the alarm is saved as rung, as the ring would have left it.
    void EndDuringRing();
    // The desktop session saves itself (a checkpoint, or a logout that may yet be cancelled): what
    // the exit sequence would save is saved now, and the program goes on. No handler runs and no
    // window changes, so it may come at any moment, during a ring or with a message box open.
    Status SessionCheckpoint();
    // The user closed the shop window, which the browser program draws: it is unloaded.
    void ShopWindowClosed();

    // Ends the program at once: no further handler runs.
    void End();
    bool ended() const { return m_ended; }

    const Ports& ports() const { return m_ports; }

private:
    template <class W>
    W& slot(std::unique_ptr<W>& window);

    Ports m_ports;
    std::unique_ptr<tollvane::frmAlarmClock> m_frmAlarmClock;
    std::unique_ptr<tollvane::frmclock> m_frmclock;
    std::unique_ptr<tollvane::frmAbout> m_frmAbout;
    std::unique_ptr<tollvane::frmhelp> m_frmhelp;
    std::unique_ptr<tollvane::Form1> m_Form1;
    std::vector<std::unique_ptr<Form>> m_unloaded;
    std::uint64_t m_loads = 0;  // the number of the last load
    bool m_ended = false;
};

}  // namespace tollvane
