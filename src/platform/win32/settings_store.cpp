#include "platform/win32/settings_store.h"

#include <optional>

#include "platform/win32/api.h"
#include "platform/win32/text.h"

namespace tollvane {
namespace {

// A backslash would reach a different key, and an empty name the parent key itself.
bool usableKeyName(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos;
}

std::optional<std::wstring> sectionKeyPath(const std::string& app, const std::string& section) {
    if (!usableKeyName(app) || !usableKeyName(section)) return std::nullopt;
    return win32::toWide(std::string(Win32SettingsStore::kRootKey) + '\\' + app + '\\' + section);
}

}  // namespace

std::string Win32SettingsStore::GetSetting(const std::string& app, const std::string& section,
                                           const std::string& key) {
    const auto path = sectionKeyPath(app, section);
    const auto name = win32::toWide(key);
    if (!path || !name) return std::string();

    // The value may grow between asking for its size and reading it: ask again until it fits.
    DWORD bytes = 0;
    LSTATUS result = RegGetValueW(HKEY_CURRENT_USER, path->c_str(), name->c_str(), RRF_RT_REG_SZ,
                                  nullptr, nullptr, &bytes);
    std::wstring value;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        result = RegGetValueW(HKEY_CURRENT_USER, path->c_str(), name->c_str(), RRF_RT_REG_SZ,
                              nullptr, value.data(), &bytes);
        if (result == ERROR_SUCCESS) {
            // `bytes` counts the terminating null, which RegGetValueW always writes.
            value.resize(bytes / sizeof(wchar_t));
            while (!value.empty() && value.back() == L'\0') value.pop_back();
            return win32::toUtf8(value);
        }
    }
    return std::string();
}

Status Win32SettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                       const std::string& key, const std::string& value) {
    const auto path = sectionKeyPath(app, section);
    if (!path) {
        return Status::failure("cannot store under application \"" + app + "\", section \"" +
                               section + "\": names must be non-empty and hold no backslash");
    }
    const auto name = win32::toWide(key);
    const auto text = win32::toWide(value);
    if (!name || !text) return Status::failure("the key or value is not valid UTF-8");

    HKEY handle = nullptr;
    LSTATUS result =
        RegCreateKeyExW(HKEY_CURRENT_USER, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &handle, nullptr);
    const std::string where = app + '\\' + section;
    if (result != ERROR_SUCCESS) {
        return Status::failure(where + ": " + win32::errorText(static_cast<DWORD>(result)));
    }
    const auto size = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    result = RegSetValueExW(handle, name->c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text->c_str()), size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) {
        return Status::failure(where + " [" + key +
                               "]: " + win32::errorText(static_cast<DWORD>(result)));
    }
    return Status::success();
}

std::string Win32SettingsStore::location() const {
    return std::string("HKEY_CURRENT_USER\\") + kRootKey;
}

}  // namespace tollvane
