// A digit typed on the calendar opens the typed-date box; the calendar closes it, without taking
// its date, before it goes, and only then: Esc must not reach the window when no box is open.

#include "platform/qt/month_view.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QTest>

namespace tollvane {
namespace {

// A window that counts the Esc presses that reach it.
class EscCounter : public QWidget {
public:
    int escapes = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) ++escapes;
        QWidget::keyPressEvent(event);
    }
};

class MonthViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 250);
        calendar->setGeometry(0, 0, 300, 250);
        calendar->setSelectedDate(QDate(2026, 12, 7));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        days = calendar->findChild<QAbstractItemView*>();
        ASSERT_NE(days, nullptr);
    }
    EscCounter window;
    MonthView* calendar = new MonthView(&window);
    QAbstractItemView* days = nullptr;
};

TEST_F(MonthViewTest, ClosesTheTypedDateWithoutTakingIt) {
    QTest::keyClick(days, Qt::Key_1);
    ASSERT_TRUE(calendar->typedDateShown());
    calendar->closeTypedDate();
    EXPECT_FALSE(calendar->typedDateShown());
    // Past the box's own delay, the typed "1" has still not been taken as a date.
    QTest::qWait(calendar->dateEditAcceptDelay() + 200);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 7));
    EXPECT_EQ(window.escapes, 0);
}

TEST_F(MonthViewTest, ClosesTheTypedDateOfAHiddenWindow) {
    // The window that goes is hidden before the calendar is destroyed.
    QTest::keyClick(days, Qt::Key_2);
    window.hide();
    ASSERT_TRUE(calendar->typedDateShown());
    calendar->closeTypedDate();
    EXPECT_FALSE(calendar->typedDateShown());
}

TEST_F(MonthViewTest, WithoutATypedDateNothingReachesTheWindow) {
    calendar->closeTypedDate();
    EXPECT_EQ(window.escapes, 0);
    // Whereas a real Esc on the calendar goes on to the window: the count above could see one.
    QTest::keyClick(days, Qt::Key_Escape);
    EXPECT_EQ(window.escapes, 1);
}

}  // namespace
}  // namespace tollvane
