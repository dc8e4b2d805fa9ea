#include "platform/qt/xdg_autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <map>
#include <utility>

namespace tollvane {

namespace {

constexpr const char* kOwnKey = "X-Tollvane-Autostart";

// A path as a desktop entry's string value: backslashes doubled (no path here starts with a blank).
QString escaped(const QString& path) {
    QString out = path;
    return out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

// A path as the one argument of Exec: quoted, with the characters the quoting reserves escaped,
// then escaped as any string value is, and a literal % doubled.
QString execArgument(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return escaped(QLatin1Char('"') + quoted + QLatin1Char('"'))
        .replace(QLatin1Char('%'), QStringLiteral("%%"));
}

// The keys of the entry's [Desktop Entry] group.
std::map<QString, QString> entryKeys(const QByteArray& text) {
    std::map<QString, QString> keys;
    bool inEntry = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inEntry || line.startsWith(QLatin1Char('#')) || equals <= 0) continue;
        keys.emplace(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

// Why the user's entry keeps the program from starting with the session; empty if it does not.
QString turnedOff(const std::map<QString, QString>& keys) {
    const auto is = [&](const char* key, const char* value) {
        const auto it = keys.find(QLatin1String(key));
        return it != keys.end() && it->second == QLatin1String(value);
    };
    if (is("Hidden", "true")) return QStringLiteral("Hidden=true");
    if (is("X-GNOME-Autostart-enabled", "false"))
        return QStringLiteral("X-GNOME-Autostart-enabled=false");
    return {};
}

// Whether an entry's Exec starts a program named tollvane, wherever it is.
bool startsTollvane(const std::map<QString, QString>& keys) {
    const auto it = keys.find(QStringLiteral("Exec"));
    if (it == keys.end()) return false;
    QString first = it->second;
    if (first.startsWith(QLatin1Char('"'))) {
        first = first.mid(1, first.indexOf(QLatin1Char('"'), 1) - 1);
    } else {
        first = first.section(QLatin1Char(' '), 0, 0);
    }
    return QFileInfo(first).fileName() == QStringLiteral("tollvane");
}

Status failure(const QString& why) {
    return Status::failure(why.toStdString());
}

}  // namespace

XdgAutostart::XdgAutostart(QString folder, QString program)
    : m_folder(std::move(folder)), m_program(std::move(program)) {
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                   QStringLiteral("/autostart");
    }
    if (m_program.isEmpty()) m_program = QCoreApplication::applicationFilePath();
}

QString XdgAutostart::entryPath() const {
    return m_folder + QStringLiteral("/tollvane.desktop");
}

QByteArray XdgAutostart::entryFor(const QString& program) {
    if (program.contains(QLatin1Char('\n')) || program.contains(QLatin1Char('\r'))) return {};
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Tollvane\n"
               "Comment=Starts the alarm clock when you sign in, while an alarm is set\n"
               "Exec=%1\n"
               "TryExec=%2\n"
               "Icon=tollvane\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n"
               "%3=true\n")
        .arg(execArgument(program), escaped(program), QLatin1String(kOwnKey))
        .toUtf8();
}

Status XdgAutostart::want(bool started) {
    const QString path = entryPath();
    QFile existing(path);
    std::map<QString, QString> keys;
    QByteArray old;
    const bool exists = existing.exists();
    if (exists) {
        if (!existing.open(QIODevice::ReadOnly))
            return failure(path + QStringLiteral(" cannot be read: ") + existing.errorString());
        old = existing.readAll();
        keys = entryKeys(old);
    }
    const QString off = turnedOff(keys);
    const bool own = keys[QLatin1String(kOwnKey)] == QStringLiteral("true");

    if (!started) {
        if (!exists || !off.isEmpty() || !own || existing.remove()) return Status::success();
        return failure(path + QStringLiteral(" cannot be removed: ") + existing.errorString());
    }
    if (!off.isEmpty()) {
        return failure(
            QStringLiteral("the start with the session is turned off in %1 (%2)").arg(path, off));
    }
    if (exists && !own) {
        if (startsTollvane(keys)) return Status::success();
        return failure(path + QStringLiteral(" was not written by Tollvane and starts another "
                                             "program; it is left as it is"));
    }
    const QByteArray entry = entryFor(m_program);
    if (entry.isEmpty()) return failure(QStringLiteral("the program's path holds a line break"));
    if (entry == old) return Status::success();
    QDir().mkpath(m_folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit())
        return failure(path + QStringLiteral(" cannot be written: ") + file.errorString());
    return Status::success();
}

}  // namespace tollvane
