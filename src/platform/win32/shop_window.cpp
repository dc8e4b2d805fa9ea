#include "platform/win32/shop_window.h"

#include <utility>

#include "platform/win32/geometry.h"
#include "platform/win32/text.h"
#include "windows/geometry.h"

namespace tollvane {
namespace {

constexpr wchar_t kClassName[] = L"TollvaneShopWindow";
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
    const win32::WindowStyle style = win32::windowStyle(m_layout);
    HWND window = win32::createOwnedWindow(
        this, kClassName, style.exStyle, win32::toWideLossy(m_layout.caption).c_str(), style.style,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
    if (!window)
        return Status::failure("the shop window cannot be made: " +
                               win32::errorText(GetLastError()));
    m_window.reset(window);

    // The client area at the design size, at the window's own DPI; the system chose the place.
    const unsigned dpi = win32::windowDpi(window);
    m_icons.apply(window, dpi);
    win32::setClientArea(
        window, style,
        {twipsToPixels(m_layout.clientWidth, dpi), twipsToPixels(m_layout.clientHeight, dpi)}, dpi);

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
// gives it the whole client area.
RECT Win32ShopWindow::controlPlace(unsigned dpi) const {
    for (const ControlLayout& c : m_layout.controls) {
        if (c.kind != ControlKind::Browser) continue;
        const PixelRect r = controlRect(c, dpi);
        return {r.left, r.top, r.left + r.width, r.top + r.height};
    }
    return {0, 0, twipsToPixels(m_layout.clientWidth, dpi),
            twipsToPixels(m_layout.clientHeight, dpi)};
}

LRESULT Win32ShopWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            onDpiChanged(win32::takeSuggestedPlace(window, wParam, lParam));
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

void Win32ShopWindow::onDpiChanged(unsigned dpi) {
    m_icons.apply(m_window.get(), dpi);
    if (m_host) m_host->setPlace(controlPlace(dpi));
}

// The window is gone: by the user's close box (reported), or by this object's own hand.
void Win32ShopWindow::onDestroyed() {
    (void)m_window.release();
    m_host.reset();
    if (!m_closingSelf && m_closed) m_closed();
}

}  // namespace tollvane
