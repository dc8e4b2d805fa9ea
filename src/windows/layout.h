#pragma once
// A window's design as data: its frame, its controls with their places, texts, fonts and colours,
// the lines drawn on it, its tab order and its menu bar. Positions and sizes are in twips (1/1440
// inch; 15 twips are one pixel at 96 dots per inch), measured from the top-left corner of the
// client area below the menu bar. Both renderers build their windows from this data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tollvane {

struct Colour {
    enum class Role { Default, Fixed, Highlight, MenuText, WindowFrame, WindowText };
    Role role = Role::Default;
    std::uint8_t red = 0, green = 0, blue = 0;

    static Colour fixed(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {Role::Fixed, r, g, b};
    }
    static Colour system(Role r) { return {r, 0, 0, 0}; }
    bool isDefault() const { return role == Role::Default; }
};

// "MS Sans Serif" stands for the desktop's default sans-serif font at the given size.
struct FontSpec {
    std::string family = "MS Sans Serif";
    double pointSize = 8.25;
    bool bold = false;
};

enum class ControlKind {
    Button,
    TextBox,     // editable one-line text box
    DisplayBox,  // text box that only shows text: disabled, not a tab stop
    Label,
    OptionButton,
    Shape,  // filled rectangle
    Calendar,
    Picture,
    Browser,
    Hidden,  // a control with no place on the screen (the media player)
};

struct ControlLayout {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string caption;
    int left = 0, top = 0, width = 0, height = 0;
    int tab = -1;  // position in the tab order; -1: none
    FontSpec font;
    Colour foreground;
    Colour background;
    bool wordWrap = false;
    bool defaultButton = false;  // Enter presses it
    bool cancelButton = false;   // Esc presses it
    bool visible = true;
    std::string accessibleName;  // for screen readers, where the caption does not say it
};

// A straight line drawn on the window's background, beneath the controls, after the filled
// rectangles.
struct LineLayout {
    std::string name;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // its two end points
    Colour colour;
    int widthPx = 1;  // at 96 dots per inch
};

struct MenuLayout {
    std::string name;
    std::string caption;
    std::vector<MenuLayout> items;  // empty: the item itself runs its Click
};

enum class Border { FixedSingle, FixedDialog, Sizable };

struct WindowLayout {
    std::string name;
    std::string caption;
    Border border = Border::FixedSingle;
    bool minimizeButton = true;
    bool maximizeButton = false;
    bool taskbarButton = true;
    int clientWidth = 0, clientHeight = 0;
    int borderWidth = 45;  // each side, for windows whose outer width the program sets
    struct Point {
        int x = 0, y = 0;
    };
    std::optional<Point>
        position;  // client area's top-left on the screen; none: the system places it
    Colour background;
    FontSpec defaultFont;
    std::vector<ControlLayout> controls;
    std::vector<LineLayout> lines;
    std::vector<MenuLayout> menus;
    // False for a window the program never draws: the help dialog's carrier is never shown, and
    // the shop window is drawn by the browser program.
    bool hasView = true;

    const ControlLayout* find(const std::string& controlName) const;
    // Every control, in the order Tab visits them; those with no place in it come last, in the
    // layout's order.
    std::vector<const ControlLayout*> tabOrder() const;
};

// Twips to pixels: 15 twips a pixel at 96 dots per inch, following the screen's logical DPI.
int twipsToPixels(int twips, double logicalDpi = 96.0);

// Builders that keep the window designs short.
ControlLayout control(std::string name, ControlKind kind, std::string caption, int left, int top,
                      int width, int height, int tab);
ControlLayout coloured(ControlLayout c, Colour foreground, Colour background = {});
ControlLayout withFont(ControlLayout c, FontSpec font);
// A light-yellow filled rectangle with a thin outline.
ControlLayout shape(std::string name, int left, int top, int width, int height);

// "Click Here To Buy From " followed by the shop's name: the caption of every shop button.
std::string shopButtonCaption();
std::string shopName();

}  // namespace tollvane
