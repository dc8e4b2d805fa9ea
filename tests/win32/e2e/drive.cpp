// Drives a running tollvane.exe from outside, as a user's clicks and keys and the session would:
// tollvane_drive.exe COMMAND WINDOW [ARGS]. WINDOW is a window of the program by its name
// (frmAlarmClock, frmclock, frmAbout), or any other window by its class (TollvaneHelpWindow,
// TollvaneShopWindow) for the commands that need no control. Prints what it reads; exits 1 when a
// window or control is not found or a wait runs out.
//
//   shown WINDOW [MS]           waits until the window is shown
//   hidden WINDOW [MS]          waits until it is hidden or gone
//   text WINDOW CONTROL         prints the control's text
//   enabled WINDOW CONTROL      prints 1 or 0
//   type WINDOW CONTROL TEXT    replaces the control's text as typing would
//   click WINDOW CONTROL        clicks the control
//   menu WINDOW ITEM            chooses a menu item
//   close WINDOW                the window's close box
//   title WINDOW                prints the window's title
//   rect WINDOW                 prints the window's left, top, width and height on the screen
//   client WINDOW               prints the client area's width and height
//   move WINDOW X Y             moves the window
//   rightclick WINDOW CONTROL   right-clicks the control with the mouse (its context menu opens)
//   hold WINDOW                 presses the left mouse button on the title bar and keeps it down
//   titlemenu WINDOW            right-clicks the title bar (the window's system menu opens)
//   scrollpress WINDOW          presses the left mouse button on the vertical scroll bar at the
//                               window's right edge (a text filling it) and keeps it down
//   release                     lets the left mouse button go
//   escape                      presses Esc
//   endsession                  the session ends (log off)
//   hung WINDOW                 prints 1 if Windows counts the window as not responding, else 0
//   answers WINDOW              sends the window a message and prints how many milliseconds the
//                               answer took; fails when none came within a second
//   refusesaving                makes the registry refuse the program's values (its key kept in
//                               memory only, where no lasting section can be made)
//   pid                         prints the running program's process id
//
// The mouse and the keyboard go through the system's input queue, as a hand's would: what they
// start in the program (a context menu, a window held by its title bar) runs as it does for a user.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/desktop.h"
#include "platform/win32/form_window.h"
#include "platform/win32/menus.h"
#include "platform/win32/text.h"
#include "windows/frm_about.h"
#include "windows/frm_alarm_clock.h"
#include "windows/frmclock.h"

using namespace tollvane;

namespace {

const WindowLayout* layoutOf(const std::string& window) {
    if (window == "frmAlarmClock") return &frmAlarmClock::designLayout();
    if (window == "frmclock") return &frmclock::designLayout();
    if (window == "frmAbout") return &frmAbout::designLayout();
    return nullptr;
}

int fail(const std::string& why) {
    std::fprintf(stderr, "tollvane_drive: %s\n", why.c_str());
    return 1;
}

// A control's text as the control itself holds it: for a window of another process GetWindowText
// only reads the caption the window was made with.
std::wstring controlText(HWND control) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_BLOCK, 5000, &copied);
    text.resize(copied);
    return text;
}

void send(INPUT input) {
    SendInput(1, &input, sizeof input);
}

void mouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(in);
}

void mouseButton(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    send(in);
}

void key(WORD virtualKey) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    send(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    send(in);
}

// A point of the window's title bar, away from its icon and buttons.
POINT titleBarPoint(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    POINT p{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYFRAME)};
    for (; p.y < r.bottom; ++p.y) {
        DWORD_PTR hit = HTNOWHERE;
        SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), SMTO_BLOCK, 5000, &hit);
        if (hit == HTCAPTION) break;
    }
    return p;
}

bool waitFor(const std::wstring& windowClass, bool shown, unsigned ms) {
    const unsigned long long deadline = GetTickCount64() + ms;
    for (;;) {
        HWND w = FindWindowW(windowClass.c_str(), nullptr);
        if (shown == (w && IsWindowVisible(w))) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return fail("usage: tollvane_drive COMMAND [WINDOW] [ARGS]");
    const std::string command = argv[1];
    if (command == "release") {
        mouseButton(MOUSEEVENTF_LEFTUP);
        return 0;
    }
    if (command == "escape") {
        key(VK_ESCAPE);
        return 0;
    }
    if (command == "refusesaving") {
        HKEY app = nullptr;
        const LONG made = RegCreateKeyExW(
            HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Vuvuririvivur", 0, nullptr,
            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &app, nullptr);
        if (made != ERROR_SUCCESS) return fail("the program's key could not be made");
        RegCloseKey(app);
        return 0;
    }
    if (command == "endsession" || command == "pid") {
        HWND program = FindWindowW(win32::Desktop::programWindowClass(), nullptr);
        if (!program) return fail("the program is not running");
        if (command == "pid") {
            DWORD pid = 0;
            GetWindowThreadProcessId(program, &pid);
            std::printf("%lu\n", pid);
            return 0;
        }
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(program, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                            &answer);
        if (answer != TRUE) return fail("the program refused to end the session");
        SendMessageTimeoutW(program, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                            &answer);
        return 0;
    }
    if (argc < 3) return fail("which window?");
    const WindowLayout* layout = layoutOf(argv[2]);
    const std::wstring windowClass =
        layout ? win32::FormWindow::className(*layout) : win32::toWideLossy(argv[2]);
    const std::string arg = argc > 3 ? argv[3] : "";
    const unsigned wait = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 10000;
    if (command == "shown") return waitFor(windowClass, true, wait) ? 0 : fail("not shown");
    if (command == "hidden") return waitFor(windowClass, false, wait) ? 0 : fail("still shown");

    HWND window = FindWindowW(windowClass.c_str(), nullptr);
    if (!window) return fail(std::string(argv[2]) + " is not there");
    if (command == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : fail("close");
    if (command == "hung") {
        std::printf("%d\n", IsHungAppWindow(window) ? 1 : 0);
        return 0;
    }
    if (command == "answers") {
        // WM_NULL does nothing but wants an answer; a sender that skips hung windows, as the
        // shell's does, gives up at once on one.
        const unsigned long long sent = GetTickCount64();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000,
                                 &result))
            return fail("no answer within a second");
        std::printf("%llu\n", GetTickCount64() - sent);
        return 0;
    }
    if (command == "rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (command == "client") {
        RECT r;
        GetClientRect(window, &r);
        std::printf("%ld %ld\n", r.right, r.bottom);
        return 0;
    }
    if (command == "move" && argc > 4) {
        SetWindowPos(window, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (command == "hold") {
        mouseTo(titleBarPoint(window));
        mouseButton(MOUSEEVENTF_LEFTDOWN);
        return 0;
    }
    if (command == "scrollpress") {
        RECT client;
        GetClientRect(window, &client);
        POINT bar{client.right - GetSystemMetrics(SM_CXVSCROLL) / 2, client.bottom / 2};
        ClientToScreen(window, &bar);
        mouseTo(bar);
        mouseButton(MOUSEEVENTF_LEFTDOWN);
        return 0;
    }
    if (command == "titlemenu") {
        mouseTo(titleBarPoint(window));
        mouseButton(MOUSEEVENTF_RIGHTDOWN);
        mouseButton(MOUSEEVENTF_RIGHTUP);
        return 0;
    }
    if (command == "title") {
        std::printf("%s\n", win32::toUtf8(win32::windowText(window)).c_str());
        return 0;
    }
    if (!layout) return fail(std::string("no window named ") + argv[2]);
    if (command == "menu") {
        const win32::MenuBar menus(layout->menus, 1000);
        const int id = menus.command(arg);
        if (!id) return fail("no menu item " + arg);
        return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : fail("menu");
    }
    HWND control = GetDlgItem(window, win32::FormWindow::controlId(*layout, arg));
    if (!control) return fail("no control " + arg);
    if (command == "text") {
        std::printf("%s\n", win32::toUtf8(controlText(control)).c_str());
        return 0;
    }
    if (command == "enabled") {
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (command == "type" && argc > 4) {
        const std::wstring text = win32::toWideLossy(argv[4]);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    if (command == "rightclick") {
        RECT r;
        GetWindowRect(control, &r);
        mouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        mouseButton(MOUSEEVENTF_RIGHTDOWN);
        mouseButton(MOUSEEVENTF_RIGHTUP);
        return 0;
    }
    if (command == "click") {
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        return 0;
    }
    return fail("unknown command " + command);
}
