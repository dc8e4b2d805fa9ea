#include "platform/qt/help_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/qt/wayland_frame.h"

namespace tollvane {

HelpWindow::~HelpWindow() {
    if (m_window) delete m_window->window();
}

void HelpWindow::showHelp(const std::string& helpFile, int /*command*/, const std::string& key) {
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        m_window->setOpenExternalLinks(false);
        m_window->resize(560, 640);
        // A text browser keeps its margins for its own border: where the program draws the
        // window's frame itself, the browser sits in a plain window that carries the frame.
        if (WaylandFrame::wanted()) {
            auto* framed = new QWidget;
            framed->setObjectName(QStringLiteral("HelpWindowFrame"));
            framed->setAttribute(Qt::WA_QuitOnClose, false);
            WaylandFrame::add(*framed);
            framed->resize(m_window->size().grownBy(framed->contentsMargins()));
            auto* layout = new QVBoxLayout(framed);
            layout->setContentsMargins({});
            layout->addWidget(m_window);
        }
    }
    QWidget* window = m_window->window();
    const QString path = QString::fromStdString(helpFile);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        m_window->setHtml(QString::fromUtf8(file.readAll()));
        window->setWindowTitle(m_window->documentTitle().isEmpty() ? QStringLiteral("Tollvane Help")
                                                                   : m_window->documentTitle());
        if (!key.empty())
            m_window->scrollToAnchor(QString::fromStdString(key));
        else
            m_window->moveCursor(QTextCursor::Start);
    } else {
        window->setWindowTitle(QStringLiteral("Tollvane Help (not found)"));
        m_window->setPlainText(QStringLiteral("The help file cannot be opened:\n%1\n\n%2")
                                   .arg(path, file.errorString()));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace tollvane
