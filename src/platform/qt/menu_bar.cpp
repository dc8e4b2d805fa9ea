#include "platform/qt/menu_bar.h"

#include <QAction>
#include <QMenu>

namespace tollvane {

void buildMenuBar(QMenuBar* bar, const std::vector<MenuLayout>& menus,
                  const std::function<void(const std::string&)>& chosen) {
    if (menus.empty()) {
        bar->hide();
        return;
    }
    bar->setNativeMenuBar(false);
    auto runs = [&](const MenuLayout& item, QAction* action) {
        action->setObjectName(QString::fromStdString(item.name));
        QObject::connect(action, &QAction::triggered, bar,
                         [chosen, name = item.name] { chosen(name); });
    };
    for (const MenuLayout& top : menus) {
        const QString caption = QString::fromStdString(top.caption);
        if (top.items.empty()) {
            runs(top, bar->addAction(caption));
            continue;
        }
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromStdString(top.name));
        for (const MenuLayout& item : top.items)
            runs(item, menu->addAction(QString::fromStdString(item.caption)));
    }
}

}  // namespace tollvane
