// Tollvane: a desktop alarm clock with a one-date calendar reminder.

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "platform/qt/cursor_blink.h"
#include "platform/qt/desktop.h"
#include "platform/qt/display_connection.h"
#include "platform/qt/end_signals.h"
#include "platform/qt/program_icon.h"

int main(int argc, char* argv[]) {
    tollvane::prepareDisplayConnection();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    QApplication::setWindowIcon(tollvane::programIcon());
    QApplication::setQuitOnLastWindowClosed(false);  // only the exit sequence ends the program
    // Where the window's font is not installed, a close relative of it draws the clock.
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));

    tollvane::CursorBlink cursorBlink;  // stops blinking after 10 s without input
    tollvane::Desktop desktop;
    QObject::connect(
        &desktop, &tollvane::Desktop::ended, &app, [] { QApplication::exit(0); },
        Qt::QueuedConnection);
    // Asked to end from outside (`kill`, or the session as the user logs out): the program ends as
    // File > Exit ends it, saving what the user left in the window.
    tollvane::EndSignals endSignals([&desktop] { desktop.endFromOutside(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &desktop,
                     [&desktop] { desktop.endFromOutside(); });
    desktop.start();
    return QApplication::exec();
}
