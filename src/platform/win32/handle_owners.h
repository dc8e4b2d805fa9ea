#pragma once
// Owners for the handles the help and shop windows hold beside those of win32_handles.h (fonts,
// icons): windows, loaded libraries, COM interfaces and OLE on a thread, each released exactly
// once.

#include <memory>
#include <type_traits>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"

#include <ole2.h>

namespace tollvane::win32 {

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// A COM interface pointer that releases its reference when it goes.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }

    Interface* get() const { return m_p; }
    Interface* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void reset() {
        if (m_p) m_p->Release();
        m_p = nullptr;
    }
    // For functions that hand out a new reference: ComRef<IFoo> p; Create(..., p.put()).
    void** put() {
        reset();
        return reinterpret_cast<void**>(&m_p);
    }
    Interface** putTyped() {
        reset();
        return &m_p;
    }

private:
    Interface* m_p = nullptr;
};

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
