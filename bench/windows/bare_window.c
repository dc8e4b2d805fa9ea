/* The least a Win32 clock can do, as the yardstick of bench/windows.sh: one window, titled
 * "Bare box", whose one box shows the seconds, redrawn at each whole second of the wall clock by a
 * waitable timer that the message loop waits on. Built by the bench itself:
 *   x86_64-w64-mingw32-gcc -O2 -static -mwindows -o bare.exe bare_window.c */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static int shown = -1;

static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT box = {8, 24, 81, 88};
        wchar_t text[4] = {L':', (wchar_t)(L'0' + shown / 10), (wchar_t)(L'0' + shown % 10), 0};
        FillRect(dc, &box, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        if (shown >= 0) DrawTextW(dc, text, 3, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

static void aim(HANDLE timer) {
    FILETIME now;
    ULARGE_INTEGER t;
    LARGE_INTEGER due;
    GetSystemTimePreciseAsFileTime(&now);
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    due.QuadPart = -(LONGLONG)(10000000 - t.QuadPart % 10000000);
    SetWaitableTimer(timer, &due, 0, NULL, NULL, FALSE);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
    WNDCLASSW wc = {0};
    HWND hwnd;
    HANDLE timer = CreateWaitableTimerW(NULL, FALSE, NULL);
    MSG msg;
    (void)previous;
    (void)line;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = L"BareBox";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, L"BareBox", L"Bare box", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                           CW_USEDEFAULT, CW_USEDEFAULT, 237, 380, NULL, NULL, instance, NULL);
    ShowWindow(hwnd, show);
    aim(timer);
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) {
            SYSTEMTIME t;
            RECT box = {8, 24, 81, 88};
            GetLocalTime(&t);
            shown = t.wSecond;
            InvalidateRect(hwnd, &box, FALSE);
            aim(timer);
            continue;
        }
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}
