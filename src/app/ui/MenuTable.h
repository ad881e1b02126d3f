// Menus are data: one table per menu of {name, caption, shortcut, hint, handler}.
#pragma once

#include <cstddef>

namespace wvr {

class MainWindow;

struct MenuEntry {
    const char* name;               // object name of the action; "-" is a separator
    const char* caption = "";
    const char* shortcut = "";      // portable key sequence text
    const char* hint = "";          // shown in the status bar while the item is under the mouse
    void (MainWindow::*handler)() = nullptr;  // none: the command is not offered yet
    const MenuEntry* submenu = nullptr;
    size_t submenuSize = 0;
    bool checkable = false;
    bool submenuBuiltAtStart = false;  // an empty submenu whose items come from the settings
};

inline constexpr MenuEntry kSeparator{"-"};

}  // namespace wvr
