// A ring holds the program for its whole length: the windows keep repainting, but a click made
// meanwhile is handled only after the last beep.

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSettings>
#include <QTimer>
#include <condition_variable>

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
        RingingTone ring(std::shared_ptr<Tone>(&stuck, [](Tone*) {}));
        QElapsedTimer t;
        t.start();
        ring.beep(800, 50);  // the worker sticks; the watchdog gives up on the wait
        ring.beep(800, 50);  // the worker is still stuck: silence of the beep's length
        EXPECT_LT(t.elapsed(), 50 + RingingTone::kWatchdogMarginMs + 50 + 5000);
        {
            std::lock_guard lock(stuck.mutex);
            stuck.released = true;
        }
        stuck.release.notify_all();
    }
}

// A tone that never returns (a sound server stuck in a call) until the test lets it go, or eight
// seconds have passed: a wait without a bound then shows as a failure, not as a hang.
class StuckTone : public Tone {
public:
    StuckTone() : m_rescue([this] { release(std::chrono::seconds(8)); }) {}
    ~StuckTone() override {
        release(std::chrono::seconds(0));
        m_rescue.join();
    }
    void beep(std::int32_t, std::int32_t) override {
        std::unique_lock lock(m_mutex);
        ++m_inside;
        m_changed.wait(lock, [this] { return m_released; });
        --m_inside;
        m_changed.notify_all();
    }
    // Lets every tone return after `after` (at once for 0), then waits until they have: a worker
    // left behind still has to leave the tone before this object goes.
    void release(std::chrono::seconds after) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, after, [this] { return m_released; });
        m_released = true;
        m_changed.notify_all();
        m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_inside == 0; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_released = false;
    int m_inside = 0;
    std::thread m_rescue;
};

// The end of the program waits only briefly for a worker stuck inside a tone. The tone is let go
// after eight seconds at the latest, so a wait without a bound shows as a failure, not a hang.
TEST_F(RingEvents, ToneThatNeverEnds_TheEndWaitsOnlyBriefly) {
    StuckTone stuck;
    QElapsedTimer t;
    {
        RingingTone ring(std::shared_ptr<Tone>(&stuck, [](Tone*) {}));
        ring.beep(800, 50);
        t.start();
    }
    EXPECT_LT(t.elapsed(), RingingTone::kEndWaitMs + 500);
}

// Asked to end while the sound server hangs in the middle of a ring: the program ends soon after
// the beep's length, with the values saved, and its windows and threads go without waiting for
// the server.
TEST_F(RingEvents, EndRequestWhileTheToneHangs_EndsSoonAfterTheBeepsLengthAndSaves) {
    StuckTone stuck;
    fakes::FakeClock clock;
    clock.set(2026, 12, 7, 7, 30, 0);
    Desktop::Options o = options(&clock);
    o.tone = &stuck;
    desktop = std::make_unique<Desktop>(o);
    desktop->start();
    main().TxtTime.Text = "7:30";
    main().txtfreq1.Text = "800";
    main().txtdura1.Text = "400";
    main().txtam.Text = "5";
    desktop->dispatch([&] { main().CmdSet_Click(); });

    QElapsedTimer sinceRequest;
    QTimer::singleShot(100, [&] {
        ASSERT_TRUE(desktop->ringing());
        sinceRequest.start();
        desktop->endFromOutside();
    });
    desktop->dispatch([&] { main().Timer1_Timer(); });
    const qint64 ended = sinceRequest.elapsed();
    desktop.reset();
    const qint64 gone = sinceRequest.elapsed();

    EXPECT_LT(ended, 400 + 2000) << "ended " << ended << " ms after the request";
    EXPECT_LT(gone, 400 + 2000) << "the desktop was gone " << gone << " ms after the request";
    QSettings saved(o.settingsPath, QSettings::IniFormat);
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/timealarm").toString(),
              QStringLiteral("7:30 Has Passed"));
    EXPECT_EQ(saved.value("vuvuririvivur/lastsettings/alarmmusic2").toString(),
              QStringLiteral("400"));
}

}  // namespace
}  // namespace tollvane::testing
