// The rules the pop-up menus keep (one label per command, separators only
// between groups, every sub-menu reachable, format items and settings pages
// matching what they switch and open), which commands can be chosen today,
// and where a chosen command is carried out.

#include "shell/command_table.h"

#include "imagelist/file_kind.h"
#include "shell/settings_defaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace qlx::shell {
namespace {

const MenuItem& itemAt(MenuId id, std::size_t index)
{
    return findMenu(id)->items[index];
}

TEST(CommandTable, SettingsMenuOpensPagesZeroToSeventeen)
{
    const auto items = findMenu(MenuId::Settings)->items;
    ASSERT_EQ(items.size(), 18u);
    for (std::size_t page = 0; page < items.size(); ++page)
        EXPECT_EQ(items[page].command, 2000 + static_cast<int>(page));
}

// Every format item toggles its own bit of the target mask, the one the
// file kinds give its command; together they make the default mask.
TEST(CommandTable, TargetFormatsToggleOneKindBitEach)
{
    std::uint32_t all = 0;
    for (const MenuItem& item : findMenu(MenuId::TargetFormats)->items) {
        ASSERT_EQ(item.check, CheckRule::FormatBit);
        EXPECT_EQ(std::popcount(item.checkValue), 1) << item.command;
        EXPECT_EQ(all & item.checkValue, 0u) << "bit used twice: " << item.checkValue;
        all |= item.checkValue;
        EXPECT_EQ(imagelist::kindOfMenuCommand(item.command), item.checkValue);
    }
    EXPECT_EQ(all, imagelist::kDefaultTargetMask);
}

TEST(CommandTable, MultiScreenItemsAreRadioItemsForModesZeroToFour)
{
    const auto items = findMenu(MenuId::MultiScreen)->items;
    for (std::size_t mode = 0; mode < items.size(); ++mode) {
        EXPECT_EQ(items[mode].check, CheckRule::MultiScreen);
        EXPECT_EQ(items[mode].checkValue, mode);
        EXPECT_EQ(items[mode].command, command::kFirstMultiScreen + static_cast<int>(mode));
    }
}

TEST(CommandTable, OneLabelPerCommandAndPerSubMenu)
{
    std::map<int, std::u16string_view> commandLabels;
    std::map<int, std::u16string_view> subMenuLabels;
    for (const PopupMenu& menu : popupMenus()) {
        std::set<int> inThisMenu;
        for (const MenuItem& item : menu.items) {
            if (item.kind == ItemKind::Separator)
                continue;
            EXPECT_FALSE(item.label.empty());
            auto& labels = item.kind == ItemKind::SubMenu ? subMenuLabels : commandLabels;
            const auto [known, fresh] = labels.emplace(item.command, item.label);
            EXPECT_EQ(known->second, item.label) << item.command;
            if (item.kind == ItemKind::Command) {
                EXPECT_TRUE(inThisMenu.insert(item.command).second) << item.command;
                // Numbers that would read as a settings page or a list entry.
                EXPECT_FALSE(item.command >= 1000 && item.command < 2000) << item.command;
                EXPECT_TRUE(item.command < 2000 || item.command > 2017 || menu.id == MenuId::Settings);
            }
        }
    }
}

TEST(CommandTable, SeparatorsNeverStartEndOrDouble)
{
    for (const PopupMenu& menu : popupMenus()) {
        const auto items = menu.items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].kind != ItemKind::Separator)
                continue;
            EXPECT_TRUE(i != 0 && i + 1 != items.size()) << static_cast<int>(menu.id);
            if (i + 1 < items.size()) {
                EXPECT_NE(items[i + 1].kind, ItemKind::Separator);
            }
        }
    }
}

// Depth-first from every menu a window opens: each sub-menu exists, the tree
// has no loop, and every menu that only serves as a sub-menu is reached.
TEST(CommandTable, EverySubMenuIsReachableAndTheTreeHasNoLoop)
{
    std::set<MenuId> reached;
    std::vector<MenuId> path;
    const std::function<void(MenuId)> visit = [&](MenuId id) {
        ASSERT_NE(findMenu(id), nullptr) << static_cast<int>(id);
        ASSERT_EQ(std::count(path.begin(), path.end(), id), 0) << "loop at " << static_cast<int>(id);
        reached.insert(id);
        path.push_back(id);
        for (const MenuItem& item : findMenu(id)->items) {
            if (item.kind == ItemKind::SubMenu)
                visit(item.subMenu());
        }
        path.pop_back();
    };
    for (const PopupMenu& menu : popupMenus()) {
        if (menu.opensOnItsOwn)
            visit(menu.id);
    }
    EXPECT_EQ(reached.size(), popupMenus().size());
    EXPECT_EQ(popupMenus().size(), 21u);
}

TEST(CommandTable, RunTimeListsHaveNoFixedItems)
{
    const std::tuple<MenuId, ListKind, int> lists[] = {
        {MenuId::Favourites, ListKind::Favourites, 128},
        {MenuId::CacheHistory, ListKind::CacheHistory, 128},
        {MenuId::AddToCollection, ListKind::Collections, 256},
    };
    for (const auto& [id, kind, capacity] : lists) {
        EXPECT_EQ(findMenu(id)->list, kind);
        EXPECT_TRUE(findMenu(id)->items.empty());
        EXPECT_EQ(listCapacity(kind), capacity);
    }
    EXPECT_EQ(findMenu(static_cast<MenuId>(0)), nullptr);
    EXPECT_EQ(findMenu(static_cast<MenuId>(22)), nullptr);
}

TEST(CommandTable, TodayOnlyBrowsingCanBeChosen)
{
    const auto usable = [](MenuId menu, int command) {
        for (const MenuItem& item : findMenu(menu)->items) {
            if (item.command == command && item.kind != ItemKind::Separator)
                return isUsable(item, kAvailableNow);
        }
        ADD_FAILURE() << command << " not in menu " << static_cast<int>(menu);
        return false;
    };
    EXPECT_TRUE(usable(MenuId::List, 118));   // refresh
    EXPECT_TRUE(usable(MenuId::List, 119));   // display style
    EXPECT_TRUE(usable(MenuId::List, 4));     // target formats sub-menu
    EXPECT_TRUE(usable(MenuId::List, 12));    // favourites
    EXPECT_TRUE(usable(MenuId::Main, 105));   // quit
    EXPECT_FALSE(usable(MenuId::List, 275));  // search
    EXPECT_FALSE(usable(MenuId::List, 122));  // undo
    EXPECT_FALSE(usable(MenuId::List, 13));   // cache history
    EXPECT_FALSE(usable(MenuId::Main, 10));   // settings: no page exists yet
    EXPECT_FALSE(usable(MenuId::Main, 9));    // help
    EXPECT_FALSE(usable(MenuId::Main, 32781)); // index print
    EXPECT_FALSE(isUsable(itemAt(MenuId::Main, 1), AvailabilitySet{Availability::Always, Availability::Frame}));

    // A sub-menu can be chosen as soon as one of its items can.
    EXPECT_FALSE(hasUsableItem(MenuId::Wallpaper, kAvailableNow));
    EXPECT_TRUE(hasUsableItem(MenuId::Wallpaper, AvailabilitySet{Availability::Settings}));
    EXPECT_TRUE(hasUsableItem(MenuId::Help, AvailabilitySet{Availability::Support}));
    EXPECT_TRUE(hasUsableItem(MenuId::AddToCollection, kAvailableNow.with(Availability::Collections)));
}

TEST(CommandRouting, MainWindowKeepsItsOwnAndForwardsTheRest)
{
    EXPECT_EQ(routeCommand(2000), (Route{Handler::SettingsDialog, 0}));
    EXPECT_EQ(routeCommand(2017), (Route{Handler::SettingsDialog, 17}));
    EXPECT_EQ(routeCommand(32775), (Route{Handler::ListPane, 123}));
    EXPECT_EQ(routeCommand(32777), (Route{Handler::ListPane, 125}));
    EXPECT_EQ(routeCommand(32781), (Route{Handler::ListPane, 130}));
    EXPECT_EQ(routeCommand(32790), (Route{Handler::ListPane, 134}));
    EXPECT_EQ(routeCommand(32797).handler, Handler::MainWindow);
    EXPECT_EQ(routeCommand(557), (Route{Handler::ListPane, 607}));
    for (int own : {105, 129, 132, 133, 224, 601, 602, 605, 606})
        EXPECT_EQ(routeCommand(own), (Route{Handler::MainWindow, own}));
    for (int listed : {118, 119, 122, 136, 140, 182, 197, 243, 253, 275, 435, 558, 607})
        EXPECT_EQ(routeCommand(listed, MenuId::List), (Route{Handler::ListPane, listed}));
}

TEST(CommandRouting, MainMenuNumbersLandOnTheListCommandWithTheSameLabel)
{
    for (const MenuItem& item : findMenu(MenuId::Main)->items) {
        if (item.kind != ItemKind::Command || item.command < 32775)
            continue;
        const Route route = routeCommand(item.command);
        ASSERT_EQ(route.handler, Handler::ListPane) << item.command;
        bool found = false;
        for (const MenuItem& listed : findMenu(MenuId::List)->items)
            found = found || (listed.command == route.command && listed.label == item.label);
        EXPECT_TRUE(found) << item.command;
    }
}

TEST(CommandRouting, FolderAndCollectionMenusBelongToTheFolderPane)
{
    for (int own : {156, 157, 159, 160, 161, 162, 163, 164, 185})
        EXPECT_EQ(routeCommand(own, MenuId::Folder), (Route{Handler::FolderPane, own}));
    EXPECT_EQ(routeCommand(155, MenuId::Folder), (Route{Handler::FolderPane, 112}));
    EXPECT_EQ(routeCommand(1127, MenuId::Folder), (Route{Handler::FolderPane, 1127}));
    for (int own : {267, 271, 272, 299})
        EXPECT_EQ(routeCommand(own, MenuId::Collections), (Route{Handler::FolderPane, own}));
    // What the pane hands on.
    EXPECT_EQ(routeCommand(133, MenuId::Folder), (Route{Handler::MainWindow, 133}));
    EXPECT_EQ(routeCommand(139, MenuId::Folder), (Route{Handler::ListPane, 139}));
    EXPECT_EQ(routeCommand(2009, MenuId::Folder), (Route{Handler::SettingsDialog, 9}));
    // The same numbers from the list menu stay with the list pane.
    EXPECT_EQ(routeCommand(164, MenuId::List), (Route{Handler::ListPane, 164}));
}

TEST(ToolBox, ButtonsElevenToTwentyTwoRunOnF1ToF12)
{
    const auto buttons = toolBoxButtons();
    ASSERT_EQ(buttons.size(), 23u);
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(buttons[static_cast<std::size_t>(11 + f)].key,
                  static_cast<ToolKey>(static_cast<int>(ToolKey::F1) + f));
}

TEST(ToolBox, DefaultSlotsNameButtonsAndCommandsExist)
{
    const auto buttons = toolBoxButtons();
    for (const std::int32_t slot : settings::kDefaultToolBox)
        EXPECT_TRUE(slot == -1 || (slot >= 0 && slot < static_cast<int>(buttons.size()))) << slot;
    std::set<int> menuCommands;
    for (const PopupMenu& menu : popupMenus()) {
        for (const MenuItem& item : menu.items) {
            if (item.kind == ItemKind::Command)
                menuCommands.insert(item.command);
        }
    }
    for (const ToolBoxButton& button : buttons) {
        if (button.command != -1) {
            EXPECT_TRUE(menuCommands.contains(button.command)) << button.command;
        }
    }
    EXPECT_EQ(buttons[15].command, 118); // F5 refreshes like the list menu's "(F5)"
    EXPECT_EQ(buttons[20].command, 2008); // F10 opens the actions page
}

} // namespace
} // namespace qlx::shell
