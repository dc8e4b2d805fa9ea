#pragma once
// Hosts the system's web browser control (IWebBrowser2) in a window of the program: the few OLE
// container interfaces an in-place control asks its site for, and the calls the program makes.
// Lives and is used on one thread, which must be initialised for OLE (OleInitialize).

#include <memory>
#include <string>

#include "platform/ports.h"
#include "platform/win32/api.h"
#include "platform/win32/handles.h"

#include <exdisp.h>
#include <ole2.h>

namespace tollvane::win32 {

class BrowserSite;

class WebBrowserHost {
public:
    // Creates the control `control` (the system's web browser unless given) inside `parent`, at
    // `place` in the parent's client pixels, and activates it there. On failure `host` stays
    // empty and the reason names the step that failed.
    static Status create(HWND parent, const RECT& place, std::unique_ptr<WebBrowserHost>& host,
                         const CLSID& control = CLSID_WebBrowser);
    // Deactivates and closes the control; call while the parent window still exists.
    ~WebBrowserHost();
    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    // Navigates to `url` with no flags, target frame, post data or headers.
    Status navigate(const std::wstring& url);
    // The address the control reports for its page (empty before a page has been asked for).
    std::wstring locationUrl() const;
    // Moves the control to `place`, in the parent's client pixels.
    void setPlace(const RECT& place);
    // The control's own window (the one it created inside the parent), or null.
    HWND controlWindow() const;
    // Gives a key message meant for the control its accelerators (Tab, Ctrl+C, F5 ...). True when
    // the control has taken it, and the message must then not be dispatched.
    bool translateAccelerator(MSG& message);

private:
    WebBrowserHost() = default;

    BrowserSite* m_site = nullptr;  // one reference held by this host
    ComPtr<IOleObject> m_object;
    ComPtr<IOleInPlaceObject> m_inPlace;
    ComPtr<IWebBrowser2> m_browser;
};

// Where the program asks for the browser control's current engine, a DWORD per executable name
// under HKEY_CURRENT_USER; the uninstaller removes the program's value.
inline constexpr wchar_t kBrowserEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

}  // namespace tollvane::win32
