#pragma once
// A window that is never shown: it carries the common dialog through which the help file is
// opened.

#include <cstdint>
#include <string>

#include "windows/form.h"

namespace tollvane {

class HelpViewer;

// The help side of a common dialog: which file, which keyword, which help command.
struct CommonDialog {
    explicit CommonDialog(HelpViewer& viewer) : m_viewer(viewer) {}

    std::string HelpFile;
    std::string HelpKey;
    std::int16_t HelpCommand = 0;

    void ShowHelp();

private:
    HelpViewer& m_viewer;
};

class frmhelp : public Form {
public:
    explicit frmhelp(Program& app);
    static const WindowLayout& designLayout();

    CommonDialog CommonDialog1;
};

}  // namespace tollvane
