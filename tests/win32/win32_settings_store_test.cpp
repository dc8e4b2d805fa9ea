// The registry store keeps the shared settings contract and the registry layout that earlier
// versions of the program wrote. Every test uses applications of its own and removes them again.

#include <gtest/gtest.h>

#include "contract/settings_store_contract.h"
#include "platform/win32/api.h"
#include "platform/win32/settings_store.h"
#include "win32/scratch.h"

namespace tollvane {
namespace {

using testing::deleteRegistryApplication;
using testing::registryApplicationExists;

// Starts without, and leaves behind no trace of, the applications the contract suite uses.
class ScratchRegistryStore : public Win32SettingsStore {
public:
    ScratchRegistryStore() { clear(); }
    ~ScratchRegistryStore() override { clear(); }

private:
    static void clear() {
        deleteRegistryApplication(L"TollvaneContract");
        deleteRegistryApplication(L"TollvaneContractOther");
    }
};

}  // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Win32, SettingsStoreContract,
                         ::testing::Values(SettingsStoreFactory{
                             "Registry", [] { return std::make_unique<ScratchRegistryStore>(); }}),
                         SettingsStoreContract::name);
}  // namespace contract

namespace {

const wchar_t* const kLayoutSection =
    L"Software\\VB and VBA Program Settings\\TollvaneLayout\\lastsettings";

class Win32SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { deleteRegistryApplication(L"TollvaneLayout"); }
    void TearDown() override { deleteRegistryApplication(L"TollvaneLayout"); }

    // The value as another program reading the registry finds it, with its type.
    static std::wstring rawValue(const wchar_t* name, DWORD* type) {
        wchar_t buffer[256] = {};
        DWORD bytes = sizeof buffer;
        const LSTATUS result =
            RegGetValueW(HKEY_CURRENT_USER, kLayoutSection, name, RRF_RT_ANY, type, buffer, &bytes);
        return result == ERROR_SUCCESS ? std::wstring(buffer) : L"<missing>";
    }

    Win32SettingsStore store;
};

TEST_F(Win32SettingsStoreTest, SaveSetting_WritesUtf16RegSzUnderApplicationAndSection) {
    ASSERT_TRUE(store.SaveSetting("TollvaneLayout", "lastsettings", "AlarmMusic", "800"));
    ASSERT_TRUE(store.SaveSetting("TollvaneLayout", "lastsettings", "timealarm", "caf\xC3\xA9"));

    DWORD type = 0;
    EXPECT_EQ(rawValue(L"AlarmMusic", &type), L"800");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(rawValue(L"timealarm", &type), L"caf\u00e9");
    EXPECT_EQ(store.location(), "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings");
}

TEST_F(Win32SettingsStoreTest, ValueLeftInTheRegistry_IsReadUnderAnyCapitalisation) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kLayoutSection, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring year = L" 2003";
    RegSetValueExW(key, L"REMYEAR", 0, REG_SZ, reinterpret_cast<const BYTE*>(year.c_str()),
                   static_cast<DWORD>((year.size() + 1) * sizeof(wchar_t)));
    const DWORD number = 7;
    RegSetValueExW(key, L"remmonth", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);

    EXPECT_EQ(store.GetSetting("tollvanelayout", "LastSettings", "remyear"), " 2003");
    // Only strings are settings: a value of another type reads as nothing stored.
    EXPECT_EQ(store.GetSetting("TollvaneLayout", "lastsettings", "remmonth"), "");
}

TEST_F(Win32SettingsStoreTest, LongValue_ComesBackWhole) {
    const std::string value(20000, 'x');
    ASSERT_TRUE(
        store.SaveSetting("TollvaneLayout", "lastsettings", "long", value + "\xE2\x82\xAC"));
    EXPECT_EQ(store.GetSetting("TollvaneLayout", "lastsettings", "long"), value + "\xE2\x82\xAC");
}

TEST_F(Win32SettingsStoreTest, UnusableNames_FailWithReasonAndWriteNothing) {
    const Status nested = store.SaveSetting("TollvaneLayout", "last\\settings", "k", "v");
    EXPECT_FALSE(nested);
    EXPECT_NE(nested.error.find("backslash"), std::string::npos) << nested.error;
    EXPECT_FALSE(store.SaveSetting("TollvaneLayout", "", "k", "v"));
    EXPECT_FALSE(store.SaveSetting("", "lastsettings", "k", "v"));
    EXPECT_FALSE(store.SaveSetting("TollvaneLayout", "lastsettings", "k", "bad \xC3 byte"));
    EXPECT_FALSE(registryApplicationExists(L"TollvaneLayout"));
    EXPECT_EQ(store.GetSetting("TollvaneLayout", "last\\settings", "k"), "");
}

TEST_F(Win32SettingsStoreTest, RegistryRefusal_ReportsTheSystemsMessage) {
    // Key names are limited to 255 characters; the registry itself refuses a longer section.
    const Status refused = store.SaveSetting("TollvaneLayout", std::string(300, 's'), "k", "v");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error.find("(error "), std::string::npos) << refused.error;
    EXPECT_EQ(refused.error.rfind("TollvaneLayout\\sss", 0), 0u) << refused.error;
}

}  // namespace
}  // namespace tollvane
