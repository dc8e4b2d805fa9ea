#include "platform/win32/message_box.h"

#include "platform/win32/event_log.h"
#include "platform/win32/text.h"

namespace tollvane::win32 {

namespace {
constexpr DWORD kSessionEndEventId = 2;
}

void MessageBoxWindow::show(const std::string& text, const std::string& title) {
    if (m_sessionEnding) {
        tellEventLog(title + ": " + text, EVENTLOG_ERROR_TYPE, kSessionEndEventId);
        return;
    }
    MessageBoxW(m_owner ? m_owner() : nullptr, toWideLossy(text).c_str(),
                toWideLossy(title).c_str(), MB_OK | MB_SETFOREGROUND);
}

}  // namespace tollvane::win32
