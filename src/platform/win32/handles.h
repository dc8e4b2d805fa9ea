#pragma once
// Owners for the handles and COM interfaces the Windows side holds, each released exactly once:
// GDI objects, menus, icons, kernel objects, windows, loaded libraries, COM interfaces (the
// platform's own ComPtr) and OLE on a thread.

#include <memory>
#include <type_traits>

#include "platform/win32/api.h"

#include <ole2.h>
#include <wrl/client.h>

namespace tollvane::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using PenHandle = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct KernelHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel object: a mutex, a timer, an open file. Empty when the call that made it failed.
using KernelHandle = std::unique_ptr<void, KernelHandleDeleter>;
// CreateFileW fails with INVALID_HANDLE_VALUE rather than null: as a KernelHandle, empty.
inline KernelHandle fileHandle(HANDLE file) {
    return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// A COM interface pointer that releases its reference when it goes. `&pointer` hands a function
// that makes a new reference the place to put it, releasing the old one first.
template <class Interface>
using ComPtr = Microsoft::WRL::ComPtr<Interface>;

// OLE started on the calling thread, in a single-threaded apartment, for as long as this lives.
// Windows need it for the browser control, the rich edit box's drag and drop and the screen
// readers' names; it must outlive every window that uses it.
class OleSession {
public:
    OleSession() : m_started(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (m_started) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool m_started;
};

}  // namespace tollvane::win32
