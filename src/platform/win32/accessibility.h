#pragma once
// Names for screen readers where a control's own text does not say what it is for (a text box
// for the alarm time, the arrow buttons): the system's annotation service gives each control the
// name its layout holds, for as long as its window lives. Where the service is missing, the
// controls keep the names the system finds for them.

#include <string>
#include <vector>

#include "platform/win32/api.h"
#include "platform/win32/handles.h"

struct IAccPropServices;

namespace tollvane::win32 {

// One window's names. Lives on the window's thread, which must have OLE started (OleSession).
class ScreenReaderNames {
public:
    ScreenReaderNames();
    // Takes the names back: the service would keep them until the process ends, and hand them to
    // whatever window later gets the same handle.
    ~ScreenReaderNames();
    ScreenReaderNames(const ScreenReaderNames&) = delete;
    ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;

    void name(HWND control, const std::wstring& text);

private:
    void clear();

    ComPtr<IAccPropServices> m_service;
    bool m_asked = false;
    std::vector<HWND> m_named;
};

}  // namespace tollvane::win32
