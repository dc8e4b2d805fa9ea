#include "platform/win32/menus.h"

#include "platform/win32/text.h"

namespace tollvane::win32 {

MenuBar::MenuBar(const std::vector<MenuLayout>& menus, int firstCommand) : m_first(firstCommand) {
    if (menus.empty()) return;
    m_bar.reset(CreateMenu());
    auto addItem = [this](HMENU menu, const MenuLayout& item) {
        const UINT_PTR id = static_cast<UINT_PTR>(m_first) + m_items.size();
        m_items.push_back(item.name);
        AppendMenuW(menu, MF_STRING, id, toWideLossy(item.caption).c_str());
    };
    for (const MenuLayout& top : menus) {
        if (top.items.empty()) {
            // An item on the bar itself, with no list: choosing it runs its Click.
            addItem(m_bar.get(), top);
            continue;
        }
        HMENU list = CreatePopupMenu();
        for (const MenuLayout& item : top.items) addItem(list, item);
        AppendMenuW(m_bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(list),
                    toWideLossy(top.caption).c_str());
    }
}

std::string MenuBar::itemName(int command) const {
    const int index = command - m_first;
    if (index < 0 || index >= static_cast<int>(m_items.size())) return {};
    return m_items[static_cast<std::size_t>(index)];
}

int MenuBar::command(const std::string& itemName) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == itemName) return m_first + static_cast<int>(i);
    }
    return 0;
}

}  // namespace tollvane::win32
