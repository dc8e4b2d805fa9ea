// The settings store on a real INI file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "contract/settings_store_contract.h"
#include "platform/qt/qt_settings_store.h"

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
    EXPECT_FALSE(store.readProblem().isEmpty());
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

}  // namespace
}  // namespace tollvane
