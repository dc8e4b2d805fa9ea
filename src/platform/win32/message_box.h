#pragma once
// The program's message boxes on Windows: MessageBoxW with one OK button and no icon, modal to the
// program's window in front. The box's own message loop dispatches the program's timer, so the
// clock goes on meanwhile.

#include <functional>

#include "platform/ports.h"
#include "platform/win32/api.h"

namespace tollvane::win32 {

class MessageBoxWindow : public MessageBox {
public:
    // `owner` gives the window the box belongs to (none: the box stands alone).
    explicit MessageBoxWindow(std::function<HWND()> owner) : m_owner(std::move(owner)) {}

    void show(const std::string& text, const std::string& title) override;

private:
    std::function<HWND()> m_owner;
};

}  // namespace tollvane::win32
