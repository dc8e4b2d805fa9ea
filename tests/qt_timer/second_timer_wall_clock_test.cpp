// SecondTimer on the machine's wall clock, with each real backend: the shots land early in the
// new second, one per start, and stop() and a new start replace what was armed. Only correctness
// is checked, with generous bounds; tick_bench measures how early.

#include <QDateTime>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "platform/qt/second_timer.h"

using namespace std::chrono;
using namespace std::chrono_literals;

namespace tollvane::test {
namespace {

// A shot this late into its second is not "at" the second, on any machine load a test sees.
constexpr qint64 kLatestMsIntoSecond = 300;

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}
qint64 secondOf(qint64 ms) {
    return ms / 1000;
}
qint64 msIntoSecond(qint64 ms) {
    return ms % 1000;
}

// Waits until the wall clock is 500-900 ms into a second, so that a shot aimed a whole interval
// after arming (instead of at the next second) would land visibly late.
void waitUntilLateInTheSecond() {
    const qint64 into = msIntoSecond(nowMs());
    if (into < 500) QTest::qWait(int(600 - into));
    if (into > 900) QTest::qWait(int(1600 - into));
}

}  // namespace

class SecondTimerWallClockTest : public QObject {
    Q_OBJECT

    std::unique_ptr<SecondTimer> makeTimer() {
        QFETCH(QString, backend);
        if (backend == QLatin1String("precise QTimer"))
            return std::make_unique<SecondTimer>(makePreciseQTimerBackend());
        return std::make_unique<SecondTimer>();
    }

    static void addBackendRows() {
        QTest::addColumn<QString>("backend");
        QTest::newRow("system") << QStringLiteral("system");
        QTest::newRow("precise QTimer") << QStringLiteral("precise QTimer");
    }

private slots:

    void systemBackend_IsTheRealtimeTimerfdOnLinux() {
#ifdef __linux__
        QVERIFY(makeTimerfdBackend() != nullptr);
#else
        QSKIP("no timerfd on this system");
#endif
    }

    void timerfd_DeadlineTheKernelRefuses_ShootsThroughTheQTimerInstead() {
#ifdef __linux__
        auto backend = makeTimerfdBackend();
        QVERIFY(backend != nullptr);
        int shots = 0;
        backend->setHandler([&] { ++shots; });
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("timerfd_settime failed")));

        backend->armAt(WallTime(-1s));  // before 1970: the kernel has no such time

        QTRY_COMPARE_WITH_TIMEOUT(shots, 1, 3000);
        backend->armAfter(50ms);  // and the tick goes on
        QTRY_COMPARE_WITH_TIMEOUT(shots, 2, 3000);
#else
        QSKIP("no timerfd on this system");
#endif
    }

    void ticksRearmedInHandler_LandEarlyInEachNextSecond_data() {
        addBackendRows();
    }
    void ticksRearmedInHandler_LandEarlyInEachNextSecond() {
        auto timer = makeTimer();
        QList<qint64> ticks;
        connect(timer.get(), &SecondTimer::timeout, this, [&] {
            ticks.append(nowMs());
            QVERIFY(!timer->isActive());
            if (ticks.size() < 3) timer->startAtNextSecond();
        });
        waitUntilLateInTheSecond();

        const qint64 before = nowMs();
        timer->startAtNextSecond();
        const qint64 after = nowMs();
        QVERIFY(timer->isActive());

        QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 3, 6000);
        const qint64 first = secondOf(ticks[0]);
        QVERIFY2(first == secondOf(before) + 1 || first == secondOf(after) + 1,
                 qPrintable(QStringLiteral("armed at %1, shot at %2").arg(before).arg(ticks[0])));
        for (qsizetype i = 0; i < ticks.size(); ++i) {
            QCOMPARE(secondOf(ticks[i]), first + i);
            QVERIFY2(msIntoSecond(ticks[i]) < kLatestMsIntoSecond,
                     qPrintable(QStringLiteral("tick %1 came %2 ms into its second")
                                    .arg(i)
                                    .arg(msIntoSecond(ticks[i]))));
        }
        QTest::qWait(1200);
        QCOMPARE(ticks.size(), 3);
        QVERIFY(!timer->isActive());
    }

    void startAfter_OneShotNoEarlierThanTheDelay_data() {
        addBackendRows();
    }
    void startAfter_OneShotNoEarlierThanTheDelay() {
        auto timer = makeTimer();
        QSignalSpy timeouts(timer.get(), &SecondTimer::timeout);
        QElapsedTimer elapsed;
        elapsed.start();

        timer->startAfter(100);

        QVERIFY(timer->isActive());
        QVERIFY(timeouts.wait(3000));
        QVERIFY2(elapsed.elapsed() >= 99, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(!timer->isActive());
        QTest::qWait(300);
        QCOMPARE(timeouts.size(), 1);
    }

    void stop_NoShotFromEitherStart_data() {
        addBackendRows();
    }
    void stop_NoShotFromEitherStart() {
        auto relative = makeTimer();
        auto atSecond = makeTimer();
        auto destroyed = makeTimer();
        QSignalSpy relativeTimeouts(relative.get(), &SecondTimer::timeout);
        QSignalSpy atSecondTimeouts(atSecond.get(), &SecondTimer::timeout);
        relative->startAfter(50);
        atSecond->startAtNextSecond();
        destroyed->startAfter(20);

        relative->stop();
        atSecond->stop();
        destroyed.reset();  // must not leave a notification behind for a dead timer

        QVERIFY(!relative->isActive());
        QVERIFY(!atSecond->isActive());
        QTest::qWait(1300);
        QCOMPARE(relativeTimeouts.size(), 0);
        QCOMPARE(atSecondTimeouts.size(), 0);
    }

    void startWhileArmed_ReplacesTheShot_data() {
        addBackendRows();
    }
    void startWhileArmed_ReplacesTheShot() {
        auto timer = makeTimer();
        QSignalSpy timeouts(timer.get(), &SecondTimer::timeout);
        qint64 shotAt = 0;
        connect(timer.get(), &SecondTimer::timeout, this, [&] { shotAt = nowMs(); });

        // A long relative shot replaced by the next second: comes in the next second.
        timer->startAfter(3000);
        const qint64 before = nowMs();
        timer->startAtNextSecond();
        const qint64 after = nowMs();
        QVERIFY(timeouts.wait(2500));
        QVERIFY(secondOf(shotAt) == secondOf(before) + 1 ||
                secondOf(shotAt) == secondOf(after) + 1);

        // The next second replaced by a longer relative shot: not before that delay.
        QElapsedTimer elapsed;
        elapsed.start();
        timer->startAtNextSecond();
        timer->startAfter(1200);
        QVERIFY(timeouts.wait(3000));
        QVERIFY2(elapsed.elapsed() >= 1199, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(timeouts.size(), 2);
    }

    // The QTimer backend counts monotonic time; these give it a wall clock that disagrees.
    void preciseQTimer_WallClockBehind_ShotWaitsForTheDeadline() {
        nanoseconds offset{0};
        auto backend = makePreciseQTimerBackend([&] { return systemWallClock() + offset; });
        QList<WallTime> shots;
        backend->setHandler([&] { shots.append(backend->now()); });
        const WallTime deadline = backend->now() + 100ms;

        backend->armAt(deadline);
        offset = -30ms;

        QTRY_COMPARE_WITH_TIMEOUT(shots.size(), 1, 3000);
        QVERIFY(shots[0] >= deadline);
    }

    void preciseQTimer_WallClockSetBackAnHour_ShotComesWithoutWaitingForIt() {
        nanoseconds offset{0};
        auto backend = makePreciseQTimerBackend([&] { return systemWallClock() + offset; });
        int shots = 0;
        backend->setHandler([&] { ++shots; });

        backend->armAt(backend->now() + 200ms);
        offset = -1h;

        QTRY_COMPARE_WITH_TIMEOUT(shots, 1, 3000);
    }
};

}  // namespace tollvane::test

QTEST_GUILESS_MAIN(tollvane::test::SecondTimerWallClockTest)
#include "second_timer_wall_clock_test.moc"
