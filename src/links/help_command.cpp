#include "links/help_command.h"

#include "app/program.h"
#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmhelp.h"

namespace tollvane {

std::string helpFilePath(const FileSystem& files) {
    return files.programDirectory() + files.separator() + kHelpFileName;
}

void frmAlarmClock::MnuHow_Click() {
    CommonDialog& dialog = app.frmhelp().CommonDialog1;
    dialog.HelpFile = helpFilePath(app.ports().files);
    dialog.HelpKey.clear();
    dialog.HelpCommand = kHelpKeyCommand;
    dialog.ShowHelp();  // the viewer runs on its own; frmhelp stays loaded and hidden
}

void frmAlarmClock::MnuAbout_Click() {
    app.Show(app.frmAbout());
}

}  // namespace tollvane
