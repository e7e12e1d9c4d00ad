#pragma once
// Texts of media distribution and folder merge, kept in one place: the
// settings page's labels, the questions, warnings and reports.

#include <string_view>

namespace qlx::actions::messages {

// ---- Media distribution ------------------------------------------------------
inline constexpr std::u16string_view kMediaStillLoading =
    u"現在イメージ読み込み中につき実行できませんでした。\nイメージが全て読み込み終わってから再度実行してください。";
inline constexpr std::u16string_view kMediaOversizeWarning =
    u"分割サイズよりファイルサイズの大きいファイルがありました。\n"
    u"分割ファイルより大きいファイルはメディア分割＃の項目の色がエラー色を示しているのでチェックしてください。";
// "%s": the data in the one medium.
inline constexpr std::u16string_view kMediaReportOne = u"メディア 1個分に収まるデータ量( %s )でした。";
// "%d" media, "%d" files and "%s" bytes in the last medium.
inline constexpr std::u16string_view kMediaReportMany =
    u"メディア %d個分のデータ量でした。\nあと、約 %d個の画像ファイル( %s )を削減するとメディア1つ節約できそうです。";
inline constexpr std::u16string_view kMediaReportBalanced =
    u"メディア %d個分のデータ量でした。(均等に振分け指定)\nあと、約 %d個の画像ファイル( %s )を削減するとメディア1つ節約できそうです。";
inline constexpr std::u16string_view kMediaNotCalculated =
    u"メディア容量分割に必要な情報がありません。\nメディア容量分割計算を実行し分割情報を作成してください。";
// "%d": the number of media.
inline constexpr std::u16string_view kDistributionQuestionHead =
    u"メディア容量に合わせ下記の要領で%d個のサブフォルダにファイルを振分けます。\n\n";
inline constexpr std::u16string_view kListCut = u"以下略...\n";
inline constexpr std::u16string_view kRunQuestionTail = u"\n処理を実行してもよろしいですか？";

// The settings page.
inline constexpr std::u16string_view kMediaPageTitle = u"メディア容量分割設定";
inline constexpr std::u16string_view kMediaGroup = u"メディア容量分割";
inline constexpr std::u16string_view kMediaSizeLabel = u"メディア容量";
inline constexpr std::u16string_view kMediaSizeUnit = u"Byte";
inline constexpr std::u16string_view kMediaFolderNameLabel = u"振分けフォルダ名";
inline constexpr std::u16string_view kMediaDigitsLabel = u"メディア番号の桁数";
// "%s": the number of digits, 1 to 4.
inline constexpr std::u16string_view kMediaDigitsItem = u"%s桁";
// A split size that is no count of bytes (empty, or 0) is not stored.
inline constexpr std::u16string_view kMediaBadSplitSize =
    u"メディア容量の指定が正しくありません。\n1 以上の数値を 18 桁以内で入力してください。\n"
    u"メディア容量は変更されませんでした。";
inline constexpr std::u16string_view kMediaAddParentNameLabel = u"親ﾌｫﾙﾀﾞ名を振分けフォルダ名の先頭に付加";
inline constexpr std::u16string_view kMediaBalanceLabel = u"均等なサイズになるように振分ける";

// ---- Folder merge ------------------------------------------------------------
inline constexpr std::u16string_view kMergeGroup = u"サブフォルダ画像統合";
inline constexpr std::u16string_view kMergeDialogTitle = u"サブフォルダﾞ画像統合";
inline constexpr std::u16string_view kMergeExplanation =
    u"ｻﾌﾞﾌｫﾙﾀﾞに存在している画像ファイルを現在のフォルダに移動し統合する機能です。\n"
    u"※実行後に処理の取り消しは出来ませんのでよく確認してから実行してください。";
inline constexpr std::u16string_view kMergeOneLevelLabel = u"一階層下のフォルダの画像ﾌｧｲﾙのみ統合の対象";
inline constexpr std::u16string_view kMergeAllLevelsLabel = u"ｻﾌﾞﾌｫﾙﾀﾞ以下全ての画像ﾌｧｲﾙが統合の対象";
inline constexpr std::u16string_view kMergeDeleteEmptyLabel = u"ｻﾌﾞﾌｫﾙﾀﾞ画像統合後、空ｻﾌﾞﾌｫﾙﾀﾞを削除する";
// The same flag as the display settings page shows it.
inline constexpr std::u16string_view kMergeDeleteEmptyDisplayLabel = u"サブフォルダ画像統合時に空サブフォルダを削除する";
inline constexpr std::u16string_view kMergeConfirmButton = u"確認";
inline constexpr std::u16string_view kMergeNoSubfolder = u"サブフォルダが存在しませんでした。";
inline constexpr std::u16string_view kMergeQuestionHead =
    u"下記のサブフォルダ内の画像ファイルを現在のフォルダに移動します。\n\n";
inline constexpr std::u16string_view kMergeDeleteEmptyNote = u"\n※移動処理の後、空フォルダを削除する設定になっています。\n";
inline constexpr std::u16string_view kMergeInterrupted = u"処理を中断します。";
inline constexpr std::u16string_view kMergeFolderInUse =
    u"他のプロセスがファイルを使用している為、フォルダの削除ができませんでした。";

} // namespace qlx::actions::messages
