#pragma once
// Conversions the Win32 adapters share: the program's UTF-8 strings to and from the UTF-16 the
// wide API takes, and a system error code as readable text.

#include <optional>
#include <string>

#include "platform/win32/win32_api.h"

namespace tollvane::win32 {

// nullopt when `utf8` is not valid UTF-8 (the API would otherwise see replacement characters).
std::optional<std::wstring> toWide(const std::string& utf8);
std::string toUtf8(const std::wstring& wide);
// For text that is shown rather than stored: bytes that are not UTF-8 become U+FFFD.
std::wstring toWideLossy(const std::string& utf8);
// A window's text, whole.
std::wstring windowText(HWND window);

// The system's message for an error code from GetLastError or a registry call, followed by the
// code itself: "Access is denied. (error 5)".
std::string errorText(unsigned long code);

}  // namespace tollvane::win32
