#pragma once
// Texts of the actions, kept in one place: the short names of the action
// kinds (the list and the action log show them) and the result texts of the
// log. The log line itself is made by actions::logLine (action_log.h).

#include <array>
#include <string_view>

namespace qlx::actions::messages {

// By kind 0 to 14: undo, key assignment, hand-over to an application, copy,
// move, recycle bin, delete, RAW development to TIFF and to JPEG, thumbnail
// save, rename, replace-rename, lossless rotation, distribute-move and
// folder merge.
inline constexpr std::array<std::u16string_view, 15> kKindShortNames{
    u"復帰(UNDO)", u"ｷｰ割り当て", u"ｱﾌﾟﾘｹｰｼｮﾝ転送", u"ｺﾋﾟｰ", u"移動", u"ｺﾞﾐ箱", u"削除",
    u"RAW現像(TIFF保存)", u"RAW現像(JPEG保存)", u"ｻﾑﾈｲﾙ保存", u"ﾘﾈｰﾑ", u"置換ﾘﾈｰﾑ", u"ﾛｽﾚｽ回転",
    u"振分け移動", u"ﾌｫﾙﾀﾞ統合",
};

// By result 0 failed, 1 done, 2 skipped.
inline constexpr std::array<std::u16string_view, 3> kResultTexts{u"NG!", u"OK!", u"Skip!"};

// Boxes of running actions.
inline constexpr std::u16string_view kThumbnailSaveFailed = u"サムネイルセーブに失敗しました";
inline constexpr std::u16string_view kHandOverFailed = u"アプリケーション転送に失敗しました。";
inline constexpr std::u16string_view kNoImageShown = u"画像が選択されていません。";
inline constexpr std::u16string_view kAbortActionQuestion = u"アクションを中断しますか？";
// "%s": the folder.
inline constexpr std::u16string_view kCreateFolderQuestion = u"フォルダ %s は存在しません。\n\n作成しますか？";
// The Delete key's first-use question: this text and the closing note.
inline constexpr std::u16string_view kDeleteKeyQuestion =
    u"DELキー [ ファイル削除 ] が押されました\nファイル削除実行しますか？\n\n";
// The closing note of the first-use questions, by whether a "no" asks again.
inline constexpr std::u16string_view kSkippedFromNowOn = u"※以後この表示はスキップされます。（表示設定で変更可）";
inline constexpr std::u16string_view kSkippedOnceRun = u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）";
// "ゴミ箱を空にする": asked first, and the count of items that stayed.
inline constexpr std::u16string_view kEmptyTrashQuestion =
    u"ゴミ箱を空にしますか？\n\n※ゴミ箱の中のファイルは完全に削除され、元に戻せなくなります。";
inline constexpr std::u16string_view kEmptyTrashIncomplete = u"ゴミ箱の %d 個の項目を削除できませんでした。";
// Replace-rename whose new name is refused (error icon); the run stops.
inline constexpr std::u16string_view kInvalidReplaceName =
    u"置換ファイル名が不正です。\nファイル名に使用できない文字列が含まれていないか確認してください。";
// The folder-wide renames (the main menu's "フォルダ一括リネーム" and
// "フォルダ一括置換リネーム"), asked with the three-button box; "%s" the
// setting's description, the old and the new text.
inline constexpr std::u16string_view kBatchRenameQuestion =
    u"フォルダ内の画像ファイルを一括リネームしますがよろしいですか？\n\n リネーム設定 : [ %s ]";
inline constexpr std::u16string_view kBatchReplaceQuestion =
    u"フォルダ内の画像ファイルを一括置換リネームしますがよろしいですか？\n\n 置換リネーム設定 : ファイル名にある文字列 [ %s ] を 新文字列 [ %s ] に置換リネームします。";
inline constexpr std::u16string_view kBatchReplaceTextsMissing =
    u"一括置換リネームに必要な置換文字列が設定されていません\n\n リネーム設定で文字列を指定してください。";

// The list's in-place rename of a label.
inline constexpr std::u16string_view kLabelNameRefused =
    u"このファイル名は使用できません。\nファイル名に使用できない文字が含まれている可能性があります。";
inline constexpr std::u16string_view kLabelRenameFailed = u"リネームに失敗しました。\n既に同名のファイルがある可能性があります。";

} // namespace qlx::actions::messages
