// SecondTimer on a simulated wall clock: where each shot is aimed, and what a clock set, a resume
// from sleep, stop() and a replaced shot do, without touching the machine's clock.

#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "fake_second_timer_backend.h"
#include "platform/qt/second_timer.h"

using namespace std::chrono;
using namespace std::chrono_literals;

namespace tollvane::test {
namespace {

// A SecondTimer that owns a fake backend, and a handle on the fake.
struct Rig {
    explicit Rig(WallTime start) : Rig(std::make_unique<FakeSecondTimerBackend>(start)) {}

    FakeSecondTimerBackend* fake;
    SecondTimer timer;

private:
    explicit Rig(std::unique_ptr<FakeSecondTimerBackend> backend)
        : fake(backend.get()), timer(std::move(backend)) {}
};

qint64 toNs(WallTime t) {
    return t.time_since_epoch().count();
}
WallTime fromNs(qint64 ns) {
    return WallTime(nanoseconds(ns));
}
seconds wholeSecond(WallTime t) {
    return floor<seconds>(t).time_since_epoch();
}

}  // namespace

class SecondTimerInjectedTest : public QObject {
    Q_OBJECT

private slots:
    void startAtNextSecond_ArmsJustAfterTheNextWholeSecond_data() {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("expectedSecond");
        const auto add = [](const char* name, WallTime now, WallTime expected) {
            QTest::newRow(name) << toNs(now) << toNs(expected);
        };
        add("a quarter into the second", wallTime(12, 0, 0, 250ms), wallTime(12, 0, 1));
        add("last nanosecond of the second", wallTime(12, 0, 0, 999'999'999ns), wallTime(12, 0, 1));
        add("exactly on the second", wallTime(12, 0, 1), wallTime(12, 0, 2));
        add("just after the second", wallTime(12, 0, 1, 50us), wallTime(12, 0, 2));
        add("across midnight", wallTime(23, 59, 59, 500ms), wallTime(24, 0, 0));
    }

    void startAtNextSecond_ArmsJustAfterTheNextWholeSecond() {
        QFETCH(qint64, now);
        QFETCH(qint64, expectedSecond);
        Rig rig(fromNs(now));

        rig.timer.startAtNextSecond();

        QVERIFY(rig.timer.isActive());
        QVERIFY(rig.fake->deadline().has_value());
        const nanoseconds afterSecond = *rig.fake->deadline() - fromNs(expectedSecond);
        QVERIFY2(afterSecond >= 0ns && afterSecond <= 200us,
                 qPrintable(QString::number(afterSecond.count()) + " ns after the second"));
    }

    void ticksRearmedInHandler_ShowEverySecondOnceWithoutDrift() {
        // The program's pattern: a first shot 100 ms after start, then each handler (which takes
        // a few milliseconds) aims at the next second. An interval would drift by those
        // milliseconds every tick.
        Rig rig(wallTime(12, 0, 0, 437ms));
        QList<WallTime> ticks;
        connect(&rig.timer, &SecondTimer::timeout, this, [&] {
            QVERIFY(!rig.timer.isActive());
            ticks.append(rig.fake->now());
            rig.fake->advance(3ms);
            rig.timer.startAtNextSecond();
        });
        rig.timer.startAfter(100);

        while (ticks.size() < 301) rig.fake->advance(250us);

        QCOMPARE(ticks.front(), wallTime(12, 0, 0, 537ms));
        for (qsizetype i = 1; i < ticks.size(); ++i) {
            QCOMPARE(wholeSecond(ticks[i]), wholeSecond(ticks[0]) + seconds(i));
            QVERIFY(ticks[i] - floor<seconds>(ticks[i]) <= 200us + 250us);
        }
    }

    void clockSetWhileArmed_TimesOutAtOnceThenFollowsTheNewTime_data() {
        QTest::addColumn<qint64>("newNow");
        const auto add = [](const char* name, WallTime t) { QTest::newRow(name) << toNs(t); };
        add("back an hour", wallTime(11, 0, 0, 600ms));
        add("back 300 ms", wallTime(12, 0, 0, 200ms));
        add("forward 2 s", wallTime(12, 0, 2, 500ms));
        add("forward a day", wallTime(36, 0, 0, 500ms));
    }

    void clockSetWhileArmed_TimesOutAtOnceThenFollowsTheNewTime() {
        QFETCH(qint64, newNow);
        Rig rig(wallTime(12, 0, 0, 500ms));
        QList<WallTime> ticks;
        connect(&rig.timer, &SecondTimer::timeout, this, [&] {
            ticks.append(rig.fake->now());
            rig.timer.startAtNextSecond();
        });
        rig.timer.startAtNextSecond();

        rig.fake->setClock(fromNs(newNow));

        QCOMPARE(ticks.size(), 1);
        QCOMPARE(ticks[0], fromNs(newNow));
        QVERIFY(rig.timer.isActive());
        QCOMPARE(wholeSecond(*rig.fake->deadline()), wholeSecond(fromNs(newNow)) + 1s);

        // The old deadline is gone: the next tick is the first second of the new time.
        rig.fake->advance(999ms);
        QCOMPARE(ticks.size(), 2);
        QCOMPARE(wholeSecond(ticks[1]), wholeSecond(fromNs(newNow)) + 1s);
    }

    void resumeFromSleep_OneTimeoutThenTheSecondsAfterWaking() {
        Rig rig(wallTime(12, 0, 0, 500ms));
        QList<WallTime> ticks;
        connect(&rig.timer, &SecondTimer::timeout, this, [&] {
            ticks.append(rig.fake->now());
            rig.timer.startAtNextSecond();
        });
        rig.timer.startAtNextSecond();

        rig.fake->sleepFor(3h + 250ms);

        QCOMPARE(ticks.size(), 1);  // not one for each second slept through
        QCOMPARE(ticks[0], wallTime(15, 0, 0, 750ms));
        rig.fake->advance(250ms + SecondTimer::kMargin);
        QCOMPARE(ticks.size(), 2);
        QCOMPARE(wholeSecond(ticks[1]), wholeSecond(wallTime(15, 0, 1)));
    }

    void stop_NoTimeoutFromTheClockASetOrALateNotification_data() {
        QTest::addColumn<bool>("atNextSecond");
        QTest::newRow("startAtNextSecond") << true;
        QTest::newRow("startAfter") << false;
    }

    void stop_NoTimeoutFromTheClockASetOrALateNotification() {
        QFETCH(bool, atNextSecond);
        Rig rig(wallTime(12, 0, 0, 500ms));
        QSignalSpy timeouts(&rig.timer, &SecondTimer::timeout);
        atNextSecond ? rig.timer.startAtNextSecond() : rig.timer.startAfter(100);

        rig.timer.stop();

        QVERIFY(!rig.timer.isActive());
        QVERIFY(!rig.fake->armed());
        rig.fake->advance(5s);
        rig.fake->setClock(wallTime(8, 0, 0));
        rig.fake->deliverLateNotification();
        QCOMPARE(timeouts.size(), 0);
    }

    void startAfter_OneShotAfterTheDelay() {
        Rig rig(wallTime(12, 0, 0, 950ms));
        QSignalSpy timeouts(&rig.timer, &SecondTimer::timeout);

        rig.timer.startAfter(100);
        rig.fake->advance(99ms);
        QCOMPARE(timeouts.size(), 0);
        rig.fake->advance(1ms);
        QCOMPARE(timeouts.size(), 1);
        QVERIFY(!rig.timer.isActive());

        rig.timer.startAfter(-5);
        QCOMPARE(rig.fake->relativeLeft(), std::optional<nanoseconds>(0ns));
    }
};

}  // namespace tollvane::test

QTEST_GUILESS_MAIN(tollvane::test::SecondTimerInjectedTest)
#include "second_timer_injected_test.moc"
