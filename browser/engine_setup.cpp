#include "engine_setup.h"

#include <QByteArray>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace tollvane::browser {

void prepareEngineEnvironment() {
#ifdef Q_OS_UNIX
    // Chromium refuses to start as root with its sandbox on; everywhere else the sandbox stays.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    // The window shows one page; nothing else should go out to the network or wait for it.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char* flag : {"--disable-background-networking", "--disable-component-update"}) {
        if (flags.contains(flag)) continue;
        if (!flags.isEmpty()) flags += ' ';
        flags += flag;
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // The web view draws through OpenGL. A window first made for plain raster drawing is
    // destroyed and made anew when the view's first page appears, flickering and losing its
    // place; composing every window through OpenGL from the start avoids that.
    if (!qEnvironmentVariableIsSet("QT_WIDGETS_RHI")) qputenv("QT_WIDGETS_RHI", "1");
}

}  // namespace tollvane::browser
