#include "platform/win32/accessibility.h"

#include <initguid.h>  // the annotation service's identifiers, defined here once
#include <oleacc.h>

namespace tollvane::win32 {

namespace {

// CAccPropServices; the headers declare it without defining it.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};

}  // namespace

ScreenReaderNames::ScreenReaderNames() = default;

ScreenReaderNames::~ScreenReaderNames() {
    clear();
}

// The service is asked for at the first name: a window without any needs no COM object.
void ScreenReaderNames::name(HWND control, const std::wstring& text) {
    if (!m_asked) {
        m_asked = true;
        if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, &m_service)))
            m_service.Reset();
    }
    if (!m_service) return;
    if (SUCCEEDED(m_service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            PROPID_ACC_NAME, text.c_str())))
        m_named.push_back(control);
}

void ScreenReaderNames::clear() {
    MSAAPROPID name = PROPID_ACC_NAME;
    for (HWND control : m_named)
        m_service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name,
                                  1);
    m_named.clear();
}

}  // namespace tollvane::win32
