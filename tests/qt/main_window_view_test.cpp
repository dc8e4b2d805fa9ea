// The main window as the renderer draws it: sizes and places in pixels, fonts and colours, the tab
// order, the menus, and the wiring of clicks, typing and the close box to the model.

#include <QApplication>
#include <QCalendarWidget>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>

#include "desktop_fixture.h"
#include "platform/qt/display_box.h"
#include "windows/frmclock.h"

namespace tollvane::testing {
namespace {

class MainWindowView : public DesktopFixture {};

TEST_F(MainWindowView, StartsNarrow_ClientAreaAndControlsAtTheirPixelPlaces) {
    start();
    FormView& v = mainView();
    EXPECT_TRUE(v.isVisible());
    EXPECT_EQ(v.windowTitle(), "Tollvane");
    EXPECT_EQ(v.clientSize(), QSize(231, 336));  // (3555 - 2 * 45) x 5040 twips
    EXPECT_EQ(widget("txttimetot")->geometry(), QRect(8, 24, 217, 63));
    EXPECT_EQ(widget("txttimetot2")->geometry(), QRect(136, 24, 73, 64));
    EXPECT_EQ(widget("TxtTime")->geometry(), QRect(8, 128, 113, 19));
    EXPECT_EQ(widget("CmdSet")->geometry(), QRect(16, 294, 89, 25));
    EXPECT_EQ(widget("CmdReset")->geometry(), QRect(128, 294, 89, 25));
    EXPECT_EQ(widget("cmdRem")->geometry(), QRect(222, 168, 9, 49));
    EXPECT_EQ(widget("Calendar1")->geometry(), QRect(240, 16, 321, 161));
    // The seconds box is drawn above the hours-and-minutes box.
    EXPECT_EQ(widget("txttimetot")->parentWidget()->childAt(150, 40), widget("txttimetot2"));
    // Fixed border: the user cannot resize it, and there is no maximize button.
    EXPECT_EQ(v.minimumSize(), v.maximumSize());
    EXPECT_FALSE(v.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(v.windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MainWindowView, ArrowButtons_WidenAndNarrow_HeightStays) {
    start();
    const int height = mainView().height();
    QTest::mouseClick(widget("cmdRem"), Qt::LeftButton);
    EXPECT_EQ(mainView().clientSize().width(), 569);  // 8625 - 2 * 45 twips
    EXPECT_EQ(main().Width, 8625);
    QTest::mouseClick(widget("cmdRem"), Qt::LeftButton);
    EXPECT_EQ(mainView().clientSize().width(), 569);
    QTest::mouseClick(widget("CmdIn"), Qt::LeftButton);
    EXPECT_EQ(mainView().clientSize().width(), 231);
    EXPECT_EQ(mainView().height(), height);
}

TEST_F(MainWindowView, ClockBoxes_DisabledButReadableInGreen_FontIsComic) {
    start();
    auto* hours = qobject_cast<DisplayBox*>(widget("txttimetot"));
    ASSERT_NE(hours, nullptr);
    EXPECT_EQ(hours->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(hours->palette().color(QPalette::Disabled, QPalette::Text), QColor(0, 192, 0));
    EXPECT_EQ(hours->palette().color(QPalette::Active, QPalette::Text), QColor(0, 192, 0));
    EXPECT_EQ(QFontInfo(hours->font()).family(), "Comic Neue");
    EXPECT_NEAR(hours->font().pointSizeF(), 36.0, 0.01);
}

// The window is painted in the desktop's highlight colour, whatever the scheme.
TEST_F(MainWindowView, Background_IsTheSchemesHighlight) {
    const QPalette before = QApplication::palette();
    QPalette scheme = before;
    scheme.setColor(QPalette::Highlight, QColor(10, 36, 106));
    QApplication::setPalette(scheme);
    start();
    const QImage client = widget("Label7")->parentWidget()->grab().toImage();
    QApplication::setPalette(before);
    int highlight = 0;
    for (int y = 0; y < client.height(); y += 2)
        for (int x = 0; x < client.width(); x += 2)
            if (client.pixelColor(x, y) == QColor(10, 36, 106)) ++highlight;
    EXPECT_GT(highlight, client.width() * client.height() / 4 / 4);  // a quarter of the samples
}

TEST_F(MainWindowView, FirstTick_FillsTheClockBoxesOfBothWindows) {
    start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main().txttimetot.Text.empty(); }, 3000));
    EXPECT_EQ(qobject_cast<DisplayBox*>(widget("txttimetot"))->text().toStdString(),
              main().txttimetot.Text);
    EXPECT_EQ(main().Timer1.Interval, 1000);
    EXPECT_EQ(desktop->program().frmclock().txttimetot.Text, main().txttimetot.Text);
    EXPECT_FALSE(desktop->program().frmclock().Visible);  // made at the first tick, hidden
}

TEST_F(MainWindowView, TabOrder_FollowsTheTabNumbers_SkippingDisabledAndDisplayOnly) {
    start();
    const QStringList expected = {"TxtTime", "CmdSet",    "CmdReset", "Command1", "cmdRem",
                                  "OptDate", "Calendar1", "TxtRem",   "CmdIn",    "cmdremset",
                                  "txtam",   "txtdura1",  "txtfreq1"};
    QStringList chain;
    QWidget* w = widget("TxtTime");
    for (int i = 0; i < 400 && chain.size() < expected.size(); ++i) {
        if (expected.contains(w->objectName()) && !chain.contains(w->objectName())) {
            chain << w->objectName();
        }
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(chain, expected);
    // The window as the user finds it once it is in front: the focus in the alarm time.
    mainView().activateWindow();
    QTRY_VERIFY(mainView().isActiveWindow());
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("TxtTime"));
}

// The red rules under the clock and above the reminder text, 7 pixels wide, on the window's
// background: Line1 from (8, 88) to (232, 88), Line2 from (240, 200) to (560, 200) at 96 dpi.
TEST_F(MainWindowView, RedLines_DrawnBetweenTheirEndPoints) {
    start();
    QTest::mouseClick(widget("cmdRem"), Qt::LeftButton);  // wide: both in view
    QWidget* canvas = mainView().findChild<QWidget*>(QStringLiteral("client"));
    QImage image(canvas->size(), QImage::Format_RGB32);
    canvas->render(&image, {}, {}, QWidget::DrawWindowBackground);
    const auto red = [&](int x, int y) { return image.pixelColor(x, y) == QColor(255, 0, 0); };
    EXPECT_TRUE(red(10, 86) && red(120, 88) && red(230, 90));
    EXPECT_FALSE(red(6, 88) || red(234, 88) || red(120, 82) || red(120, 94));
    EXPECT_TRUE(red(242, 197) && red(400, 200) && red(558, 203));
    EXPECT_FALSE(red(238, 200) || red(562, 200) || red(400, 194) || red(400, 206));
}

TEST_F(MainWindowView, EveryControlHasANameAndAnAccessibleName) {
    start();
    for (const ControlLayout& c : frmAlarmClock::designLayout().controls) {
        QWidget* w = widget(c.name.c_str());
        if (c.kind == ControlKind::Shape || c.kind == ControlKind::Hidden) {
            EXPECT_EQ(w, nullptr) << c.name;
            continue;
        }
        ASSERT_NE(w, nullptr) << c.name;
        EXPECT_EQ(w->objectName().toStdString(), c.name);
        EXPECT_FALSE(w->accessibleName().isEmpty()) << c.name;
    }
}

TEST_F(MainWindowView, Menus_ThreeListsWithTheirItems_ClockOnlySwitchesWindows) {
    start();
    QStringList titles;
    for (QAction* a : mainView().menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"File", "View", "Help"}));
    auto* view = mainView().menuBar()->findChild<QMenu*>("MnuView");
    ASSERT_NE(view, nullptr);
    QStringList items;
    for (QAction* a : view->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Clock Only", "Full View"}));
    auto* clockOnly = mainView().findChild<QAction*>("MnuClock");
    ASSERT_NE(clockOnly, nullptr);
    clockOnly->trigger();
    EXPECT_FALSE(mainView().isVisible());
    FormView* clockView = desktop->view(desktop->program().frmclock());
    ASSERT_NE(clockView, nullptr);
    EXPECT_TRUE(clockView->isVisible());
    EXPECT_EQ(clockView->windowTitle(), "Tollvane(Clock View)");
    EXPECT_EQ(clockView->clientSize(), QSize(233, 98));
    clockView->findChild<QAction*>("MnuFull")->trigger();
    EXPECT_TRUE(mainView().isVisible());
    EXPECT_FALSE(clockView->isVisible());
}

// The page the user turns to takes the date along, as on Windows: Set Reminder stores the date on
// the page, and the minute's reset brings page and date back to today together.
TEST_F(MainWindowView, CalendarPageTurned_SetReminderStoresTheDateOnThePage_ResetShowsToday) {
    fakes::FakeClock clock;
    clock.set(2027, 1, 31, 12, 0, 0);
    start(&clock);
    desktop->dispatch([&] { main().cmdRem_Click(); });  // the wide window, calendar in view
    auto* calendar = qobject_cast<QCalendarWidget*>(widget("Calendar1"));
    ASSERT_NE(calendar, nullptr);
    ASSERT_EQ(calendar->selectedDate(), QDate(2027, 1, 31));

    // The user turns the page twice, as the arrow above the calendar does, and picks no day.
    calendar->showNextMonth();
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 2, 28));  // February has no 31st
    calendar->showNextMonth();
    EXPECT_EQ(calendar->monthShown(), 3);
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 3, 28));
    QTest::keyClicks(widget("TxtRem"), "Dentist");
    QTest::mouseClick(widget("cmdremset"), Qt::LeftButton);
    EXPECT_EQ(main().curRemYear, " 2027");
    EXPECT_EQ(main().curRemMonth, " 3");
    EXPECT_EQ(main().curRemDay, " 28");
    desktop->dispatch([] {});  // a tick or a click in between leaves the page where the user put it
    EXPECT_EQ(calendar->monthShown(), 3);

    desktop->dispatch([&] { main().Timer3_Timer(); });
    EXPECT_EQ(calendar->yearShown(), 2027);
    EXPECT_EQ(calendar->monthShown(), 1);
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 1, 31));
}

TEST_F(MainWindowView, TypingFillsTheModel_SetAlarmArms) {
    start();
    widget("TxtTime")->setFocus();
    QTest::keyClicks(widget("TxtTime"), "7:30");
    EXPECT_EQ(main().TxtTime.Text, "7:30");
    QTest::mouseClick(widget("CmdSet"), Qt::LeftButton);
    EXPECT_FALSE(main().CmdSet.Enabled);
    EXPECT_FALSE(widget("CmdSet")->isEnabled());
    EXPECT_TRUE(widget("CmdReset")->isEnabled());
}

TEST_F(MainWindowView, CloseBox_SavesTheSevenValuesAndEnds) {
    start();
    bool ended = false;
    QObject::connect(desktop.get(), &Desktop::ended, [&] { ended = true; });
    QTest::keyClicks(widget("TxtTime"), "19:30");
    QTest::keyClicks(widget("txtfreq1"), "800");
    QTest::keyClicks(widget("txtdura1"), "200");
    mainView().close();
    EXPECT_TRUE(ended);
    QSettings ini(options().settingsPath, QSettings::IniFormat);
    EXPECT_EQ(ini.value("vuvuririvivur/lastsettings/timealarm").toString(), "19:30");
    EXPECT_EQ(ini.value("vuvuririvivur/lastsettings/alarmmusic").toString(), "800");
    EXPECT_EQ(ini.value("vuvuririvivur/lastsettings/alarmmusic2").toString(), "200");
    EXPECT_EQ(ini.value("vuvuririvivur/lastsettings/alarmmusic3").toString(), "1");
    EXPECT_TRUE(ini.contains("vuvuririvivur/lastsettings/remyear"));
    EXPECT_TRUE(ini.contains("vuvuririvivur/lastsettings/remmonth"));
    EXPECT_TRUE(ini.contains("vuvuririvivur/lastsettings/remday"));
}

TEST_F(MainWindowView, StoredAlarm_ComesBackArmed) {
    {
        QSettings ini(options().settingsPath, QSettings::IniFormat);
        ini.setValue("vuvuririvivur/lastsettings/timealarm", "6:45");
    }
    start();
    EXPECT_EQ(static_cast<QLineEdit*>(widget("TxtTime"))->text(), "6:45");
    EXPECT_FALSE(widget("CmdSet")->isEnabled());
    EXPECT_TRUE(widget("CmdReset")->isEnabled());
}

}  // namespace
}  // namespace tollvane::testing
