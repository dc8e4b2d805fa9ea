#include "platform/qt/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "platform/qt/wayland_session.h"

namespace tollvane {

namespace {

constexpr QByteArrayView kShowRequest = "show\n";
constexpr QByteArrayView kShowWithToken = "show ";
constexpr QByteArrayView kShowAnswer = "ok\n";
constexpr int kRetryMs = 50;
constexpr qint64 kLongestRequest = 300;  // "show ", a token of 255 characters, the line's end

// The token of a well-formed request, in `token`; false for anything that is not a request.
bool parseRequest(const QByteArray& line, QString& token) {
    token.clear();
    if (line == kShowRequest.toByteArray()) return true;
    if (!line.startsWith(kShowWithToken.toByteArray()) || !line.endsWith('\n')) return false;
    const QString given = QString::fromLatin1(line.sliced(kShowWithToken.size()).chopped(1));
    // An ill-formed token is dropped: the program still comes up, without it.
    if (isActivationToken(given)) token = given;
    return true;
}

QString folderOrDefault(QString folder) {
    if (folder.isEmpty()) folder = SingleInstance::defaultFolder();
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    return folder;
}

QString nameIn(const QString& folder) {
    if (!folder.isEmpty() || !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStringLiteral("tollvane");
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("tollvane-") +
           QString::fromLatin1(
               QCryptographicHash::hash(home, QCryptographicHash::Sha1).toHex().left(12));
}

}  // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent),
      m_folder(folderOrDefault(folder)),
      m_name(nameIn(folder)),
      m_lock(lockPath()) {
    // The lock is held for the program's whole run: only a dead holder makes it stale, never age.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

SingleInstance::~SingleInstance() {
    if (m_server.isListening()) {
        m_server.close();  // removes the socket file
    }
    if (m_lock.isLocked()) m_lock.unlock();
}

QString SingleInstance::defaultFolder() {
    // Qt reads $XDG_RUNTIME_DIR and, where it is not set, makes a private folder of its own for
    // the user (mode 0700) in the temporary folder.
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

qint64 SingleInstance::holderPid() const {
    qint64 pid = 0;
    QString host, app;
    return m_lock.getLockInfo(&pid, &host, &app) ? pid : 0;
}

SingleInstance::Claim SingleInstance::claim(int waitMs) {
    m_error.clear();
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("no runtime folder for the single-instance lock");
        return Claim::Unguarded;
    }
    const QDeadlineTimer deadline(waitMs);
    QString token;
    bool tokenAsked = false;
    for (;;) {
        // tryLock() takes over a lock whose process has ended (killed, or crashed).
        if (m_lock.tryLock(0)) {
            // The socket file of a killed program is still there; nobody listens on it.
            QLocalServer::removeServer(socketPath());
            if (!m_server.listen(socketPath())) {
                m_error = QStringLiteral("cannot listen on %1: %2")
                              .arg(socketPath(), m_server.errorString());
                // The lock alone still keeps later starts from running a second alarm clock;
                // they will report that this one does not answer.
            }
            return Claim::First;
        }
        if (m_lock.error() != QLockFile::LockFailedError) {
            m_error = QStringLiteral("cannot use the lock file %1").arg(lockPath());
            return Claim::Unguarded;
        }
        if (!tokenAsked) {
            tokenAsked = true;
            if (m_tokenSource) token = m_tokenSource();
            if (!isActivationToken(token)) token.clear();
        }
        // The holder may have the lock and not yet listen: ask again until the deadline.
        const int left = static_cast<int>(deadline.remainingTime());
        const Answer answer = askRunning(qMax(left, kRetryMs), token);
        if (answer == Answer::Taken) return Claim::HandedOver;
        if (answer == Answer::CutOff && !token.isEmpty()) {
            token.clear();  // a program that knows only the plain request: ask it that at once
            continue;
        }
        if (deadline.hasExpired()) {
            m_error = QStringLiteral("Tollvane is running (process %1) but does not answer on %2")
                          .arg(holderPid())
                          .arg(socketPath());
            return Claim::NoAnswer;
        }
        QThread::msleep(kRetryMs);
    }
}

SingleInstance::Answer SingleInstance::askRunning(int timeoutMs, const QString& token) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(qMin(timeoutMs, 1000))) return Answer::None;
    const QByteArray request = token.isEmpty()
                                   ? kShowRequest.toByteArray()
                                   : kShowWithToken.toByteArray() + token.toLatin1() + '\n';
    socket.write(request);
    if (!socket.waitForBytesWritten(timeoutMs)) return Answer::None;
    // The answer comes once the request has been taken; a program busy ringing answers all the
    // same, since the ring keeps its events going.
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs)) {
            return socket.state() == QLocalSocket::UnconnectedState ? Answer::CutOff : Answer::None;
        }
        reply += socket.readAll();
    }
    return reply == kShowAnswer.toByteArray() ? Answer::Taken : Answer::None;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestRequest) socket->abort();  // not one of ours
                return;
            }
            const QByteArray line = socket->readLine(kLongestRequest + 1);
            QString token;
            if (!parseRequest(line, token)) {
                socket->abort();
                return;
            }
            socket->write(kShowAnswer.data(), kShowAnswer.size());
            socket->flush();
            emit secondStart(token);
        });
    }
}

}  // namespace tollvane
