#pragma once
// The program started when the user signs in to Windows: a value under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run that starts this tollvane.exe
// (its quoted path), per user and without administrator rights, and RegisterApplicationRestart, so
// that Windows starts it again after an update restart (not after a crash or a hang).
//
// The value is the program's own when it starts a tollvane.exe and nothing else; only such a value
// is rewritten (one left by a copy elsewhere) or removed. A start the user turned off in Task
// Manager > Startup or Settings > Apps > Startup is kept under ...\Explorer\StartupApproved\Run,
// which the program reads and never writes: the value stays (so the user still sees it there and
// can turn it on again), and the program says that the alarm will not survive a restart.

#include <string>

#include "platform/ports.h"

namespace tollvane::win32 {

class Win32SessionStart : public SessionStart {
public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kApprovedKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

    // `valueName`: the Run value's name; `program`: the executable it starts (empty: this one).
    explicit Win32SessionStart(std::wstring valueName = L"Tollvane", std::wstring program = {});

    Status want(bool started) override;

private:
    std::wstring m_name;
    std::wstring m_program;
};

}  // namespace tollvane::win32
