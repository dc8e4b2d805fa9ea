#pragma once
// Form1, the shop window: a sizable top-level window whose only child is the web view WebBrowser1.

#include <QWidget>

class QWebEngineProfile;
class QWebEngineView;

namespace tollvane::browser {

class Form1Window : public QWidget {
    Q_OBJECT
public:
    // The window takes its sizes from the shop window's design, in pixels at the screen's DPI, as
    // the main program's windows do. It starts with no page. Pages are made in `profile`, which
    // must outlive the window.
    Form1Window(const QString& caption, QWebEngineProfile* profile);

    // WebBrowser1 sits at the window's top-left corner and keeps its design size, larger than
    // the window, whatever size the window is given: the window shows its top-left part.
    QWebEngineView* webBrowser1() const { return m_webBrowser1; }

signals:
    // The user closed the window; it deletes itself afterwards.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWebEngineView* m_webBrowser1;
};

}  // namespace tollvane::browser
