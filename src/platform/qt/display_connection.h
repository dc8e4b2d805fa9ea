#pragma once
// How the program talks to the X server, chosen before the application object exists.

namespace tollvane {

// Call before the QApplication is made. The window's pictures go to an X server over its socket
// rather than through shared memory (unless the user chose otherwise with QT_XCB_NO_MITSHM): with
// shared memory, every repaint of a box that was drawn the last time waits for the server to
// have read the memory first, a round trip that wakes the program twice more each second for
// the clock's seconds. The few kilobytes of one box travel over the socket at no cost, and the
// setting is taken back once the connection is made, so programs started from here (the shop
// window's browser) keep the default.
void prepareDisplayConnection();

}  // namespace tollvane
