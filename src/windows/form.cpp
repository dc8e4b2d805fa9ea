#include "windows/form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/program.h"

namespace tollvane {

namespace {

bool hasMenuItem(const std::vector<MenuLayout>& menus, const std::string& name) {
    return std::any_of(menus.begin(), menus.end(), [&](const MenuLayout& m) {
        return m.name == name || hasMenuItem(m.items, name);
    });
}

}  // namespace

std::vector<std::string> unboundNames(const WindowLayout& layout,
                                      const std::vector<Binding>& bindings) {
    std::vector<std::string> unknown;
    for (const Binding& b : bindings) {
        if (!layout.find(b.name) && !hasMenuItem(layout.menus, b.name)) unknown.push_back(b.name);
    }
    return unknown;
}

Form::Form(Program& program, const WindowLayout& layout)
    : Caption(layout.caption),
      Width(layout.clientWidth + 2 * layout.borderWidth),
      app(program),
      m_layout(layout) {}

void Form::bind(std::vector<Binding> bindings, std::vector<TimerBinding> timers) {
    const std::vector<std::string> unknown = unboundNames(m_layout, bindings);
    for (const std::string& name : unknown) {
        std::fprintf(stderr, "tollvane: %s binds \"%s\", which its layout does not have\n",
                     m_layout.name.c_str(), name.c_str());
    }
    if (!unknown.empty()) std::abort();
    m_bindings = std::move(bindings);
    m_timers = std::move(timers);
}

const Binding* Form::find(std::string_view name) const {
    for (const Binding& b : m_bindings) {
        if (b.name == name) return &b;
    }
    return nullptr;
}

ControlRef Form::control(std::string_view name) const {
    const Binding* b = find(name);
    return b ? b->value : ControlRef{};
}

bool Form::Click(std::string_view name) {
    const Binding* b = find(name);
    if (!b || !b->click) return false;
    b->click();
    return true;
}

void Form::runTimer(std::string_view timerName) {
    for (const TimerBinding& t : m_timers) {
        if (t.name == timerName) {
            t.onTimer();
            return;
        }
    }
}

void Form::Form_Unload() {
    app.Unload(*this);
}

}  // namespace tollvane
