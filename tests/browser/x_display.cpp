#include "x_display.h"

#include <QProcess>
#include <QRegularExpression>
#include <optional>

// Last: Xlib defines macros (Status, Bool, None) that clash with Qt's headers.
#include <X11/Xlib.h>

namespace tollvane::test {

namespace {

// The program's output, or nothing when it failed or hung.
std::optional<QString> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool g_xErrorSeen = false;

// Xlib's own handler ends the process on an error, e.g. for a window that has gone.
int noteXError(Display*, XErrorEvent*) {
    g_xErrorSeen = true;
    return 0;
}

}  // namespace

QList<qulonglong> visibleWindowsTitled(const QString& title) {
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    QList<qulonglong> windows;
    // xdotool search exits with 1 when nothing matches.
    const QString out = run(QStringLiteral(TOLLVANE_XDOTOOL),
                            {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                             QStringLiteral("--name"), pattern})
                            .value_or(QString());
    for (const QString& id : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        windows.append(id.toULongLong());
    return windows;
}

QMap<QString, QString> windowInfo(qulonglong window) {
    QMap<QString, QString> info;
    const QString out =
        run(QStringLiteral(TOLLVANE_XWININFO), {QStringLiteral("-id"), QString::number(window)})
            .value_or(QString());
    static const QRegularExpression field(QStringLiteral("^\\s*([A-Za-z -]+):\\s*(.*)$"));
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = field.match(line);
        if (match.hasMatch()) info.insert(match.captured(1).trimmed(), match.captured(2).trimmed());
    }
    return info;
}

bool requestClose(qulonglong window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    g_xErrorSeen = false;
    XErrorHandler previous = XSetErrorHandler(noteXError);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return sent && !g_xErrorSeen;
}

}  // namespace tollvane::test
