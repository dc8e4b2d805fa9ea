#pragma once
// The program's message boxes on Windows: MessageBoxW with one OK button and no icon, modal to the
// program's window in front. The box runs a message loop of its own, so the desktop is told when
// one opens and closes: the program's timers must go on meanwhile.

#include <functional>

#include "platform/ports.h"
#include "platform/win32/win32_api.h"

namespace tollvane::win32 {

class MessageBoxWindow : public MessageBox {
public:
    // `owner` gives the window the box belongs to (none: the box stands alone); `modal` is told
    // true as the box opens and false as it closes.
    MessageBoxWindow(std::function<HWND()> owner, std::function<void(bool)> modal)
        : m_owner(std::move(owner)), m_modal(std::move(modal)) {}

    void show(const std::string& text, const std::string& title) override;

private:
    std::function<HWND()> m_owner;
    std::function<void(bool)> m_modal;
};

}  // namespace tollvane::win32
