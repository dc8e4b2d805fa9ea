#pragma once
// The program's own windows on Windows, each the window of one C++ object: one window procedure
// for every kind, which hands each message to the object that made the window, and one class
// registration.

#include <memory>
#include <type_traits>

#include "platform/win32/api.h"

namespace tollvane::win32 {

// Registers the program's window class `name`, once per process, with the arrow cursor and the
// window colour beneath; true when the class is there.
bool registerWindowClass(const wchar_t* name, WNDPROC procedure);

// The window procedure of windows that belong to an object of type Owner, which CreateWindowExW
// was given as its creation parameter: from WM_NCCREATE to WM_NCDESTROY each message goes to
// owner->handleMessage(hwnd, message, wParam, lParam). An owner that goes before its window calls
// destroyOwnedWindow(), so that no message reaches it once it has gone.
template <class Owner>
LRESULT CALLBACK ownedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!owner) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return owner->handleMessage(hwnd, message, wParam, lParam);
}

// Makes a window of the class `className`, registered on first use, whose messages go to `owner`.
template <class Owner>
HWND createOwnedWindow(Owner* owner, const wchar_t* className, DWORD exStyle, const wchar_t* title,
                       DWORD style, int x, int y, int width, int height, HWND parent,
                       HMENU menu = nullptr) {
    if (!registerWindowClass(className, &ownedWindowProc<Owner>)) return nullptr;
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                           GetModuleHandleW(nullptr), owner);
}

// Destroys a window whose owner is going: no message reaches the owner on the way.
void destroyOwnedWindow(HWND hwnd);
struct OwnedWindowDestroyer {
    void operator()(HWND hwnd) const { destroyOwnedWindow(hwnd); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, OwnedWindowDestroyer>;

}  // namespace tollvane::win32
