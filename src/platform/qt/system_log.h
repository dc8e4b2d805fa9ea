#pragma once
// A line for whoever looks after the computer: "tollvane: LINE" on standard error, and in the
// systemd journal where standard error does not go there already (a program that the desktop
// starts has its standard error in the journal; one started from a terminal does not). Safe to
// call from any thread.

#include <string>

namespace tollvane {

void tellSystemLog(const std::string& line);

}  // namespace tollvane
