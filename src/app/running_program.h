#pragma once
// The program as a desktop runs it, alike on every platform: the window slots on the desktop's
// services, the scheduler that decides which handler runs next, the computer's wake kept in line
// with the alarm, and one view for each window shown, brought in line with its model after every
// handler (what a view must change to match its model is worked out here, as ViewChanges). A
// desktop supplies only what its platform must (the time, a wake-up, the views) and passes on what
// happens to the program: the user's events, its wake-up coming, a resume or a clock set, a second
// start, a request to end.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/alarm_keeping.h"
#include "app/program.h"
#include "app/scheduler.h"
#include "app/wake_aim.h"

namespace tollvane {

// What a window's view must change to match its model, since the view was made or last changed.
// Both renderers apply it as it is; neither decides any of it.
struct ViewChanges {
    std::optional<std::string> caption;  // the title bar's new text
    // The model's outer width changed. A sizable window's size is the user's: it never changes.
    bool width = false;
    // Copy each control's value onto the view. Not while the window is hidden (the clock writes the
    // hidden clock-only window every second): it is brought in line as it is shown again.
    bool controls = false;
    std::optional<bool> visible;  // shown, and in front as a window newly shown is, or hidden
    bool raise = false;           // shown again while shown: brought up, even from the taskbar
};

// A window of the program on the desktop, drawn from its model.
class WindowView {
public:
    virtual ~WindowView() = default;
    virtual void mirror(const ViewChanges& changes) = 0;
    // The window's taskbar entry asks for the user's attention until the user comes back to it; no
    // window is raised and the keyboard stays where it is.
    virtual void askForAttention() = 0;
    // A second start of the program brings the window to the front, on Wayland with the
    // activation token the second start passed.
    virtual void bringToFront(const std::string& activationToken) = 0;
};

// What a window's view hands to the program: the user's events (a click, a menu choice, the close
// box, activation) and edits (typing, an option or a date picked). Each reaches the window only
// while it is still the load of it that the view was made for: an event held back by a ring, or
// waiting in the desktop's queue, for a window unloaded meanwhile runs nothing, and a window made
// anew has a load number of its own, wherever it lies in memory.
class WindowEvents {
public:
    // How the desktop runs a handler as one event of the program: RunningProgram::dispatch, or a
    // queue of the desktop's in front of it.
    using Post = std::function<void(std::function<void()>)>;
    WindowEvents(const Program& program, const Form& window, Post post);

    // A handler of the window, as one event of the program: it runs in its turn (after the ring,
    // if one sounds) if the window is still that load then.
    void operator()(std::function<void()> handler) const;
    // An edit of the window's model, made at once (no handler runs) if the window is still that
    // load.
    void edit(const std::function<void()>& change) const;

private:
    const Program* m_program;
    std::uint64_t m_load;
    Post m_post;
};

class RunningProgram : private Scheduler::Time {
public:
    // What the desktop does for the program.
    class Host {
    public:
        virtual ~Host() = default;
        // Milliseconds on the wall clock and on a steady clock that setting the time does not move.
        virtual Scheduler::Instant now() const = 0;
        // Aims the desktop's wake-up at the next due time, in place of the last one; neither time:
        // no wake-up. When it comes, the desktop calls wake().
        virtual void aimWakeUp(const Scheduler::Wake& next) = 0;
        // The view of a window that is being shown. What it hands to the program goes through
        // eventsOf(window, ...).
        virtual std::unique_ptr<WindowView> makeView(Form& window) = 0;
        // The window's model is gone: the view forwards nothing more, leaves the screen and is
        // freed, once the desktop safely can (it may be inside one of its own events).
        virtual void dropView(std::unique_ptr<WindowView> view) = 0;
        // A ring is over: the handler that rang has ended.
        virtual void ringEnded() {}
        // The program has ended; nothing more of it runs.
        virtual void programEnded() = 0;
    };

    // `ports.tone` plays one tone of a ring on the desktop, its windows painted meanwhile;
    // `sessionStart` starts the program with the user's session while an alarm can ring; `log`
    // says, on the program's log, why the alarm may go unheard (the computer not awake for it, a
    // store that cannot be written, no start with the session).
    RunningProgram(Host& host, const Ports& ports, ComputerWake& wake, SessionStart& sessionStart,
                   LogLine log);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Loads the main window (its load sequence runs) and shows it.
    void start();
    // A user event as one event of the program: handled now, or after the ring if one sounds.
    void dispatch(std::function<void()> handler);
    // The events of `window` as it is loaded now (see WindowEvents), handed on through `post`, or
    // through dispatch() where it is empty.
    WindowEvents eventsOf(const Form& window, WindowEvents::Post post = {});
    // The program was started again: the running one brings its full view to the front.
    void secondStart(const std::string& activationToken = {});
    // Ends the program through the main window's exit sequence, as File > Exit does. During a ring
    // the ring ends after the tone sounding now, and the exit sequence runs first thereafter.
    void endFromOutside();
    // The session ends, and the process may be ended as soon as the desktop returns: the program
    // ends now, through the main window's exit sequence, also inside a handler (a ring that cannot
    // finish saves the alarm as rung, as the ring would have left it). Afterwards program().ended()
    // holds, and the desktop may end the process.
    void endWithTheSession();
    // The desktop's wake-up came: what has come due runs, and the wake-up is aimed again.
    void wake();
    // The computer resumed from sleep or the clock was set: as wake(), from the clock as it is
    // now, and the computer's wake is armed afresh.
    void timeMoved();

    Program& program() { return m_program; }
    const Program& program() const { return m_program; }
    Scheduler& scheduler() { return m_scheduler; }
    // The view of the window, while it is loaded.
    WindowView* view(const Form& window) const;
    bool ringing() const { return m_scheduler.ringing(); }

private:
    Scheduler::Instant now() const override { return m_host.now(); }
    void afterEvent();
    void reconcileViews();
    void aimWakeUp();
    void askForAttention();

    Host& m_host;
    RingTone m_ringTone;
    Program m_program;
    Scheduler m_scheduler;
    WakeAim m_wakeAim;
    AlarmKeeping m_alarmKeeping;
    std::optional<Scheduler::Wake> m_aimed;  // what the desktop's wake-up is aimed at
    bool m_endTold = false;
    // A window's view, the load of the window it was made for, and what the view was last told of
    // the window: made from it, with its caption and width, and not yet shown.
    struct Shown {
        std::uint64_t load;
        std::unique_ptr<WindowView> view;
        std::string caption;
        int width = 0;
        bool visible = false;
        int showRequests = 0;
        // What the view must change to match `window` now; from then on it is taken as told.
        ViewChanges changesTo(const Form& window);
    };
    // Declared last: the views go first, while the models they show are still there.
    std::map<const Form*, Shown> m_views;
};

}  // namespace tollvane
