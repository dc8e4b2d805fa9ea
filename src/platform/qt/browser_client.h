#pragma once
// The shop window's browser on Qt. The window lives in the separate program tollvane-browser, so
// that the alarm process never loads a browser engine and a browser crash cannot stop the alarm.
// The program is started on the first show() and driven over a local socket (the commands and
// events are listed in browser/browser_host.h); commands given before it has connected wait, in
// order. Nothing here waits for the browser beyond the moment it takes to start its process.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

#include "platform/ports.h"

class QLocalServer;
class QLocalSocket;
class QProcess;

namespace tollvane {

class BrowserClient : public QObject, public Browser {
    Q_OBJECT
public:
    // `caption` is the shop window's title. `program` is the browser executable; empty means
    // tollvane-browser beside the running executable.
    explicit BrowserClient(std::string caption, QString program = {}, QObject* parent = nullptr);
    ~BrowserClient() override;

    // Starts the browser program if it is not running, then has it show the window (making a new
    // one if the user closed the last). Fails only when the program cannot be started.
    Status show() override;
    // Fails when the window is not open.
    Status navigate(const std::string& url) override;
    // Whether the window is shown: from show() until the user closes it or the program ends.
    bool isOpen() const { return m_open; }

    // Asks the browser for its window's state and the page's text, answered by inspected().
    void inspect();
    // The browser program's process id, or 0 when it is not running.
    qint64 processId() const;
    const QString& program() const { return m_program; }

signals:
    // The user closed the window, or the browser program ended while it was open.
    void windowClosed();
    void windowShown(qulonglong windowId);
    void pageLoaded(bool ok, const QString& url);
    void inspected(const QJsonObject& state);
    // The browser program ended or stopped answering without being asked to.
    void browserLost(const QString& reason);

private:
    Status startBrowser();
    void send(const QJsonObject& command);
    void acceptConnection();
    void readEvents();
    void handleEvent(const QJsonObject& event);
    void browserGone(const QString& reason);

    std::string m_caption;
    QString m_program;
    QLocalServer* m_server = nullptr;  // made on the first start, listens until destruction
    QProcess* m_process = nullptr;     // the running browser program, if any
    QLocalSocket* m_socket = nullptr;  // its connection, once it has connected
    QList<QByteArray> m_queued;        // commands waiting for the connection
    QTimer m_connectWatchdog;          // ends a browser that never connects
    bool m_starting = false;           // inside startBrowser(): failures are reported there
    bool m_open = false;
};

}  // namespace tollvane
