#pragma once
// Texts of the image list's panes, kept in one place. "%s" and "%d"
// are filled in by shell::messages::fillText; "\n" is a line break; the
// full-width blanks (U+3000) are part of the texts. The collection commands'
// texts are in library/library_messages.h, the buttons every dialog shares
// in shell/shell_messages.h.

#include "shell/shell_messages.h"

#include <string>
#include <string_view>

namespace qlx::imagelist::messages {

// ---- The pane -------------------------------------------------------------
inline constexpr std::u16string_view kFolderTab = u"フォルダ";
inline constexpr std::u16string_view kCollectionTab = u"コレクション";
inline constexpr std::u16string_view kCollectionRoot = u"コレクション";

// ---- List commands --------------------------------------------------------
// Asked before a refresh while the setting says so (Yes/No, No the default,
// above every other window): a refresh forgets the folder's action history.
inline constexpr std::u16string_view kRefreshQuestion =
    u"最新の情報に更新しますか？\n※更新をすると現フォルダのアクション履歴などもクリアされます。";

// ---- Folder commands ------------------------------------------------------
// The name dialog of "create a folder".
inline constexpr std::u16string_view kNewFolderTitle = u"新規フォルダ作成";
// Asked between files when Escape was pressed during "copy / move the
// selected files here" (Yes/No, No the default).
inline constexpr std::u16string_view kAbortCopyQuestion = u"コピーを中断しますか？";
inline constexpr std::u16string_view kAbortMoveQuestion = u"移動を中断しますか？";
// "Register as favourite", asked with the three-button box whose buttons
// read 設定確認 (open the settings), はい and いいえ.
inline constexpr std::u16string_view kRegisterFavouriteQuestion =
    u"お気に入りフォルダに登録します。\n%s\u3000\u3000\n\n登録してよろしいですか？";
// "Clear the cache" (Yes/No).
inline constexpr std::u16string_view kClearCacheQuestion = u"キャッシュデータを全て削除します。\n実行しますか？";

// ---- Questions and failures the desktop's file operations would show ------
// The desktop asks these itself where its own file operations are used;
// ours ask them in the same words.
inline constexpr std::u16string_view kTrashFolderQuestion =
    u"フォルダ '%s' とその内容をすべてごみ箱に移動しますか？";
inline constexpr std::u16string_view kReplaceFileQuestion =
    u"このフォルダには既にファイル '%s' が存在します。\n\n既存のファイルを置き換えますか？";
inline constexpr std::u16string_view kCopyFailed = u"ファイル '%s' をコピーできませんでした。";
inline constexpr std::u16string_view kMoveFailed = u"ファイル '%s' を移動できませんでした。";
inline constexpr std::u16string_view kCreateFolderFailed = u"フォルダ '%s' を作成できませんでした。";
inline constexpr std::u16string_view kRenameFolderFailed = u"フォルダ '%s' の名前を変更できませんでした。";
inline constexpr std::u16string_view kTrashFolderFailed = u"フォルダ '%s' をごみ箱に移動できませんでした。";
inline constexpr std::u16string_view kOpenFolderFailed = u"フォルダ '%s' を開けませんでした。";

// ---- The folder's properties ----------------------------------------------
inline constexpr std::u16string_view kPropertiesTitle = u"%s のプロパティ";
inline constexpr std::u16string_view kPropertyName = u"名前:";
inline constexpr std::u16string_view kPropertyLocation = u"場所:";
inline constexpr std::u16string_view kPropertyKind = u"種類:";
inline constexpr std::u16string_view kPropertyKindFolder = u"ファイル フォルダ";
inline constexpr std::u16string_view kPropertyContents = u"内容:";
inline constexpr std::u16string_view kPropertyContentsText = u"ファイル数 %d、フォルダ数 %d";
inline constexpr std::u16string_view kPropertyModified = u"更新日時:";
inline constexpr std::u16string_view kPropertyOwner = u"所有者:";
inline constexpr std::u16string_view kPropertyPermissions = u"アクセス権:";
inline constexpr std::u16string_view kPropertyFreeSpace = u"空き領域:";
inline constexpr std::u16string_view kPropertyUnreadable = u"(読み取れません)";

inline std::u16string registerFavouriteQuestion(std::u16string_view folder)
{
    return shell::messages::fillText(kRegisterFavouriteQuestion, u"%s", folder);
}

} // namespace qlx::imagelist::messages
