#pragma once
// The shop window: one browser control showing the shop's page. Its window is drawn by the
// browser program; this model shows it and tells it where to go.

#include <string>

#include "platform/ports.h"
#include "windows/form.h"

namespace tollvane {

struct WebBrowser {
    explicit WebBrowser(Browser& browser) : m_browser(browser) {}

    std::string LocationURL;  // the address last navigated to
    Status Navigate(const std::string& url);

private:
    Browser& m_browser;
};

class Form1 : public Form {
public:
    explicit Form1(Program& app);
    static const WindowLayout& designLayout();

    WebBrowser WebBrowser1;

    // Shows the browser's window; a browser that cannot be started is reported in a message box.
    Status showWindow();
};

}  // namespace tollvane
