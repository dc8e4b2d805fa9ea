// tollvane-browser <server>: shows the shop window for the program listening on <server>.

#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "browser_host.h"
#include "engine_setup.h"

int main(int argc, char* argv[]) {
    tollvane::browser::prepareEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    // The engine takes its own switches from the command line too; the server is the first
    // argument that is not one.
    QString server;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size() && server.isEmpty(); ++i) {
        if (!arguments[i].startsWith(QLatin1Char('-'))) server = arguments[i];
    }
    if (server.isEmpty()) {
        std::fprintf(stderr, "usage: tollvane-browser <server>\n");
        return 2;
    }

    tollvane::browser::BrowserHost host;
    host.connectTo(server);
    return QApplication::exec();
}
