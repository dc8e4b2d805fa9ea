// The program's files on Linux: whole-file replacement that never leaves half a file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "platform/qt/file_system.h"
#include "reminder/reminder_file.h"

namespace tollvane {
namespace {

std::string contents(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

TEST(QtFileSystem, ReminderBesideTheProgram_ExactBytesAndSlashSeparator) {
    QTemporaryDir dir;
    QtFileSystem fs(dir.path(), dir.filePath("data"));
    ReminderFile file(fs);
    EXPECT_EQ(file.path(), (dir.path() + "/reminder.ini").toStdString());
    ASSERT_TRUE(file.WriteReminderFile("Dentist at 4"));
    EXPECT_EQ(contents(dir.filePath("reminder.ini")), "\"Dentist at 4\"\r\n");
    std::string text;
    ASSERT_TRUE(file.ReadReminderFile(text));
    EXPECT_EQ(text, "Dentist at 4");
    ASSERT_TRUE(file.DeleteReminderFile());
    EXPECT_FALSE(QFile::exists(dir.filePath("reminder.ini")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());  // no temporary file left
}

TEST(QtFileSystem, InstalledDataFolder_IsShareTollvaneBesideTheBinFolder) {
    EXPECT_EQ(QtFileSystem("/usr/bin").installedDataDirectory(), "/usr/share/tollvane");
    EXPECT_EQ(QtFileSystem("/opt/x/bin/").installedDataDirectory(), "/opt/x/share/tollvane");
}

TEST(QtFileSystem, ProgramFolderMissing_ReminderGoesToTheUserFolderItCreates) {
    QTemporaryDir dir;
    QtFileSystem fs(dir.filePath("no/such/folder"), dir.filePath("data/Tollvane"));
    ReminderFile file(fs);
    ASSERT_TRUE(file.WriteReminderFile("Dentist at 4"));
    EXPECT_EQ(contents(dir.filePath("data/Tollvane/reminder.ini")), "\"Dentist at 4\"\r\n");
}

TEST(QtFileSystem, WriteIntoAFolderThatIsAFile_FailsWithTheSystemsReason) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtFileSystem fs(dir.path(), dir.path());
    const Status written = fs.writeFile(dir.filePath("file/reminder.ini").toStdString(), "x");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.error.empty());
}

// A writer killed in the middle of replacing the file leaves the old file or the new one whole.
TEST(QtFileSystem, WriterKilledMidway_OldOrNewFileWholeNeverHalf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("reminder.ini");
    const std::string before = "\"Earlier reminder\"\r\n";
    const std::string after(64 << 20, 'x');  // large, so the kill lands during the write
    int killedMidway = 0;
    // The temporary file may have no name (O_TMPFILE), so the kill comes after growing delays.
    for (int delayMs : {1, 2, 4, 8, 12, 20, 30, 45}) {
        QtFileSystem fs(dir.path(), dir.path());
        ASSERT_TRUE(fs.writeFile(path.toStdString(), before));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Killed part-way, or done: the parent checks the file, not this result.
            _exit(fs.writeFile(path.toStdString(), after) ? 0 : 1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string now = contents(path);
        EXPECT_TRUE(now == before || now == after)
            << "a half-written file of " << now.size() << " bytes";
        if (WIFSIGNALED(status) && now == before) ++killedMidway;
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files)) {
            EXPECT_EQ(f, "reminder.ini") << "a temporary file was left behind";
            if (f != "reminder.ini") QFile::remove(dir.filePath(f));
        }
    }
    EXPECT_GT(killedMidway, 0) << "the writer always finished before it could be killed";
}

}  // namespace
}  // namespace tollvane
