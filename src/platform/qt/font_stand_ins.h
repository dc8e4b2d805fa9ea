#pragma once
// The windows name fonts of the Windows desktop. Where those are not installed, faces of the same
// widths stand in, so that every caption breaks into as many lines as it does on Windows: the
// Tahoma-metric faces of Wine's fonts (Debian's fonts-wine) for "MS Sans Serif" and its TrueType
// successor, registered with the program alone, and Comic Neue for "Comic Sans MS".

#include <QString>

namespace tollvane {

// Registers the stand-ins in `folder` and names them as substitutes; once, before the first
// window is made. Returns why the sans stand-in could not be registered, empty when it was.
QString useFontStandIns(const QString& folder = QStringLiteral(TOLLVANE_STAND_IN_FONT_DIR));

}  // namespace tollvane
