#include "platform/qt/browser_client.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <utility>

namespace tollvane {

namespace {

// Time for exec() of the browser program to succeed or fail; normally a few milliseconds. A start
// still pending after this is reported later through browserLost() instead.
constexpr int kExecWaitMs = 500;
// The browser connects before it loads its engine, so this is only a guard against a hung start.
constexpr int kConnectTimeoutMs = 30000;
// At the program's end the browser is asked to quit, and killed if it has not within this long:
// the end of the alarm clock is never held up by a browser stuck in its engine. Its profile is
// kept off the record, so a kill loses nothing.
constexpr int kQuitWaitMs = 800;
// A killed process is gone at once; this only bounds the wait for the system to report it.
constexpr int kKillWaitMs = 200;

// Beside the executable in a build folder; in the program's own folder under libexec/ once
// installed.
QString defaultProgram() {
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString beside = bin.filePath(QStringLiteral("tollvane-browser"));
    const QString installed = QDir::cleanPath(
        bin.filePath(QStringLiteral(TOLLVANE_BROWSER_FROM_BIN "/tollvane-browser")));
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

}  // namespace

BrowserClient::BrowserClient(std::string caption, QString program, QObject* parent)
    : QObject(parent),
      m_caption(std::move(caption)),
      m_program(program.isEmpty() ? defaultProgram() : std::move(program)) {
    m_connectWatchdog.setSingleShot(true);
    m_connectWatchdog.setInterval(kConnectTimeoutMs);
    connect(&m_connectWatchdog, &QTimer::timeout, this,
            [this] { browserGone(QStringLiteral("the browser program did not connect")); });
}

BrowserClient::~BrowserClient() {
    m_connectWatchdog.stop();
    if (m_server) m_server->close();
    if (!m_process) return;
    m_process->disconnect(this);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->write(QByteArrayLiteral("{\"command\":\"quit\"}\n"));
        m_socket->flush();
        m_socket->disconnectFromServer();
    }
    // The browser also quits when the connection goes; kill it only if it does not.
    if (!m_process->waitForFinished(kQuitWaitMs)) {
        m_process->kill();
        m_process->waitForFinished(kKillWaitMs);
    }
}

Status BrowserClient::show() {
    if (!m_process) {
        if (Status started = startBrowser(); !started) return started;
    }
    send({{QLatin1String("command"), QLatin1String("show")},
          {QLatin1String("title"), QString::fromStdString(m_caption)}});
    m_open = true;
    return Status::success();
}

Status BrowserClient::navigate(const std::string& url) {
    if (!m_open) return Status::failure("the shop window is not open");
    send({{QLatin1String("command"), QLatin1String("navigate")},
          {QLatin1String("url"), QString::fromStdString(url)}});
    return Status::success();
}

void BrowserClient::inspect() {
    if (m_process) send({{QLatin1String("command"), QLatin1String("inspect")}});
}

qint64 BrowserClient::processId() const {
    return m_process ? m_process->processId() : 0;
}

Status BrowserClient::startBrowser() {
    const QFileInfo file(m_program);
    if (!file.exists())
        return Status::failure("the browser program " + m_program.toStdString() + " is missing");
    if (!file.isFile() || !file.isExecutable()) {
        return Status::failure("the browser program " + m_program.toStdString() +
                               " is not an executable file");
    }

    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &BrowserClient::acceptConnection);
    }
    if (!m_server->isListening()) {
        const QString name =
            QStringLiteral("tollvane-browser-%1-%2")
                .arg(QCoreApplication::applicationPid())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!m_server->listen(name)) {
            return Status::failure("cannot open a local socket for the browser: " +
                                   m_server->errorString().toStdString());
        }
    }

    m_process = new QProcess(this);
    m_process->setProgram(m_program);
    m_process->setArguments({m_server->fullServerName()});
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && !m_starting)
            browserGone(QStringLiteral("the browser program failed to start: ") +
                        m_process->errorString());
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        browserGone(status == QProcess::CrashExit
                        ? QStringLiteral("the browser program crashed")
                        : QStringLiteral("the browser program ended with code %1").arg(code));
    });

    // QProcess reports a failed exec() only through the event loop; wait the few milliseconds
    // it takes so that the caller learns of it, but never for the browser to get ready.
    m_starting = true;
    m_process->start();
    const bool started = m_process->waitForStarted(kExecWaitMs);
    m_starting = false;
    if (!started && m_process->error() == QProcess::FailedToStart) {
        const std::string why = m_process->errorString().toStdString();
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
        return Status::failure("the browser program " + m_program.toStdString() +
                               " failed to start: " + why);
    }
    m_connectWatchdog.start();
    return Status::success();
}

void BrowserClient::send(const QJsonObject& command) {
    QByteArray line = QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n';
    if (m_socket)
        m_socket->write(line);
    else
        m_queued.append(std::move(line));
}

void BrowserClient::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Only the browser program we started, and only once.
        if (m_socket || !m_process) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connectWatchdog.stop();
        m_socket = socket;
        connect(m_socket, &QLocalSocket::readyRead, this, &BrowserClient::readEvents);
        connect(m_socket, &QLocalSocket::disconnected, this, [this] {
            browserGone(QStringLiteral("the browser program closed its connection"));
        });
        for (const QByteArray& line : std::as_const(m_queued)) m_socket->write(line);
        m_queued.clear();
    }
}

void BrowserClient::readEvents() {
    // A handler may end the browser (and so this socket) while lines are still waiting.
    QLocalSocket* socket = m_socket;
    while (socket == m_socket && socket->canReadLine()) {
        const QJsonObject event = QJsonDocument::fromJson(socket->readLine()).object();
        if (!event.isEmpty()) handleEvent(event);
    }
}

void BrowserClient::handleEvent(const QJsonObject& event) {
    const QString name = event.value(QLatin1String("event")).toString();
    if (name == QLatin1String("closed")) {
        if (std::exchange(m_open, false)) emit windowClosed();
    } else if (name == QLatin1String("shown")) {
        emit windowShown(static_cast<qulonglong>(event.value(QLatin1String("window")).toInteger()));
    } else if (name == QLatin1String("loaded")) {
        emit pageLoaded(event.value(QLatin1String("result")).toString() == QLatin1String("ok"),
                        event.value(QLatin1String("url")).toString());
    } else if (name == QLatin1String("inspected")) {
        emit inspected(event);
    }
}

void BrowserClient::browserGone(const QString& reason) {
    m_connectWatchdog.stop();
    m_queued.clear();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    if (m_process) {
        m_process->disconnect(this);
        // Still running after its connection went: it is stuck, as it quits on its own otherwise.
        if (m_process->state() != QProcess::NotRunning) m_process->kill();
        m_process->deleteLater();
        m_process = nullptr;
    }
    const bool wasOpen = std::exchange(m_open, false);
    emit browserLost(reason);
    if (wasOpen) emit windowClosed();
}

}  // namespace tollvane
