// The real browser program, driven through BrowserClient as the main program drives it, on a
// private X display, against a page served from 127.0.0.1.

#include <sys/prctl.h>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <memory>

#include "platform/qt/browser_client.h"
#include "x_display.h"

using tollvane::BrowserClient;
using namespace tollvane::test;

namespace {

// The first start loads the whole engine; two slow cores under Xvfb can take a while.
constexpr int kStartTimeoutMs = 90000;
constexpr int kTimeoutMs = 30000;
const QString kCaption = QStringLiteral("Tinkerbox Test Shop");
const QString kMarker = QStringLiteral("shop-page-marker-5417");

}  // namespace

class BrowserE2eTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_site;
    QProcess m_http;
    QString m_pageUrl;
    QString m_unreachableUrl;
    std::unique_ptr<BrowserClient> m_client;
    qulonglong m_window = 0;

    std::unique_ptr<BrowserClient> makeClient() {
        return std::make_unique<BrowserClient>(kCaption.toStdString(),
                                               QStringLiteral(TOLLVANE_BROWSER_PROGRAM));
    }

    // Shows the window and loads `url` in it, as a shop button does; returns the load's result.
    QVariantList showAndNavigate(BrowserClient& client, const QString& url,
                                 qulonglong* window = nullptr, int timeoutMs = kTimeoutMs) {
        QSignalSpy shown(&client, &BrowserClient::windowShown);
        QSignalSpy loaded(&client, &BrowserClient::pageLoaded);
        if (!client.show() || !client.navigate(url.toStdString())) return {};
        if (!loaded.wait(timeoutMs) || shown.isEmpty()) return {};
        if (window) *window = shown.last().at(0).toULongLong();
        return loaded.last();
    }

    QJsonObject inspect(BrowserClient& client) {
        QSignalSpy inspected(&client, &BrowserClient::inspected);
        client.inspect();
        if (!inspected.wait(kTimeoutMs)) return {};
        return inspected.last().at(0).toJsonObject();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_site.isValid());
        QFile page(m_site.filePath(QStringLiteral("index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(QStringLiteral("<!DOCTYPE html><html><head><title>Test shop</title></head>"
                                  "<body><h1>Test shop</h1><p>%1</p></body></html>")
                       .arg(kMarker)
                       .toUtf8());
        page.close();

        // The server ends with this test even if the test is killed.
        m_http.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_http.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_http.start(QStringLiteral(TOLLVANE_PYTHON),
                     {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                      QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--directory"), m_site.path(), QStringLiteral("0")});
        QVERIFY(m_http.waitForStarted());
        static const QRegularExpression portText(QStringLiteral("port (\\d+)"));
        QString banner;
        QTRY_VERIFY_WITH_TIMEOUT((banner += QString::fromUtf8(m_http.readAllStandardOutput()),
                                  banner.contains(portText)),
                                 kTimeoutMs);
        m_pageUrl = QStringLiteral("http://127.0.0.1:%1/index.html")
                        .arg(portText.match(banner).captured(1));

        // A port that was free a moment ago: connections to it are refused.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        m_unreachableUrl = QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort());
        probe.close();

        m_client = makeClient();
    }

    void cleanupTestCase() {
        m_client.reset();
        m_http.kill();
        m_http.waitForFinished();
    }

    void showThenNavigate_LoadsThePageInOneTitledWindow() {
        QElapsedTimer clock;
        clock.start();
        qint64 shownAfter = -1;
        const QMetaObject::Connection timing =
            connect(m_client.get(), &BrowserClient::windowShown, this, [&](qulonglong window) {
                if (shownAfter < 0) shownAfter = clock.elapsed();
                m_window = window;
            });
        const auto stopTiming = qScopeGuard([&] { disconnect(timing); });
        QSignalSpy loadedSpy(m_client.get(), &BrowserClient::pageLoaded);
        QVERIFY(m_client->show());
        const qint64 showReturnedAfter = clock.elapsed();
        QVERIFY(m_client->navigate(m_pageUrl.toStdString()));
        QVERIFY(loadedSpy.wait(kStartTimeoutMs));
        const QVariantList loaded = loadedSpy.first();
        // Start-up figures, for the record only.
        qInfo(
            "first start: show() returned after %lld ms, window shown after %lld ms, "
            "page loaded after %lld ms",
            static_cast<long long>(showReturnedAfter), static_cast<long long>(shownAfter),
            static_cast<long long>(clock.elapsed()));
        QVERIFY(shownAfter >= 0);
        QCOMPARE(loaded.at(0).toBool(), true);
        QCOMPARE(loaded.at(1).toString(), m_pageUrl);

        QTRY_COMPARE_WITH_TIMEOUT(visibleWindowsTitled(kCaption), QList<qulonglong>{m_window},
                                  kTimeoutMs);
        const QMap<QString, QString> info = windowInfo(m_window);
        QCOMPARE(info.value(QStringLiteral("Map State")), QStringLiteral("IsViewable"));
        QCOMPARE(info.value(QStringLiteral("Width")), QStringLiteral("639"));
        QCOMPARE(info.value(QStringLiteral("Height")), QStringLiteral("560"));

        const QJsonObject state = inspect(*m_client);
        QCOMPARE(state.value("title").toString(), kCaption);
        QVERIFY2(state.value("text").toString().contains(kMarker),
                 qPrintable(state.value("text").toString()));
        QCOMPARE(state.value("browserGeometry").toArray(), (QJsonArray{0, 0, 1009, 737}));
    }

    void secondShopPress_LoadsAgainInTheSameWindow() {
        QVERIFY(m_window != 0);
        qulonglong window = 0;
        const QVariantList loaded = showAndNavigate(*m_client, m_pageUrl, &window);
        QVERIFY(!loaded.isEmpty());
        QCOMPARE(loaded.at(0).toBool(), true);
        QCOMPARE(window, m_window);
        QCOMPARE(visibleWindowsTitled(kCaption), QList<qulonglong>{m_window});
    }

    void unreachableAddress_ShowsTheEnginesErrorPage() {
        const QVariantList loaded = showAndNavigate(*m_client, m_unreachableUrl);
        QVERIFY(!loaded.isEmpty());
        QCOMPARE(loaded.at(0).toBool(), false);
        const QString text = inspect(*m_client).value("text").toString();
        QVERIFY2(text.contains(QStringLiteral("ERR_CONNECTION_REFUSED")), qPrintable(text));
        QCOMPARE(visibleWindowsTitled(kCaption), QList<qulonglong>{m_window});
    }

    void closeBox_ReportsClosedAndNextShowMakesANewWindow() {
        QSignalSpy closed(m_client.get(), &BrowserClient::windowClosed);
        const qint64 pid = m_client->processId();
        QVERIFY(requestClose(m_window));
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, kTimeoutMs);
        QVERIFY(!m_client->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowsTitled(kCaption).isEmpty(), kTimeoutMs);

        qulonglong window = 0;
        const QVariantList loaded = showAndNavigate(*m_client, m_pageUrl, &window);
        QVERIFY(!loaded.isEmpty());
        QCOMPARE(loaded.at(0).toBool(), true);
        QVERIFY(window != m_window);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindowsTitled(kCaption), QList<qulonglong>{window},
                                  kTimeoutMs);
        QCOMPARE(m_client->processId(), pid);
        QCOMPARE(closed.count(), 1);
        m_window = window;
    }

    void browserKilled_CountsAsClosedAndShowStartsItAgain() {
        QSignalSpy closed(m_client.get(), &BrowserClient::windowClosed);
        const qint64 pid = m_client->processId();
        QVERIFY(pid != 0);
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, kTimeoutMs);
        QVERIFY(!m_client->isOpen());
        QCOMPARE(m_client->processId(), 0);

        QElapsedTimer clock;
        clock.start();
        qulonglong window = 0;
        const QVariantList loaded = showAndNavigate(*m_client, m_pageUrl, &window, kStartTimeoutMs);
        QVERIFY(!loaded.isEmpty());
        qInfo("page loaded %lld ms after restarting the browser program",
              static_cast<long long>(clock.elapsed()));
        QCOMPARE(loaded.at(0).toBool(), true);
        QVERIFY(m_client->processId() != pid);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindowsTitled(kCaption), QList<qulonglong>{window},
                                  kTimeoutMs);
    }

    void clientDestroyed_BrowserProgramEndsAndWindowGoes() {
        const qint64 pid = m_client->processId();
        QVERIFY(pid != 0);
        QElapsedTimer clock;
        clock.start();
        m_client.reset();
        qInfo("the client took %lld ms to end the browser program",
              static_cast<long long>(clock.elapsed()));
        QVERIFY(::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindowsTitled(kCaption).isEmpty(), kTimeoutMs);
    }

    // Whatever becomes of the main program, its browser program does not outlive it.
    void connectionLost_BrowserProgramQuits() {
        QProcess browser;
        browser.setProcessChannelMode(QProcess::ForwardedChannels);
        browser.start(QStringLiteral(TOLLVANE_BROWSER_PROGRAM),
                      {QStringLiteral("tollvane-browser-test-no-such-server")});
        QVERIFY(browser.waitForFinished(kTimeoutMs));
        QCOMPARE(browser.exitCode(), 1);

        QLocalServer server;
        QVERIFY(server.listen(
            QStringLiteral("tollvane-browser-test-%1").arg(QCoreApplication::applicationPid())));
        browser.start(QStringLiteral(TOLLVANE_BROWSER_PROGRAM), {server.fullServerName()});
        QVERIFY(server.waitForNewConnection(kTimeoutMs));
        QLocalSocket* connection = server.nextPendingConnection();
        connection->write("{\"command\":\"show\",\"title\":\"Connection test\"}\n");
        QTRY_VERIFY_WITH_TIMEOUT(connection->canReadLine(), kStartTimeoutMs);
        QVERIFY(connection->readLine().contains("\"shown\""));
        connection->abort();
        QVERIFY(browser.waitForFinished(kTimeoutMs));
        QCOMPARE(browser.exitStatus(), QProcess::NormalExit);
        QCOMPARE(browser.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(BrowserE2eTest)
#include "browser_e2e_test.moc"
