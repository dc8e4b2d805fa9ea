// The About window, the help file and the shop page.

#include <gtest/gtest.h>

#include <string>

#include "core/core_test_support.h"
#include "links/shop_page.h"
#include "windows/form1.h"
#include "windows/frm_about.h"
#include "windows/frmhelp.h"

namespace tollvane {
namespace {

using namespace coretest;

const std::string kShopPath = "/exec/obidos/redirect-home/zerudaduvudez-20";

void expectAboutTexts(const frmAbout& about) {
    EXPECT_EQ(about.Caption, "About Tollvane3");
    EXPECT_EQ(about.lblTitle.Caption, "Tollvane3");
    EXPECT_EQ(about.lblVersion.Caption, "Version 3.0.0");
}

// A plain web address on some host, with the shop's path.
void expectShopAddress(const std::string& url) {
    const std::string scheme = "http://";
    ASSERT_GT(url.size(), scheme.size() + kShopPath.size()) << url;
    EXPECT_EQ(url.substr(0, scheme.size()), scheme);
    EXPECT_EQ(url.substr(url.size() - kShopPath.size()), kShopPath);
    const std::string host =
        url.substr(scheme.size(), url.size() - scheme.size() - kShopPath.size());
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find('/'), std::string::npos) << url;
    EXPECT_EQ(url, std::string("http://") + TOLLVANE_SHOP_HOST + kShopPath);
}

TEST(About, OpenedTwice_OneWindowBroughtUpTwice_TitleAndVersionFilledIn) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "MnuAbout");
    d.click(w, "MnuAbout");
    EXPECT_EQ(loadedCount<frmAbout>(d), 1);
    frmAbout& about = d.program.frmAbout();
    EXPECT_TRUE(about.Visible);
    EXPECT_EQ(about.showRequests, 2);
    expectAboutTexts(about);
    EXPECT_TRUE(w.Visible);  // not modal: the main window stays as it was
}

TEST(About, AfterOk_OpensFreshWithTheSameTexts) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "MnuAbout");
    d.program.frmAbout().lblVersion.Caption = "stale";
    d.click(d.program.frmAbout(), "cmdOK");
    EXPECT_EQ(loadedCount<frmAbout>(d), 0);
    d.click(w, "MnuAbout");
    frmAbout& again = d.program.frmAbout();
    EXPECT_TRUE(again.Visible);
    EXPECT_EQ(again.showRequests, 1);
    expectAboutTexts(again);
}

TEST(About, WhileOpen_TheAlarmStillRings) {
    SimulatedDesktop d;
    frmAlarmClock& w = startArmed(d, 7, 29, 50, {"7:30", "800", "100", "1"});
    d.click(w, "MnuAbout");
    d.runUntil(7, 30, 1);
    EXPECT_EQ(d.tone.beeps.size(), 1u);
    EXPECT_TRUE(d.program.frmAbout().Visible);
}

TEST(Help, ChosenTwice_ViewerOpenedTwiceWithTheSameFile_OneHiddenHelpWindow) {
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
    d.click(w, "MnuHow");
    d.click(w, "MnuHow");
    ASSERT_EQ(d.help.calls.size(), 2u);
    for (const auto& call : d.help.calls) {
        EXPECT_EQ(call.file, "/opt/tollvane/HelpForBrindle.HLP");
        EXPECT_EQ(call.key, "");
        EXPECT_EQ(call.command, 257);
    }
    EXPECT_EQ(loadedCount<frmhelp>(d), 1);
    const frmhelp& carrier = d.program.frmhelp();
    EXPECT_FALSE(carrier.Visible);
    EXPECT_EQ(carrier.showRequests, 0);
    EXPECT_EQ(carrier.CommonDialog1.HelpCommand, 257);
    EXPECT_TRUE(w.Visible);
}

TEST(Help, ProgramInTheRootFolder_SeparatorAppendedAllTheSame) {
    SimulatedDesktop d;
    d.files.programDir = "/";
    frmAlarmClock& w = d.start();
    d.click(w, "MnuHow");
    ASSERT_EQ(d.help.calls.size(), 1u);
    EXPECT_EQ(d.help.calls[0].file, "//HelpForBrindle.HLP");
}

TEST(Help, Installed_BesideTheExecutableFirst_ThenTheDataFolder_ElseTheNameBesideIt) {
    SimulatedDesktop d;
    d.files.programDir = "/usr/bin";
    d.files.installedDataDir = "/usr/share/tollvane";
    frmAlarmClock& w = d.start();
    // Neither place holds the file: the viewer is told the name beside the executable.
    d.click(w, "MnuHow");
    // Installed: only the data folder holds it.
    d.files.files["/usr/share/tollvane/HelpForBrindle.HLP"] = "<html></html>";
    d.click(w, "MnuHow");
    // A copy beside the executable (a build folder, a Windows install) comes first.
    d.files.files["/usr/bin/HelpForBrindle.HLP"] = "<html></html>";
    d.click(w, "MnuHow");
    ASSERT_EQ(d.help.calls.size(), 3u);
    EXPECT_EQ(d.help.calls[0].file, "/usr/bin/HelpForBrindle.HLP");
    EXPECT_EQ(d.help.calls[1].file, "/usr/share/tollvane/HelpForBrindle.HLP");
    EXPECT_EQ(d.help.calls[2].file, "/usr/bin/HelpForBrindle.HLP");
    EXPECT_EQ(loadedCount<frmhelp>(d), 1);
}

using Shop = StartedDesktop;

TEST_F(Shop, FromTheMainThenTheClockWindow_SameShopWindowNavigatedTwice) {
    d.runFor(1000);
    d.click(w, "Command1");
    ASSERT_EQ(loadedCount<Form1>(d), 1);
    const Form1* first = &d.program.Form1();
    d.click(w, "MnuClock");
    d.click(d.program.frmclock(), "Command1");
    EXPECT_EQ(loadedCount<Form1>(d), 1);
    EXPECT_EQ(&d.program.Form1(), first);
    EXPECT_TRUE(d.program.Form1().Visible);
    EXPECT_EQ(d.program.Form1().showRequests, 2);
    EXPECT_EQ(d.browser.shows, 2);
    ASSERT_EQ(d.browser.navigations.size(), 2u);
    expectShopAddress(d.browser.navigations[0]);
    EXPECT_EQ(d.browser.navigations[1], d.browser.navigations[0]);
    EXPECT_EQ(d.program.Form1().WebBrowser1.LocationURL, d.browser.navigations[0]);
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST_F(Shop, AboutWindowsButton_OpensTheShopPageToo) {
    d.click(w, "MnuAbout");
    d.click(d.program.frmAbout(), "Command1");
    ASSERT_EQ(d.browser.navigations.size(), 1u);
    expectShopAddress(d.browser.navigations[0]);
    EXPECT_TRUE(d.program.Form1().Visible);
    EXPECT_TRUE(d.program.frmAbout().Visible);
}

TEST_F(Shop, BrowserCannotStart_ErrorBox_NoShopWindowLeft_NextPressTriesAgain) {
    d.browser.failToStart = true;
    d.click(w, "Command1");
    ASSERT_EQ(d.messages.shown.size(), 1u);
    expectMessage(d.messages.shown[0], "Error", {"No such file or directory"});
    EXPECT_EQ(loadedCount<Form1>(d), 0);
    EXPECT_TRUE(d.browser.navigations.empty());
    d.browser.failToStart = false;
    d.click(w, "Command1");
    EXPECT_EQ(loadedCount<Form1>(d), 1);
    EXPECT_EQ(d.browser.navigations.size(), 1u);
    EXPECT_EQ(d.messages.shown.size(), 1u);
}

TEST_F(Shop, ShopWindowClosed_NextPressMakesANewOneAndLoadsThePage) {
    d.click(w, "Command1");
    d.close(d.program.Form1());
    EXPECT_EQ(loadedCount<Form1>(d), 0);
    EXPECT_FALSE(d.program.ended());
    d.click(w, "Command1");
    EXPECT_EQ(d.program.Form1().showRequests, 1);
    EXPECT_EQ(d.browser.navigations.size(), 2u);
}

}  // namespace
}  // namespace tollvane
