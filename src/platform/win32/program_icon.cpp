#include "platform/win32/program_icon.h"

namespace tollvane::win32 {

namespace {
constexpr int kIconResource = 1;
}  // namespace

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void ProgramIcons::apply(HWND window, unsigned dpi) {
    IconHandle small(programIcon(GetSystemMetricsForDpi(SM_CXSMICON, dpi)));
    IconHandle big(programIcon(GetSystemMetricsForDpi(SM_CXICON, dpi)));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    m_small.swap(small);
    m_big.swap(big);
}

}  // namespace tollvane::win32
