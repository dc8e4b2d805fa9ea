#include "windows/frmhelp.h"

#include "app/program.h"

namespace tollvane {

namespace {

WindowLayout makeLayout() {
    WindowLayout w;
    w.name = "frmhelp";
    w.hasView = false;
    w.caption = "Help";
    w.border = Border::Sizable;
    w.taskbarButton = false;
    w.clientWidth = 2640;
    w.clientHeight = 1410;
    return w;
}

}  // namespace

void CommonDialog::ShowHelp() {
    m_viewer.showHelp(HelpFile, HelpCommand, HelpKey);
}

const WindowLayout& frmhelp::designLayout() {
    static const WindowLayout layout = makeLayout();
    return layout;
}

frmhelp::frmhelp(Program& program)
    : Form(program, designLayout()), CommonDialog1(program.ports().help) {}

}  // namespace tollvane
