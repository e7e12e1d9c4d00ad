#pragma once
// Texts of the action settings page, the rename page, the registration
// dialog, the run-time path dialog and the first-use question, kept in one
// place. "%s" is filled in order by actions::fillIn (action_texts.h).

#include <array>
#include <string_view>

namespace qlx::actions::messages {

// ---- The action list ---------------------------------------------------------------------------
inline constexpr std::u16string_view kSettingsWindowTitle = u"環境設定";
inline constexpr std::u16string_view kActionPageTitle = u"アクション設定";
inline constexpr std::array<std::u16string_view, 8> kActionColumns{
    u"動作", u"対象キー", u"対象フォルダ/対象アプリケーション/動作", u"UNDO", u"色付け", u"同名JPGの同時処理", u"コメント", u"id",
};
inline constexpr std::u16string_view kColourOn = u"○";
inline constexpr std::u16string_view kColourOff = u"×";
inline constexpr std::u16string_view kSameNameOn = u"する";
inline constexpr std::u16string_view kSameNameOff = u"しない";
inline constexpr std::u16string_view kAtRunTimeDetail = u"(実行時に変更可) %s";
inline constexpr std::u16string_view kRenameDetail = u"[ %s ]";
inline constexpr std::u16string_view kFixedRenameDetail = u"(固定設定)　%s";
inline constexpr std::u16string_view kAddButton = u"追加";
inline constexpr std::u16string_view kChangeButton = u"変更";
inline constexpr std::u16string_view kDeleteButton = u"削除";
inline constexpr std::u16string_view kAddTooltip =
    u"アクションの新規登録\n\n"
    u"※リストからアクションを選択して追加した場合は\n選択アクションの設定を引き継いだ状態が初期値になります。";
inline constexpr std::u16string_view kTableFull = u"これ以上アクションは追加できません。";

// The related settings below the list, in the order they are shown.
inline constexpr std::u16string_view kConfirmFirstUse = u"初回アクション時に確認ダイアログを出す";
inline constexpr std::u16string_view kReaskAfterCancel = u"初回アクション時の確認でキャンセルした場合は次回も確認をする";
inline constexpr std::u16string_view kNoConfirmForKeyAssign = u"アクション[キー割り当て]は初回確認ダイアログを出さない";
inline constexpr std::u16string_view kAdvanceAfterCopy = u"コピーアクション後も次の画像へ移動する";
inline constexpr std::u16string_view kExifOnDevelop = u"RAW現像アクション時にExif情報を付加する";
inline constexpr std::u16string_view kKeepTimeOnRotate = u"ロスレス回転で変更したファイルの更新日時を変更しない";

// ---- The registration dialog -------------------------------------------------------------------
inline constexpr std::u16string_view kRegistrationTitle = u"アクション登録";
inline constexpr std::u16string_view kTargetKeyLabel = u"対象キー";
inline constexpr std::u16string_view kKindLabel = u"動作";
inline constexpr std::u16string_view kCommentLabel = u"コメント";
inline constexpr std::u16string_view kBrowseButton = u"参照...";
inline constexpr std::u16string_view kSameNameJpegBox = u"同名のJPGファイルに対しても同時にアクションを実行";
inline constexpr std::u16string_view kTransferAsOneBox = u"複数選択時は１つにまとめて転送";
inline constexpr std::u16string_view kPathAtRunTimeBox = u"フォルダパスをアクション実行時に設定";
inline constexpr std::u16string_view kRenameFixedBox = u"現在のリネーム設定で固定する";
inline constexpr std::u16string_view kUseKindColour = u"アクション規定の色を使用";
inline constexpr std::u16string_view kNoColour = u"色をつけない";
inline constexpr std::u16string_view kRegisterButton = u"登録";
inline constexpr std::u16string_view kCancelButton = u"キャンセル";
inline constexpr std::u16string_view kApplicationBrowseTitle = u"アプリケーション選択";
inline constexpr std::u16string_view kCaptionJoin = u"%s を押すと %s";
inline constexpr std::u16string_view kCaptionNoKey = u"対象キーを設定してください";
inline constexpr std::u16string_view kCaptionNoKind = u"動作を設定してください";

// Refusals of "登録", in the order they are checked.
inline constexpr std::u16string_view kNoKey = u"対象キーが設定されていません。\n対象キーを設定してください。";
inline constexpr std::u16string_view kKeyInUse = u"対象キーは既に使用されています。\n対象キーを別のキーに変更してください。";
inline constexpr std::u16string_view kNoKind = u"動作が設定されていません。\n動作を設定してください。";
inline constexpr std::u16string_view kNoApplication = u"起動アプリケーションのパスが入力されていません。";
inline constexpr std::u16string_view kBadApplication = u"起動アプリケーションのパスが不正です。";
inline constexpr std::u16string_view kNoCopyFolder = u"ファイルコピー先フォルダが入力されていません。";
inline constexpr std::u16string_view kNoMoveFolder = u"ファイル移動先フォルダが入力されていません。";
inline constexpr std::u16string_view kNoSaveFolder = u"ファイル保存先フォルダが入力されていません。";
inline constexpr std::u16string_view kBadCopyFolder = u"ファイルコピー先フォルダが不正です。";
inline constexpr std::u16string_view kBadMoveFolder = u"ファイル移動先フォルダが不正です。";
inline constexpr std::u16string_view kBadSaveFolder = u"ファイル保存先フォルダが不正です。";
inline constexpr std::u16string_view kDeleteQuestion =
    u"アクション“削除”が選択されています。\nこのアクションはファイル削除動作の復帰(UNDO)ができませんがよろしいですか？\n\n"
    u"※誤操作によりファイル喪失を防ぐためより安全性の高いゴミ箱アクションのご使用をお勧めします。 ";
inline constexpr std::u16string_view kLeadingBackslash =
    u"フォルダ名が不正です。\n相対パスにする場合先頭に'\\'は必要ありません。";

// ---- The run-time path dialog ------------------------------------------------------------------
inline constexpr std::u16string_view kRunTimePathTitle = u"アクションパスの入力";
inline constexpr std::u16string_view kRunTimePathCaption = u"%s　[ %s ]　アクション%s入力してください。";
inline constexpr std::u16string_view kRunTimeCopyPhrase = u"のコピー先フォルダを";
inline constexpr std::u16string_view kRunTimeMovePhrase = u"の移動先フォルダを";
inline constexpr std::u16string_view kRunTimeSavePhrase = u"の保存先フォルダを";
inline constexpr std::u16string_view kKeepRunTimePath = u"次回から現在の設定で実行";

// ---- The rename page ---------------------------------------------------------------------------
inline constexpr std::u16string_view kRenamePageTitle = u"リネーム設定";
inline constexpr std::u16string_view kRenameGroup = u"リネーム";
inline constexpr std::u16string_view kReplaceRenameGroup = u"置換リネーム";
inline constexpr std::u16string_view kPrefixLabel = u"ファイル名の先頭";
inline constexpr std::u16string_view kPrefixJoinerLabel = u"先頭との区切り";
inline constexpr std::u16string_view kRenameTypeLabel = u"リネーム形式";
inline constexpr std::u16string_view kDateJoinerLabel = u"日付・番号の区切り";
inline constexpr std::u16string_view kStartNumberLabel = u"開始番号";
inline constexpr std::u16string_view kOldTextLabel = u"旧文字列";
inline constexpr std::u16string_view kNewTextLabel = u"新文字列";
inline constexpr std::u16string_view kRenameActionLabel = u"リネームアクション";
inline constexpr std::u16string_view kReplaceRenameActionLabel = u"置換リネームアクション";
inline constexpr std::u16string_view kRegisterSettingButton = u"設定を登録";
inline constexpr std::u16string_view kReleaseSettingButton = u"設定を解除";
inline constexpr std::u16string_view kTakeSettingButton = u"設定を取得";

// The action combos: the key name, and the description of the fixed copy.
inline constexpr std::u16string_view kRenameActionFollows = u"%s : 現在のリネーム設定に準ずる";
inline constexpr std::u16string_view kReplaceRenameActionFollows = u"%s : 現在の置換リネーム設定に準ずる";
inline constexpr std::u16string_view kRenameActionFixed = u"%s : (固定設定)　%s";

// The registration dialog's "現在のリネーム設定で固定する" box: ticking it
// takes the current settings (shown as "%s") for the action, unticking
// drops what the action had.
inline constexpr std::u16string_view kFixRenameQuestion =
    u"現在のリネーム設定 : %s を\n以後このアクションの固定のパラメータとして適用します。\n\nよろしいですか？";
inline constexpr std::u16string_view kFixReplaceQuestion =
    u"現在の置換リネーム設定 : %s\nを以後このアクションの固定のパラメータとして適用します。\n\nよろしいですか？";
inline constexpr std::u16string_view kUnfixRenameQuestion =
    u"このアクションに固定パラメータとして設定されていたリネーム設定を破棄し解除します。\nよろしいですか？";
inline constexpr std::u16string_view kUnfixReplaceQuestion =
    u"このアクションに固定パラメータとして設定されていた置換リネーム設定を破棄し解除します。\nよろしいですか？";

// The questions of the page's buttons; "%s" is the description shown.
inline constexpr std::u16string_view kRegisterRenameQuestion =
    u"現在のリネーム設定をアクションに登録します。\n\nリネーム設定 : [ %s ] \nをアクションに登録します。\n\nよろしいですか？";
inline constexpr std::u16string_view kOverwriteRenameQuestion =
    u"現在のリネーム設定をアクションに上書き登録します。\n\nリネーム設定 : [ %s ] \nをアクションに登録します。\n\nよろしいですか？";
inline constexpr std::u16string_view kRegisterReplaceQuestion =
    u"現在の置換リネーム設定をアクションに登録します。\n\n置換リネーム設定 : [ %s ] \nをアクションに登録します。\n\nよろしいですか？";
// (the overwrite question of replace-rename begins as the rename one does)
inline constexpr std::u16string_view kOverwriteReplaceQuestion =
    u"現在のリネーム設定をアクションに上書き登録します。\n\n置換リネーム設定 : [ %s ] \nをアクションに登録します。\n\nよろしいですか？";
// Taking a fixed copy over asks this for either kind.
inline constexpr std::u16string_view kTakeRenameQuestion =
    u"アクションに登録されているリネーム設定を取得します。\n\nリネーム設定 : [ %s ] \nを現在の設定に上書きします。\n\nよろしいですか？";
inline constexpr std::u16string_view kReleaseRenameQuestion =
    u"アクションに登録されているリネーム設定を解除します。\n\nリネーム設定 : [ %s ] \nを解除します。\n\nよろしいですか？";
inline constexpr std::u16string_view kReleaseReplaceQuestion =
    u"アクションに登録されている置換リネーム設定を解除します。\n\n置換リネーム設定 : [ %s ] \nを解除します。\n\nよろしいですか？";

// ---- The first-use question --------------------------------------------------------------------
inline constexpr std::u16string_view kAskChanged =
    u"%s　[ %s ]　アクションの内容が変更されています。\n%s%s\nアクションを実行してもよろしいですか？  \n\n%s";
inline constexpr std::u16string_view kAskPressed =
    u"%s　[ %s ]　アクションが押されました。\n%s%s\nアクションを実行してもよろしいですか？  \n\n%s";
inline constexpr std::u16string_view kAskFunction = u"指定動作 [ %s ]\n";
inline constexpr std::u16string_view kAskApplication = u"転送先アプリケーションは　[ %s ]　です。\n";
inline constexpr std::u16string_view kAskCopy = u"コピー先フォルダは　[ %s ]　です。\n";
inline constexpr std::u16string_view kAskCopyAtRunTime = u"コピー先フォルダは　[ %s ]　です。　(実行時に変更可)\n";
inline constexpr std::u16string_view kAskMove = u"移動先フォルダは　[ %s ]　です。\n";
inline constexpr std::u16string_view kAskMoveAtRunTime = u"移動先フォルダは　[ %s ]　です。　(実行時に変更可)\n";
inline constexpr std::u16string_view kAskSave = u"保存先フォルダは　[ %s ]　です。\n";
inline constexpr std::u16string_view kAskSaveAtRunTime = u"保存先フォルダは　[ %s ]　です。　(実行時に変更可)\n";
inline constexpr std::u16string_view kAskRename = u"リネーム設定 : [ %s ]\n";
inline constexpr std::u16string_view kAskReplaceRename = u"置換リネーム設定 : ファイル名にある%sします。\n";
inline constexpr std::u16string_view kAskComment = u"コメント ： %s\n";
inline constexpr std::u16string_view kAskSameNameJpeg =
    u"アクション対象のファイルが RAWデータ であった場合\nリスト中の同名の Jpgファイル に対しても　[ %s ]　が適用されます。\n\n";
inline constexpr std::u16string_view kSkipFromNowOn = u"※以後この表示はスキップされます。（表示設定で変更可）";
inline constexpr std::u16string_view kSkipAfterRun = u"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）";

} // namespace qlx::actions::messages
