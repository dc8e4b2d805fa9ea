// The start with the desktop session on Linux: the program's own autostart entry, written where
// asked for and gone when not, and whatever else holds its name left as it is.

#include "platform/qt/xdg_autostart.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tollvane {
namespace {

class XdgAutostartTest : public ::testing::Test {
protected:
    QString entry() { return dir.filePath(QStringLiteral("autostart/tollvane.desktop")); }
    QByteArray read() {
        QFile f(entry());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void put(const QByteArray& text) {
        QDir().mkpath(dir.filePath(QStringLiteral("autostart")));
        QFile f(entry());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    XdgAutostart autostart(const QString& program = QStringLiteral("/opt/tollvane/tollvane")) {
        return XdgAutostart(dir.filePath(QStringLiteral("autostart")), program);
    }

    QTemporaryDir dir;
};

// A path with the characters the entry's quoting reserves still names the program.
TEST_F(XdgAutostartTest, Wanted_EntryNamesTheProgramAndPassesTheValidator_NotWanted_Gone) {
    const QString program = dir.filePath(QStringLiteral("my \"apps\" $5 100%/tollvane"));
    XdgAutostart a = autostart(program);
    ASSERT_TRUE(a.want(true));
    const QByteArray text = read();
    EXPECT_TRUE(text.contains("\nTryExec=" + program.toUtf8() + "\n")) << text.constData();
    const QByteArray quoted =
        (dir.path() + QStringLiteral("/my \\\\\"apps\\\\\" \\\\$5 100%%/tollvane")).toUtf8();
    EXPECT_TRUE(text.contains("\nExec=\"" + quoted + "\"\n")) << text.constData();
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate (desktop-file-utils) is missing";
    QProcess check;
    check.start(validator, {entry()});
    ASSERT_TRUE(check.waitForFinished(10000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().constData();
    EXPECT_TRUE(a.want(true));  // again: nothing to change
    EXPECT_EQ(read(), text);
    ASSERT_TRUE(a.want(false));
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_TRUE(a.want(false));
}

TEST_F(XdgAutostartTest, EntryTurnedOffByTheUser_NeverTouched_ReasonNamesIt) {
    for (const QByteArray& off :
         {QByteArray("Hidden=true"), QByteArray("X-GNOME-Autostart-enabled=false")}) {
        // The desktop's startup settings turn the program's own entry off in place.
        put(XdgAutostart::entryFor(QStringLiteral("/opt/tollvane/tollvane"))
                .replace("X-GNOME-Autostart-enabled=true", off));
        const QByteArray before = read();
        const Status wanted = autostart().want(true);
        EXPECT_FALSE(wanted);
        EXPECT_NE(wanted.error.find(off.toStdString()), std::string::npos) << wanted.error;
        EXPECT_TRUE(autostart().want(false));
        EXPECT_EQ(read(), before);
    }
}

// One written by another copy of the program, elsewhere, is replaced; one the program did not
// write stays, and is told of only if it starts another program.
TEST_F(XdgAutostartTest, EntryOfAnotherWriter_LeftAsItIs_OwnOfAnotherCopy_Replaced) {
    put("[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/other --x\n");
    const QByteArray other = read();
    EXPECT_FALSE(autostart().want(true));
    EXPECT_TRUE(autostart().want(false));
    EXPECT_EQ(read(), other);

    put("[Desktop Entry]\nType=Application\nName=Tollvane\nExec=\"/usr/local/bin/tollvane\"\n");
    EXPECT_TRUE(autostart().want(true));
    EXPECT_TRUE(autostart().want(false));
    EXPECT_TRUE(read().contains("/usr/local/bin/tollvane"));

    put(XdgAutostart::entryFor(QStringLiteral("/old/place/tollvane")));
    ASSERT_TRUE(autostart().want(true));
    const QByteArray replaced = read();
    EXPECT_TRUE(replaced.contains("\nExec=\"/opt/tollvane/tollvane\"\n")) << replaced.constData();
    EXPECT_TRUE(replaced.contains("\nTryExec=/opt/tollvane/tollvane\n")) << replaced.constData();
    EXPECT_FALSE(replaced.contains("/old/place")) << replaced.constData();
}

}  // namespace
}  // namespace tollvane
