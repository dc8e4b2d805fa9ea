#pragma once
// The program started with the desktop session on Linux: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/tollvane.desktop (~/.config/autostart/), which GNOME, KDE Plasma, Xfce
// and every desktop that follows the XDG autostart rules start at sign-in. Its Exec and TryExec
// name the executable that wrote it. X-Tollvane-Autostart=true marks it as the program's own: only
// such an entry is rewritten (one written by another copy of the program, elsewhere) or removed.
// An entry of that name that the user turned off (Hidden=true, or X-GNOME-Autostart-enabled=false
// as the desktops' startup settings write it) is never touched, nor is one the program did not
// write.

#include <QByteArray>
#include <QString>

#include "platform/ports.h"

namespace tollvane {

class XdgAutostart : public SessionStart {
public:
    // `folder`: the autostart folder (empty: $XDG_CONFIG_HOME/autostart); `program`: the
    // executable that the entry starts (empty: the running one).
    explicit XdgAutostart(QString folder = {}, QString program = {});

    Status want(bool started) override;

    QString entryPath() const;
    // The program's own entry for the executable at `program` (an absolute path); empty for a path
    // that no entry can hold (a line break in it).
    static QByteArray entryFor(const QString& program);

private:
    QString m_folder;
    QString m_program;
};

}  // namespace tollvane
