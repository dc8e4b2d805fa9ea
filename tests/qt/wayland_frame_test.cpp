// The frame the program draws around its windows where a Wayland compositor draws none: the
// title-bar buttons each window's layout allows, the client area at its design size inside it,
// and the buttons doing what the desktop's own would.

#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "desktop_fixture.h"
#include "platform/qt/message_box.h"
#include "platform/qt/wayland_frame.h"
#include "platform/qt/wayland_session.h"
#include "windows/frm_about.h"
#include "windows/frmclock.h"

namespace tollvane::testing {
namespace {

constexpr int kSides = 2 * WaylandFrame::kBorder;
constexpr int kTopAndBottom = WaylandFrame::kTitleHeight + WaylandFrame::kBorder;

class Framed : public DesktopFixture {
protected:
    void SetUp() override { WaylandFrame::setWanted(true); }
    void TearDown() override {
        desktop.reset();
        WaylandFrame::setWanted(false);
    }
    FormView* viewOf(const std::function<bool(Form*)>& is) {
        for (Form* w : desktop->program().loadedWindows()) {
            if (is(w)) return desktop->view(*w);
        }
        return nullptr;
    }
    FormView* clockView() {
        return viewOf([](Form* w) { return dynamic_cast<frmclock*>(w) != nullptr; });
    }
    FormView* aboutView() {
        return viewOf([](Form* w) { return dynamic_cast<frmAbout*>(w) != nullptr; });
    }
    int menuHeight(FormView& v) { return v.menuBar()->sizeHint().height(); }
};

TEST_F(Framed, MainWindow_MinimizeAndClose_NoMaximize_ClientAtDesignSizeInBothWidths) {
    start();
    FormView& v = mainView();
    WaylandFrame* frame = WaylandFrame::of(v);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame->minimizeButton(), nullptr);
    EXPECT_NE(frame->closeButton(), nullptr);
    EXPECT_EQ(frame->maximizeButton(), nullptr);
    EXPECT_FALSE(frame->resizable());
    // The frame's buttons are the mouse's: the keyboard focus starts at the alarm box as ever.
    EXPECT_EQ(frame->closeButton()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(v.focusWidget(), widget("TxtTime"));
    EXPECT_EQ(v.clientSize(), QSize(231, 336));
    EXPECT_EQ(v.size(), QSize(231 + kSides, 336 + menuHeight(v) + kTopAndBottom));
    // The client area lies below the title bar and the menu bar, inside the side borders.
    const QPoint clientAt = v.centralWidget()->mapTo(&v, QPoint(0, 0));
    EXPECT_EQ(clientAt, QPoint(WaylandFrame::kBorder, WaylandFrame::kTitleHeight + menuHeight(v)));
    QTest::mouseClick(widget("cmdRem"), Qt::LeftButton);  // ">>>"
    EXPECT_EQ(v.clientSize(), QSize(569, 336));
    EXPECT_EQ(v.size(), QSize(569 + kSides, 336 + menuHeight(v) + kTopAndBottom));
    EXPECT_EQ(v.minimumSize(), v.maximumSize());
    EXPECT_EQ(frame->titleBar()->width(), v.width());    // the frame follows the width
    QTest::mouseClick(widget("CmdIn"), Qt::LeftButton);  // "<<<"
    EXPECT_EQ(v.clientSize(), QSize(231, 336));
}

TEST_F(Framed, MainWindow_CloseButton_RunsTheExitSequence) {
    start();
    bool ended = false;
    QObject::connect(desktop.get(), &Desktop::ended, [&] { ended = true; });
    QTest::keyClicks(widget("TxtTime"), "19:30");
    QTest::mouseClick(WaylandFrame::of(mainView())->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(ended);
    QSettings ini(options().settingsPath, QSettings::IniFormat);
    EXPECT_EQ(ini.value("vuvuririvivur/lastsettings/timealarm").toString(), "19:30");
}

TEST_F(Framed, MainWindow_MinimizeButton_Minimizes) {
    start();
    QTest::mouseClick(WaylandFrame::of(mainView())->minimizeButton(), Qt::LeftButton);
    EXPECT_TRUE(mainView().windowState() & Qt::WindowMinimized);
}

TEST_F(Framed, ClockWindow_MinimizeAndClose_NoMaximize_Resizable_ClientAtDesignSize) {
    start();
    mainView().findChild<QAction*>("MnuClock")->trigger();
    FormView* clock = clockView();
    ASSERT_NE(clock, nullptr);
    WaylandFrame* frame = WaylandFrame::of(*clock);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame->minimizeButton(), nullptr);
    EXPECT_NE(frame->closeButton(), nullptr);
    EXPECT_EQ(frame->maximizeButton(), nullptr);
    EXPECT_TRUE(frame->resizable());
    EXPECT_EQ(clock->clientSize(), QSize(233, 98));  // 3495 x 1470 twips
    EXPECT_EQ(clock->size(), QSize(233 + kSides, 98 + menuHeight(*clock) + kTopAndBottom));
}

TEST_F(Framed, ClockWindow_CloseButton_BringsTheMainWindowBack) {
    start();
    mainView().findChild<QAction*>("MnuClock")->trigger();
    ASSERT_NE(clockView(), nullptr);
    QTest::mouseClick(WaylandFrame::of(*clockView())->closeButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(mainView().isVisible());
    EXPECT_FALSE(desktop->program().ended());
}

TEST_F(Framed, AboutWindow_CloseButtonOnly_AndItCloses) {
    start();
    mainView().findChild<QAction*>("MnuAbout")->trigger();
    FormView* about = aboutView();
    ASSERT_NE(about, nullptr);
    WaylandFrame* frame = WaylandFrame::of(*about);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->minimizeButton(), nullptr);
    EXPECT_EQ(frame->maximizeButton(), nullptr);
    ASSERT_NE(frame->closeButton(), nullptr);
    EXPECT_FALSE(frame->resizable());
    EXPECT_EQ(about->clientSize(), QSize(382, 237));
    QTest::mouseClick(frame->closeButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(aboutView(), nullptr);
    EXPECT_FALSE(desktop->program().ended());
}

TEST_F(Framed, HelpWindow_TheViewerSitsInAFramedWindowThatCarriesTheTitle) {
    start();
    mainView().findChild<QAction*>("MnuHow")->trigger();
    QTextBrowser* viewer = desktop->helpWindow().window();
    ASSERT_NE(viewer, nullptr);
    QWidget* window = viewer->window();
    ASSERT_NE(window, viewer);
    WaylandFrame* frame = WaylandFrame::of(*window);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Tollvane Help (not found)");
    EXPECT_NE(frame->maximizeButton(), nullptr);  // a plain resizable window
    EXPECT_TRUE(frame->maximizeButton()->isVisible());
    EXPECT_EQ(viewer->geometry(), window->contentsRect());
}

TEST(WaylandFrameMessageBox, Framed_CloseOnly_ItsTextAndButtonBelowTheTitleBar) {
    WaylandFrame::setWanted(true);
    QtMessageBox messages;
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        WaylandFrame* frame = WaylandFrame::of(*box);
        EXPECT_NE(frame, nullptr);
        if (frame) {
            EXPECT_EQ(frame->minimizeButton(), nullptr);
            EXPECT_EQ(frame->maximizeButton(), nullptr);
            EXPECT_NE(frame->closeButton(), nullptr);
        }
        for (QWidget* w : {static_cast<QWidget*>(box->findChild<QLabel*>("qt_msgbox_label")),
                           static_cast<QWidget*>(box->button(QMessageBox::Ok))}) {
            ASSERT_NE(w, nullptr);
            const QRect at(w->mapTo(box, QPoint(0, 0)), w->size());
            EXPECT_GE(at.top(), WaylandFrame::kTitleHeight);
            EXPECT_TRUE(box->rect().contains(at));
        }
        box->button(QMessageBox::Ok)->click();
    });
    messages.show("Reminder Set", "Status:");
    WaylandFrame::setWanted(false);
    EXPECT_TRUE(seen);
}

TEST(WaylandFrameButtons, MaximizeShownOnlyWhileTheWindowCanBeResized_AndItToggles) {
    QWidget window;  // a plain window: its flags allow all three buttons
    WaylandFrame* frame = WaylandFrame::add(window);
    window.resize(300, 200);
    window.show();
    ASSERT_NE(frame->maximizeButton(), nullptr);
    EXPECT_TRUE(frame->maximizeButton()->isVisible());
    QTest::mouseClick(frame->maximizeButton(), Qt::LeftButton);
    EXPECT_TRUE(window.isMaximized());
    QTest::mouseClick(frame->maximizeButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isMaximized());
    window.setFixedSize(320, 240);
    EXPECT_FALSE(frame->resizable());
    EXPECT_FALSE(frame->maximizeButton()->isVisible());
    // A double click on the title bar maximizes only what the maximize button would.
    QTest::mouseDClick(frame->titleBar(), Qt::LeftButton);
    EXPECT_FALSE(window.isMaximized());
}

TEST(WaylandFrameButtons, AddedTwice_OneFrame_MarginsOnce) {
    QWidget window;
    WaylandFrame* first = WaylandFrame::add(window);
    EXPECT_EQ(WaylandFrame::add(window), first);
    EXPECT_EQ(window.findChildren<WaylandFrame*>().size(), 1);
    EXPECT_EQ(window.contentsMargins(), QMargins(WaylandFrame::kBorder, WaylandFrame::kTitleHeight,
                                                 WaylandFrame::kBorder, WaylandFrame::kBorder));
}

// Off Wayland (here the offscreen platform, as under X11) nothing of it happens: no own frames,
// no token passed, so a second start sends the plain request as before.
TEST(WaylandSession, OffWayland_NoOwnFrames_NoToken_TheLaunchersTokenLeavesTheEnvironment) {
    const QByteArray was = qgetenv("XDG_ACTIVATION_TOKEN");
    qputenv("XDG_ACTIVATION_TOKEN", "from-the-launcher");
    EXPECT_FALSE(onWayland());
    EXPECT_FALSE(drawsOwnFrames());
    EXPECT_TRUE(activationTokenForHandOver().isEmpty());
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
    QWidget window;
    window.show();
    bringToFront(window, QStringLiteral("a-token"));  // does nothing, and does not fail
    if (!was.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", was);
}

}  // namespace
}  // namespace tollvane::testing
