#include "app/running_program.h"

#include <utility>

#include "app/second_start.h"
#include "windows/form.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {

namespace {

Ports withTone(Ports ports, Tone& tone) {
    return {ports.clock, tone,       ports.settings, ports.messages,
            ports.files, ports.help, ports.browser};
}

}  // namespace

WindowEvents::WindowEvents(const Program& program, const Form& window, Post post)
    : m_program(&program), m_load(window.load()), m_post(std::move(post)) {}

// The check is made when the event runs, not when it is posted: a ring may hold it back for as
// long as the ring lasts. It captures no view, which may be gone by then.
void WindowEvents::operator()(std::function<void()> handler) const {
    m_post([program = m_program, load = m_load, handler = std::move(handler)] {
        if (program->loadedWindow(load)) handler();
    });
}

void WindowEvents::edit(const std::function<void()>& change) const {
    if (m_program->loadedWindow(m_load)) change();
}

RunningProgram::RunningProgram(Host& host, const Ports& ports, ComputerWake& wake,
                               SessionStart& sessionStart, LogLine log)
    : m_host(host),
      m_ringTone(ports.tone),
      m_program(withTone(ports, m_ringTone)),
      m_scheduler(m_program, *this, m_ringTone),
      m_wakeAim(m_program, wake, log),
      m_alarmKeeping(m_program, sessionStart, std::move(log)) {
    m_scheduler.afterEvent = [this] { afterEvent(); };
    m_ringTone.ringStarted = [this] { askForAttention(); };
    m_ringTone.ringEnded = [this] { m_host.ringEnded(); };
}

void RunningProgram::start() {
    dispatch([this] { m_program.Start(); });
}

void RunningProgram::dispatch(std::function<void()> handler) {
    m_scheduler.post(std::move(handler));
}

WindowEvents RunningProgram::eventsOf(const Form& window, WindowEvents::Post post) {
    if (!post) post = [this](std::function<void()> handler) { dispatch(std::move(handler)); };
    return {m_program, window, std::move(post)};
}

void RunningProgram::secondStart(const std::string& activationToken) {
    dispatch([this] { showFullViewForSecondStart(m_program); });
    // As an event of its own, so that it follows the full view even when a ring holds both.
    dispatch([this, activationToken] {
        if (WindowView* full = view(m_program.frmAlarmClock())) full->bringToFront(activationToken);
    });
}

void RunningProgram::endFromOutside() {
    m_scheduler.postEndRequest([this] { m_program.EndRequested(); });
}

void RunningProgram::endWithTheSession() {
    if (m_program.ended()) return;
    if (m_scheduler.ringing()) {
        m_ringTone.silence();
        m_program.EndDuringRing();
    } else if (m_scheduler.busy()) {
        m_program.EndRequested();
    } else {
        endFromOutside();
        return;
    }
    // No handler's end follows before the process ends: the start with the session is brought in
    // line with the alarm as the exit left it here.
    m_alarmKeeping.keep();
}

// The wake-up is spent once it has come, whatever it was aimed at.
void RunningProgram::wake() {
    m_aimed.reset();
    m_scheduler.runDue();
    aimWakeUp();
}

// A wake-up aimed before counted on a clock that has since jumped: the tick is aimed afresh from
// the clock now, and the wake timer that woke the computer is spent.
void RunningProgram::timeMoved() {
    wake();
    m_wakeAim.aimAfterTimeMoved(m_host.now().wallMs);
}

// Asked by address, of a window that may have gone: a view goes with its window's load right
// after the event that unloaded it, before the window is freed, so no other window can lie at that
// address meanwhile.
WindowView* RunningProgram::view(const Form& window) const {
    const auto it = m_views.find(&window);
    return it == m_views.end() ? nullptr : it->second.view.get();
}

void RunningProgram::afterEvent() {
    reconcileViews();
    m_alarmKeeping.keep();
    m_wakeAim.aim(m_host.now().wallMs);
    if (!m_program.ended()) {
        aimWakeUp();
    } else if (!m_endTold) {
        m_endTold = true;
        m_host.programEnded();
    }
}

// A window gets its view when it is first shown and keeps it, hidden or not, while it is loaded.
void RunningProgram::reconcileViews() {
    for (auto it = m_views.begin(); it != m_views.end();) {
        if (m_program.ended() || !m_program.loadedWindow(it->second.load)) {
            m_host.dropView(std::move(it->second.view));
            it = m_views.erase(it);
        } else {
            ++it;
        }
    }
    if (m_program.ended()) return;
    for (Form* window : m_program.loadedWindows()) {
        if (!window->layout().hasView) continue;
        auto it = m_views.find(window);
        if (it == m_views.end()) {
            if (!window->Visible) continue;
            Shown made{window->load(), m_host.makeView(*window), window->Caption, window->Width};
            it = m_views.emplace(window, std::move(made)).first;
        }
        it->second.view->mirror(it->second.changesTo(*window));
    }
}

ViewChanges RunningProgram::Shown::changesTo(const Form& w) {
    ViewChanges c;
    if (w.Caption != caption) c.caption = caption = w.Caption;
    c.width = w.layout().border != Border::Sizable && w.Width != width;
    width = w.Width;
    c.controls = w.Visible;
    if (w.Visible != visible) c.visible = w.Visible;
    // Every Show counts: showing a shown window brings it up again.
    c.raise = w.Visible && visible && w.showRequests != showRequests;
    visible = w.Visible;
    showRequests = w.showRequests;
    return c;
}

// A wake-up already aimed at the next due time is left alone, so an idle second costs one.
void RunningProgram::aimWakeUp() {
    const Scheduler::Wake next = m_scheduler.nextWake();
    if (m_aimed && *m_aimed == next) return;
    m_aimed = next;
    m_host.aimWakeUp(next);
}

// The window that shows the user the clock asks for attention as the alarm rings.
void RunningProgram::askForAttention() {
    if (const Form* shown = m_program.shownClockWindow()) {
        if (WindowView* v = view(*shown)) v->askForAttention();
    }
}

}  // namespace tollvane
