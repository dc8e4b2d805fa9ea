#pragma once
// Owners for the handles the help and shop windows hold: each is released exactly once, by the
// object that made it.

#include <memory>
#include <type_traits>

#include "platform/win32/win32_api.h"

namespace tollvane::win32 {

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct GdiObjectDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

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

}  // namespace tollvane::win32
