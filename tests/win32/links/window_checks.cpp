#include "win32/links/window_checks.h"

namespace tollvane::testing {

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

RECT placeInParent(HWND child) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int threadWindowsOfClass(const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        int count;
    } search{className, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64];
            if (GetClassNameW(window, name, 64) && std::wstring(name) == s->name) ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

int pixelsAtWindowDpi(HWND window, int twips) {
    return MulDiv(twips, static_cast<int>(GetDpiForWindow(window)), 1440);
}

}  // namespace tollvane::testing
