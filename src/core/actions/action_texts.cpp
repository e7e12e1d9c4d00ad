#include "actions/action_texts.h"

#include "actions/action_kinds.h"
#include "actions/builtin_functions.h"
#include "actions/rename_settings.h"
#include "actions/settings_messages.h"

#include <algorithm>

namespace qlx::actions {
namespace {

namespace msg = messages;

std::u16string_view functionName(std::int32_t function)
{
    const BuiltinFunction* row = builtinFunction(function);
    return row ? row->name : std::u16string_view{};
}

std::u16string_view longKindName(std::int32_t kind)
{
    const ActionKindInfo* info = actionKind(kind);
    return info ? info->longName : std::u16string_view{};
}

// How the destination rules read in the help of a kind that writes into a
// folder; `verb` is what the kind does there.
std::u16string destinationRules(std::u16string_view verb)
{
    return fillIn(u"■フォルダの指定について\n"
                  u"フォルダの区切りは'/'です。\n"
                  u"・/photo/copy のように'/'で始まるパスは、そのフォルダ(絶対パス)に%sします。\n"
                  u"・photo/copy のように'/'で始まらないパスは、画像のあるフォルダの下の photo/copy フォルダに%sします。\n"
                  u"・../photo のように'..'で始めると、画像のあるフォルダと同じ階層の photo フォルダに%sします。\n"
                  u"フォルダが無い場合は作成するかどうかを確認します。\n"
                  u"先頭に'\\'は付けないでください。\n\n"
                  u"「フォルダパスをアクション実行時に設定」をチェックすると、アクションを実行するたびにフォルダを入力できます。",
                  {verb, verb, verb});
}

std::u16string_view kindIntroduction(std::int32_t kind)
{
    switch (kind) {
    case 0:
        return u"■復帰(UNDO)\n選択ファイルに対して最後に実行したアクションを可能な限り取り消し、元の状態に戻します。\n"
               u"削除とアプリケーション転送、キー割り当ては取り消せません。ゴミ箱に移動したファイルはゴミ箱に残っている間だけ戻せます。";
    case 1:
        return u"■キー割り当て\n「動作選択」で選んだ機能を対象キーに割り当てます。\n"
               u"よく使う機能を押しやすいキーやマウスのボタンで実行できます。";
    case 2:
        return u"■アプリケーション転送\n選択ファイルを指定したアプリケーションに渡して起動します。\n"
               u"参照ボタンで実行できるファイル(実行権のあるファイル)を選んでください。\n"
               u"「複数選択時は１つにまとめて転送」をチェックすると、選択した複数のファイルを１回の起動でまとめて渡します。";
    case 3:
        return u"■コピー\n選択ファイルを指定したフォルダにコピーします。\n\n";
    case 4:
        return u"■移動\n選択ファイルを指定したフォルダに移動します。\n\n";
    case 5:
        return u"■ゴミ箱\n選択ファイルをデスクトップのゴミ箱に移動します。\n"
               u"ゴミ箱に残っている間は復帰(UNDO)で元に戻せます。";
    case 6:
        return u"■削除\n選択ファイルをゴミ箱を使わずに完全に削除します。\n"
               u"削除したファイルは復帰(UNDO)できません。誤操作によるファイル喪失を防ぐため、ゴミ箱アクションのご使用をお勧めします。";
    case 7:
        return u"■RAW現像(TIFF保存)\n選択したRAWファイルを現像し、TIFFファイルとして指定したフォルダに保存します。元のファイルは変更しません。\n\n";
    case 8:
        return u"■RAW現像(JPEG保存)\n選択したRAWファイルを現像し、JPEGファイルとして指定したフォルダに保存します。元のファイルは変更しません。\n\n";
    case 9:
        return u"■サムネイル保存\n選択ファイルに埋め込まれているサムネイル画像を取り出し、指定したフォルダに保存します。\n\n";
    case 10:
        return u"■リネーム\n選択ファイルの名前をリネーム設定に従って変更します。\n"
               u"「現在のリネーム設定で固定する」をチェックすると、現在のリネーム設定をこのアクション専用の設定として保存します。";
    case 11:
        return u"■置換リネーム\n選択ファイルの名前にある文字列を、リネーム設定の置換文字列で置き換えます。\n"
               u"「現在のリネーム設定で固定する」をチェックすると、現在の置換文字列をこのアクション専用の設定として保存します。";
    case 12:
        return u"■ロスレス回転\n画面に表示している向きに合わせて、選択ファイルを回転します。\n"
               u"ファイルのExif情報にある向きを書き換えるため、画質は劣化しません。";
    default:
        return u"■アクションについて\n"
               u"アクションは、登録したキー(A～Z、0～9、マウスのホイールボタンと拡張ボタン)を押すだけで、"
               u"リストで選択したファイルや表示中の画像にコピー、移動、ゴミ箱、RAW現像などの操作を実行する機能です。\n"
               u"対象キーと動作を選び、動作に合わせてフォルダ、アプリケーションまたは機能を設定して「登録」を押してください。\n\n"
               u"■コメントについて\n"
               u"コメントはアクションの覚え書きです。アクションの一覧と、初回アクション時の確認ダイアログに表示されます。";
    }
}

// The kind's line of the first-use question; empty for the kinds without
// a destination.
std::u16string questionFirstLine(const ActionRecord& record, const settings::SettingsRecord& current)
{
    const bool atRunTime = record.pathAtRunTime();
    switch (record.kind()) {
    case 1:
        return fillIn(msg::kAskFunction, {functionName(record.function())});
    case 2:
        return fillIn(msg::kAskApplication, {record.path()});
    case 3:
        return fillIn(atRunTime ? msg::kAskCopyAtRunTime : msg::kAskCopy, {record.path()});
    case 4:
        return fillIn(atRunTime ? msg::kAskMoveAtRunTime : msg::kAskMove, {record.path()});
    case 7:
    case 8:
    case 9:
        return fillIn(atRunTime ? msg::kAskSaveAtRunTime : msg::kAskSave, {record.path()});
    case 10:
        return fillIn(msg::kAskRename, {renameDescription(record, current)});
    case 11:
        return fillIn(msg::kAskReplaceRename, {renameDescription(record, current)});
    default:
        return {};
    }
}

} // namespace

std::u16string fillIn(std::u16string_view pattern, std::initializer_list<std::u16string_view> values)
{
    std::u16string filled;
    filled.reserve(pattern.size());
    auto next = values.begin();
    std::size_t from = 0;
    while (from < pattern.size()) {
        const std::size_t at = pattern.find(u"%s", from);
        if (at == std::u16string_view::npos || next == values.end())
            break;
        filled.append(pattern.substr(from, at - from));
        filled.append(*next++);
        from = at + 2;
    }
    filled.append(pattern.substr(std::min(from, pattern.size())));
    return filled;
}

namespace {

std::u16string describeKind(std::int32_t kind, const RenameSettings& settings)
{
    if (kind == static_cast<std::int32_t>(ActionKind::ReplaceRename))
        return describeReplaceRename(settings);
    if (kind == static_cast<std::int32_t>(ActionKind::Rename))
        return describeRename(settings);
    return {};
}

} // namespace

std::u16string renameDescription(const ActionRecord& record, const settings::SettingsRecord& current)
{
    return describeKind(record.kind(), effectiveRenameSettings(record, current));
}

std::u16string actionDetailText(const ActionRecord& record, const settings::SettingsRecord& current)
{
    const std::int32_t kind = record.kind();
    const ActionKindInfo* info = actionKind(kind);
    if (!info || !isRegistrable(kind))
        return {};
    switch (info->destination) {
    case Destination::None:
        return std::u16string(info->fixedText);
    case Destination::Function:
        return std::u16string(functionName(record.function()));
    case Destination::Application:
        return record.path();
    case Destination::Folder:
        return record.pathAtRunTime() ? fillIn(msg::kAtRunTimeDetail, {record.path()}) : record.path();
    case Destination::RenameSetting:
        if (record.renameFixed())
            return fillIn(msg::kFixedRenameDetail, {renameDescription(record, current)});
        return kind == static_cast<std::int32_t>(ActionKind::Rename)
                   ? fillIn(msg::kRenameDetail, {renameDescription(record, current)})
                   : renameDescription(record, current);
    }
    return {};
}

std::u16string registrationCaption(std::int32_t key, std::int32_t kind, std::u16string_view path,
                                   std::int32_t function)
{
    if (targetKeyName(key).empty())
        return std::u16string(msg::kCaptionNoKey);
    if (!isRegistrable(kind))
        return std::u16string(msg::kCaptionNoKind);
    const ActionKindInfo& info = *actionKind(kind);
    const std::u16string sentence =
        fillIn(info.caption, {info.destination == Destination::Function ? functionName(function) : path});
    return fillIn(msg::kCaptionJoin, {targetKeyName(key), sentence});
}

std::u16string actionHelpText(std::int32_t kind)
{
    std::u16string help(kindIntroduction(kind));
    switch (kind) {
    case 3:
        return help + destinationRules(u"コピー");
    case 4:
        return help + destinationRules(u"移動");
    case 7:
    case 8:
    case 9:
        return help + destinationRules(u"保存");
    default:
        return help;
    }
}

std::u16string runTimePathCaption(const ActionRecord& record)
{
    const std::int32_t kind = record.kind();
    const std::u16string_view phrase = kind == 3   ? msg::kRunTimeCopyPhrase
                                       : kind == 4 ? msg::kRunTimeMovePhrase
                                                   : msg::kRunTimeSavePhrase;
    return fillIn(msg::kRunTimePathCaption, {targetKeyName(record.key()), longKindName(kind), phrase});
}

std::u16string firstUseQuestion(const ActionRecord& record, const settings::SettingsRecord& current, KeyState state,
                                bool reaskAfterCancel)
{
    const std::u16string comment = record.comment();
    const std::u16string commentLine = comment.empty() ? std::u16string() : fillIn(msg::kAskComment, {comment});
    const std::u16string_view kindName = longKindName(record.kind());
    const std::u16string sameNameLine =
        record.sameNameJpeg() ? fillIn(msg::kAskSameNameJpeg, {kindName}) : std::u16string();
    const std::u16string_view pattern = state == KeyState::Changed ? msg::kAskChanged : msg::kAskPressed;
    return fillIn(pattern, {targetKeyName(record.key()), kindName, commentLine, questionFirstLine(record, current), sameNameLine})
           + std::u16string(reaskAfterCancel ? msg::kSkipAfterRun : msg::kSkipFromNowOn);
}

} // namespace qlx::actions
