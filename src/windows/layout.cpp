#include "windows/layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tollvane {

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

const ControlLayout* WindowLayout::find(const std::string& controlName) const {
    for (const auto& c : controls) {
        if (c.name == controlName) return &c;
    }
    return nullptr;
}

std::vector<const ControlLayout*> WindowLayout::tabOrder() const {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : controls) order.push_back(&c);
    const auto place = [](const ControlLayout* c) { return c->tab < 0 ? INT_MAX : c->tab; };
    std::stable_sort(
        order.begin(), order.end(),
        [&](const ControlLayout* a, const ControlLayout* b) { return place(a) < place(b); });
    return order;
}

std::string shopName() {
    return TOLLVANE_SHOP_NAME;
}

std::string shopButtonCaption() {
    return "Click Here To Buy From " + shopName();
}

ControlLayout control(std::string name, ControlKind kind, std::string caption, int left, int top,
                      int width, int height, int tab) {
    ControlLayout c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.tab = tab;
    return c;
}

ControlLayout coloured(ControlLayout c, Colour foreground, Colour background) {
    c.foreground = foreground;
    c.background = background;
    return c;
}

ControlLayout withFont(ControlLayout c, FontSpec font) {
    c.font = std::move(font);
    return c;
}

ControlLayout shape(std::string name, int left, int top, int width, int height) {
    const Colour yellow = Colour::fixed(255, 255, 128);
    return coloured(control(std::move(name), ControlKind::Shape, "", left, top, width, height, -1),
                    yellow, yellow);
}

}  // namespace tollvane
