// A ring holds the program for its whole length: the windows keep repainting, but a click made
// meanwhile is handled only after the last beep.

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSettings>
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

// Asked to end during a long ring (a logout, `kill`): the ring stops after the tone that is
// sounding and the exit sequence runs before the click the user made during the ring, so the rung
// alarm and the boxes are saved and the program ends at once.
TEST_F(RingEvents, EndRequestDuringRing_RingStopsAfterTheSoundingTone_SavedBeforeHeldClick) {
    fakes::FakeClock clock;
    clock.set(2026, 12, 7, 7, 30, 0);
    start(&clock);
    main().TxtTime.Text = "7:30";
    main().txtfreq1.Text = "800";
    main().txtdura1.Text = "200";
    main().txtam.Text = "20";
    desktop->dispatch([&] { main().CmdSet_Click(); });
    bool ended = false;
    QObject::connect(desktop.get(), &Desktop::ended, [&] { ended = true; });

    QTimer::singleShot(300, [&] {  // in the second tone of twenty
        ASSERT_TRUE(desktop->ringing());
        postClick(widget("CmdReset"));
        QTest::qWait(20);  // the click is held, not handled
        desktop->endFromOutside();
        desktop->endFromOutside();  // a second request changes nothing
    });
    desktop->dispatch([&] { main().Timer1_Timer(); });

    EXPECT_EQ(tone.count(), 2u);  // the sounding tone was the last
    EXPECT_TRUE(desktop->program().ended());
    EXPECT_TRUE(ended);
    QSettings saved(options().settingsPath, QSettings::IniFormat);
    EXPECT_EQ(
        saved.value("vuvuririvivur/lastsettings/timealarm").toString(),
        QStringLiteral("7:30 Has Passed"));  // Stop did not run first: it would have emptied it
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/alarmmusic3").toString(),
              QStringLiteral("20"));
    QTest::qWait(50);  // the held click reaches an ended program: nothing happens
    EXPECT_FALSE(main().CmdSet.Enabled);
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
