#pragma once
// The common part of the program's five windows: each is a model object whose controls are plain
// values and whose event handlers are member functions named after their control and event.

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "windows/controls.h"
#include "windows/layout.h"

namespace tollvane {

class Program;

// A control of a window as the Qt layer binds it: the model value it mirrors.
using ControlRef =
    std::variant<std::monostate, TextBox*, CommandButton*, OptionButton*, Label*, MonthCalendar*>;

struct TimerRef {
    std::string name;
    Timer* timer = nullptr;
    // The clock tick: at an interval of 1000 ms it fires at each whole second of the wall clock.
    bool wallClockSecond = false;
};

class Form {
public:
    explicit Form(Program& app, const WindowLayout& layout);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const WindowLayout& layout() const { return m_layout; }

    // The model value behind the named control; monostate for controls that only draw.
    virtual ControlRef control(std::string_view name);
    // Runs the Click handler of the named control or menu item; false when it has none.
    virtual bool Click(std::string_view name);
    // The window's timers and their Timer events.
    virtual std::vector<TimerRef> timers() { return {}; }
    virtual void runTimer(std::string_view timerName);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // The user closed the window with its close box. By default the window is unloaded.
    virtual void Form_Unload();

    std::string Caption;
    bool Visible = false;
    int showRequests = 0;  // every Show counts, so that showing a shown window brings it up again
    int Width = 0;         // outer width in twips, both borders included

protected:
    Program& app;

private:
    const WindowLayout& m_layout;
};

}  // namespace tollvane
