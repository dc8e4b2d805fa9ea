#include "form1_window.h"

#include <QCloseEvent>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace tollvane::browser {

namespace {

constexpr int pixels(int twips) {
    return twips / 15;
}

}  // namespace

Form1Window::Form1Window(const QString& caption, QWebEngineProfile* profile)
    : QWidget(nullptr, Qt::Window), m_webBrowser1(new QWebEngineView(this)) {
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    // Only the size: where the window first appears is left to the window manager.
    resize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));

    m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    m_webBrowser1->setPage(new QWebEnginePage(profile, m_webBrowser1));
    // No layout: the view keeps this geometry when the window is resized.
    m_webBrowser1->setGeometry(0, 0, pixels(kWebBrowser1WidthTwips),
                               pixels(kWebBrowser1HeightTwips));
}

void Form1Window::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace tollvane::browser
