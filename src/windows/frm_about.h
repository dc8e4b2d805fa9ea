#pragma once
// The About window: the program's title and version, a description, the maker's notice.

#include "windows/form.h"

namespace tollvane {

class frmAbout : public Form {
public:
    explicit frmAbout(Program& app);
    static const WindowLayout& designLayout();

    Label lblTitle;
    Label lblVersion;
    CommandButton cmdOK;
    CommandButton Command1;

    void Form_Load() override;
    void cmdOK_Click();
    void Command1_Click();
};

}  // namespace tollvane
