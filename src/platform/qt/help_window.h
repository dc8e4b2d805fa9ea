#pragma once
// The help viewer: a window of its own that shows the help file, next to the program and not
// modal. Looking up the empty keyword shows the file from its start, its contents.

#include <QPointer>
#include <QString>

#include "platform/ports.h"

#include <QTextBrowser>

namespace tollvane {

class HelpWindow : public HelpViewer {
public:
    HelpWindow() = default;
    ~HelpWindow() override;
    void showHelp(const std::string& helpFile, int command, const std::string& key) override;

    QTextBrowser* window() const { return m_window; }

private:
    QPointer<QTextBrowser> m_window;
};

}  // namespace tollvane
