#include "platform/win32/win32_file_system.h"

#include <algorithm>
#include <optional>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_text.h"

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

// Text conversion that, unlike the strict one for paths, never fails: a byte that is not UTF-8
// (or a character the target lacks) becomes a replacement character rather than losing the text.
std::wstring widen(unsigned codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string narrow(unsigned codePage, const std::wstring& wide, DWORD flags = 0) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

class Handle {
public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_h; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (valid()) CloseHandle(m_h);
        m_h = h;
    }
    void close() { reset(); }

private:
    HANDLE m_h;
};

}  // namespace

std::string Win32FileSystem::programDirectory() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        // A name that fills the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
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
    const std::wstring wide = widen(CP_UTF8, utf8);
    const UINT page = m_codePage == CP_ACP ? GetACP() : m_codePage;
    const DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    std::string bytes = narrow(page, wide, flags);
    if (widen(page, bytes) != wide) return std::nullopt;
    return bytes;
}

std::string Win32FileSystem::decodeText(const std::string& bytes) const {
    return narrow(CP_UTF8, widen(m_codePage, bytes));
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
    Handle file(INVALID_HANDLE_VALUE);
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        temp = stem + L"-" + std::to_wstring(attempt) + L".tmp";
        file.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) return lastError();
    }
    if (!file.valid()) return lastError();

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
    file.close();
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
    Handle file(CreateFileW(wide->c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return lastError();

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
