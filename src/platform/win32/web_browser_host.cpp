#include "platform/win32/web_browser_host.h"

#include "platform/win32/file_system.h"
#include "platform/win32/text.h"

#include <oleauto.h>

namespace tollvane::win32 {

// The control's site: the container side of in-place activation. The control asks it for the
// window to draw in and where; the frame, menu and border requests of a document application
// are declined, since the shop window has no toolbars or menus to merge.
// COM interfaces have no virtual destructor: the object deletes itself in Release, never through
// an interface pointer.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    BrowserSite(HWND window, const RECT& place) : m_window(window), m_place(place) {}
    void setPlace(const RECT& place) { m_place = place; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *object = static_cast<IOleInPlaceFrame*>(this);
        else
            *object = nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the site and the frame
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = m_window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO frameInfo) override {
        if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;  // no separate document window: the frame is the window
        *position = m_place;
        *clip = m_place;
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = m_window;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    // The control keeps the place the window gave it.
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~BrowserSite() = default;  // only through Release

    ULONG m_references = 1;
    HWND m_window;
    RECT m_place;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

Status failed(const char* step, HRESULT result) {
    return Status::failure(std::string(step) + ": " +
                           errorText(static_cast<unsigned long>(result)));
}

// A BSTR with an owner.
class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return m_text; }
    BSTR* put() {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }
    std::wstring text() const { return m_text ? std::wstring(m_text, SysStringLen(m_text)) : L""; }

private:
    BSTR m_text = nullptr;
};

// The web browser control draws pages as the oldest engine of the system does unless the program
// asks for the current one, per executable name, in the user's registry. A choice already made
// there (by the user or an administrator) is kept.
void useCurrentEngine() {
    const std::wstring program = Win32FileSystem::programPath();
    if (program.empty()) return;
    const std::wstring name = program.substr(program.find_last_of(L"\\/") + 1);
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kBrowserEmulationKey, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        const DWORD edgeMode = 11001;
        RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&edgeMode),
                       sizeof edgeMode);
    }
    RegCloseKey(key);
}

}  // namespace

Status WebBrowserHost::create(HWND parent, const RECT& place, std::unique_ptr<WebBrowserHost>& host,
                              const CLSID& control) {
    host.reset();
    useCurrentEngine();
    std::unique_ptr<WebBrowserHost> made(new WebBrowserHost);
    HRESULT result =
        CoCreateInstance(control, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, &made->m_object);
    if (FAILED(result)) return failed("the web browser control cannot be created", result);
    made->m_site = new BrowserSite(parent, place);
    result = made->m_object->SetClientSite(made->m_site);
    if (FAILED(result)) return failed("the web browser control takes no site", result);
    // In-place: the control draws in the window at `place` and makes its own child window there.
    result =
        made->m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, made->m_site, 0, parent, &place);
    if (FAILED(result)) return failed("the web browser control cannot be activated", result);
    result = made->m_object->QueryInterface(IID_IOleInPlaceObject, &made->m_inPlace);
    if (FAILED(result)) return failed("the web browser control has no window", result);
    result = made->m_object->QueryInterface(IID_IWebBrowser2, &made->m_browser);
    if (FAILED(result)) return failed("the control is not a web browser", result);
    // A page's script errors are the page's business, not dialogs in front of the user.
    made->m_browser->put_Silent(VARIANT_TRUE);
    made->setPlace(place);
    host = std::move(made);
    return Status::success();
}

WebBrowserHost::~WebBrowserHost() {
    m_browser.Reset();
    if (m_inPlace) m_inPlace->InPlaceDeactivate();
    m_inPlace.Reset();
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    m_object.Reset();
    if (m_site) m_site->Release();
}

Status WebBrowserHost::navigate(const std::wstring& url) {
    Bstr address(url);
    if (!address.get() && !url.empty()) return Status::failure("out of memory for the address");
    // Empty variants: no flags, no target frame, no post data, no headers.
    VARIANT none;
    VariantInit(&none);
    const HRESULT result = m_browser->Navigate(address.get(), &none, &none, &none, &none);
    if (FAILED(result)) return failed("the web browser control cannot go to the page", result);
    return Status::success();
}

std::wstring WebBrowserHost::locationUrl() const {
    Bstr location;
    if (FAILED(m_browser->get_LocationURL(location.put()))) return L"";
    return location.text();
}

void WebBrowserHost::setPlace(const RECT& place) {
    m_site->setPlace(place);
    if (m_inPlace) m_inPlace->SetObjectRects(&place, &place);
}

HWND WebBrowserHost::controlWindow() const {
    HWND window = nullptr;
    if (m_inPlace && FAILED(m_inPlace->GetWindow(&window))) return nullptr;
    return window;
}

bool WebBrowserHost::translateAccelerator(MSG& message) {
    ComPtr<IOleInPlaceActiveObject> active;
    if (FAILED(m_object->QueryInterface(IID_IOleInPlaceActiveObject, &active))) return false;
    return active->TranslateAccelerator(&message) == S_OK;
}

}  // namespace tollvane::win32
