#include "win32/scratch.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "platform/win32/api.h"
#include "platform/win32/text.h"

namespace tollvane::testing {
namespace {

const std::wstring kVbSettings = L"Software\\VB and VBA Program Settings\\";

std::vector<std::wstring> entries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0) throw std::runtime_error("no temporary folder");
    std::wstring path = std::wstring(temp, length) + L"tollvane-test-" +
                        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    deleteFolderTree(path);
    if (!CreateDirectoryW(path.c_str(), nullptr)) throw std::runtime_error("no scratch folder");
    m_path = win32::toUtf8(path);
}

ScratchFolder::~ScratchFolder() {
    deleteFolderTree(*win32::toWide(m_path));
}

std::string ScratchFolder::listing() const {
    std::string text;
    for (const std::wstring& name : entries(*win32::toWide(m_path))) {
        if (!text.empty()) text += ' ';
        text += win32::toUtf8(name);
    }
    return text;
}

void deleteFolderTree(const std::wstring& path) {
    for (const std::wstring& name : entries(path)) {
        const std::wstring child = path + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(child.c_str());
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            deleteFolderTree(child);
        } else {
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(child.c_str());
        }
    }
    RemoveDirectoryW(path.c_str());
}

void deleteRegistryApplication(const std::wstring& app) {
    RegDeleteTreeW(HKEY_CURRENT_USER, (kVbSettings + app).c_str());
}

bool registryApplicationExists(const std::wstring& app) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (kVbSettings + app).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::string rawFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace tollvane::testing
