// A ring holds the program for its whole length: the windows keep repainting, but a click made
// meanwhile is handled only after the last beep.

#include <QMouseEvent>
#include <QTimer>

#include "desktop_fixture.h"

namespace tollvane::testing {
namespace {

class RingEvents : public DesktopFixture {};

void postClick(QWidget* w) {
    const QPointF at = QRectF(w->rect()).center();
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, w->mapToGlobal(at),
                                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        w, new QMouseEvent(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                           Qt::NoButton, Qt::NoModifier));
}

class PaintCounter : public QObject {
public:
    explicit PaintCounter(Desktop& d) : m_desktop(d) {}
    int duringRing = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && m_desktop.ringing()) ++duringRing;
        return false;
    }

private:
    Desktop& m_desktop;
};

TEST_F(RingEvents, LongRing_WindowRepaints_StopClickedDuringItIsHandledAfterIt) {
    fakes::FakeClock clock;
    clock.set(2026, 12, 7, 7, 30, 0);
    start(&clock);
    main().TxtTime.Text = "7:30";
    main().beepFreq = "800";
    main().beepDura = "300";
    main().beepAmount = "3";
    desktop->dispatch([&] {
        main().CmdSet.Enabled = false;
        main().CmdReset.Enabled = true;
    });

    PaintCounter paints(*desktop);
    mainView().findChild<QWidget*>("client")->installEventFilter(&paints);
    bool checkEnabledDuringRing = false;
    QTimer::singleShot(150, [&] {
        ASSERT_TRUE(desktop->ringing());
        checkEnabledDuringRing = main().Timer2.Enabled;
        postClick(widget("CmdReset"));
        mainView().findChild<QWidget*>("client")->update();
    });
    desktop->dispatch([&] { main().Timer1_Timer(); });

    EXPECT_EQ(tone.count(), 3u);
    EXPECT_GT(paints.duringRing, 0);
    QTest::qWait(50);  // let the posted click through
    // Had Stop run inside the ring, the ring's end would have written "7:30 Has Passed" after it.
    EXPECT_EQ(main().TxtTime.Text, "");
    EXPECT_TRUE(main().CmdSet.Enabled);
    EXPECT_FALSE(main().CmdReset.Enabled);
    // The tick that rang started the reminder check, and the check ran once the ring was over.
    EXPECT_TRUE(checkEnabledDuringRing);
    QTRY_VERIFY(!main().Timer2.Enabled);
}

TEST_F(RingEvents, ToneThatNeverEnds_WatchdogEndsTheWait) {
    class StuckTone : public Tone {
    public:
        void beep(std::int32_t, std::int32_t) override {
            std::unique_lock lock(mutex);
            release.wait(lock, [this] { return released; });
        }
        std::mutex mutex;
        std::condition_variable release;
        bool released = false;
    } stuck;
    {
        bool ringingSeen = false;
        RingingTone ring(stuck, [&](bool on) { ringingSeen |= on; });
        QElapsedTimer t;
        t.start();
        ring.beep(800, 50);  // the worker sticks; the watchdog gives up on the wait
        ring.beep(800, 50);  // the worker is still stuck: silence of the beep's length
        EXPECT_TRUE(ringingSeen);
        EXPECT_LT(t.elapsed(), 50 + RingingTone::kWatchdogMarginMs + 50 + 5000);
        {
            std::lock_guard lock(stuck.mutex);
            stuck.released = true;
        }
        stuck.release.notify_all();
    }
}

}  // namespace
}  // namespace tollvane::testing
