#include "platform/qt/font_stand_ins.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace tollvane {

// Registered with the program rather than through a fontconfig file of the package: the folder
// holds Wine's whole set of Windows faces, which every other program would then be offered too.
QString useFontStandIns(const QString& folder) {
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    const QDir dir(folder);
    QStringList missing;
    for (const QString& file : {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}) {
        if (QFontDatabase::addApplicationFont(dir.filePath(file)) < 0) missing << file;
    }
    if (!missing.isEmpty()) {
        return QStringLiteral(
                   "%1 not found in %2 (Debian package fonts-wine): captions are set in a "
                   "wider font and may wrap")
            .arg(missing.join(QStringLiteral(", ")), QDir::toNativeSeparators(folder));
    }
    const QStringList tahoma{QStringLiteral("Tahoma")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), tahoma);
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), tahoma);
    return {};
}

}  // namespace tollvane
