#include "platform/win32/shop_window.h"

#include <utility>

#include "platform/win32/win32_text.h"

namespace tollvane {
namespace {

constexpr wchar_t kClassName[] = L"TollvaneShopWindow";
constexpr UINT kDesignDpi = 96;

DWORD frameStyle(const WindowLayout& layout) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (layout.border == Border::Sizable) style |= WS_THICKFRAME;
    if (layout.minimizeButton) style |= WS_MINIMIZEBOX;
    if (layout.maximizeButton) style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD frameExStyle(const WindowLayout& layout) {
    return layout.border == Border::FixedDialog ? WS_EX_DLGMODALFRAME : 0;
}

UINT dpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi == 0 ? kDesignDpi : dpi;
}

bool registerClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

Win32ShopWindow::Win32ShopWindow(const WindowLayout& layout, std::function<void()> closed,
                                 const CLSID& control)
    : m_layout(layout), m_closed(std::move(closed)), m_control(control) {}

Win32ShopWindow::~Win32ShopWindow() {
    m_closingSelf = true;
    m_window.reset();  // WM_DESTROY closes the control first
}

Status Win32ShopWindow::show() {
    if (!m_window) {
        if (Status made = create(); !made) return made;
        ShowWindow(m_window.get(), SW_SHOWNORMAL);
        UpdateWindow(m_window.get());
    } else {
        ShowWindow(m_window.get(), IsIconic(m_window.get()) ? SW_RESTORE : SW_SHOW);
    }
    SetForegroundWindow(m_window.get());
    return Status::success();
}

Status Win32ShopWindow::navigate(const std::string& url) {
    if (!m_host) return Status::failure("the shop window is not open");
    const std::optional<std::wstring> address = win32::toWide(url);
    if (!address) return Status::failure("the address is not valid UTF-8");
    return m_host->navigate(*address);
}

bool Win32ShopWindow::preTranslateMessage(MSG& message) {
    if (!m_host || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    HWND window = m_window.get();
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    return m_host->translateAccelerator(message);
}

HWND Win32ShopWindow::controlWindow() const {
    return m_host ? m_host->controlWindow() : nullptr;
}

std::string Win32ShopWindow::locationUrl() const {
    return m_host ? win32::toUtf8(m_host->locationUrl()) : std::string();
}

Status Win32ShopWindow::create() {
    if (!registerClass(windowProc))
        return Status::failure("the shop window cannot be made: " +
                               win32::errorText(GetLastError()));

    const DWORD style = frameStyle(m_layout);
    const DWORD exStyle = frameExStyle(m_layout);
    const std::wstring caption = win32::toWide(m_layout.caption).value_or(L"");
    HWND window = CreateWindowExW(exStyle, kClassName, caption.c_str(), style, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (!window)
        return Status::failure("the shop window cannot be made: " +
                               win32::errorText(GetLastError()));
    m_window.reset(window);

    // The client area at the design size, at the window's own DPI; the system chose the place.
    const UINT dpi = dpiOf(window);
    RECT frame{0, 0, twipsToPixels(m_layout.clientWidth, dpi),
               twipsToPixels(m_layout.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (Status hosted = win32::WebBrowserHost::create(window, controlPlace(dpi), m_host, m_control);
        !hosted) {
        m_closingSelf = true;
        m_window.reset();
        m_closingSelf = false;
        return hosted;
    }
    return Status::success();
}

// The browser control's place from the layout, in client pixels at `dpi`; a layout without one
// gives it the whole design client area.
RECT Win32ShopWindow::controlPlace(UINT dpi) const {
    int left = 0, top = 0, width = m_layout.clientWidth, height = m_layout.clientHeight;
    for (const ControlLayout& c : m_layout.controls) {
        if (c.kind == ControlKind::Browser) {
            left = c.left, top = c.top, width = c.width, height = c.height;
            break;
        }
    }
    const int x = twipsToPixels(left, dpi), y = twipsToPixels(top, dpi);
    return {x, y, x + twipsToPixels(width, dpi), y + twipsToPixels(height, dpi)};
}

LRESULT CALLBACK Win32ShopWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<Win32ShopWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self =
            static_cast<Win32ShopWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self->handle(window, message, wParam, lParam);
}

LRESULT Win32ShopWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETFOCUS:
            if (HWND control = controlWindow()) SetFocus(control);
            return 0;
        case WM_DESTROY:
            // The control goes while its window still exists.
            m_host.reset();
            break;
        case WM_NCDESTROY:
            onDestroyed();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32ShopWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(m_window.get(), nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_host) m_host->setPlace(controlPlace(dpi));
}

// The window is gone: by the user's close box (reported), or by this object's own hand.
void Win32ShopWindow::onDestroyed() {
    (void)m_window.release();
    m_host.reset();
    if (!m_closingSelf && m_closed) m_closed();
}

}  // namespace tollvane
