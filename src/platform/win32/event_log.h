#pragma once
// A line for whoever looks after the computer: on standard error (seen where the program was
// started from a console) and in the Windows event log, source "Tollvane".

#include <string>

#include "platform/win32/api.h"

namespace tollvane::win32 {

// `type`: EVENTLOG_WARNING_TYPE or EVENTLOG_ERROR_TYPE; `id`: the event's number, one for each
// kind of line.
void tellEventLog(const std::string& line, WORD type, DWORD id);

}  // namespace tollvane::win32
