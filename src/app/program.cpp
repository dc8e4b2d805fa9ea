#include "app/program.h"

#include <initializer_list>

#include "app/last_settings.h"
#include "windows/form1.h"
#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"
#include "windows/frmhelp.h"

namespace tollvane {

Program::Program(Ports ports) : m_ports(ports) {}

Program::~Program() = default;

template <class W>
W& Program::slot(std::unique_ptr<W>& window) {
    if (!window) {
        // The slot is filled before Form_Load runs, so a load handler that refers to its own
        // window reaches the window being loaded.
        window = std::make_unique<W>(*this);
        window->m_load = ++m_loads;
        window->Form_Load();
    }
    return *window;
}

frmAlarmClock& Program::frmAlarmClock() {
    return slot(m_frmAlarmClock);
}
frmclock& Program::frmclock() {
    return slot(m_frmclock);
}
frmAbout& Program::frmAbout() {
    return slot(m_frmAbout);
}
frmhelp& Program::frmhelp() {
    return slot(m_frmhelp);
}
Form1& Program::Form1() {
    return slot(m_Form1);
}

std::vector<Form*> Program::loadedWindows() const {
    std::vector<Form*> windows;
    for (Form* w : std::initializer_list<Form*>{m_frmAlarmClock.get(), m_frmclock.get(),
                                                m_frmAbout.get(), m_frmhelp.get(), m_Form1.get()}) {
        if (w) windows.push_back(w);
    }
    return windows;
}

Form* Program::loadedWindow(std::uint64_t load) const {
    for (Form* w : std::initializer_list<Form*>{m_frmAlarmClock.get(), m_frmclock.get(),
                                                m_frmAbout.get(), m_frmhelp.get(), m_Form1.get()}) {
        if (w && w->load() == load) return w;
    }
    return nullptr;
}

Form* Program::shownClockWindow() const {
    if (m_frmAlarmClock && m_frmAlarmClock->Visible) return m_frmAlarmClock.get();
    if (m_frmclock && m_frmclock->Visible) return m_frmclock.get();
    return nullptr;
}

void Program::Show(Form& window) {
    window.Visible = true;
    ++window.showRequests;
}

void Program::Hide(Form& window) {
    window.Visible = false;
}

void Program::Unload(Form& window) {
    auto take = [&](auto& slotPtr) {
        if (slotPtr.get() == &window) {
            slotPtr->Visible = false;
            m_unloaded.push_back(std::move(slotPtr));
        }
    };
    take(m_frmAlarmClock);
    take(m_frmclock);
    take(m_frmAbout);
    take(m_frmhelp);
    take(m_Form1);
}

void Program::releaseUnloaded() {
    m_unloaded.clear();
}

void Program::Start() {
    tollvane::frmAlarmClock& main = frmAlarmClock();
    Show(main);
}

void Program::EndRequested() {
    frmAlarmClock().SaveAndQuit();
}

void Program::EndDuringRing() {
    frmAlarmClock().markRung();
    EndRequested();
}

Status Program::SessionCheckpoint() {
    if (m_ended || !m_frmAlarmClock) return Status::success();
    return saveLastSettings(*m_frmAlarmClock, m_ports.settings);
}

void Program::ShopWindowClosed() {
    if (m_Form1) m_Form1->Form_Unload();
}

void Program::End() {
    m_ended = true;
    for (Form* w : loadedWindows()) w->Visible = false;
}

}  // namespace tollvane
