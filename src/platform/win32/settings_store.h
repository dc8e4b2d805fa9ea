#pragma once
// The settings store on Windows: the registry under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one REG_SZ value
// per key, where the values that earlier versions of the program left behind are found. The
// registry compares key and value names without regard to case, which is the store's own rule.

#include <string>

#include "platform/ports.h"

namespace tollvane {

class Win32SettingsStore : public SettingsStore {
public:
    // The key under HKEY_CURRENT_USER that holds one subkey per application.
    static constexpr const char* kRootKey = "Software\\VB and VBA Program Settings";

    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key) override;
    Status SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) override;
    // "HKEY_CURRENT_USER\Software\VB and VBA Program Settings".
    std::string location() const override;
};

}  // namespace tollvane
