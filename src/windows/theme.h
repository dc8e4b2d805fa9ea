#pragma once
// What the layouts' colours and fonts become on a desktop, decided once for both renderers: each
// renderer reads its desktop's colour scheme into SystemColours and asks here.

#include <cstdint>
#include <string>
#include <vector>

#include "windows/layout.h"

namespace tollvane {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

// The desktop's colour scheme, in the roles the layouts name.
struct SystemColours {
    Rgb highlight{0, 120, 215};
    Rgb menuText{0, 0, 0};
    Rgb windowFrame{100, 100, 100};
    Rgb windowText{0, 0, 0};
};

// A layout's colour on this desktop; `fallback` where the layout leaves it to the control.
Rgb resolveColour(const Colour& colour, const SystemColours& scheme, Rgb fallback);

// Lightness as painters mean it: halfway between the strongest and the weakest channel, 0..255.
int lightness(Rgb colour);

// The colour of a display box's figures. The clock window's boxes are the frame colour on black,
// which in common schemes is black or dark grey on black: where text and box are too alike to
// read (less than half the range of lightness apart), the figures turn green.
Rgb readableText(Rgb text, Rgb background);

// The picture behind a coloured button's caption (the About window's OK button): 252 x 256 pixels
// at 96 dpi, shading down from `start` along its top edge to `end` along its bottom one, cut to
// the button's size. Both desktops draw it from here.
struct ButtonPicture {
    int width = 252, height = 256;
    Rgb start{255, 255, 170};  // light yellow
    Rgb end{70, 120, 220};     // blue
};
inline constexpr ButtonPicture kButtonPicture{};

// The font families to try for a layout's font, best first. "MS Sans Serif" is the desktop's
// default sans, and a sans of the same widths stands in where it is missing, so that captions fit
// their boxes; "Comic Sans MS" has a free relative, Comic Neue.
std::vector<std::string> fontFamilies(const FontSpec& font);

}  // namespace tollvane
