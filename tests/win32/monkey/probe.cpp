// The random-use run's eyes on a running tollvane.exe, from outside as another program of the
// session sees it: tollvane_probe.exe reads one command a line from its standard input and
// answers each with one line of JSON, until its input ends. It only reads: it sends no input and
// changes nothing (WM_NULL and WM_GETTEXT are all it sends to the program).
//
//   answer MS    whether the program's main window answers WM_NULL within MS milliseconds:
//                {"answer":"ok"|"hung"|"none","ms":N}
//   texts        the texts and enabled states the checks read, and the loop the program is in:
//                {"loops":{"flags":N,"menuOwner":CLASS,"moveSize":CLASS},"frmAlarmClock":
//                {"visible":true,"iconic":false,"txttimetot":..,"CmdSet":true,..},"frmclock":{..}}
//   windows      every visible top-level window with its process's file name, class, title,
//                window and client rectangles on the screen, its title bar and whether it has a
//                close box, and for a menu its items
//   at X Y       the class of the window at a point of the screen and of its top-level window,
//                and the part of the window there: {"class":..,"root":..,"part":HT..}
//   processes    the process ids of every tollvane.exe: {"tollvane":[..]}
//   codepage     the system's ANSI code page: {"acp":N}
//   settings     the values under the program's registry key, as {"key path":{"name":
//                {"type":N,"text":..,"terminated":B}}}; text only for REG_SZ
//
// A control that does not answer within two seconds reads as null.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/desktop.h"
#include "platform/win32/form_window.h"
#include "platform/win32/settings_store.h"
#include "platform/win32/text.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

// After <windows.h>, which it needs.
#include <tlhelp32.h>

using namespace tollvane;

namespace {

constexpr UINT kTextWaitMs = 2000;

std::string quoted(const std::string& utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string quoted(const std::wstring& wide) {
    return quoted(win32::toUtf8(wide));
}

// The text a control holds, asked of the control itself; nullopt when it does not answer.
std::optional<std::wstring> controlText(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextWaitMs,
                             &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                             reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, kTextWaitMs,
                             &copied))
        return std::nullopt;
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

HWND formWindow(const WindowLayout& layout) {
    return FindWindowW(win32::FormWindow::className(layout).c_str(), nullptr);
}

std::map<DWORD, std::wstring> processNames() {
    std::map<DWORD, std::wstring> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        names[entry.th32ProcessID] = entry.szExeFile;
    CloseHandle(snapshot);
    return names;
}

std::string answer(unsigned ms) {
    HWND main = formWindow(frmAlarmClock::designLayout());
    if (!main) main = FindWindowW(win32::Desktop::programWindowClass(), nullptr);
    if (!main) return R"({"answer":"none","ms":0})";
    const unsigned long long start = GetTickCount64();
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
    return std::string(R"({"answer":")") + (answered ? "ok" : "hung") + R"(","ms":)" +
           std::to_string(GetTickCount64() - start) + "}";
}

std::wstring classOf(HWND w) {
    wchar_t name[256] = L"";
    if (w) GetClassNameW(w, name, 256);
    return name;
}

// Which loop the program's window thread is in: a menu's (and whose menu) or a window's move or
// size loop (and which window's); and which of its windows is active, the one keys go to.
std::string loops(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!main || !GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return "null";
    return std::string(R"({"flags":)") + std::to_string(info.flags) + R"(,"menuOwner":)" +
           quoted(classOf(info.hwndMenuOwner)) + R"(,"moveSize":)" +
           quoted(classOf(info.hwndMoveSize)) + R"(,"active":)" + quoted(classOf(info.hwndActive)) +
           "}";
}

std::string texts() {
    struct Read {
        const WindowLayout& layout;
        std::vector<const char*> texts, states;
    };
    const Read reads[] = {
        {frmAlarmClock::designLayout(),
         {"txttimetot", "txttimetot2", "TxtTime", "txtfreq1", "txtdura1", "txtam", "TxtRem"},
         {"CmdSet", "CmdReset", "cmdremset"}},
        {frmclock::designLayout(), {"txttimetot", "txttimetot2"}, {}},
    };
    std::string out = R"({"loops":)" + loops(formWindow(frmAlarmClock::designLayout()));
    for (const Read& r : reads) {
        HWND window = formWindow(r.layout);
        if (!window) continue;
        out += "," + quoted(r.layout.name) + R"(:{"visible":)" +
               (IsWindowVisible(window) ? "true" : "false") + R"(,"iconic":)" +
               (IsIconic(window) ? "true" : "false");
        for (const char* name : r.texts) {
            HWND control = GetDlgItem(window, win32::FormWindow::controlId(r.layout, name));
            const auto text = control ? controlText(control) : std::nullopt;
            out += "," + quoted(std::string(name)) + ":" + (text ? quoted(*text) : "null");
        }
        for (const char* name : r.states) {
            HWND control = GetDlgItem(window, win32::FormWindow::controlId(r.layout, name));
            out += "," + quoted(std::string(name)) + ":" +
                   (control && IsWindowEnabled(control) ? "true" : "false");
        }
        out += "}";
    }
    return out + "}";
}

// The items of a menu that is open, as a JSON list: a menu window answers which menu it shows.
std::string menuItems(HWND menuWindow) {
    DWORD_PTR menu = 0;
    if (!SendMessageTimeoutW(menuWindow, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, kTextWaitMs, &menu) ||
        !menu)
        return "[]";
    std::string out = "[";
    const int count = GetMenuItemCount(reinterpret_cast<HMENU>(menu));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        GetMenuStringW(reinterpret_cast<HMENU>(menu), static_cast<UINT>(i), text, 256,
                       MF_BYPOSITION);
        out += (i ? "," : "") + quoted(std::wstring(text));
    }
    return out + "]";
}

std::string windows() {
    const auto names = processNames();
    std::string out = R"({"windows":[)";
    struct Walk {
        const std::map<DWORD, std::wstring>& names;
        std::string& out;
    } walk{names, out};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto& seen = *reinterpret_cast<Walk*>(p);
            if (!IsWindowVisible(w)) return TRUE;
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            const auto name = seen.names.find(pid);
            RECT r{}, c{};
            GetWindowRect(w, &r);
            GetClientRect(w, &c);
            POINT origin{0, 0};
            ClientToScreen(w, &origin);
            std::ostringstream line;
            line << (seen.out.back() == '[' ? "" : ",") << R"({"hwnd":)"
                 << reinterpret_cast<std::uintptr_t>(w) << R"(,"pid":)" << pid << R"(,"exe":)"
                 << quoted(name == seen.names.end() ? std::wstring() : name->second)
                 << R"(,"class":)" << quoted(classOf(w)) << R"(,"title":)"
                 << quoted(win32::windowText(w)) << R"(,"rect":[)" << r.left << "," << r.top << ","
                 << r.right - r.left << "," << r.bottom - r.top << R"(],"client":[)" << origin.x
                 << "," << origin.y << "," << c.right << "," << c.bottom << "]";
            if (classOf(w) == L"#32768") line << R"(,"items":)" << menuItems(w);
            TITLEBARINFO bar{};
            bar.cbSize = sizeof bar;
            if (GetTitleBarInfo(w, &bar) && !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
                line << R"(,"titleBar":[)" << bar.rcTitleBar.left << "," << bar.rcTitleBar.top
                     << "," << bar.rcTitleBar.right - bar.rcTitleBar.left << ","
                     << bar.rcTitleBar.bottom - bar.rcTitleBar.top << R"(],"closeBox":)"
                     << ((bar.rgstate[5] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE))
                             ? "false"
                             : "true");
            }
            line << "}";
            seen.out += line.str();
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return out + "]}";
}

// The window at a point of the screen, the top-level window it belongs to, and the part of the
// window there (WM_NCHITTEST's answer; -1 when the window does not answer).
std::string at(int x, int y) {
    HWND w = WindowFromPoint(POINT{x, y});
    DWORD_PTR part = static_cast<DWORD_PTR>(-1);
    if (w &&
        !SendMessageTimeoutW(w, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &part))
        part = static_cast<DWORD_PTR>(-1);
    return std::string(R"({"class":)") + quoted(classOf(w)) + R"(,"root":)" +
           quoted(classOf(w ? GetAncestor(w, GA_ROOT) : nullptr)) + R"(,"part":)" +
           std::to_string(static_cast<int>(static_cast<LRESULT>(part))) + "}";
}

std::string processes() {
    std::string out = R"({"tollvane":[)";
    bool first = true;
    for (const auto& [pid, name] : processNames()) {
        if (_wcsicmp(name.c_str(), L"tollvane.exe") != 0) continue;
        out += (first ? "" : ",") + std::to_string(pid);
        first = false;
    }
    return out + "]}";
}

// Every value under one key and its subkeys, depth first.
void readKey(HKEY parent, const std::wstring& path, std::string& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out += (out.back() == '{' ? "" : ",") + quoted(path) + ":{";
    bool first = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, bytes = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(bytes + sizeof(wchar_t));
        nameLength = 16384;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &bytes) !=
            ERROR_SUCCESS)
            break;
        out += (first ? "" : ",") + quoted(std::wstring(name, nameLength)) + R"(:{"type":)" +
               std::to_string(type);
        if (type == REG_SZ) {
            std::wstring text(reinterpret_cast<const wchar_t*>(data.data()),
                              bytes / sizeof(wchar_t));
            // A REG_SZ value is stored with its terminating null; whether it was is shown, so a
            // check can tell.
            const bool terminated = !text.empty() && text.back() == L'\0';
            if (terminated) text.pop_back();
            out += R"(,"text":)" + quoted(text) + R"(,"terminated":)" +
                   (terminated ? "true" : "false");
        }
        out += "}";
        first = false;
    }
    out += "}";
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name, nameLength);
    }
    RegCloseKey(key);
    for (const std::wstring& sub : subkeys) readKey(parent, path + L"\\" + sub, out);
}

std::string settings() {
    std::string out = "{";
    readKey(HKEY_CURRENT_USER, win32::toWideLossy(Win32SettingsStore::kRootKey), out);
    return out + "}";
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string command;
        words >> command;
        std::string reply;
        if (command == "answer") {
            unsigned ms = 2000;
            words >> ms;
            reply = answer(ms);
        } else if (command == "texts") {
            reply = texts();
        } else if (command == "windows") {
            reply = windows();
        } else if (command == "at") {
            int x = 0, y = 0;
            words >> x >> y;
            reply = at(x, y);
        } else if (command == "codepage") {
            reply = R"({"acp":)" + std::to_string(GetACP()) + "}";
        } else if (command == "processes") {
            reply = processes();
        } else if (command == "settings") {
            reply = settings();
        } else {
            reply = R"({"error":)" + quoted("unknown command " + command) + "}";
        }
        std::fwrite(reply.data(), 1, reply.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return 0;
}
