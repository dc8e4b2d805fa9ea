#pragma once
// app/: the windows' registry and handlers, not the runtime.
// What a second start of the program does to the one already running.

namespace tollvane {

class Program;

// Brings the full view up: from the clock-only view as its Full View menu does, otherwise by
// showing the main window. Creates no window that does not exist yet besides the main window.
void showFullViewForSecondStart(Program& app);

}  // namespace tollvane
