#include "platform/win32/text.h"

#include <cstdio>

namespace tollvane::win32 {

std::wstring widen(std::string_view bytes, UINT codePage, DWORD flags) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view wide, UINT codePage, DWORD flags) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::optional<std::wstring> toWide(const std::string& utf8) {
    std::wstring wide = widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty() && !utf8.empty()) return std::nullopt;
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    return narrow(wide, CP_UTF8);
}

std::wstring toWideLossy(std::string_view utf8) {
    return widen(utf8, CP_UTF8);
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string errorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    // With ALLOCATE_BUFFER the buffer argument is really a pointer to the pointer.
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message;
    if (length != 0 && buffer != nullptr) {
        message = toUtf8(std::wstring_view(buffer, length));
        LocalFree(buffer);
    }
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    // A COM result that failed has its top bit set, and is written as COM results are, in hex.
    char number[24];
    if (code & 0x80000000UL)
        std::snprintf(number, sizeof number, "0x%08lX", code);
    else
        std::snprintf(number, sizeof number, "error %lu", code);
    return message.empty() ? number : message + " (" + number + ")";
}

}  // namespace tollvane::win32
