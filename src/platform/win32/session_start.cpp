#include "platform/win32/session_start.h"

#include <cwctype>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/api.h"
#include "platform/win32/file_system.h"
#include "platform/win32/text.h"

namespace tollvane::win32 {

namespace {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// A value under HKEY_CURRENT_USER as it is stored; nullopt when there is none.
std::optional<Value> readValue(const wchar_t* key, const std::wstring& name) {
    Value value;
    DWORD size = 0;
    LSTATUS result = RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                                  &value.type, nullptr, &size);
    // The value may grow between asking for its size and reading it: ask again until it fits.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        value.bytes.resize(size + sizeof(wchar_t));
        size = static_cast<DWORD>(value.bytes.size());
        result = RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                              &value.type, value.bytes.data(), &size);
        if (result == ERROR_SUCCESS) {
            value.bytes.resize(size);
            return value;
        }
    }
    return std::nullopt;
}

std::wstring textOf(const Value& value) {
    std::wstring text(reinterpret_cast<const wchar_t*>(value.bytes.data()),
                      value.bytes.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// Whether a Run command starts a tollvane.exe and nothing else, wherever it is.
bool startsOnlyTollvane(std::wstring command) {
    while (!command.empty() && std::iswspace(command.back())) command.pop_back();
    if (!command.empty() && command.front() == L'"') {
        const std::size_t close = command.find(L'"', 1);
        if (close != command.size() - 1) return false;  // unclosed, or arguments after it
        command = command.substr(1, close - 1);
    }
    const std::size_t slash = command.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? command : command.substr(slash + 1);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name == L"tollvane.exe";
}

// What Task Manager and Settings > Apps > Startup leave for a start the user turned off: the
// lowest bit of the value's first byte set (02 00 ... on, 03 00 ... off).
bool turnedOffByTheUser(const std::wstring& name) {
    const std::optional<Value> approved = readValue(Win32SessionStart::kApprovedKey, name);
    return approved && approved->type == REG_BINARY && !approved->bytes.empty() &&
           (approved->bytes[0] & 1) != 0;
}

}  // namespace

Win32SessionStart::Win32SessionStart(std::wstring valueName, std::wstring program)
    : m_name(std::move(valueName)),
      m_program(program.empty() ? Win32FileSystem::programPath() : std::move(program)) {}

Status Win32SessionStart::want(bool started) {
    const std::string where = "HKEY_CURRENT_USER\\" + toUtf8(kRunKey) + "\\" + toUtf8(m_name);
    const std::optional<Value> value = readValue(kRunKey, m_name);
    const bool own = value && (value->type == REG_SZ || value->type == REG_EXPAND_SZ) &&
                     startsOnlyTollvane(textOf(*value));

    if (!started) {
        UnregisterApplicationRestart();
        if (!value || !own) return Status::success();
        const LSTATUS removed = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, m_name.c_str());
        if (removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) return Status::success();
        return Status::failure(where +
                               " cannot be removed: " + errorText(static_cast<DWORD>(removed)));
    }
    if (value && !own) {
        return Status::failure(where + " starts another program; it is left as it is");
    }
    const std::wstring command = L"\"" + m_program + L"\"";
    if (!value || textOf(*value) != command) {
        const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
        const LSTATUS written = RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, m_name.c_str(), REG_SZ,
                                                command.c_str(), bytes);
        if (written != ERROR_SUCCESS) {
            return Status::failure(where +
                                   " cannot be written: " + errorText(static_cast<DWORD>(written)));
        }
    }
    // No command line: started again, the program comes up as at any start.
    const HRESULT restart = RegisterApplicationRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG);
    if (turnedOffByTheUser(m_name)) {
        return Status::failure(
            "its start with Windows is turned off in Task Manager > Startup (Settings > Apps > "
            "Startup)");
    }
    if (FAILED(restart)) {
        return Status::failure("Windows will not start it again after an update restart: " +
                               errorText(static_cast<unsigned long>(restart)));
    }
    return Status::success();
}

}  // namespace tollvane::win32
