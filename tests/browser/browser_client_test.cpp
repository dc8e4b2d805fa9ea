// BrowserClient against a stand-in browser program (fake_browser.py): starting and queueing,
// without a display or a browser engine. The real program is driven in browser_e2e_test.cpp.

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/browser_client.h"

using tollvane::BrowserClient;

namespace {

constexpr int kTimeoutMs = 20000;
const std::string kCaption = "Tinkerbox";

}  // namespace

class BrowserClientTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // An executable script that runs the stand-in browser in `mode`, logging to log().
    QString fakeProgram(const QString& mode) {
        const QString path = m_dir.filePath(QStringLiteral("fake-browser-") + mode);
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly)) return {};
        script.write(QStringLiteral("#!/bin/sh\nexec '%1' '%2' '%3' '%4' \"$@\"\n")
                         .arg(QStringLiteral(TOLLVANE_PYTHON), QStringLiteral(FAKE_BROWSER_SCRIPT),
                              log(), mode)
                         .toUtf8());
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QString log() const { return m_dir.filePath(QStringLiteral("log")); }
    QStringList loggedCommands() const {
        QFile file(log());
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static QJsonObject command(const QString& line) {
        return QJsonDocument::fromJson(line.toUtf8()).object();
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(log());
    }

    void show_MissingProgram_FailsNamingItAndStaysClosed() {
        const QString missing = m_dir.filePath(QStringLiteral("no-such-browser"));
        BrowserClient client(kCaption, missing);
        const tollvane::Status status = client.show();
        QVERIFY(!status);
        QVERIFY2(status.error.find(missing.toStdString()) != std::string::npos,
                 status.error.c_str());
        QVERIFY(!client.isOpen());
        QVERIFY(!client.navigate("http://127.0.0.1/"));
        QCOMPARE(client.processId(), 0);
    }

    void show_ProgramThatCannotRun_Fails() {
        // Not executable at all, and executable but naming an interpreter that does not exist.
        QFile plain(m_dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("#!/bin/sh\n");
        plain.close();
        QFile broken(m_dir.filePath(QStringLiteral("broken")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("#!/nonexistent/interpreter\n");
        broken.close();
        broken.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        for (const QString& path : {plain.fileName(), broken.fileName(), m_dir.path()}) {
            BrowserClient client(kCaption, path);
            const tollvane::Status status = client.show();
            QVERIFY2(!status, qPrintable(path));
            QVERIFY(!status.error.empty());
            QVERIFY(!client.isOpen());
        }
    }

    void commandsBeforeConnection_ArriveInOrderWithTextIntact() {
        BrowserClient client("Tinkerbox \"Shop\" \xc3\xa9", fakeProgram(QStringLiteral("serve")));
        QSignalSpy loaded(&client, &BrowserClient::pageLoaded);
        const std::string odd = "http://127.0.0.1:1/a b?q=\"x\"&r=\xc3\xa9\\";
        QVERIFY(client.show());
        QVERIFY(client.isOpen());
        QVERIFY(client.navigate("http://127.0.0.1:1/"));
        QVERIFY(client.navigate(odd));
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, kTimeoutMs);

        const QStringList commands = loggedCommands();
        QCOMPARE(commands.size(), 3);
        QCOMPARE(command(commands[0]).value("command").toString(), QStringLiteral("show"));
        QCOMPARE(command(commands[0]).value("title").toString(),
                 QStringLiteral("Tinkerbox \"Shop\" \u00e9"));
        QCOMPARE(command(commands[1]).value("url").toString(),
                 QStringLiteral("http://127.0.0.1:1/"));
        QCOMPARE(command(commands[2]).value("url").toString(), QString::fromStdString(odd));
        QCOMPARE(loaded[1][1].toString(), QString::fromStdString(odd));
    }

    // A browser program stuck in its engine does not hold up the alarm clock's end: it is asked to
    // quit, then killed, within about a second.
    void destroyed_BrowserThatHangs_IsEndedWithinASecond() {
        qint64 pid = 0;
        QElapsedTimer t;
        {
            BrowserClient client(kCaption, fakeProgram(QStringLiteral("hang")));
            QSignalSpy shown(&client, &BrowserClient::windowShown);
            QVERIFY(client.show());
            QTRY_COMPARE_WITH_TIMEOUT(shown.count(), 1, kTimeoutMs);
            pid = client.processId();
            QVERIFY(pid > 0);
            t.start();
        }
        QVERIFY2(t.elapsed() < 1500, qPrintable(QStringLiteral("%1 ms").arg(t.elapsed())));
        QVERIFY2(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)), "the browser still runs");
    }

    void browserEndsBeforeConnecting_CountsAsClosed() {
        BrowserClient client(kCaption, fakeProgram(QStringLiteral("exit")));
        QSignalSpy closed(&client, &BrowserClient::windowClosed);
        QSignalSpy lost(&client, &BrowserClient::browserLost);
        QVERIFY(client.show());
        QVERIFY(client.navigate("http://127.0.0.1/"));
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, kTimeoutMs);
        QVERIFY(lost[0][0].toString().contains(QStringLiteral("code 3")));
        QVERIFY(!client.isOpen());
    }
};

QTEST_GUILESS_MAIN(BrowserClientTest)
#include "browser_client_test.moc"
