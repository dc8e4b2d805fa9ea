// The settings store on a real INI file.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <thread>

#include "app/program.h"
#include "contract/settings_store_contract.h"
#include "fakes/fake_ports.h"
#include "platform/qt/settings_store.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane {
namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

QString freshPath() {
    static int n = 0;
    return scratch().filePath(QStringLiteral("store%1/settings.ini").arg(++n));
}

}  // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Ini, SettingsStoreContract,
                         ::testing::Values(SettingsStoreFactory{
                             "QtSettingsStore",
                             [] { return std::make_unique<QtSettingsStore>(freshPath()); }}),
                         SettingsStoreContract::name);
}  // namespace contract

namespace {

TEST(QtSettingsStore, RoundTripThroughTheFile_BlanksAndCaseFoldedNamesSurvive) {
    const QString path = freshPath();
    {
        QtSettingsStore store(path);
        ASSERT_TRUE(store.SaveSetting("Vuvuririvivur", "lastsettings", "remyear", " 2003"));
        ASSERT_TRUE(store.SaveSetting("VuvurIrivivur", "State", "remset", "Set"));
        ASSERT_TRUE(
            store.SaveSetting("Vuvuririvivur", "lastsettings", "timealarm", "7:30 Has Passed"));
    }
    QtSettingsStore reopened(path);
    EXPECT_EQ(reopened.GetSetting("Vuvuririvivur", "lastsettings", "remyear"), " 2003");
    EXPECT_EQ(reopened.GetSetting("vuvuririvivur", "STATE", "RemSet"), "Set");
    EXPECT_EQ(reopened.GetSetting("Vuvuririvivur", "lastsettings", "timealarm"), "7:30 Has Passed");
    // Both capitalisations of the application name are one entry in the file.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_EQ(text.count("[vuvuririvivur]"), 1) << text.constData();
}

TEST(QtSettingsStore, CorruptFile_ReadsEmptyAndTellsWhy) {
    const QString path = freshPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const char junk[] = "\x00\x01\x02[[[ not = an \"ini";
    file.write(junk, sizeof junk - 1);
    file.close();
    QtSettingsStore store(path);
    EXPECT_EQ(store.GetSetting("Vuvuririvivur", "lastsettings", "timealarm"), "");
}

// A settings "file" that is a folder cannot be read by anyone, root included.
TEST(QtSettingsStore, UnreadableFile_StartsEmptyAndSavingReportsTheFailure) {
    const QString path = freshPath();
    ASSERT_TRUE(QDir().mkpath(path));
    QtSettingsStore store(path);
    EXPECT_EQ(store.GetSetting("Vuvuririvivur", "lastsettings", "timealarm"), "");
    const Status saved = store.SaveSetting("Vuvuririvivur", "lastsettings", "timealarm", "8:00");
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error.empty());
}

TEST(QtSettingsStore, FolderThatCannotBeMade_SaveFailsWithAReason) {
    // A file where the folder should be.
    const QString blocker = freshPath();
    QDir().mkpath(QFileInfo(blocker).absolutePath());
    QFile file(QFileInfo(blocker).absolutePath() + QStringLiteral("/notadir"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QtSettingsStore store(file.fileName() + QStringLiteral("/settings.ini"));
    const Status saved = store.SaveSetting("Vuvuririvivur", "lastsettings", "timealarm", "7:30");
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.error.empty());
}

// The seven values the exit sequence saves, in the order it saves them.
using Seven = std::array<const char*, 7>;
constexpr std::array<const char*, 7> kSevenKeys{
    "remyear", "remmonth", "remday", "timealarm", "alarmmusic", "alarmmusic2", "alarmmusic3"};

// Runs the program's exit sequence with the window holding `v`, on the settings file at `path`.
void exitWith(QtSettingsStore& store, const Seven& v) {
    fakes::FakeClock clock;
    fakes::FakeTone tone{clock};
    fakes::ScriptedMessageBox messages;
    fakes::MemoryFileSystem files;
    fakes::FakeHelpViewer help;
    fakes::FakeBrowser browser;
    Program program({clock, tone, store, messages, files, help, browser});
    frmAlarmClock& w = program.frmAlarmClock();
    w.curRemYear = v[0];
    w.curRemMonth = v[1];
    w.curRemDay = v[2];
    w.TxtTime.Text = v[3];
    w.txtfreq1.Text = v[4];
    w.txtdura1.Text = v[5];
    w.txtam.Text = v[6];
    w.MnuExit_Click();
}

// The seven values in the file now, read as the next start reads them.
std::array<QString, 7> sevenInFile(const QString& path) {
    QSettings file(path, QSettings::IniFormat);
    std::array<QString, 7> values;
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] =
            file.value(QStringLiteral("vuvuririvivur/lastsettings/") + kSevenKeys[i]).toString();
    return values;
}

bool holds(const std::array<QString, 7>& values, const Seven& v) {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] != QString::fromUtf8(v[i])) return false;
    return true;
}

// A program killed while its exit sequence saves finds, at the next start, the seven values of one
// exit: never a reminder date of one run beside an alarm of another. A child process runs the exit
// sequence over and over, alternating two sets of values, until it is killed.
TEST(QtSettingsStore, ExitSequenceKilledAtAnyMoment_AllSevenOldOrAllNew) {
    const Seven first{" 2026", " 1", " 1", "6:00", "400", "100", "1"};
    const Seven second{" 2027", " 12", " 31", "7:30 Has Passed", "800", "200", "3"};
    const QString path = freshPath();
    int killedMidway = 0;
    for (int delayMs : {15, 25, 40, 60, 90, 130}) {
        {
            QtSettingsStore store(path);
            exitWith(store, first);
        }
        ASSERT_TRUE(holds(sevenInFile(path), first));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            QtSettingsStore store(path);
            for (int i = 0; i < 100000; ++i) exitWith(store, i % 2 ? first : second);
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killedMidway;
        const auto now = sevenInFile(path);
        EXPECT_TRUE(holds(now, first) || holds(now, second))
            << "killed after " << delayMs
            << " ms, the file holds a mixture: " << now[0].toStdString() << "|"
            << now[1].toStdString() << "|" << now[2].toStdString() << "|" << now[3].toStdString()
            << "|" << now[4].toStdString() << "|" << now[5].toStdString() << "|"
            << now[6].toStdString();
    }
    EXPECT_GT(killedMidway, 0) << "the exit sequences always finished before the kill";
}

}  // namespace
}  // namespace tollvane
