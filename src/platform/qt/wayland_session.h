#pragma once
// The program on a Wayland desktop.
//
// Frames: Qt draws a Wayland window's title bar itself, and to find out whether it may, it starts
// its OpenGL integration, which loads the whole OpenGL stack (Mesa, and with it LLVM) into a
// program that draws everything in software: more than twice the memory. So Qt is asked to draw
// no title bars; the compositor draws them where it offers server-side frames (xdg-decoration),
// and elsewhere the program draws its own (wayland_frame.h).
//
// Focus: a Wayland window comes to the front only with a token that the compositor gave out
// (xdg-activation). A second start passes the one it was launched with, or one it asks for, to
// the running program, which activates its window with it.
//
// Off Wayland (X11, the offscreen platform of the tests) all of this does nothing.

#include <QString>

class QWidget;

namespace tollvane {

// Call before the QApplication is made. A choice about Qt's title bars that the user made in the
// environment is left alone, and then Qt draws the frames as it would.
void prepareWaylandSession();

// The program's windows are Wayland surfaces.
bool onWayland();

// The program draws its windows' frames: on Wayland, where neither Qt (see above) nor the
// compositor does.
bool drawsOwnFrames();

// For a second start: the token that the launcher gave this start ($XDG_ACTIVATION_TOKEN, then
// taken out of the environment), or else a new one from the compositor. Empty where none can be
// had, and always off Wayland.
QString activationTokenForHandOver();

// Brings `window` (shown, top-level) to the front on Wayland with `token`. Without a token the
// window asks the compositor for one of its own, and the desktop decides: commonly it marks the
// window as wanting attention. Where the compositor has no xdg-activation, the window asks for
// attention in the toolkit's way. Off Wayland nothing: raise() and activateWindow() do it there.
void bringToFront(QWidget& window, const QString& token);

// Whether an activation token as passed between two starts is well formed: printable ASCII
// without blanks, at most 255 characters.
bool isActivationToken(const QString& token);

}  // namespace tollvane
