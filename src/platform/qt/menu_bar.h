#pragma once
// A window's menu bar from its layout: each top-level menu opens its list, and an item with no
// list of its own (on the bar or in a list) runs its Click when chosen.

#include <QMenuBar>
#include <functional>
#include <string>
#include <vector>

#include "windows/layout.h"

namespace tollvane {

// `chosen` is called with the item's name. The bar is hidden when the layout has no menus.
void buildMenuBar(QMenuBar* bar, const std::vector<MenuLayout>& menus,
                  const std::function<void(const std::string&)>& chosen);

}  // namespace tollvane
