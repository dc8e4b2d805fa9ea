#pragma once
// Settings the browser engine reads from the environment, which must be in place before the
// QApplication is made.

namespace tollvane::browser {

// Turns Chromium's sandbox off when running as root (where it cannot start) and stops the engine
// from reaching out to the network in the background. Flags already in the environment are kept.
void prepareEngineEnvironment();

}  // namespace tollvane::browser
