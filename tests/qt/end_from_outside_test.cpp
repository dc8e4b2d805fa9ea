// Asked to end from outside (a logout, `kill`) while a message box is open: the exit sequence runs
// at once, and the windows it discards take the open box with them without harm.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>

#include "desktop_fixture.h"
#include "platform/qt/session_client.h"

namespace tollvane::testing {
namespace {

class EndFromOutside : public DesktopFixture {};

QMessageBox* openBox() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    }
    return nullptr;
}

TEST_F(EndFromOutside, WhileAMessageBoxIsOpen_SavesAndEnds) {
    Desktop::Options o = options();
    o.messages = nullptr;  // real message boxes, each with its own event loop
    desktop = std::make_unique<Desktop>(o);
    desktop->start();
    QApplication::setActiveWindow(&mainView());  // the box belongs to the main window
    main().txtfreq1.Text = "440";

    bool boxWasOpen = false;
    QTimer::singleShot(200, [&] {
        boxWasOpen = openBox() != nullptr;
        desktop->endFromOutside();
    });
    QTimer::singleShot(5000, [] {  // only if the box outlived its window
        if (QMessageBox* box = openBox()) box->reject();
    });
    QElapsedTimer t;
    t.start();
    desktop->dispatch([&] { main().cmdremset_Click(); });  // empty text: the error box
    QTest::qWait(50);                                      // the discarded windows are destroyed

    EXPECT_TRUE(boxWasOpen);
    EXPECT_TRUE(desktop->program().ended());
    EXPECT_LT(t.elapsed(), 4000);  // the box went with its window
    EXPECT_EQ(openBox(), nullptr);
    QSettings saved(o.settingsPath, QSettings::IniFormat);
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/alarmmusic").toString(),
              QStringLiteral("440"));
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/alarmmusic3").toString(),
              QStringLiteral("1"));
}

// The session manager's "die" reaches the program as the toolkit's request to quit. With only the
// clock-only window shown, the toolkit's own handling would close it, which brings the main window
// back, and the program would go on; it runs its own end instead, and saves.
TEST_F(EndFromOutside, SessionEndsWithOnlyTheClockWindowShown_ExitSequenceRunsAndSaves) {
    start();
    SessionClient session(*desktop);
    desktop->dispatch([&] { main().MnuClock_Click(); });
    ASSERT_FALSE(main().Visible);
    main().txtdura1.Text = "250";
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    EXPECT_TRUE(desktop->program().ended());
    QSettings saved(options().settingsPath, QSettings::IniFormat);
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/alarmmusic2").toString(),
              QStringLiteral("250"));
}

}  // namespace
}  // namespace tollvane::testing
