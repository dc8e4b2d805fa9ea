#include "platform/qt/session_client.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>

#include "platform/qt/desktop.h"

namespace tollvane {

SessionClient::SessionClient(Desktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop) {
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        // Saved before the answer goes back, so the session may end the program right after.
        if (const Status saved = m_desktop.sessionCheckpoint(); !saved) {
            std::fprintf(stderr, "tollvane: the settings could not be saved for the session: %s\n",
                         saved.error.c_str());
        }
    });
    qApp->installEventFilter(this);
}

SessionClient::~SessionClient() {
    if (qApp) qApp->removeEventFilter(this);
}

// The session manager's "die" reaches the toolkit as a request to quit the application, which
// would close the shown windows one by one: with only the clock-only window shown, closing it
// brings the main window back, and the program would not end at all. The program's own end
// request runs instead, as for SIGTERM.
bool SessionClient::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::Quit && !m_desktop.program().ended()) {
        m_desktop.endFromOutside();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tollvane
