// Tollvane: a desktop alarm clock with a one-date calendar reminder.

#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "platform/qt/cursor_blink.h"
#include "platform/qt/desktop.h"
#include "platform/qt/display_connection.h"
#include "platform/qt/end_signals.h"
#include "platform/qt/font_stand_ins.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/session_client.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/wayland_session.h"

namespace {

void warn(const QString& text) {
    std::fprintf(stderr, "tollvane: %s\n", qUtf8Printable(text));
}

}  // namespace

int main(int argc, char* argv[]) {
    tollvane::prepareDisplayConnection();
    tollvane::prepareWaylandSession();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    // The desktop matches the windows to the menu entry tollvane.desktop by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tollvane"));
    QApplication::setWindowIcon(tollvane::windowIcon());
    QApplication::setQuitOnLastWindowClosed(false);  // only the exit sequence ends the program
    // Where the windows' fonts are not installed, faces of the same widths stand in.
    if (const QString missing = tollvane::useFontStandIns(); !missing.isEmpty()) warn(missing);

    tollvane::CursorBlink cursorBlink;  // stops blinking after 10 s without input
    // One alarm clock per user: two would both ring, and the one that ends last would overwrite
    // what the other saved.
    tollvane::SingleInstance instance;
    instance.setActivationTokenSource(tollvane::activationTokenForHandOver);
    switch (instance.claim()) {
        case tollvane::SingleInstance::Claim::HandedOver:
            return 0;
        case tollvane::SingleInstance::Claim::NoAnswer:
            warn(instance.errorString());
            return 1;
        case tollvane::SingleInstance::Claim::Unguarded:
            warn(instance.errorString() + QStringLiteral("; starting all the same"));
            break;
        case tollvane::SingleInstance::Claim::First:
            if (!instance.errorString().isEmpty()) warn(instance.errorString());
            break;
    }

    tollvane::Desktop desktop;
    QObject::connect(
        &desktop, &tollvane::Desktop::ended, &app, [] { QApplication::exit(0); },
        Qt::QueuedConnection);
    QObject::connect(&instance, &tollvane::SingleInstance::secondStart, &desktop,
                     &tollvane::Desktop::secondStart);
    // Asked to end from outside (`kill`, or the session as the user logs out): the program ends as
    // File > Exit ends it, saving what the user left in the window. The session's checkpoints
    // only save.
    tollvane::EndSignals endSignals([&desktop] { desktop.endFromOutside(); });
    tollvane::SessionClient session(desktop);
    desktop.start();
    return QApplication::exec();
}
