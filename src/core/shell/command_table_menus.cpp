// The pop-up menus, one table each, in the order the user sees their items.

#include "shell/command_table.h"

#include "imagelist/file_kind.h"

#include <array>

namespace qlx::shell {

namespace {

using enum Availability;

constexpr MenuItem item(int command, std::u16string_view label, Availability needs)
{
    return {ItemKind::Command, command, label, needs};
}

constexpr MenuItem sub(MenuId menu, std::u16string_view label)
{
    return {ItemKind::SubMenu, static_cast<int>(menu), label};
}

constexpr MenuItem separator()
{
    return {};
}

// A target-format command: toggles `bit` of the target-format mask and is
// checked while the bit is set.
constexpr MenuItem format(int command, std::u16string_view label, std::uint32_t bit)
{
    return {ItemKind::Command, command, label, Browsing, CheckRule::FormatBit, bit};
}

// A multi-screen command: a radio item for one mode.
constexpr MenuItem screens(int command, std::u16string_view label, std::uint32_t mode)
{
    return {ItemKind::Command, command, label, Screens, CheckRule::MultiScreen, mode};
}

// The main menu keeps numbers of its own for the commands it shares with the
// list menu (32775 empties the recycle bin, 32781 prints, 32790 opens the
// colour management settings); the routing table translates them.
constexpr std::array kMainMenu{
    item(224, u"ツールバーの固定", Frame),
    separator(),
    sub(MenuId::Settings, u"設定(F9)"),
    item(32790, u"カラーマネジメント設定", Settings),
    item(32781, u"インデックス印刷", Print),
    item(243, u"ファイル付帯情報＆編集", Metadata),
    item(606, u"追加画像ウインドウ", Viewer),
    separator(),
    item(32775, u"ゴミ箱を空にする", Trash),
    sub(MenuId::Help, u"ヘルプ"),
    item(605, u"カメラ＆レンズ対応状況", CameraList),
    item(132, u"バージョン情報", Help),
    item(105, u"アプリケーションの終了", Always),
};

constexpr std::array kListMenu{
    item(275, u"検索", Library),
    item(118, u"最新の情報に更新(F5)", Browsing),
    item(120, u"選択画像だけを閲覧", Browsing),
    item(122, u"選択ファイルのアクション復帰(UNDO)", FileActions),
    separator(),
    item(607, u"追加画像ウインドウを開く", Viewer),
    item(119, u"表示スタイル変更(SPACE)", Browsing),
    item(218, u"サムネイル分割表示の切替(F11)", Screens),
    sub(MenuId::MultiScreen, u"マルチスクリーン分割(F12)"),
    item(227, u"等倍、拡大保持モード切替", Zoom),
    item(206, u"ルーペモード切替", Zoom),
    sub(MenuId::TargetFormats, u"対象画像フォーマット"),
    item(267, u"新規コレクション作成", Collections),
    sub(MenuId::AddToCollection, u"画像をコレクションに追加"),
    item(273, u"画像をコレクションから外す", Collections),
    separator(),
    item(164, u"お気に入りフォルダに登録", Browsing),
    sub(MenuId::Favourites, u"お気に入りフォルダ"),
    separator(),
    item(185, u"キャッシュクリア", Cache),
    sub(MenuId::CacheHistory, u"キャッシュ履歴"),
    separator(),
    sub(MenuId::Settings, u"設定(F9)"),
    item(134, u"カラーマネジメント設定", Settings),
    item(130, u"インデックス印刷", Print),
    separator(),
    item(139, u"サブフォルダ画像統合(F8)", FileActions),
    item(197, u"表示の方向でロスレス回転", FileActions),
    sub(MenuId::CheckMarks, u"チェックマーク"),
    sub(MenuId::BatchRename, u"一括リネーム"),
    sub(MenuId::Wallpaper, u"壁紙"),
    sub(MenuId::Mail, u"画像添付メール"),
    separator(),
    item(156, u"フォルダをエクスプローラで開く", Folders),
    item(157, u"フォルダのプロパティ", Folders),
    item(158, u"ファイルのプロパティ", Desktop),
    item(253, u"ファイル付帯情報＆編集", Metadata),
    item(136, u"選択項目の情報をクリップボードにコピー", Browsing),
    item(305, u"ＧＰＳ撮影位置推測", Metadata),
    separator(),
    item(117, u"選択ファイルをゴミ箱へ(DEL)", FileActions),
    item(123, u"ゴミ箱を空にする", Trash),
    sub(MenuId::Help, u"ヘルプ"),
};

constexpr std::array kMultiScreenMenu{
    screens(435, u"１画面", 0),
    screens(436, u"左右２画面", 1),
    screens(437, u"上下２画面", 2),
    screens(438, u"３画面分割", 3),
    screens(439, u"４画面分割", 4),
};

// In bit order, except Canon CR3: it was added after the others and sits at
// the end, so that the older items keep their places.
constexpr std::array kTargetFormatMenu{
    format(140, u"BMP", 0x1),
    format(141, u"JPG", 0x2),
    format(142, u"PNG", 0x4),
    format(143, u"GIF", 0x8),
    format(144, u"TIFF", 0x10),
    format(146, u"Canon CRW", 0x20),
    format(147, u"Canon CR2", 0x40),
    format(148, u"Nikon NEF", 0x80),
    format(154, u"KONICA MINOLTA MRW", 0x100),
    format(149, u"PENTAX PEF", 0x200),
    format(150, u"OLYMPUS ORF", 0x400),
    format(151, u"FUJIFILM RAF", 0x800),
    format(152, u"SONY SR2", 0x1000),
    format(153, u"SONY ARW", 0x2000),
    format(145, u"Adobe DNG", 0x4000),
    format(233, u"Nikon NRW", 0x8000),
    format(235, u"Panasonic/Leica RAW", 0x10000),
    format(237, u"Panasonic RW2", 0x20000),
    format(239, u"Leica RWL", 0x40000),
    format(238, u"Mamiya MEF", 0x80000),
    format(236, u"Sigma X3F", 0x100000),
    format(242, u"Adobe PSD", 0x200000),
    format(261, u"Samsung SRW", 0x400000),
    format(274, u"HasselBlad 3F Raw", 0x800000),
    format(309, u"動画", 0x1000000),
    format(278, u"Kodak DCR", 0x80000000),
    format(558, u"Canon CR3", 0x2000000),
};

constexpr std::array kCheckMarkMenu{
    item(182, u"選択ファイルをチェック(F2)", Browsing),
    item(183, u"選択ファイルのチェック外す(F3)", Browsing),
    item(200, u"選択ファイルのチェックマークを反転", Browsing),
    item(137, u"チェックマーク画像を全選択", Browsing),
    item(138, u"チェックマーク画像以外を全選択", Browsing),
};

constexpr std::array kBatchRenameMenu{
    item(127, u"フォルダ一括リネーム", FileActions),
    item(131, u"フォルダ一括置換リネーム", FileActions),
};

constexpr std::array kWallpaperMenu{
    item(125, u"選択画像を壁紙に設定", Desktop),
    item(126, u"壁紙設定を開く", Settings),
};

constexpr std::array kMailMenu{
    item(230, u"画像添付メール作成", Mail),
    item(231, u"メール画像設定", Settings),
};

constexpr std::array kHelpMenu{
    item(133, u"ヘルプ", Help),
    item(129, u"キー操作一覧", Help),
    item(601, u"お知らせ表示", Support),
    item(602, u"サポートにお問い合わせ", Support),
};

// Commands 2000 + page, pages 0..17 in the settings dialog's order.
constexpr std::array kSettingsMenu{
    item(2000, u"画像ファイル設定", Settings),
    item(2001, u"動画ファイル設定", Settings),
    item(2002, u"表示設定", Settings),
    item(2003, u"サムネイル設定", Settings),
    item(2004, u"キャッシュ設定", Settings),
    item(2005, u"ビューフォーカス設定", Settings),
    item(2006, u"カラー設定", Settings),
    item(2007, u"フォント設定", Settings),
    item(2008, u"アクション設定", ActionSettings),
    item(2009, u"リネーム設定", ActionSettings),
    item(2010, u"メディア容量分割設定", ActionSettings),
    item(2011, u"お気に入り設定", Settings),
    item(2012, u"リスト項目設定", Settings),
    item(2013, u"パフォーマンス設定", Settings),
    item(2014, u"壁紙設定", Settings),
    item(2015, u"メール添付画像設定", Settings),
    item(2016, u"ツールBOX ボタン設定", Settings),
    item(2017, u"GPS撮影位置推測設定", Settings),
};

// Groups: the tree, the settings, the folder in the desktop, the folder
// itself, the selected files, the merge, favourites, cache, help.
constexpr std::array kFolderMenu{
    item(155, u"ツリーを最新の情報に更新", Browsing),
    separator(),
    sub(MenuId::Settings, u"設定(F9)"),
    separator(),
    item(156, u"フォルダをエクスプローラで開く", Folders),
    item(157, u"フォルダのプロパティ", Folders),
    separator(),
    item(160, u"フォルダを作成", Folders),
    item(159, u"フォルダの削除", Folders),
    item(161, u"フォルダのリネーム", Folders),
    separator(),
    item(162, u"選択ファイルをここにコピー", Folders),
    item(163, u"選択ファイルをここに移動", Folders),
    separator(),
    item(139, u"サブフォルダ画像統合(F8)", FileActions),
    separator(),
    item(164, u"お気に入りフォルダに登録", Browsing),
    sub(MenuId::Favourites, u"お気に入りフォルダ"),
    separator(),
    item(185, u"キャッシュクリア", Cache),
    sub(MenuId::CacheHistory, u"キャッシュ履歴"),
    separator(),
    sub(MenuId::Help, u"ヘルプ"),
};

constexpr std::array kListColumnsMenu{
    item(210, u"項目名変更", Settings),
    item(207, u"選択項目名をベース項目名に戻す", Settings),
    item(208, u"全てにチェック", Settings),
    item(209, u"全てのチェックを外す", Settings),
};

constexpr std::array kEditListMenu{
    item(318, u"追加", Settings),
    item(319, u"変更", Settings),
    item(320, u"削除", Settings),
};

constexpr std::array kSecondEditListMenu{
    item(427, u"追加", Settings),
    item(428, u"変更", Settings),
    item(429, u"削除", Settings),
};

constexpr std::array kCopyMenu{
    item(244, u"コピー", Metadata),
};

constexpr std::array kEditMenu{
    item(244, u"コピー", Metadata),
    item(252, u"ペースト", Metadata),
    item(250, u"削除", Metadata),
};

// Map services 0, 1 and 2 at the photo's position.
constexpr std::array kMapMenu{
    item(244, u"コピー", Metadata),
    item(301, u"GoogleMapを開く", Metadata),
    item(300, u"マピオンの地図を開く", Metadata),
    item(308, u"Yahoo!地図を開く", Metadata),
};

constexpr std::array kCollectionsMenu{
    item(267, u"新規コレクション作成", Collections),
    item(272, u"コレクション名の変更", Collections),
    item(271, u"コレクション削除", Collections),
    item(299, u"検索結果の一括削除", Collections),
};

constexpr bool kOwn = true;
constexpr bool kSubOnly = false;

constexpr std::array<PopupMenu, 21> kMenus{{
    {MenuId::Main, kOwn, kMainMenu},
    {MenuId::List, kOwn, kListMenu},
    {MenuId::MultiScreen, kSubOnly, kMultiScreenMenu},
    {MenuId::TargetFormats, kSubOnly, kTargetFormatMenu},
    {MenuId::CheckMarks, kSubOnly, kCheckMarkMenu},
    {MenuId::BatchRename, kSubOnly, kBatchRenameMenu},
    {MenuId::Wallpaper, kSubOnly, kWallpaperMenu},
    {MenuId::Mail, kSubOnly, kMailMenu},
    {MenuId::Help, kSubOnly, kHelpMenu},
    {MenuId::Settings, kSubOnly, kSettingsMenu},
    {MenuId::Folder, kOwn, kFolderMenu},
    {MenuId::Favourites, kSubOnly, {}, ListKind::Favourites, Browsing},
    {MenuId::CacheHistory, kSubOnly, {}, ListKind::CacheHistory, Cache},
    {MenuId::ListColumns, kOwn, kListColumnsMenu},
    {MenuId::EditList, kOwn, kEditListMenu},
    {MenuId::Copy, kOwn, kCopyMenu},
    {MenuId::Edit, kOwn, kEditMenu},
    {MenuId::Map, kOwn, kMapMenu},
    {MenuId::AddToCollection, kSubOnly, {}, ListKind::Collections, Collections},
    {MenuId::Collections, kOwn, kCollectionsMenu},
    {MenuId::SecondEditList, kOwn, kSecondEditListMenu},
}};

// ---- Checked when the program is compiled --------------------------------------------------

constexpr bool menusInNumberOrder()
{
    for (std::size_t i = 0; i < kMenus.size(); ++i) {
        if (static_cast<std::size_t>(kMenus[i].id) != i + 1)
            return false;
    }
    return kMenus.size() + 1 == kMenuSlots;
}
static_assert(menusInNumberOrder());

// Within one menu a command appears once, and every item but a separator
// has a label; a separator has neither label nor number.
constexpr bool itemsWellFormed()
{
    for (const PopupMenu& menu : kMenus) {
        for (std::size_t i = 0; i < menu.items.size(); ++i) {
            const MenuItem& a = menu.items[i];
            if ((a.kind == ItemKind::Separator) != a.label.empty())
                return false;
            if (a.kind == ItemKind::Separator && a.command != 0)
                return false;
            for (std::size_t j = i + 1; j < menu.items.size(); ++j) {
                const MenuItem& b = menu.items[j];
                if (a.kind == ItemKind::Command && b.kind == ItemKind::Command && a.command == b.command)
                    return false;
            }
        }
    }
    return true;
}
static_assert(itemsWellFormed());

// The target-format commands and bits are those of the file-kind table.
constexpr bool formatsMatchFileKinds()
{
    for (const MenuItem& format : kTargetFormatMenu) {
        // By index: comparing addresses with null is not a constant
        // expression under the undefined-behaviour sanitizer.
        const int index = imagelist::kindIndex(format.checkValue);
        if (index < 0 || imagelist::kFileKinds[static_cast<std::size_t>(index)].menuCommand != format.command)
            return false;
    }
    return kTargetFormatMenu.size() == imagelist::kFileKinds.size();
}
static_assert(formatsMatchFileKinds());

} // namespace

std::span<const PopupMenu> popupMenus()
{
    return kMenus;
}

} // namespace qlx::shell
