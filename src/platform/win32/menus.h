#pragma once
// A window's menu bar from its layout. Each item that runs a Click gets a command number; the
// window looks the number up to find the item's name.

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "windows/layout.h"

namespace tollvane::win32 {

class MenuBar {
public:
    // Command numbers start at `firstCommand`, above the controls' own.
    MenuBar(const std::vector<MenuLayout>& menus, int firstCommand);

    // The bar to give the window (it then belongs to the window); null when the layout has none.
    HMENU release() { return m_bar.release(); }
    // The name of the item with this command number; empty when it is none of the bar's.
    std::string itemName(int command) const;
    int command(const std::string& itemName) const;

private:
    MenuHandle m_bar;
    int m_first;
    std::vector<std::string> m_items;  // by command number, from m_first
};

}  // namespace tollvane::win32
