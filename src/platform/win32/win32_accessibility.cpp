#include "platform/win32/win32_accessibility.h"

#include <initguid.h>  // the annotation service's identifiers, defined here once
#include <oleacc.h>

#include <thread>

namespace tollvane::win32 {

namespace {

// CAccPropServices; the headers declare it without defining it.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};

void name(const std::vector<std::pair<HWND, std::wstring>>& names) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
    IAccPropServices* service = nullptr;
    if (SUCCEEDED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, reinterpret_cast<void**>(&service)))) {
        for (const auto& [control, text] : names) {
            if (IsWindow(control))
                service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        PROPID_ACC_NAME, text.c_str());
        }
        service->Release();
    }
    CoUninitialize();
}

}  // namespace

void nameForScreenReaders(std::vector<std::pair<HWND, std::wstring>> names) {
    if (names.empty()) return;
    std::thread([names = std::move(names)] { name(names); }).detach();
}

}  // namespace tollvane::win32
