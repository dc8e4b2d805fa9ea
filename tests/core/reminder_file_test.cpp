// reminder.ini: its exact bytes, reading the first item back, and where the file goes when the
// program's folder cannot be written.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "fakes/fake_ports.h"
#include "reminder/reminder_file.h"

namespace tollvane {
namespace {

using fakes::MemoryFileSystem;

const std::string kBeside = "/opt/tollvane/reminder.ini";
const std::string kFallback = "/home/user/.local/share/Tollvane/reminder.ini";

class ReminderFileTest : public ::testing::Test {
protected:
    std::string readBack() {
        std::string text = "untouched";
        const Status read = file.ReadReminderFile(text);
        EXPECT_TRUE(read.ok) << read.error;
        return text;
    }

    MemoryFileSystem fs;
    ReminderFile file{fs};
};

TEST_F(ReminderFileTest, Paths_ProgramFolderThenUserFolder) {
    EXPECT_EQ(file.path(), kBeside);
    EXPECT_EQ(file.fallbackPath(), kFallback);
}

TEST_F(ReminderFileTest, Write_ExactBytes_QuoteTextQuoteCrLf) {
    ASSERT_TRUE(file.WriteReminderFile("Dentist at 4"));
    const std::string expected = {0x22, 0x44, 0x65, 0x6E, 0x74, 0x69, 0x73, 0x74,
                                  0x20, 0x61, 0x74, 0x20, 0x34, 0x22, 0x0D, 0x0A};
    ASSERT_EQ(fs.files.count(kBeside), 1u);
    EXPECT_EQ(fs.files[kBeside], expected);
    EXPECT_EQ(fs.files.size(), 1u);
}

TEST_F(ReminderFileTest, SecondWrite_ReplacesTheWholeLine) {
    ASSERT_TRUE(file.WriteReminderFile("A much longer first reminder, with a comma"));
    ASSERT_TRUE(file.WriteReminderFile("Vet"));
    EXPECT_EQ(fs.files[kBeside], "\"Vet\"\r\n");
    EXPECT_EQ(readBack(), "Vet");
}

class RoundTrip : public ReminderFileTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RoundTrip, TextComesBackExactly) {
    ASSERT_TRUE(file.WriteReminderFile(GetParam()));
    EXPECT_EQ(fs.files[kBeside], "\"" + GetParam() + "\"\r\n");  // nothing escaped or doubled
    EXPECT_EQ(readBack(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, RoundTrip,
                         ::testing::Values("Dentist at 4", "  leading and trailing  ",
                                           "Milk, eggs, bread", ",", "   ", "Say \"hello\" to Ann",
                                           "\"quoted\"", "5\" nails, 2", "Ünïcödé, ok"));

struct ItemCase {
    std::string bytes;
    std::optional<std::string> item;
};

void PrintTo(const ItemCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.bytes);
}

class FirstItem : public ::testing::TestWithParam<ItemCase> {};

TEST_P(FirstItem, ReadsTheFirstItemOfTheFirstLine) {
    EXPECT_EQ(readFirstItem(GetParam().bytes), GetParam().item);
}

INSTANTIATE_TEST_SUITE_P(
    Quoted, FirstItem,
    ::testing::Values(ItemCase{"\"Dentist at 4\"\r\n", "Dentist at 4"},
                      ItemCase{"   \"padded\"\r\n", "padded"},
                      ItemCase{"\"a\" b \"c\"\r\n\"second line\"\r\n", "a\" b \"c"},
                      ItemCase{"\"first\",\"second\"\r\n", "first\",\"second"},
                      ItemCase{"\"no closing quote\r\n", "no closing quote"},
                      ItemCase{"\"\"\r\n", ""}, ItemCase{"\"lf only\"\n", "lf only"},
                      ItemCase{"\"no line end\"", "no line end"}));

INSTANTIATE_TEST_SUITE_P(OldStyleUnquoted, FirstItem,
                         ::testing::Values(ItemCase{"Dentist at 4\r\n", "Dentist at 4"},
                                           ItemCase{"Dentist, at 4\r\n", "Dentist"},
                                           ItemCase{"  Dentist   \r\n", "Dentist"},
                                           ItemCase{"Dentist", "Dentist"},
                                           ItemCase{"Dentist\t\r\nnext\r\n", "Dentist"},
                                           ItemCase{"\r\n\"second line\"\r\n", ""},
                                           ItemCase{"   ", ""}, ItemCase{",x", ""}));

INSTANTIATE_TEST_SUITE_P(Empty, FirstItem, ::testing::Values(ItemCase{"", std::nullopt}));

TEST_F(ReminderFileTest, Read_MissingOrEmptyFile_FailsAndLeavesTheTextAlone) {
    std::string text = "before";
    EXPECT_FALSE(file.ReadReminderFile(text));
    EXPECT_EQ(text, "before");
    fs.files[kBeside] = "";
    EXPECT_FALSE(file.ReadReminderFile(text));
    EXPECT_EQ(text, "before");
}

TEST_F(ReminderFileTest, Read_FileThatCannotBeRead_Fails) {
    ASSERT_TRUE(file.WriteReminderFile("x"));
    fs.failReads = true;
    std::string text = "before";
    const Status read = file.ReadReminderFile(text);
    EXPECT_FALSE(read);
    EXPECT_EQ(text, "before");
    EXPECT_FALSE(read.error.empty());
}

TEST_F(ReminderFileTest, ProgramFolderReadOnly_WritesToTheUserFolder_ReadAndDeleteFindIt) {
    fs.readOnlyDirs.insert(fs.programDir);
    ASSERT_TRUE(file.WriteReminderFile("Dentist at 4"));
    EXPECT_EQ(fs.files.count(kBeside), 0u);
    EXPECT_EQ(fs.files[kFallback], "\"Dentist at 4\"\r\n");
    EXPECT_EQ(readBack(), "Dentist at 4");
    EXPECT_TRUE(file.DeleteReminderFile());
    EXPECT_TRUE(fs.files.empty());
}

TEST_F(ReminderFileTest, BothFoldersReadOnly_FailsNamingBothPaths_EarlierReminderKept) {
    ASSERT_TRUE(file.WriteReminderFile("Earlier"));
    fs.readOnlyDirs.insert(fs.programDir);
    fs.readOnlyDirs.insert(fs.userDataDir);
    const Status written = file.WriteReminderFile("Later");
    ASSERT_FALSE(written);
    EXPECT_NE(written.error.find(kBeside), std::string::npos) << written.error;
    EXPECT_NE(written.error.find(kFallback), std::string::npos) << written.error;
    EXPECT_NE(written.error.find("Permission denied"), std::string::npos) << written.error;
    EXPECT_EQ(fs.files[kBeside], "\"Earlier\"\r\n");
    EXPECT_EQ(fs.files.count(kFallback), 0u);
}

TEST_F(ReminderFileTest, FilesInBothFolders_ReadPrefersTheProgramFolder_DeleteRemovesBoth) {
    fs.files[kBeside] = "\"beside\"\r\n";
    fs.files[kFallback] = "\"fallback\"\r\n";
    EXPECT_EQ(readBack(), "beside");
    EXPECT_TRUE(file.DeleteReminderFile());
    EXPECT_TRUE(fs.files.empty());
    std::string text;
    EXPECT_FALSE(file.ReadReminderFile(text));
}

TEST_F(ReminderFileTest, WriteBeside_ClearsTheUserFolderCopy) {
    fs.files[kFallback] = "\"older, in the user folder\"\r\n";
    ASSERT_TRUE(file.WriteReminderFile("newer"));
    EXPECT_EQ(fs.files.count(kFallback), 0u);
    EXPECT_EQ(readBack(), "newer");
}

// A program folder where files can be removed but not written (a full disk, say).
struct NoWritesBeside : MemoryFileSystem {
    Status writeFile(const std::string& p, const std::string& bytes) override {
        if (p.rfind(programDir, 0) == 0) return Status::failure("No space left on device");
        return MemoryFileSystem::writeFile(p, bytes);
    }
};

TEST(ReminderFileFallback, WriteToTheUserFolder_ClearsTheOldCopyBeside_SoTheNewTextIsFound) {
    NoWritesBeside fs;
    fs.files[kBeside] = "\"older, beside\"\r\n";
    ReminderFile file(fs);
    ASSERT_TRUE(file.WriteReminderFile("newer"));
    EXPECT_EQ(fs.files.count(kBeside), 0u);
    std::string text;
    ASSERT_TRUE(file.ReadReminderFile(text));
    EXPECT_EQ(text, "newer");
}

TEST_F(ReminderFileTest, OldCopyBesideCannotBeCleared_WriteFails_EarlierReminderStays) {
    fs.files[kBeside] = "\"older, beside\"\r\n";
    fs.readOnlyDirs.insert(fs.programDir);
    const Status written = file.WriteReminderFile("newer");
    ASSERT_FALSE(written);
    EXPECT_NE(written.error.find(kBeside), std::string::npos) << written.error;
    EXPECT_EQ(fs.files.count(kFallback), 0u);
    EXPECT_EQ(readBack(), "older, beside");
}

TEST_F(ReminderFileTest, Delete_NoFile_Fails) {
    EXPECT_FALSE(file.DeleteReminderFile());
}

TEST_F(ReminderFileTest, Delete_OneOfTwoCannotBeRemoved_ReportsTheFailure) {
    fs.files[kBeside] = "\"stuck\"\r\n";
    fs.files[kFallback] = "\"fallback\"\r\n";
    fs.readOnlyDirs.insert(fs.programDir);
    const Status removed = file.DeleteReminderFile();
    EXPECT_FALSE(removed);
    EXPECT_EQ(fs.files.count(kBeside), 1u);
    EXPECT_EQ(fs.files.count(kFallback), 0u);
}

}  // namespace
}  // namespace tollvane
