#include "browser_host.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <cstdio>

#include "form1_window.h"

namespace tollvane::browser {

BrowserHost::BrowserHost(QObject* parent) : QObject(parent) {
    connect(&m_socket, &QLocalSocket::readyRead, this, &BrowserHost::readCommands);
    // Without the main program there is nobody to show the window for. Both are queued: a
    // failed connect reports at once, before the event loop that exit() ends has started.
    connect(&m_socket, &QLocalSocket::connected, this, [this] { m_connected = true; });
    connect(&m_socket, &QLocalSocket::disconnected, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    connect(
        &m_socket, &QLocalSocket::errorOccurred, this,
        [this](QLocalSocket::LocalSocketError) {
            if (m_connected) return;  // the end of a connection is handled as disconnected
            std::fprintf(stderr, "tollvane-browser: %s\n", qPrintable(m_socket.errorString()));
            QCoreApplication::exit(1);
        },
        Qt::QueuedConnection);
}

BrowserHost::~BrowserHost() {
    // Pages must go before the profile they were made in.
    if (m_window) {
        m_window->disconnect(this);
        delete m_window.data();
    }
    delete m_profile;
}

void BrowserHost::connectTo(const QString& serverName) {
    m_socket.connectToServer(serverName);
}

void BrowserHost::readCommands() {
    while (m_socket.canReadLine()) handleCommand(m_socket.readLine().trimmed());
}

void BrowserHost::handleCommand(const QByteArray& line) {
    if (line.isEmpty()) return;
    const QJsonObject command = QJsonDocument::fromJson(line).object();
    const QString name = command.value(QLatin1String("command")).toString();
    if (name == QLatin1String("show")) {
        show(command.value(QLatin1String("title")).toString());
    } else if (name == QLatin1String("navigate")) {
        navigate(command.value(QLatin1String("url")).toString());
    } else if (name == QLatin1String("inspect")) {
        inspect();
    } else if (name == QLatin1String("quit")) {
        QCoreApplication::quit();
    } else {
        std::fprintf(stderr, "tollvane-browser: ignoring command %s\n", line.constData());
    }
}

QWebEngineProfile* BrowserHost::profile() {
    if (!m_profile) {
        // A profile without a storage name is off the record: no cookies, cache or history on disk.
        m_profile = new QWebEngineProfile();
        // A page that cannot be reached shows the engine's own explanation in the window.
        m_profile->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    }
    return m_profile;
}

void BrowserHost::show(const QString& title) {
    if (!m_window) {
        m_window = new Form1Window(title, profile());
        connect(m_window, &Form1Window::closed, this, [this] {
            // The window deletes itself later; a show before then must already make a new one.
            m_window = nullptr;
            report({{QLatin1String("event"), QLatin1String("closed")}});
        });
        QWebEngineView* view = m_window->webBrowser1();
        connect(view, &QWebEngineView::loadFinished, this, [this, view](bool ok) {
            report({{QLatin1String("event"), QLatin1String("loaded")},
                    {QLatin1String("result"), ok ? QLatin1String("ok") : QLatin1String("error")},
                    {QLatin1String("url"), view->url().toString()}});
        });
    } else {
        m_window->setWindowTitle(title);
    }
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    report({{QLatin1String("event"), QLatin1String("shown")},
            {QLatin1String("window"), static_cast<qint64>(m_window->winId())}});
}

void BrowserHost::navigate(const QString& url) {
    if (!m_window) return;
    // load() starts over even when the address is the one already shown.
    m_window->webBrowser1()->load(QUrl(url));
}

void BrowserHost::inspect() {
    if (!m_window) {
        report(
            {{QLatin1String("event"), QLatin1String("inspected")}, {QLatin1String("window"), 0}});
        return;
    }
    QPointer<Form1Window> window = m_window;
    m_window->webBrowser1()->page()->toPlainText([this, window](const QString& text) {
        if (!window) return;
        const QRect view = window->webBrowser1()->geometry();
        report({{QLatin1String("event"), QLatin1String("inspected")},
                {QLatin1String("window"), static_cast<qint64>(window->winId())},
                {QLatin1String("title"), window->windowTitle()},
                {QLatin1String("url"), window->webBrowser1()->url().toString()},
                {QLatin1String("text"), text},
                {QLatin1String("clientWidth"), window->width()},
                {QLatin1String("clientHeight"), window->height()},
                {QLatin1String("browserGeometry"),
                 QJsonArray{view.x(), view.y(), view.width(), view.height()}}});
    });
}

void BrowserHost::report(const QJsonObject& event) {
    if (m_socket.state() != QLocalSocket::ConnectedState) return;
    m_socket.write(QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n');
}

}  // namespace tollvane::browser
