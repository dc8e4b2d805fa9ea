#include "platform/win32/event_log.h"

#include <cstdio>

#include "platform/win32/text.h"

namespace tollvane::win32 {

void tellEventLog(const std::string& line, WORD type, DWORD id) {
    std::fprintf(stderr, "tollvane: %s\n", line.c_str());
    std::fflush(stderr);
    // Without an installed message file the event viewer shows the text after a note that the
    // event's description is missing; an event source is registered only by an administrator, and
    // the installer asks for no such rights.
    HANDLE source = RegisterEventSourceW(nullptr, L"Tollvane");
    if (!source) return;
    const std::wstring text = toWideLossy("Tollvane: " + line);
    const wchar_t* strings[] = {text.c_str()};
    ReportEventW(source, type, 0, id, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

}  // namespace tollvane::win32
