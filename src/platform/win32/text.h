#pragma once
// Text on the Windows side: the program's UTF-8 strings to and from the UTF-16 the wide API
// takes, text in any code page (the files' ANSI one) through the same pair of conversions, and a
// system error code as readable text.

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/api.h"

namespace tollvane::win32 {

// Bytes in `codePage` to UTF-16 and back, with the flags MultiByteToWideChar and
// WideCharToMultiByte take; empty where the system cannot convert them. Without flags, bytes the
// code page does not hold become U+FFFD, and characters it lacks its default character.
std::wstring widen(std::string_view bytes, UINT codePage, DWORD flags = 0);
std::string narrow(std::wstring_view wide, UINT codePage, DWORD flags = 0);

// nullopt when `utf8` is not valid UTF-8 (the API would otherwise see replacement characters).
std::optional<std::wstring> toWide(const std::string& utf8);
std::string toUtf8(std::wstring_view wide);
// For text that is shown rather than stored: bytes that are not UTF-8 become U+FFFD.
std::wstring toWideLossy(std::string_view utf8);
// A window's text, whole.
std::wstring windowText(HWND window);

// The system's message for an error code, followed by the code itself: one from GetLastError or a
// registry call as "Access is denied. (error 5)", a failed COM result as "Class not registered.
// (0x80040154)".
std::string errorText(unsigned long code);

}  // namespace tollvane::win32
