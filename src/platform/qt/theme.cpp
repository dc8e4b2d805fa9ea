#include "platform/qt/theme.h"

#include <QApplication>
#include <QStringList>

namespace tollvane {

Rgb toRgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

// A Qt palette has no menu-text or frame role of its own: the window's text colour stands for
// both.
SystemColours systemColours(const QPalette& palette) {
    const Rgb text = toRgb(palette.color(QPalette::Active, QPalette::WindowText));
    return {toRgb(palette.color(QPalette::Active, QPalette::Highlight)), text, text, text};
}

QColor toQColor(Rgb c) {
    return {c.red, c.green, c.blue};
}

QColor layoutColour(const Colour& colour, const QPalette& palette, const QColor& fallback) {
    if (colour.isDefault()) return fallback;
    return toQColor(resolveColour(colour, systemColours(palette), toRgb(fallback)));
}

// Each family is followed by its stand-ins (font_stand_ins.h): Qt would otherwise take the next
// family of the list before any stand-in. The widths are the faces' own, unrounded by the
// desktop's hinting, which would make a caption a few pixels wider and wrap it.
QFont toQFont(const FontSpec& f) {
    QFont font = QApplication::font();
    QStringList families;
    for (const std::string& name : fontFamilies(f)) {
        const QString family = QString::fromStdString(name);
        families << family << QFont::substitutes(family);
    }
    families << QApplication::font().family();
    families.removeDuplicates();
    font.setFamilies(families);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

}  // namespace tollvane
