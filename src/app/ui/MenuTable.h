// Menus are data: one table per menu of {name, caption, shortcut, hint, handler}, for any
// window that owns the handlers.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <cstddef>

namespace wvr {

template <class Owner>
struct MenuItem {
    const char* name;               // object name of the action; "-" is a separator
    const char* caption = "";
    const char* shortcut = "";      // portable key sequence text
    const char* hint = "";          // shown in the status bar while the item is under the mouse
    void (Owner::*handler)() = nullptr;  // none: the command is not offered yet
    const MenuItem* submenu = nullptr;
    size_t submenuSize = 0;
    bool checkable = false;
    bool submenuBuiltAtStart = false;  // an empty submenu whose items come from the settings

    bool IsSeparator() const { return name[0] == '-' && name[1] == '\0'; }
};

// A top-level menu of a window's menu bar.
template <class Owner>
struct TopMenu {
    const char* name;
    const char* caption;
    const MenuItem<Owner>* items;
    size_t count;
};

// The action of one item, owned by `owner`: caption, key when wanted, hint, handler.
template <class Owner>
QAction* MakeMenuAction(Owner* owner, const MenuItem<Owner>& item, const QString& objectName, bool withShortcut) {
    auto* action = new QAction(QString::fromUtf8(item.caption), owner);
    action->setObjectName(objectName);
    if (withShortcut && *item.shortcut) action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
    action->setStatusTip(QString::fromUtf8(item.hint));
    action->setCheckable(item.checkable);
    if (item.handler) QObject::connect(action, &QAction::triggered, owner, item.handler);
    return action;
}

}  // namespace wvr
