#pragma once
// The program's message boxes on Windows: MessageBoxW with one OK button and no icon, modal to the
// program's window in front. The box's own message loop dispatches the program's timer, so the
// clock goes on meanwhile. Once the session is ending no box is opened: Windows would wait on it
// and then end the process, holding up the user's sign-out meanwhile. The message goes to
// standard error and the event log instead (event_log.h).

#include <functional>

#include "platform/ports.h"
#include "platform/win32/api.h"

namespace tollvane::win32 {

class MessageBoxWindow : public MessageBox {
public:
    // `owner` gives the window the box belongs to (none: the box stands alone).
    explicit MessageBoxWindow(std::function<HWND()> owner) : m_owner(std::move(owner)) {}

    void show(const std::string& text, const std::string& title) override;
    // The session ends: from now on messages are written, not shown.
    void sessionEnding() { m_sessionEnding = true; }

private:
    std::function<HWND()> m_owner;
    bool m_sessionEnding = false;
};

}  // namespace tollvane::win32
