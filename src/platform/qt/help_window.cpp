#include "platform/qt/help_window.h"

#include <QFile>
#include <QTextBrowser>

namespace tollvane {

HelpWindow::~HelpWindow() {
    delete m_window.data();
}

void HelpWindow::showHelp(const std::string& helpFile, int /*command*/, const std::string& key) {
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        m_window->setOpenExternalLinks(false);
        m_window->resize(560, 640);
    }
    const QString path = QString::fromStdString(helpFile);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        m_window->setHtml(QString::fromUtf8(file.readAll()));
        m_window->setWindowTitle(m_window->documentTitle().isEmpty()
                                     ? QStringLiteral("Tollvane Help")
                                     : m_window->documentTitle());
        if (!key.empty())
            m_window->scrollToAnchor(QString::fromStdString(key));
        else
            m_window->moveCursor(QTextCursor::Start);
    } else {
        m_window->setWindowTitle(QStringLiteral("Tollvane Help (not found)"));
        m_window->setPlainText(QStringLiteral("The help file cannot be opened:\n%1\n\n%2")
                                   .arg(path, file.errorString()));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace tollvane
