// The shop window's widgets, built in this process with the real engine (needs a display).

#include <unistd.h>
#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "engine_setup.h"
#include "form1_window.h"

using tollvane::browser::Form1Window;

class Form1WindowTest : public QObject {
    Q_OBJECT

private:
    QWebEngineProfile* m_profile = nullptr;

private slots:
    void initTestCase() { m_profile = new QWebEngineProfile(this); }

    void newWindow_HasTheDesignNamesSizesAndNoPage() {
        Form1Window window(QStringLiteral("Tinkerbox"), m_profile);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.objectName(), QStringLiteral("Form1"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tinkerbox"));
        QCOMPARE(window.size(), QSize(639, 560));
        QVERIFY(window.windowIcon().isNull());
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(window.minimumSize() != window.maximumSize());

        const QList<QWidget*> children = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(children, QList<QWidget*>{window.webBrowser1()});
        QCOMPARE(window.webBrowser1()->objectName(), QStringLiteral("WebBrowser1"));
        QCOMPARE(window.webBrowser1()->geometry(), QRect(0, 0, 1009, 737));
        QVERIFY(window.webBrowser1()->url().isEmpty());
        QCOMPARE(window.webBrowser1()->page()->profile(), m_profile);
    }

    void resizing_LeavesWebBrowser1AtItsDesignSize() {
        Form1Window window(QStringLiteral("Tinkerbox"), m_profile);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const QSize size : {QSize(300, 200), QSize(1200, 900)}) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            QCOMPARE(window.webBrowser1()->geometry(), QRect(0, 0, 1009, 737));
        }
    }

    void closing_ReportsClosedAndDeletesTheWindow() {
        QPointer<Form1Window> window = new Form1Window(QStringLiteral("Tinkerbox"), m_profile);
        QSignalSpy closed(window.data(), &Form1Window::closed);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(window->close());
        QCOMPARE(closed.count(), 1);
        QTRY_VERIFY(window.isNull());
    }

    void engineEnvironment_KeepsGivenFlagsAndAddsOursOnce() {
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--log-level=3 --disable-component-update");
        tollvane::browser::prepareEngineEnvironment();
        tollvane::browser::prepareEngineEnvironment();
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"),
                 QByteArray("--log-level=3 --disable-component-update "
                            "--disable-background-networking"));
        if (geteuid() == 0) QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
    }
};

int main(int argc, char* argv[]) {
    tollvane::browser::prepareEngineEnvironment();
    QApplication app(argc, argv);
    Form1WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "form1_window_test.moc"
