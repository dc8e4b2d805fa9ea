#include "windows/form.h"

#include "app/program.h"

namespace tollvane {

Form::Form(Program& program, const WindowLayout& layout)
    : Caption(layout.caption),
      Width(layout.clientWidth + 2 * layout.borderWidth),
      app(program),
      m_layout(layout) {}

ControlRef Form::control(std::string_view) {
    return {};
}

bool Form::Click(std::string_view) {
    return false;
}

void Form::runTimer(std::string_view) {}

void Form::Form_Unload() {
    app.Unload(*this);
}

}  // namespace tollvane
