#include "platform/win32/win32_accessibility.h"

#include <initguid.h>  // the annotation service's identifiers, defined here once
#include <oleacc.h>

namespace tollvane::win32 {

namespace {

// CAccPropServices; the headers declare it without defining it.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};

// The service, asked for once; COM is started on the window thread by the desktop.
IAccPropServices* service() {
    static IAccPropServices* const services = [] {
        IAccPropServices* s = nullptr;
        if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&s)))) {
            return static_cast<IAccPropServices*>(nullptr);
        }
        return s;
    }();
    return services;
}

}  // namespace

bool annotationService() {
    return service() != nullptr;
}

bool setAccessibleName(HWND control, const std::wstring& name) {
    IAccPropServices* s = service();
    return s && SUCCEEDED(s->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            PROPID_ACC_NAME, name.c_str()));
}

void clearAccessibleName(HWND control) {
    if (IAccPropServices* s = service()) {
        MSAAPROPID name = PROPID_ACC_NAME;
        s->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    }
}

}  // namespace tollvane::win32
