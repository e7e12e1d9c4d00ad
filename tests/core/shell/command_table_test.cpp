// The pop-up menus against the labels and numbers the program shows, the
// shape of the menu tree, which commands can be chosen today, and where a
// chosen command is carried out.

#include "shell/command_table.h"

#include "imagelist/file_kind.h"
#include "shell/settings_defaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace qlx::shell {
namespace {

// One item as the user sees it: a separator is {0, u""}, a sub-menu's
// number is negative.
struct Shown {
    int command;
    std::u16string label;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* os)
{
    *os << shown.command << ' ' << ::testing::PrintToString(shown.label);
}

const Shown kSeparator{0, u""};

std::vector<Shown> shownItems(MenuId id)
{
    std::vector<Shown> shown;
    for (const MenuItem& item : findMenu(id)->items) {
        const int number = item.kind == ItemKind::SubMenu ? -item.command : item.command;
        shown.push_back({number, std::u16string(item.label)});
    }
    return shown;
}

const MenuItem& itemAt(MenuId id, std::size_t index)
{
    return findMenu(id)->items[index];
}

TEST(CommandTable, MainMenuAsShown)
{
    const std::vector<Shown> expected{
        {224, u"ツールバーの固定"},
        kSeparator,
        {-10, u"設定(F9)"},
        {32790, u"カラーマネジメント設定"},
        {32781, u"インデックス印刷"},
        {243, u"ファイル付帯情報＆編集"},
        {606, u"追加画像ウインドウ"},
        kSeparator,
        {32775, u"ゴミ箱を空にする"},
        {-9, u"ヘルプ"},
        {605, u"カメラ＆レンズ対応状況"},
        {132, u"バージョン情報"},
        {105, u"アプリケーションの終了"},
    };
    EXPECT_EQ(shownItems(MenuId::Main), expected);
}

TEST(CommandTable, ListMenuItemsSeparatorsAndSubMenus)
{
    const auto shown = shownItems(MenuId::List);
    ASSERT_EQ(shown.size(), 43u); // 36 entries, 7 separators
    EXPECT_EQ(shown.front(), (Shown{275, u"検索"}));
    EXPECT_EQ(shown[1], (Shown{118, u"最新の情報に更新(F5)"}));
    EXPECT_EQ(shown[3], (Shown{122, u"選択ファイルのアクション復帰(UNDO)"}));
    EXPECT_EQ(shown.back(), (Shown{-9, u"ヘルプ"}));

    std::vector<int> beforeSeparators;
    std::vector<int> subMenus;
    std::map<int, std::u16string> labels;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == kSeparator)
            beforeSeparators.push_back(shown[i - 1].command);
        else if (shown[i].command < 0)
            subMenus.push_back(-shown[i].command);
        labels[shown[i].command] = shown[i].label;
    }
    EXPECT_EQ(beforeSeparators, (std::vector<int>{122, 273, -12, -13, 130, -8, 305}));
    EXPECT_EQ(subMenus, (std::vector<int>{3, 4, 19, 12, 13, 10, 5, 6, 7, 8, 9}));
    EXPECT_EQ(labels[119], u"表示スタイル変更(SPACE)");
    EXPECT_EQ(labels[-3], u"マルチスクリーン分割(F12)");
    EXPECT_EQ(labels[227], u"等倍、拡大保持モード切替");
    EXPECT_EQ(labels[-19], u"画像をコレクションに追加");
    EXPECT_EQ(labels[136], u"選択項目の情報をクリップボードにコピー");
    EXPECT_EQ(labels[305], u"ＧＰＳ撮影位置推測");
    EXPECT_EQ(labels[117], u"選択ファイルをゴミ箱へ(DEL)");
}

TEST(CommandTable, FolderMenuInOrderWithSeparatorsOnlyBetweenGroups)
{
    std::vector<int> numbers;
    const auto shown = shownItems(MenuId::Folder);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == kSeparator) {
            ASSERT_GT(i, 0u);
            ASSERT_LT(i + 1, shown.size());
            EXPECT_NE(shown[i + 1], kSeparator);
            continue;
        }
        numbers.push_back(shown[i].command);
    }
    EXPECT_EQ(numbers, (std::vector<int>{155, -10, 156, 157, 160, 159, 161, 162, 163, 139, 164, -12, 185, -13, -9}));
    std::map<int, std::u16string> labels;
    for (const Shown& item : shown)
        labels[item.command] = item.label;
    EXPECT_EQ(labels[155], u"ツリーを最新の情報に更新");
    EXPECT_EQ(labels[160], u"フォルダを作成");
    EXPECT_EQ(labels[159], u"フォルダの削除");
    EXPECT_EQ(labels[161], u"フォルダのリネーム");
    EXPECT_EQ(labels[163], u"選択ファイルをここに移動");
}

struct SmallItem {
    MenuId menu;
    std::size_t index;
    int command;
    std::u16string_view label;
};

TEST(CommandTable, SmallMenus)
{
    const SmallItem expected[] = {
        {MenuId::MultiScreen, 0, 435, u"１画面"},
        {MenuId::MultiScreen, 2, 437, u"上下２画面"},
        {MenuId::MultiScreen, 4, 439, u"４画面分割"},
        {MenuId::CheckMarks, 0, 182, u"選択ファイルをチェック(F2)"},
        {MenuId::CheckMarks, 1, 183, u"選択ファイルのチェック外す(F3)"},
        {MenuId::CheckMarks, 4, 138, u"チェックマーク画像以外を全選択"},
        {MenuId::BatchRename, 1, 131, u"フォルダ一括置換リネーム"},
        {MenuId::Wallpaper, 0, 125, u"選択画像を壁紙に設定"},
        {MenuId::Mail, 1, 231, u"メール画像設定"},
        {MenuId::Help, 0, 133, u"ヘルプ"},
        {MenuId::Help, 3, 602, u"サポートにお問い合わせ"},
        {MenuId::ListColumns, 1, 207, u"選択項目名をベース項目名に戻す"},
        {MenuId::EditList, 0, 318, u"追加"},
        {MenuId::SecondEditList, 2, 429, u"削除"},
        {MenuId::Copy, 0, 244, u"コピー"},
        {MenuId::Edit, 1, 252, u"ペースト"},
        {MenuId::Map, 1, 301, u"GoogleMapを開く"},
        {MenuId::Map, 3, 308, u"Yahoo!地図を開く"},
        {MenuId::Collections, 3, 299, u"検索結果の一括削除"},
    };
    for (const SmallItem& row : expected) {
        SCOPED_TRACE(row.command);
        const MenuItem& item = itemAt(row.menu, row.index);
        EXPECT_EQ(item.command, row.command);
        EXPECT_EQ(item.label, row.label);
    }
    const std::pair<MenuId, std::size_t> sizes[] = {
        {MenuId::MultiScreen, 5}, {MenuId::CheckMarks, 5}, {MenuId::BatchRename, 2}, {MenuId::Wallpaper, 2},
        {MenuId::Mail, 2}, {MenuId::Help, 4}, {MenuId::ListColumns, 4}, {MenuId::EditList, 3},
        {MenuId::Copy, 1}, {MenuId::Edit, 3}, {MenuId::Map, 4}, {MenuId::Collections, 4},
        {MenuId::SecondEditList, 3},
    };
    for (const auto& [menu, size] : sizes)
        EXPECT_EQ(findMenu(menu)->items.size(), size) << static_cast<int>(menu);
}

TEST(CommandTable, SettingsMenuOpensPagesZeroToSeventeen)
{
    const auto items = findMenu(MenuId::Settings)->items;
    ASSERT_EQ(items.size(), 18u);
    for (std::size_t page = 0; page < items.size(); ++page)
        EXPECT_EQ(items[page].command, 2000 + static_cast<int>(page));
    EXPECT_EQ(items[0].label, u"画像ファイル設定");
    EXPECT_EQ(items[5].label, u"ビューフォーカス設定");
    EXPECT_EQ(items[8].label, u"アクション設定");
    EXPECT_EQ(items[9].label, u"リネーム設定");
    EXPECT_EQ(items[16].label, u"ツールBOX ボタン設定");
    EXPECT_EQ(items[17].label, u"GPS撮影位置推測設定");
}

TEST(CommandTable, TargetFormatsToggleOneKindBitEach)
{
    struct Row {
        int command;
        std::u16string_view label;
        std::uint32_t bit;
    };
    const Row rows[] = {
        {140, u"BMP", 0x1},
        {144, u"TIFF", 0x10},
        {154, u"KONICA MINOLTA MRW", 0x100},
        {145, u"Adobe DNG", 0x4000},
        {235, u"Panasonic/Leica RAW", 0x10000},
        {274, u"HasselBlad 3F Raw", 0x800000},
        {309, u"動画", 0x1000000},
        {558, u"Canon CR3", 0x2000000},
        {278, u"Kodak DCR", 0x80000000},
    };
    std::map<int, const MenuItem*> byCommand;
    std::uint32_t all = 0;
    for (const MenuItem& item : findMenu(MenuId::TargetFormats)->items) {
        ASSERT_EQ(item.check, CheckRule::FormatBit);
        EXPECT_EQ(all & item.checkValue, 0u) << "bit used twice: " << item.checkValue;
        all |= item.checkValue;
        EXPECT_TRUE(byCommand.emplace(item.command, &item).second);
        EXPECT_EQ(imagelist::kindOfMenuCommand(item.command), item.checkValue);
    }
    EXPECT_EQ(all, imagelist::kDefaultTargetMask);
    EXPECT_EQ(byCommand.size(), 27u);
    for (const Row& row : rows) {
        ASSERT_TRUE(byCommand.contains(row.command)) << row.command;
        EXPECT_EQ(byCommand[row.command]->label, row.label);
        EXPECT_EQ(byCommand[row.command]->checkValue, row.bit);
    }
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
    EXPECT_TRUE(hasUsableItem(MenuId::AddToCollection, kAvailableNow.with(Availability::Library)));
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
    for (int listed : {118, 119, 122, 136, 140, 182, 197, 243, 253, 275, 435, 607})
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

TEST(ToolBox, ButtonsLabelsAndKeys)
{
    const auto buttons = toolBoxButtons();
    ASSERT_EQ(buttons.size(), 23u);
    EXPECT_EQ(buttons[0].label, u"フルスクリーン表示(ESC)");
    EXPECT_EQ(buttons[0].secondLabel, u"ウインドウ表示(ESC)");
    EXPECT_EQ(buttons[0].key, ToolKey::Escape);
    EXPECT_EQ(buttons[3].label, u"グリッド表示('無変換'ｷｰ)");
    EXPECT_EQ(buttons[3].key, ToolKey::NonConvert);
    EXPECT_EQ(buttons[4].label, u"表示タイプ切替(SPACE)");
    EXPECT_TRUE(buttons[4].secondLabel.empty());
    EXPECT_EQ(buttons[7].secondLabel, u"RAW現像データの解放('変換'ｷｰ)");
    EXPECT_EQ(buttons[7].key, ToolKey::Convert);
    EXPECT_EQ(buttons[10].label, u"画像の回転情報に従い画像を回転('?'ｷｰ)");
    EXPECT_EQ(buttons[10].key, ToolKey::Question);
    EXPECT_EQ(buttons[14].label, u"チェックマークを付けた画像にジャンプ(F4)");
    EXPECT_EQ(buttons[22].label, u"マルチスクリーン分割(F12)");
    // Buttons 11..22 run on F1..F12.
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
