#include "form1_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "windows/form1.h"

namespace tollvane::browser {

Form1Window::Form1Window(const QString& caption, QWebEngineProfile* profile)
    : QWidget(nullptr, Qt::Window), m_webBrowser1(new QWebEngineView(this)) {
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    const double dpi = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                           : 96.0;
    const auto pixels = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    const WindowLayout& design = Form1::designLayout();
    // Only the size: where the window first appears is left to the window manager.
    resize(pixels(design.clientWidth), pixels(design.clientHeight));

    m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    m_webBrowser1->setPage(new QWebEnginePage(profile, m_webBrowser1));
    // No layout: the view keeps this geometry when the window is resized.
    const ControlLayout& view = *design.find("WebBrowser1");
    m_webBrowser1->setGeometry(0, 0, pixels(view.width), pixels(view.height));
}

void Form1Window::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace tollvane::browser
