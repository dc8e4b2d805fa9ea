// The text cursor's rest after a stretch without input, on the offscreen platform with a short
// stretch: when it stops and starts again, which events count as input, and the desktop's own
// flash time, including "no blinking".

#include "platform/qt/cursor_blink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

namespace tollvane {
namespace {

constexpr int kIdleMs = 300;

class CursorBlinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = QGuiApplication::styleHints()->cursorFlashTime();
        QApplication::setCursorFlashTime(1000);
        edit.show();
        edit.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    }
    void TearDown() override { QApplication::setCursorFlashTime(m_saved); }
    static int flashTime() { return QGuiApplication::styleHints()->cursorFlashTime(); }

    QLineEdit edit;

private:
    int m_saved = 0;
};

TEST_F(CursorBlinkTest, StopsAfterTheIdleStretchAndBlinksAgainAtTheNextKeyOrMouseInput) {
    CursorBlink blink(kIdleMs);
    EXPECT_FALSE(blink.stopped());
    EXPECT_EQ(flashTime(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
    EXPECT_EQ(flashTime(), 0);  // held steady
    EXPECT_EQ(blink.flashTime(), 1000);

    QTest::keyClick(&edit, Qt::Key_A);
    EXPECT_FALSE(blink.stopped());
    EXPECT_EQ(flashTime(), 1000);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));  // the input itself still arrives

    ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
    QTest::mouseClick(&edit, Qt::LeftButton);
    EXPECT_FALSE(blink.stopped());
    EXPECT_EQ(flashTime(), 1000);
}

TEST_F(CursorBlinkTest, InputDuringTheStretchPostponesTheStop) {
    CursorBlink blink(kIdleMs);
    QElapsedTimer since;
    since.start();
    // Typing every 100 ms for a second: no stop in between, whatever the timer's phase.
    while (since.elapsed() < 1000) {
        QTest::keyClick(&edit, Qt::Key_B);
        EXPECT_FALSE(blink.stopped());
        QTest::qWait(100);
    }
    EXPECT_EQ(flashTime(), 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
}

TEST_F(CursorBlinkTest, SyntheticEventsOfTheProgramAreNotInput) {
    CursorBlink blink(kIdleMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_C, Qt::NoModifier, QStringLiteral("c"));
    QApplication::sendEvent(&edit, &key);  // not spontaneous: the program's own
    EXPECT_TRUE(blink.stopped());
    EXPECT_EQ(flashTime(), 0);
}

TEST_F(CursorBlinkTest, DesktopWithoutBlinkingIsLeftAlone) {
    QApplication::setCursorFlashTime(0);
    CursorBlink blink(kIdleMs);
    QTest::qWait(3 * kIdleMs);
    QTest::keyClick(&edit, Qt::Key_A);
    EXPECT_FALSE(blink.stopped());
    EXPECT_EQ(flashTime(), 0);
}

TEST_F(CursorBlinkTest, FollowsTheDesktopsNewRateAndRestoresItWhenDone) {
    {
        CursorBlink blink(kIdleMs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
        // The desktop's setting changes while the cursor rests: the new rate is the one restored.
        QApplication::setCursorFlashTime(600);
        EXPECT_EQ(blink.flashTime(), 600);
        EXPECT_FALSE(blink.stopped());
        ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
        QTest::keyClick(&edit, Qt::Key_A);
        EXPECT_EQ(flashTime(), 600);
        // ... and turned off while it blinks: nothing to stop any more, and the next input
        // does not bring blinking back.
        EXPECT_FALSE(blink.stopped());
        QApplication::setCursorFlashTime(0);
        QTest::qWait(3 * kIdleMs);
        QTest::keyClick(&edit, Qt::Key_A);
        EXPECT_FALSE(blink.stopped());
        EXPECT_EQ(flashTime(), 0);
        QApplication::setCursorFlashTime(800);
        ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 5000));
    }
    EXPECT_EQ(flashTime(), 800);  // gone while resting: the desktop's rate is back
}

}  // namespace
}  // namespace tollvane
