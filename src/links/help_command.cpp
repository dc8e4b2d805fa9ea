#include "links/help_command.h"

#include "app/program.h"
#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmhelp.h"

namespace tollvane {

// Beside the executable first (a build folder, a Windows install), then in the installed data
// folder (/usr/share/tollvane for /usr/bin). Where neither holds it, the name beside the executable
// is the one the viewer reports as missing.
std::string helpFilePath(const FileSystem& files) {
    std::string beside = files.programDirectory() + files.separator() + kHelpFileName;
    const std::string data = files.installedDataDirectory();
    if (data.empty() || files.exists(beside)) return beside;
    std::string installed = data + files.separator() + kHelpFileName;
    return files.exists(installed) ? installed : beside;
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
