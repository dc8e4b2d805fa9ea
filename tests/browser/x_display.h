#pragma once
// Looks at the X display the tests run on, from outside the programs on it.

#include <QList>
#include <QMap>
#include <QString>

namespace tollvane::test {

// Ids of the mapped windows whose title is exactly `title`.
QList<qulonglong> visibleWindowsTitled(const QString& title);
// xwininfo's description of a window ("Width" -> "639", "Map State" -> "IsViewable", ...).
QMap<QString, QString> windowInfo(qulonglong window);
// Asks a window to close, as its close box does (WM_DELETE_WINDOW).
bool requestClose(qulonglong window);

}  // namespace tollvane::test
