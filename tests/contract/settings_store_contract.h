#pragma once
// The behaviour every settings store adapter must show, as one suite run against each adapter:
// instantiate it with a factory that makes a fresh, empty store.
//
//   INSTANTIATE_TEST_SUITE_P(Memory, SettingsStoreContract,
//       ::testing::Values(SettingsStoreFactory{"memory", [] { return std::make_unique<...>(); }}),
//       SettingsStoreContract::name);

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ports.h"

namespace tollvane::contract {

struct SettingsStoreFactory {
    std::string label;
    std::function<std::unique_ptr<SettingsStore>()> make;
};

class SettingsStoreContract : public ::testing::TestWithParam<SettingsStoreFactory> {
public:
    static std::string name(const ::testing::TestParamInfo<SettingsStoreFactory>& info) {
        return info.param.label;
    }

protected:
    void SetUp() override { store = GetParam().make(); }
    std::unique_ptr<SettingsStore> store;
};

TEST_P(SettingsStoreContract, MissingValue_ReadsEmpty) {
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "remyear"), "");
}

TEST_P(SettingsStoreContract, ValuesComeBackExactly_LeadingAndTrailingBlanksKept) {
    for (const std::string value : {" 2003", " 12", "7:30 Has Passed", "  both  ", "a=b;c,d",
                                    "quote \" inside", "\\back\\slash", "caf\xC3\xA9"}) {
        ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "value", value));
        EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "value"), value);
    }
}

TEST_P(SettingsStoreContract, NamesIgnoreCase_BothCapitalisationsReachOneEntry) {
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "State", "remset", "Set"));
    EXPECT_EQ(store->GetSetting("tollvanecontract", "state", "REMSET"), "Set");
    ASSERT_TRUE(store->SaveSetting("TOLLVANECONTRACT", "STATE", "RemSet", "Again"));
    EXPECT_EQ(store->GetSetting("TollvaneContract", "State", "remset"), "Again");
}

TEST_P(SettingsStoreContract, Overwrite_KeepsOnlyTheNewValue_OtherKeysUntouched) {
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "AlarmMusic", "800"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "AlarmMusic2", "200"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "AlarmMusic", "440"));
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "AlarmMusic"), "440");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "AlarmMusic2"), "200");
}

TEST_P(SettingsStoreContract, EmptyValue_IsStoredAndReadsEmpty) {
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "timealarm", "7:30"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "timealarm", ""));
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "timealarm"), "");
}

TEST_P(SettingsStoreContract, SectionsAndApplicationsAreSeparate) {
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "one", "k", "1"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "two", "k", "2"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContractOther", "one", "k", "3"));
    EXPECT_EQ(store->GetSetting("TollvaneContract", "one", "k"), "1");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "two", "k"), "2");
    EXPECT_EQ(store->GetSetting("TollvaneContractOther", "one", "k"), "3");
}

TEST_P(SettingsStoreContract, SeveralValuesAtOnce_EachReadsBackAndOthersStay) {
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "lastsettings", "remday", " 9"));
    ASSERT_TRUE(store->SaveSetting("TollvaneContract", "State", "remset", "Set"));
    ASSERT_TRUE(store->SaveSettings("TollvaneContract", "LastSettings",
                                    {{"remyear", " 2026"},
                                     {"timealarm", "7:30 Has Passed"},
                                     {"AlarmMusic3", ""},
                                     {"AlarmMusic", "800"}}));
    EXPECT_EQ(store->GetSetting("tollvanecontract", "lastsettings", "REMYEAR"), " 2026");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "timealarm"),
              "7:30 Has Passed");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "alarmmusic"), "800");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "AlarmMusic3"), "");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "remday"), " 9");
    EXPECT_EQ(store->GetSetting("TollvaneContract", "State", "remset"), "Set");
    ASSERT_TRUE(store->SaveSettings("TollvaneContract", "lastsettings", {}));
    EXPECT_EQ(store->GetSetting("TollvaneContract", "lastsettings", "remyear"), " 2026");
}

}  // namespace tollvane::contract
