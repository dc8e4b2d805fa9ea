#pragma once
// The shop window on Windows: a top-level window of the program drawn from the shop window's
// layout, holding the system's web browser control where the layout puts it. Made by the first
// show(), navigated by navigate(), gone when the user closes it (the next show() makes a new one).
// The browser control is an apartment-threaded OLE object: the window's thread must have OLE
// started (OleSession) for as long as the window may be made.

#include <functional>
#include <memory>
#include <string>

#include "platform/ports.h"
#include "platform/win32/api.h"
#include "platform/win32/handles.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/web_browser_host.h"
#include "platform/win32/window_class.h"
#include "windows/layout.h"

namespace tollvane {

class Win32ShopWindow : public Browser {
public:
    // `layout` gives the caption, the frame, the client size and the place of its one browser
    // control; it must outlive this object. `closed` runs when the user has closed the window,
    // after the window is gone, from inside its window procedure: it should only post work.
    // `control` is the COM class of the browser control (the system's web browser unless given).
    Win32ShopWindow(const WindowLayout& layout, std::function<void()> closed,
                    const CLSID& control = CLSID_WebBrowser);
    // Closes the window without reporting it as closed by the user.
    ~Win32ShopWindow() override;
    Win32ShopWindow(const Win32ShopWindow&) = delete;
    Win32ShopWindow& operator=(const Win32ShopWindow&) = delete;

    // Makes the window and its control (the first time, or after the user closed it) and shows
    // it, or brings the open window up again. A control that cannot be made fails with the
    // reason, and leaves no window behind.
    Status show() override;
    // Fails when the window is not open.
    Status navigate(const std::string& url) override;

    // For the message loop, before TranslateMessage and DispatchMessage: gives a key message for
    // this window the browser control's accelerators. True when the control has taken it; the
    // message must then not be dispatched.
    bool preTranslateMessage(MSG& message);

    HWND window() const { return m_window.get(); }
    // The browser control's own window inside this one, or null.
    HWND controlWindow() const;
    // The address the control reports for its page; empty when the window is not open.
    std::string locationUrl() const;

private:
    friend LRESULT CALLBACK win32::ownedWindowProc<Win32ShopWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    Status create();
    RECT controlPlace(unsigned dpi) const;
    void onDpiChanged(unsigned dpi);
    void onDestroyed();

    const WindowLayout& m_layout;
    std::function<void()> m_closed;
    CLSID m_control;
    bool m_closingSelf = false;   // the window goes by the program's own hand: not reported
    win32::ProgramIcons m_icons;  // declared before the window, so that they go after it
    win32::WindowHandle m_window;
    std::unique_ptr<win32::WebBrowserHost> m_host;
};

}  // namespace tollvane
