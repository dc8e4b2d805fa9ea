// The start with the sign-in on Windows, against the registry: the program's own Run value,
// written and removed, and a value of another program left as it is (a start the user turned off
// in Task Manager is tested with the whole program, tests/win32/e2e). Each test uses a value name
// of its own, so nothing here touches the program's.

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/api.h"
#include "platform/win32/session_start.h"
#include "platform/win32/text.h"

namespace tollvane::win32 {
namespace {

class Win32SessionStartTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, Win32SessionStart::kRunKey, name.c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, Win32SessionStart::kApprovedKey, name.c_str());
    }
    // The value's text, or "(none)".
    std::wstring run() {
        wchar_t text[1024];
        DWORD bytes = sizeof text;
        const LSTATUS r = RegGetValueW(HKEY_CURRENT_USER, Win32SessionStart::kRunKey, name.c_str(),
                                       RRF_RT_REG_SZ, nullptr, text, &bytes);
        return r == ERROR_SUCCESS ? std::wstring(text) : L"(none)";
    }
    void setRun(const std::wstring& command) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Win32SessionStart::kRunKey, name.c_str(),
                                  REG_SZ, command.c_str(),
                                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    const std::wstring name = L"Tollvane.Test." + std::to_wstring(GetCurrentProcessId());
    const std::wstring program = L"C:\\Program Files\\Tollvane\\tollvane.exe";
    Win32SessionStart start{name, program};
};

TEST_F(Win32SessionStartTest, Wanted_RunValueStartsTheProgramByItsQuotedPath_NotWanted_Gone) {
    ASSERT_TRUE(start.want(true));
    EXPECT_EQ(run(), L"\"" + program + L"\"");
    ASSERT_TRUE(start.want(false));
    EXPECT_EQ(run(), L"(none)");
    EXPECT_TRUE(start.want(false));
}

TEST_F(Win32SessionStartTest, ValueOfAnotherProgram_LeftAsItIs_OwnOfAnotherCopy_Replaced) {
    setRun(L"\"C:\\Tools\\other.exe\" /tray");
    EXPECT_FALSE(start.want(true));
    EXPECT_TRUE(start.want(false));
    EXPECT_EQ(run(), L"\"C:\\Tools\\other.exe\" /tray");
    setRun(L"\"D:\\Portable\\TOLLVANE.EXE\"");
    ASSERT_TRUE(start.want(true));
    EXPECT_EQ(run(), L"\"" + program + L"\"");
}

}  // namespace
}  // namespace tollvane::win32
