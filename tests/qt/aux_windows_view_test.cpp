// The About window, the help window and the clock-only window as the user meets them.

#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>

#include "desktop_fixture.h"
#include "windows/frm_about.h"
#include "windows/frmclock.h"
#include "windows/frmhelp.h"

namespace tollvane::testing {
namespace {

class AuxWindows : public DesktopFixture {
protected:
    void openAbout() { mainView().findChild<QAction*>("MnuAbout")->trigger(); }
    FormView* aboutView() {
        for (Form* w : desktop->program().loadedWindows()) {
            if (dynamic_cast<frmAbout*>(w)) return desktop->view(*w);
        }
        return nullptr;
    }
};

TEST_F(AuxWindows, About_ShowsTitleAndVersion_AtItsPlaceAndSize) {
    start();
    openAbout();
    FormView* about = aboutView();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "About Tollvane3");
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), "Tollvane3");
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), "Version 3.0.0");
    EXPECT_EQ(about->clientSize(), QSize(382, 237));  // 5730 x 3555 twips
    EXPECT_EQ(about->widget("cmdOK")->geometry(), QRect(283, 184, 84, 31));
    EXPECT_TRUE(about->widget("lblDescription")->property("wordWrap").toBool());
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(about->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
}

// The OK button's picture: light yellow at the top shading down to blue, alike all along each
// row, with the caption over it.
TEST_F(AuxWindows, About_OkButtonPicture_ShadesDownwardFromYellowToBlue) {
    start();
    openAbout();
    const QImage button = aboutView()->widget("cmdOK")->grab().toImage();
    const int left = 6, right = button.width() - 7, top = 6, bottom = button.height() - 7;
    const QColor topLeft = button.pixelColor(left, top);
    const QColor bottomLeft = button.pixelColor(left, bottom);
    EXPECT_EQ(topLeft, button.pixelColor(right, top));
    EXPECT_GT(topLeft.red(), 240);
    EXPECT_GT(topLeft.red(), topLeft.blue());  // yellowish
    EXPECT_LT(bottomLeft.red() + 10, topLeft.red());
    EXPECT_GT(bottomLeft.blue(), topLeft.blue());
}

TEST_F(AuxWindows, About_OpenedTwice_IsOneWindow) {
    start();
    openAbout();
    openAbout();
    int abouts = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "frmAbout" && w->isVisible()) ++abouts;
    }
    EXPECT_EQ(abouts, 1);
}

class AboutCloseKey : public AuxWindows, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(AboutCloseKey, EnterEscAndOk_CloseIt_AndItOpensAgainWithTheSameTexts) {
    start();
    openAbout();
    FormView* about = aboutView();
    ASSERT_NE(about, nullptr);
    QTest::keyClick(about, GetParam());
    QCoreApplication::processEvents();
    EXPECT_EQ(aboutView(), nullptr);  // unloaded
    openAbout();
    ASSERT_NE(aboutView(), nullptr);
    EXPECT_EQ(aboutView()->findChild<QLabel*>("lblVersion")->text(), "Version 3.0.0");
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutCloseKey,
                         ::testing::Values(Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape));

TEST_F(AuxWindows, About_OkButtonClick_Closes) {
    start();
    openAbout();
    QTest::mouseClick(aboutView()->widget("cmdOK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(aboutView(), nullptr);
}

TEST_F(AuxWindows, Help_ShowsTheHelpFileBesideTheProgram) {
    start();
    QFile help(options().programDir + "/HelpForBrindle.HLP");
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write(
        "<html><head><title>Tollvane Help</title></head><body><h1>Setting the "
        "alarm</h1></body></html>");
    help.close();
    mainView().findChild<QAction*>("MnuHow")->trigger();
    QTextBrowser* viewer = desktop->helpWindow().window();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Tollvane Help");
    EXPECT_TRUE(viewer->toPlainText().contains("Setting the alarm"));
    EXPECT_FALSE(viewer->isModal());
    // frmhelp carries the dialog and is never shown.
    bool helpCarrierShown = false;
    for (Form* w : desktop->program().loadedWindows()) {
        if (dynamic_cast<frmhelp*>(w)) helpCarrierShown = w->Visible || desktop->view(*w);
    }
    EXPECT_FALSE(helpCarrierShown);
}

TEST_F(AuxWindows, Help_MissingFile_TheWindowSaysSoWithThePath) {
    start();
    mainView().findChild<QAction*>("MnuHow")->trigger();
    QTextBrowser* viewer = desktop->helpWindow().window();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->toPlainText().contains("cannot be opened"));
    EXPECT_TRUE(viewer->toPlainText().contains(options().programDir + "/HelpForBrindle.HLP"));
}

TEST_F(AuxWindows, ClockWindow_CloseBoxBringsTheMainWindowBack) {
    start();
    mainView().findChild<QAction*>("MnuClock")->trigger();
    FormView* clockView = desktop->view(desktop->program().frmclock());
    ASSERT_NE(clockView, nullptr);
    EXPECT_TRUE(clockView->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(clockView->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Sizable: resizing moves nothing inside.
    const QRect hours = clockView->widget("txttimetot")->geometry();
    clockView->resize(400, 300);
    EXPECT_EQ(clockView->widget("txttimetot")->geometry(), hours);
    clockView->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(mainView().isVisible());
    EXPECT_TRUE(main().Visible);
}

TEST_F(AuxWindows, ShopButton_BrowserMissing_SaysSoInAMessageBox) {
    start();
    QTest::mouseClick(widget("Command1"), Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Error");
    EXPECT_NE(messages.shown[0].text.find("no-browser-here"), std::string::npos);
}

}  // namespace
}  // namespace tollvane::testing
