#include "windows/form1.h"

#include "app/program.h"

namespace tollvane {

namespace {

WindowLayout makeLayout() {
    WindowLayout w;
    w.name = "Form1";
    w.hasView = false;
    w.caption = shopName();
    w.border = Border::Sizable;
    w.minimizeButton = true;
    w.maximizeButton = true;
    w.clientWidth = 9585;
    w.clientHeight = 8400;
    // Larger than the client area and not resized with the window: the window shows its top-left.
    w.controls.push_back(control("WebBrowser1", ControlKind::Browser, "", 0, 0, 15135, 11055, 0));
    return w;
}

}  // namespace

Status WebBrowser::Navigate(const std::string& url) {
    LocationURL = url;
    return m_browser.navigate(url);
}

const WindowLayout& Form1::designLayout() {
    static const WindowLayout layout = makeLayout();
    return layout;
}

Form1::Form1(Program& program)
    : Form(program, designLayout()), WebBrowser1(program.ports().browser) {}

Status Form1::showWindow() {
    Status shown = app.ports().browser.show();
    if (shown) {
        app.Show(*this);
    } else {
        app.ports().messages.show("The shop window could not be opened.\n" + shown.error, "Error");
        app.Unload(*this);
    }
    return shown;
}

}  // namespace tollvane
