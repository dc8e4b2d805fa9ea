#pragma once
// The clock-only window: the running time in large figures and a shop button. It computes
// nothing; the main window's tick writes the time into its two boxes every second.

#include "windows/form.h"

namespace tollvane {

class frmclock : public Form {
public:
    explicit frmclock(Program& app);
    static const WindowLayout& designLayout();

    CommandButton Command1;
    TextBox txttimetot{"", false};
    TextBox txttimetot2{"", false};

    void MnuFull_Click();
    void Command1_Click();
    // Closing this window brings the main window back, so that the program never runs on with no
    // window on the screen. The window itself is discarded; the next tick makes it again, hidden.
    void Form_Unload() override;
};

}  // namespace tollvane
