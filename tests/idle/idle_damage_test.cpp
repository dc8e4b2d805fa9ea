// What the running program draws while nobody touches it, seen from the X server: the damage
// rectangles that the server reports for the program's windows. A tick may draw into the seconds
// box only, and into the minutes box in the tick that changes the minute; the text cursor blinks
// while the user is at the program, holds still after 10 s without input and blinks again at the
// next input; a hidden window draws nothing. Runs the real desktop on a private Xvfb.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QRegion>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <set>
#include <vector>

#include "platform/qt/clock.h"
#include "platform/qt/cursor_blink.h"
#include "platform/qt/desktop.h"
#include "platform/qt/font_stand_ins.h"
#include "platform/qt/form_view.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

// Last: Xlib defines macros (Status, Bool, None) that clash with Qt's headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

namespace tollvane {
namespace {

// The system's time moved on by a whole number of seconds, so that the minute turns over at a
// moment the test chooses.
class ShiftedClock : public Clock {
public:
    explicit ShiftedClock(int shiftSeconds) : m_shift(shiftSeconds) {}
    LocalDateTime now() const override {
        const QDateTime t = QDateTime::currentDateTime().addSecs(m_shift);
        return {t.date().year(),   t.date().month(),  t.date().day(), t.time().hour(),
                t.time().minute(), t.time().second(), t.time().msec()};
    }
    LocalDateTime at(long long wallMs) const override {
        return QtClock().at(wallMs + m_shift * 1000LL);
    }

private:
    int m_shift;
};

class SilentTone : public Tone {
public:
    void beep(std::int32_t, std::int32_t) override {}
};

// Every damage rectangle the X server reports for the watched windows, with its arrival time.
class DamageLog {
public:
    struct Hit {
        qint64 atMs;  // wall clock
        unsigned long window;
        QRect area;  // in the window's coordinates
    };

    DamageLog() : m_display(XOpenDisplay(nullptr)) {
        if (!m_display) return;
        int error = 0;
        m_ok = XDamageQueryExtension(m_display, &m_eventBase, &error);
        m_notifier =
            std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drain(); });
    }
    ~DamageLog() {
        m_notifier.reset();
        if (m_display) XCloseDisplay(m_display);
    }
    bool ok() const { return m_display && m_ok; }

    void watch(unsigned long window) {
        // Raw rectangles: one event per drawing, none merged away.
        XDamageCreate(m_display, window, XDamageReportRawRectangles);
        XSync(m_display, False);
    }
    void drain() {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type != m_eventBase + XDamageNotify) continue;
            const auto& d = reinterpret_cast<const XDamageNotifyEvent&>(event);
            m_hits.push_back({QDateTime::currentMSecsSinceEpoch(), d.drawable,
                              QRect(d.area.x, d.area.y, d.area.width, d.area.height)});
        }
    }
    // Processes events for `ms` and returns what was drawn meanwhile.
    std::vector<Hit> record(int ms) {
        drain();
        m_hits.clear();
        QTest::qWait(ms);
        XSync(m_display, False);
        drain();
        return std::exchange(m_hits, {});
    }

private:
    Display* m_display;
    bool m_ok = false;
    int m_eventBase = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<Hit> m_hits;
};

// Counts the paint events of a window and of everything on it.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && (w == &m_window || m_window.isAncestorOf(w))) ++count;
        }
        return false;
    }

private:
    QWidget& m_window;
};

QRect boxIn(FormView& view, const char* control) {
    QWidget* w = view.widget(control);
    return w ? QRect(w->mapTo(&view, QPoint(0, 0)), w->size()) : QRect();
}

struct Areas {
    QRect seconds, minutes, cursorBox;
};

// What each rectangle belongs to: "seconds" (inside the seconds box), "minutes" (inside the two
// clock boxes, reaching beyond the seconds box), "cursor" (inside the alarm-time box) or "other".
std::string classify(const QRect& r, const Areas& a) {
    if (a.seconds.contains(r)) return "seconds";
    if (QRegion(r).subtracted(QRegion(a.seconds).united(a.minutes)).isEmpty()) return "minutes";
    if (!a.cursorBox.isNull() && a.cursorBox.contains(r)) return "cursor";
    return "other";
}

std::map<std::string, int> tally(const std::vector<DamageLog::Hit>& hits, unsigned long window,
                                 const Areas& areas) {
    std::map<std::string, int> n;
    for (const auto& h : hits)
        if (h.window == window) ++n[classify(h.area, areas)];
    return n;
}

// Wall-clock seconds in which something of `kind` was drawn.
std::set<qint64> secondsWith(const std::vector<DamageLog::Hit>& hits, unsigned long window,
                             const Areas& areas, const std::string& kind) {
    std::set<qint64> s;
    for (const auto& h : hits)
        if (h.window == window && classify(h.area, areas) == kind) s.insert(h.atMs / 1000);
    return s;
}

std::string describe(const std::vector<DamageLog::Hit>& hits, const Areas& areas) {
    std::string out;
    for (const auto& h : hits) {
        const QRect& r = h.area;
        out += QStringLiteral("  %1.%2 0x%3 %4,%5 %6x%7 %8\n")
                   .arg(h.atMs / 1000 % 60)
                   .arg(h.atMs % 1000, 3, 10, QLatin1Char('0'))
                   .arg(h.window, 0, 16)
                   .arg(r.x())
                   .arg(r.y())
                   .arg(r.width())
                   .arg(r.height())
                   .arg(QString::fromStdString(classify(r, areas)))
                   .toStdString();
    }
    return out;
}

bool moveMouseOver(unsigned long window) {
    for (const char* at : {"20", "30"}) {
        QProcess xdotool;
        xdotool.start(QStringLiteral(TOLLVANE_XDOTOOL),
                      {QStringLiteral("mousemove"), QStringLiteral("--window"),
                       QString::number(window), QString::fromLatin1(at), QString::fromLatin1(at)});
        if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0) return false;
    }
    return true;
}

TEST(IdleDamage, TicksDrawOnlyTheChangedBoxesAndTheCursorRestsWithoutInput) {
    DamageLog damage;
    ASSERT_TRUE(damage.ok()) << "needs an X display with the DAMAGE extension";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    CursorBlink blink;  // as the program sets it up, with its 10 s
    ASSERT_GT(blink.flashTime(), 0) << "the display's cursor should blink to begin with";

    // The minute turns over about 14 s from now, after the cursor has come to rest.
    const int second = QDateTime::currentDateTime().time().second();
    ShiftedClock clock((60 - 14 - second + 60) % 60);
    SilentTone tone;
    Desktop::Options o;
    o.settingsPath = dir.filePath(QStringLiteral("settings.ini"));
    o.programDir = dir.filePath(QStringLiteral("bin"));
    o.userDataDir = dir.filePath(QStringLiteral("data"));
    o.browserProgram = dir.filePath(QStringLiteral("bin/no-browser-here"));
    o.autostartDir = dir.filePath(QStringLiteral("autostart"));
    o.tone = &tone;
    o.clock = &clock;
    Desktop desktop(o);
    desktop.start();
    frmAlarmClock& main = desktop.program().frmAlarmClock();
    FormView& mainView = *desktop.view(main);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainView));
    const unsigned long mainWindow = mainView.winId();
    damage.watch(mainWindow);
    const Areas mainAreas{boxIn(mainView, "txttimetot2"), boxIn(mainView, "txttimetot"),
                          boxIn(mainView, "TxtTime")};
    ASSERT_FALSE(mainAreas.seconds.isEmpty());
    ASSERT_TRUE(mainView.widget("TxtTime")->hasFocus());

    // While the user may be typing, the cursor blinks; the ticks draw the seconds.
    auto hits = damage.record(6000);
    auto n = tally(hits, mainWindow, mainAreas);
    EXPECT_GE(n["cursor"], 4) << describe(hits, mainAreas);
    EXPECT_GE(secondsWith(hits, mainWindow, mainAreas, "seconds").size(), 4u)
        << describe(hits, mainAreas);
    EXPECT_EQ(n["other"], 0) << describe(hits, mainAreas);

    // Ten seconds after the last input the cursor holds still; a tick draws the seconds box, and
    // the tick that turns the minute also the minutes box, nothing else.
    ASSERT_TRUE(QTest::qWaitFor([&] { return blink.stopped(); }, 8000));
    QTest::qWait(300);
    hits = damage.record(8000);
    n = tally(hits, mainWindow, mainAreas);
    EXPECT_EQ(n["cursor"], 0) << describe(hits, mainAreas);
    EXPECT_EQ(n["other"], 0) << describe(hits, mainAreas);
    EXPECT_GE(secondsWith(hits, mainWindow, mainAreas, "seconds").size(), 5u)
        << describe(hits, mainAreas);
    EXPECT_EQ(secondsWith(hits, mainWindow, mainAreas, "minutes").size(), 1u)
        << "the minutes box is drawn in the one tick that turns the minute\n"
        << describe(hits, mainAreas);

    // The next input makes it blink again.
    ASSERT_TRUE(moveMouseOver(mainWindow));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !blink.stopped(); }, 5000));
    hits = damage.record(2500);
    EXPECT_GE(tally(hits, mainWindow, mainAreas)["cursor"], 2) << describe(hits, mainAreas);

    // Clock view: the hidden main window draws nothing, even with its cursor blinking again;
    // the clock-only window draws its seconds box.
    desktop.dispatch([&main] { main.Click("MnuClock"); });
    FormView* clockView = desktop.view(desktop.program().frmclock());
    ASSERT_TRUE(clockView);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(clockView));
    ASSERT_FALSE(mainView.isVisible());
    const unsigned long clockWindow = clockView->winId();
    damage.watch(clockWindow);
    const Areas clockAreas{boxIn(*clockView, "txttimetot2"), boxIn(*clockView, "txttimetot"),
                           QRect()};
    QTest::qWait(500);
    PaintCounter mainPaints(mainView);
    hits = damage.record(4000);
    EXPECT_EQ(mainPaints.count, 0);
    EXPECT_EQ(tally(hits, mainWindow, mainAreas).size(), 0u) << describe(hits, mainAreas);
    n = tally(hits, clockWindow, clockAreas);
    EXPECT_EQ(n["other"], 0) << describe(hits, clockAreas);
    EXPECT_GE(secondsWith(hits, clockWindow, clockAreas, "seconds").size(), 3u)
        << describe(hits, clockAreas);
}

}  // namespace
}  // namespace tollvane

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    tollvane::useFontStandIns();  // the fonts the program draws its windows with
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
