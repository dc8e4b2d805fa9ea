#pragma once
// The common part of the program's five windows: each is a model object whose controls are plain
// values and whose event handlers are member functions named after their control and event.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "windows/controls.h"
#include "windows/layout.h"

namespace tollvane {

class Program;

// The model value behind a control, as a renderer mirrors it.
using ControlRef =
    std::variant<std::monostate, TextBox*, CommandButton*, OptionButton*, Label*, MonthCalendar*>;

// One row of a window's binding table: a control or menu item of the window's layout, the model
// value a renderer mirrors onto it, and the handler its Click runs. Both renderers draw from the
// layout and bind through this table, so neither names a control of the program.
struct Binding {
    std::string name;
    ControlRef value;             // monostate: nothing to mirror
    std::function<void()> click;  // empty: clicking it runs nothing
};

struct TimerBinding {
    std::string name;
    Timer* timer = nullptr;
    std::function<void()> onTimer;
    // The clock tick: at an interval of 1000 ms it fires at each whole second of the wall clock.
    bool wallClockSecond = false;
};

// The names of a binding table that are neither a control nor a menu item of the layout.
std::vector<std::string> unboundNames(const WindowLayout& layout,
                                      const std::vector<Binding>& bindings);

class Form {
public:
    explicit Form(Program& app, const WindowLayout& layout);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const WindowLayout& layout() const { return m_layout; }

    const std::vector<Binding>& bindings() const { return m_bindings; }
    const std::vector<TimerBinding>& timers() const { return m_timers; }
    // The model value behind the named control; monostate for controls that only draw.
    ControlRef control(std::string_view name) const;
    // Runs the Click handler of the named control or menu item; false when it has none.
    bool Click(std::string_view name);
    // Runs the named timer's Timer event.
    void runTimer(std::string_view timerName);

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // The user closed the window with its close box. By default the window is unloaded.
    virtual void Form_Unload();

    std::string Caption;
    bool Visible = false;
    int showRequests = 0;  // every Show counts, so that showing a shown window brings it up again
    int Width = 0;         // outer width in twips, both borders included

    // The number the program gave this load of the window, which no other load in its run has:
    // what was meant for a window unloaded since never reaches one made anew, even where the new
    // one lies in the old one's memory.
    std::uint64_t load() const { return m_load; }

protected:
    // Each window's constructor gives its table once. A name that is not in the layout is a fault
    // of the program: it stops at once rather than leave a control silently unbound.
    void bind(std::vector<Binding> bindings, std::vector<TimerBinding> timers = {});

    Program& app;

private:
    const Binding* find(std::string_view name) const;

    friend class Program;  // numbers each load

    const WindowLayout& m_layout;
    std::uint64_t m_load = 0;
    std::vector<Binding> m_bindings;
    std::vector<TimerBinding> m_timers;
};

}  // namespace tollvane
