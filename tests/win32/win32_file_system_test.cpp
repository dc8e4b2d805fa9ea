// The Win32 file system: where the program's files go, the bytes the reminder file holds, and
// replacing a file without ever leaving a half-written one.

#include <gtest/gtest.h>

#include "links/help_command.h"
#include "platform/win32/api.h"
#include "platform/win32/file_system.h"
#include "platform/win32/text.h"
#include "reminder/reminder_file.h"
#include "win32/scratch.h"

namespace tollvane {
namespace {

using testing::rawFileBytes;
using testing::ScratchFolder;

std::wstring wide(const std::string& utf8) {
    return *win32::toWide(utf8);
}

std::string environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : win32::toUtf8({buffer, length});
}

TEST(Win32FileSystemPaths, ProgramDirectory_HoldsThisExecutable_WithoutTrailingSeparator) {
    Win32FileSystem files;
    const std::string dir = files.programDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(files.exists(dir + "\\tollvane_win32_tests.exe")) << dir;
    EXPECT_EQ(files.separator(), '\\');
}

TEST(Win32FileSystemPaths, ProgramPath_IsThisExecutableInTheProgramDirectory) {
    const std::string path = win32::toUtf8(Win32FileSystem::programPath());
    EXPECT_EQ(path, Win32FileSystem().programDirectory() + "\\tollvane_win32_tests.exe");
}

TEST(Win32FileSystemPaths, ReminderAndHelpFiles_SitBesideTheExecutable) {
    Win32FileSystem files;
    const std::string dir = files.programDirectory();
    EXPECT_EQ(ReminderFile(files).path(), dir + "\\reminder.ini");
    EXPECT_EQ(helpFilePath(files), dir + "\\HelpForBrindle.HLP");
}

TEST(Win32FileSystemPaths, UserDataDirectory_IsTollvaneInLocalAppData) {
    Win32FileSystem files;
    const std::string localAppData = environment(L"LOCALAPPDATA");
    ASSERT_FALSE(localAppData.empty());
    EXPECT_EQ(files.userDataDirectory(), localAppData + "\\Tollvane");
    EXPECT_EQ(ReminderFile(files).fallbackPath(), localAppData + "\\Tollvane\\reminder.ini");
}

TEST(Win32FileSystemText, PrintableAscii_IsKeptByteForByteInTheAnsiCodePage) {
    Win32FileSystem files;
    std::string ascii;
    for (char c = ' '; c <= '~'; ++c) ascii += c;
    EXPECT_EQ(files.encodeText(ascii), ascii);
    EXPECT_EQ(files.decodeText(ascii), ascii);
}

// Under a Western code page: a Western text is written in it, byte for byte as before; Greek,
// Cyrillic with an emoji, and a letter the code page only has a look-alike for are written in
// UTF-8 after its mark, and all come back whole. A file written in the code page by an earlier
// version reads as it did.
TEST(Win32ReminderFile, TextTheCodePageCannotHold_IsKeptInUtf8_AnsiFilesReadAsBefore) {
    Win32FileSystem files(1252);
    ReminderFile reminder(files);
    const std::wstring path = wide(reminder.path());
    std::string text;

    const std::string western = "Café €5, crème";
    ASSERT_TRUE(reminder.WriteReminderFile(western));
    EXPECT_EQ(rawFileBytes(path),
              "\"Caf\xE9 \x80"
              "5, cr\xE8me\"\r\n");
    ASSERT_TRUE(reminder.ReadReminderFile(text));
    EXPECT_EQ(text, western);

    for (const std::string other : {"Καλημέρα", "Врач 🦷 4:00", "Āda"}) {
        ASSERT_TRUE(reminder.WriteReminderFile(other));
        EXPECT_EQ(rawFileBytes(path), "\xEF\xBB\xBF\"" + other + "\"\r\n");
        ASSERT_TRUE(reminder.ReadReminderFile(text));
        EXPECT_EQ(text, other);
    }

    ASSERT_TRUE(files.writeFile(reminder.path(), "\"Gr\xFC\xDF Gott\"\r\n"));
    ASSERT_TRUE(reminder.ReadReminderFile(text));
    EXPECT_EQ(text, "Grüß Gott");
    ASSERT_TRUE(reminder.DeleteReminderFile());
}

TEST(Win32ReminderFile, DentistAt4_IsWrittenAsExactlySixteenBytes_ReadBack_AndDeleted) {
    Win32FileSystem files;
    ReminderFile reminder(files);
    ASSERT_TRUE(reminder.WriteReminderFile("Dentist at 4"));
    EXPECT_EQ(rawFileBytes(wide(reminder.path())),
              "\x22\x44\x65\x6E\x74\x69\x73\x74\x20\x61\x74\x20\x34\x22\x0D\x0A");

    std::string text;
    ASSERT_TRUE(reminder.ReadReminderFile(text));
    EXPECT_EQ(text, "Dentist at 4");
    ASSERT_TRUE(reminder.DeleteReminderFile());
    EXPECT_FALSE(files.exists(reminder.path()));
}

TEST(Win32FileSystemFiles, WriteFile_ReplacesTheWholeFile_AndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string path = folder.path() + "\\reminder.ini";
    ASSERT_TRUE(files.writeFile(path, "\"a much longer first text\"\r\n"));
    ASSERT_TRUE(files.writeFile(path, "\"short\"\r\n"));

    std::string bytes;
    ASSERT_TRUE(files.readFile(path, bytes));
    EXPECT_EQ(bytes, "\"short\"\r\n");
    EXPECT_EQ(folder.listing(), "reminder.ini");
}

TEST(Win32FileSystemFiles, ReplaceRefused_KeepsTheOldFileWhole_AndCleansUp) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string path = folder.path() + "\\reminder.ini";
    ASSERT_TRUE(files.writeFile(path, "old"));

    // Another program holds the file open without letting it be replaced.
    HANDLE held = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const Status replaced = files.writeFile(path, "new");
    CloseHandle(held);

    EXPECT_FALSE(replaced);
    EXPECT_NE(replaced.error.find("(error "), std::string::npos) << replaced.error;
    EXPECT_EQ(rawFileBytes(wide(path)), "old");
    EXPECT_EQ(folder.listing(), "reminder.ini");
}

TEST(Win32FileSystemFiles, MissingFolderOrFile_FailsWithTheSystemsReason) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string missing = folder.path() + "\\absent\\reminder.ini";
    const Status written = files.writeFile(missing, "x");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.error.empty());

    std::string bytes = "untouched";
    EXPECT_FALSE(files.readFile(missing, bytes));
    EXPECT_EQ(bytes, "untouched");
    EXPECT_FALSE(files.removeFile(missing));
    EXPECT_FALSE(files.exists(missing));
}

TEST(Win32FileSystemFiles, MakeDirectory_CreatesParents_AcceptsAnExistingFolder_RefusesAFile) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string nested = folder.path() + "\\one\\two\\Tollvane";
    ASSERT_TRUE(files.makeDirectory(nested));
    EXPECT_TRUE(files.makeDirectory(nested + "\\"));
    ASSERT_TRUE(files.writeFile(nested + "\\reminder.ini", "x"));
    EXPECT_TRUE(files.exists(nested + "\\reminder.ini"));

    EXPECT_FALSE(files.makeDirectory(nested + "\\reminder.ini"));
}

TEST(Win32FileSystemFiles, NonAsciiPath_ReachesTheFileSystemAsTheSameName) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string dir = folder.path() + "\\Se\xC3\xB1or \xE2\x82\xAC";
    ASSERT_TRUE(files.makeDirectory(dir));
    ASSERT_TRUE(files.writeFile(dir + "\\reminder.ini", "x"));

    EXPECT_EQ(rawFileBytes(wide(folder.path()) + L"\\Se\u00f1or \u20ac\\reminder.ini"), "x");
    EXPECT_TRUE(files.removeFile(dir + "\\reminder.ini"));
    EXPECT_FALSE(files.exists(dir + "\\reminder.ini"));
}

}  // namespace
}  // namespace tollvane
