#include "windows/theme.h"

#include <algorithm>
#include <cstdlib>

namespace tollvane {

Rgb resolveColour(const Colour& colour, const SystemColours& scheme, Rgb fallback) {
    switch (colour.role) {
        case Colour::Role::Default:
            return fallback;
        case Colour::Role::Fixed:
            return {colour.red, colour.green, colour.blue};
        case Colour::Role::Highlight:
            return scheme.highlight;
        case Colour::Role::MenuText:
            return scheme.menuText;
        case Colour::Role::WindowFrame:
            return scheme.windowFrame;
        case Colour::Role::WindowText:
            return scheme.windowText;
    }
    return fallback;
}

int lightness(Rgb c) {
    const int high = std::max({c.red, c.green, c.blue});
    const int low = std::min({c.red, c.green, c.blue});
    return (high + low) / 2;
}

Rgb readableText(Rgb text, Rgb background) {
    // Half the range of lightness apart, at least.
    constexpr int kLeastContrast = 128;
    if (std::abs(lightness(text) - lightness(background)) < kLeastContrast) return {0, 192, 0};
    return text;
}

std::vector<std::string> fontFamilies(const FontSpec& font) {
    if (font.family == "MS Sans Serif")
        return {"Microsoft Sans Serif", "MS Sans Serif", "Liberation Sans", "Arial"};
    if (font.family == "Comic Sans MS") return {"Comic Sans MS", "Comic Neue"};
    return {font.family};
}

}  // namespace tollvane
