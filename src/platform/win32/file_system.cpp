#include "platform/win32/file_system.h"

#include <algorithm>
#include <optional>

#include "platform/win32/api.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace tollvane {
namespace {

Status lastError() {
    return Status::failure(win32::errorText(GetLastError()));
}

Status notUtf8(const std::string& path) {
    return Status::failure("the path is not valid UTF-8: " + path);
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring folderOf(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

// Folders are handed out without a trailing separator: the program appends its own.
std::string withoutTrailingSeparator(std::wstring folder) {
    while (folder.size() > 1 && isSeparator(folder.back())) folder.pop_back();
    return win32::toUtf8(folder);
}

}  // namespace

std::wstring Win32FileSystem::programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);  // a name that fills the buffer may have been cut short
    }
}

std::string Win32FileSystem::programDirectory() const {
    const std::wstring path = programPath();
    if (path.empty()) return {};
    return withoutTrailingSeparator(folderOf(path));
}

std::string Win32FileSystem::userDataDirectory() const {
    std::wstring base;
    PWSTR known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known) == S_OK && known) {
        base = known;
    }
    CoTaskMemFree(known);
    if (base.empty()) {
        wchar_t buffer[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return std::string();
        base.assign(buffer, length);
    }
    return withoutTrailingSeparator(base) + "\\Tollvane";
}

// Best-fit mapping is off: it would write "a" for "ā" and lose the text just as quietly. What
// does not come back unchanged is not held.
std::optional<std::string> Win32FileSystem::encodeText(const std::string& utf8) const {
    const std::wstring wide = win32::widen(utf8, CP_UTF8);
    const UINT page = m_codePage == CP_ACP ? GetACP() : m_codePage;
    const DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    std::string bytes = win32::narrow(wide, page, flags);
    if (win32::widen(bytes, page) != wide) return std::nullopt;
    return bytes;
}

std::string Win32FileSystem::decodeText(const std::string& bytes) const {
    return win32::toUtf8(win32::widen(bytes, m_codePage));
}

Status Win32FileSystem::makeDirectory(const std::string& path) {
    auto wide = win32::toWide(path);
    if (!wide || wide->empty()) return notUtf8(path);
    while (wide->size() > 1 && isSeparator(wide->back())) wide->pop_back();

    // Each parent in turn; failures on the way (a drive root, a share, a folder that is there)
    // do not matter, only whether the whole path ends up a folder.
    for (std::size_t i = 1; i < wide->size(); ++i) {
        if (isSeparator((*wide)[i]) && !isSeparator((*wide)[i - 1])) {
            CreateDirectoryW(wide->substr(0, i).c_str(), nullptr);
        }
    }
    if (CreateDirectoryW(wide->c_str(), nullptr)) return Status::success();
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return Status::success();
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) return Status::failure("a file of that name exists");
    return Status::failure(win32::errorText(error));
}

Status Win32FileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const auto wide = win32::toWide(path);
    if (!wide || wide->empty()) return notUtf8(path);

    // The temporary file sits beside the target, on the same volume, so the final move is a
    // rename and never a copy. Its name carries the process id; a leftover from a crash is skipped.
    const std::wstring stem = *wide + L"." + std::to_wstring(GetCurrentProcessId());
    std::wstring temp;
    win32::KernelHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = stem + L"-" + std::to_wstring(attempt) + L".tmp";
        file = win32::fileHandle(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS) return lastError();
    }
    if (!file) return lastError();

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    DWORD error = ERROR_SUCCESS;
    while (left > 0 && error == ERROR_SUCCESS) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), data, chunk, &written, nullptr) || written == 0) {
            error = GetLastError();
            if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
        }
        data += written;
        left -= written;
    }
    // The bytes must be on disk before the name points at them, or a crash could leave an
    // empty file in place of the old one.
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) error = GetLastError();
    file.reset();
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temp.c_str(), wide->c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temp.c_str());
        return Status::failure(win32::errorText(error));
    }
    return Status::success();
}

Status Win32FileSystem::readFile(const std::string& path, std::string& bytes) {
    const auto wide = win32::toWide(path);
    if (!wide || wide->empty()) return notUtf8(path);
    const win32::KernelHandle file = win32::fileHandle(CreateFileW(
        wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastError();

    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return lastError();
        if (got == 0) break;
        content.append(buffer, got);
    }
    bytes = std::move(content);
    return Status::success();
}

Status Win32FileSystem::removeFile(const std::string& path) {
    const auto wide = win32::toWide(path);
    if (!wide || wide->empty()) return notUtf8(path);
    if (!DeleteFileW(wide->c_str())) return lastError();
    return Status::success();
}

bool Win32FileSystem::exists(const std::string& path) const {
    const auto wide = win32::toWide(path);
    return wide && !wide->empty() && GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tollvane
