// Looking up menus, whether an item can be chosen, and where a command goes.

#include "shell/command_table.h"

#include <array>

namespace qlx::shell {

namespace {

using enum Handler;

constexpr std::array kMainWindowRoutes{
    RouteRule{command::kFirstSettingsPage, command::kFirstSettingsPage + command::kSettingsPageCount - 1,
              SettingsDialog, 0},
    // The main menu's own numbers for commands of the list menu.
    RouteRule{32775, 32775, ListPane, command::kEmptyRecycleBin},
    RouteRule{32777, 32777, ListPane, 125},  // set as wallpaper
    RouteRule{32781, 32781, ListPane, 130},  // index print
    RouteRule{32790, 32790, ListPane, 134},  // colour management settings
    RouteRule{32775, 32797, MainWindow, 32775},
    // The window opens the additional image window through the list pane,
    // and the Canon CR3 format, numbered late, is a target format like the
    // others; the rest of 559..606 (notices, support, cameras and lenses,
    // the additional window) is the window's own.
    RouteRule{557, 557, ListPane, command::kOpenAdditionalWindow},
    RouteRule{558, 558, ListPane, 558},
    RouteRule{559, 606, MainWindow, 559},
    RouteRule{105, 105, MainWindow, 105},  // quit
    RouteRule{129, 129, MainWindow, 129},  // key list
    RouteRule{132, 133, MainWindow, 132},  // version information, help
    RouteRule{224, 224, MainWindow, 224},  // lock the toolbar
};

// The folder pane's own commands; everything else in its menus (help, the
// settings pages, the subfolder merge) goes on as from the main window.
constexpr std::array kFolderPaneRoutes{
    RouteRule{command::kReloadFolderTree, command::kReloadFolderTree, FolderPane, command::kReloadFolderTree},
    // Refreshing the tree is rebuilding it.
    RouteRule{155, 155, FolderPane, command::kReloadFolderTree},
    RouteRule{156, 157, FolderPane, 156},
    RouteRule{159, 164, FolderPane, 159},
    RouteRule{185, 185, FolderPane, 185},
    RouteRule{267, 268, FolderPane, 267},
    RouteRule{271, 272, FolderPane, 271},
    RouteRule{299, 299, FolderPane, 299},
    RouteRule{kFirstListEntryCommand, kFirstListEntryCommand + 127, FolderPane, kFirstListEntryCommand},
};

constexpr const RouteRule* match(std::span<const RouteRule> rules, int command)
{
    for (const RouteRule& rule : rules) {
        if (command >= rule.first && command <= rule.last)
            return &rule;
    }
    return nullptr;
}

constexpr Route follow(const RouteRule& rule, int command)
{
    return {rule.handler, rule.to + (command - rule.first)};
}

} // namespace

const PopupMenu* findMenu(MenuId id)
{
    for (const PopupMenu& menu : popupMenus()) {
        if (menu.id == id)
            return &menu;
    }
    return nullptr;
}

int listCapacity(ListKind list)
{
    switch (list) {
    case ListKind::None:
        return 0;
    case ListKind::Favourites:   // the 128 favourite slots
    case ListKind::CacheHistory: // commands 1000..1127
        return 128;
    case ListKind::Collections:  // the collection table's size
        return 256;
    }
    return 0;
}

bool isUsable(const MenuItem& item, AvailabilitySet available)
{
    switch (item.kind) {
    case ItemKind::Separator:
        return false;
    case ItemKind::Command:
        return available.contains(item.needs);
    case ItemKind::SubMenu:
        return hasUsableItem(item.subMenu(), available);
    }
    return false;
}

bool hasUsableItem(MenuId id, AvailabilitySet available)
{
    const PopupMenu* menu = findMenu(id);
    if (menu == nullptr)
        return false;
    if (menu->list != ListKind::None)
        return available.contains(menu->listNeeds);
    for (const MenuItem& item : menu->items) {
        if (isUsable(item, available))
            return true;
    }
    return false;
}

std::span<const RouteRule> mainWindowRoutes()
{
    return kMainWindowRoutes;
}

std::span<const RouteRule> folderPaneRoutes()
{
    return kFolderPaneRoutes;
}

Route routeCommand(int command, MenuId origin)
{
    if (origin == MenuId::Folder || origin == MenuId::Collections) {
        if (const RouteRule* rule = match(kFolderPaneRoutes, command))
            return follow(*rule, command);
    }
    if (const RouteRule* rule = match(kMainWindowRoutes, command))
        return follow(*rule, command);
    return {ListPane, command};
}

} // namespace qlx::shell
