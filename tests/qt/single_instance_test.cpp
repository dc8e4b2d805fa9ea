// One program per user: the first start takes the lock and listens; later starts hand over to it.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/qt/single_instance.h"
#include "platform/qt/wayland_session.h"

namespace tollvane {
namespace {

using Claim = SingleInstance::Claim;

// A second start as a second program makes it: in a thread of its own, blocking, while this
// thread's event loop lets the first instance answer.
Claim claimFromAnotherThread(const QString& folder, int waitMs = 5000,
                             std::function<QString()> tokenSource = {}) {
    std::atomic<bool> done{false};
    Claim result = Claim::Unguarded;
    std::thread starter([&] {
        SingleInstance second(folder);
        second.setActivationTokenSource(tokenSource);
        result = second.claim(waitMs);
        done = true;
    });
    const QDeadlineTimer deadline(waitMs + 5000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    starter.join();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();  // the signal, if queued
    return result;
}

TEST(SingleInstance, SecondStart_HandsOverAndTheFirstIsToldOncePerStart) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.claim(), Claim::First);
    EXPECT_TRUE(first.errorString().isEmpty()) << first.errorString().toStdString();
    EXPECT_TRUE(QFileInfo(first.socketPath()).exists());
    int asked = 0;
    QObject::connect(&first, &SingleInstance::secondStart, [&asked] { ++asked; });
    EXPECT_EQ(claimFromAnotherThread(dir.path()), Claim::HandedOver);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(claimFromAnotherThread(dir.path()), Claim::HandedOver);
    EXPECT_EQ(asked, 2);
}

TEST(SingleInstance, FirstEnds_TheNextStartIsTheFirstAgain_NoFilesLeft) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_EQ(first.claim(), Claim::First);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("tollvane.socket")));
    EXPECT_FALSE(QFile::exists(dir.filePath("tollvane.lock")));
    SingleInstance next(dir.path());
    EXPECT_EQ(next.claim(), Claim::First);
}

// What `kill -9` of the first leaves behind: its lock naming a process that is gone, and a socket
// file that nobody listens on.
TEST(SingleInstance, LockAndSocketOfAKilledProgram_TheNextStartTakesOver) {
    QTemporaryDir dir;
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile lock(dir.filePath("tollvane.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\ntollvane\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    const QByteArray socketPath = dir.filePath("tollvane.socket").toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);  // bound, never listened on, closed: the file stays
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("tollvane.socket")));

    SingleInstance next(dir.path());
    ASSERT_EQ(next.claim(1000), Claim::First);
    EXPECT_TRUE(next.errorString().isEmpty()) << next.errorString().toStdString();
    EXPECT_EQ(claimFromAnotherThread(dir.path()), Claim::HandedOver);
}

TEST(SingleInstance, HolderAliveButNotListening_ReportedAfterTheWait_NotASecondProgram) {
    QTemporaryDir dir;
    QLockFile held(dir.filePath("tollvane.lock"));
    ASSERT_TRUE(held.tryLock(0));
    SingleInstance second(dir.path());
    EXPECT_EQ(second.claim(300), Claim::NoAnswer);
    EXPECT_EQ(second.holderPid(), QCoreApplication::applicationPid());
    EXPECT_FALSE(second.errorString().isEmpty());
}

TEST(SingleInstance, StrangerOnTheSocket_IsCutOff_FirstGoesOn) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.claim(), Claim::First);
    int asked = 0;
    QObject::connect(&first, &SingleInstance::secondStart, [&asked] { ++asked; });
    std::atomic<bool> done{false};
    std::thread stranger([&] {
        QLocalSocket socket;
        socket.connectToServer(first.socketPath());
        if (socket.waitForConnected(1000)) {
            socket.write(QByteArray(200, 'x'));
            socket.waitForBytesWritten(1000);
            socket.waitForDisconnected(2000);
        }
        done = true;
    });
    const QDeadlineTimer deadline(5000);
    while (!done && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    stranger.join();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(claimFromAnotherThread(dir.path()), Claim::HandedOver);
    EXPECT_EQ(asked, 1);
}

TEST(SingleInstance, SecondStartWithAToken_TheFirstGetsIt_TheSourceIsAskedOnce) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    int firstAsked = 0;
    first.setActivationTokenSource([&firstAsked] {
        ++firstAsked;
        return QStringLiteral("never-used");
    });
    ASSERT_EQ(first.claim(), Claim::First);
    EXPECT_EQ(firstAsked, 0);  // no token is fetched where no program runs to take it
    QStringList received;
    QObject::connect(&first, &SingleInstance::secondStart,
                     [&received](const QString& token) { received << token; });
    std::atomic<int> secondAsked{0};
    const auto source = [&secondAsked] {
        ++secondAsked;
        return QStringLiteral("{8c2d9a7e-1f4b}/1a2B_3c.4:5+6=7~8");
    };
    EXPECT_EQ(claimFromAnotherThread(dir.path(), 5000, source), Claim::HandedOver);
    EXPECT_EQ(claimFromAnotherThread(dir.path()), Claim::HandedOver);  // no source: no token
    EXPECT_EQ(received, QStringList({"{8c2d9a7e-1f4b}/1a2B_3c.4:5+6=7~8", ""}));
    EXPECT_EQ(secondAsked, 1);
}

TEST(SingleInstance, IllFormedTokenFromTheSource_NotPassed_TheHandOverStillHappens) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.claim(), Claim::First);
    QStringList received;
    QObject::connect(&first, &SingleInstance::secondStart,
                     [&received](const QString& token) { received << token; });
    for (const QString& bad : {QStringLiteral("two words"), QStringLiteral("line\nbreak"),
                               QStringLiteral("caf\u00e9"), QString(256, u'a')}) {
        EXPECT_EQ(claimFromAnotherThread(dir.path(), 5000, [bad] { return bad; }),
                  Claim::HandedOver);
    }
    EXPECT_EQ(received, QStringList({"", "", "", ""}));
}

// Requests written straight to the running program's socket: what it answers, and the token it
// passes on.
TEST(SingleInstance, RequestsOnTheSocket_ShowWithOrWithoutToken_AnythingElseIsCutOff) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_EQ(first.claim(), Claim::First);
    QStringList received;
    QObject::connect(&first, &SingleInstance::secondStart,
                     [&received](const QString& token) { received << token; });
    struct Case {
        QByteArray request;
        bool answered;
        QString token;
    };
    const QByteArray longest = "show " + QByteArray(255, 'k') + "\n";
    const std::vector<Case> cases = {
        {"show\n", true, ""},
        {"show abc-123\n", true, "abc-123"},
        {longest, true, QString(255, u'k')},
        {"show \n", true, ""},      // no token: shown all the same
        {"show a\tb\n", true, ""},  // a token with a control character is dropped
        {"show " + QByteArray(300, 'k') + "\n", false, ""},  // longer than any request
        {"shown\n", false, ""},
        {"SHOW\n", false, ""},
        {"ok\n", false, ""},
    };
    for (const Case& c : cases) {
        received.clear();
        std::atomic<bool> done{false};
        QByteArray reply;
        std::thread client([&] {
            QLocalSocket socket;
            socket.connectToServer(first.socketPath());
            if (socket.waitForConnected(1000)) {
                socket.write(c.request);
                socket.waitForBytesWritten(1000);
                while (!reply.contains('\n') && socket.waitForReadyRead(1000))
                    reply += socket.readAll();
            }
            done = true;
        });
        const QDeadlineTimer deadline(5000);
        while (!done && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        client.join();
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        const std::string what = c.request.left(40).toStdString();
        EXPECT_EQ(reply == "ok\n", c.answered) << what;
        EXPECT_EQ(received, c.answered ? QStringList{c.token} : QStringList{}) << what;
    }
}

// A running program of an earlier version takes only the plain request and cuts off any other.
TEST(SingleInstance, EarlierProgramRunning_TheTokenIsLeftOut_AndItComesUp) {
    QTemporaryDir dir;
    QLockFile held(dir.filePath("tollvane.lock"));
    ASSERT_TRUE(held.tryLock(0));
    QLocalServer earlier;
    ASSERT_TRUE(earlier.listen(dir.filePath("tollvane.socket")));
    QList<QByteArray> requests;
    QObject::connect(&earlier, &QLocalServer::newConnection, [&] {
        QLocalSocket* socket = earlier.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [&requests, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine(64);
            requests << line;
            if (line != "show\n") {
                socket->abort();
                return;
            }
            socket->write("ok\n");
            socket->flush();
        });
    });
    EXPECT_EQ(claimFromAnotherThread(dir.path(), 5000, [] { return QStringLiteral("t0k3n"); }),
              Claim::HandedOver);
    EXPECT_EQ(requests, QList<QByteArray>({"show t0k3n\n", "show\n"}));
}

// Puts an environment variable back as it was when the test ends.
class KeptVariable {
public:
    explicit KeptVariable(const char* name)
        : m_name(name), m_was(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~KeptVariable() {
        if (m_was)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_was;
    QByteArray m_value;
};

TEST(SingleInstance, NoRuntimeFolderSet_NamesFollowTheHomeFolder) {
    const KeptVariable runtime("XDG_RUNTIME_DIR"), home("HOME");
    QTemporaryDir a, b, runtimeDir;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("HOME", a.path().toUtf8());
    const QString inA = SingleInstance().socketPath();
    const QString inAAgain = SingleInstance().socketPath();
    qputenv("HOME", b.path().toUtf8());
    const QString inB = SingleInstance().socketPath();
    EXPECT_EQ(inA, inAAgain);
    EXPECT_NE(inA, inB);
    EXPECT_TRUE(QFileInfo(inA).fileName().startsWith(QStringLiteral("tollvane-")));
    // With the runtime folder set: the plain name in it, whatever the home folder.
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    EXPECT_EQ(SingleInstance().socketPath(), runtimeDir.path() + "/tollvane.socket");
}

TEST(SingleInstance, RuntimeFolderCannotBeMade_RunsUnguarded) {
    QTemporaryDir dir;
    QFile file(dir.filePath("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    SingleInstance instance(dir.filePath("a-file/runtime"));
    EXPECT_EQ(instance.claim(100), Claim::Unguarded);
}

}  // namespace
}  // namespace tollvane
