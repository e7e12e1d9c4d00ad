#include "actions/action_kinds.h"

#include "actions/actions_messages.h"

namespace qlx::actions {
namespace {

using D = Destination;
using U = UndoMark;
using C = ColourClass;

} // namespace

const std::array<ActionKindInfo, 15> kActionKinds{{
    {messages::kKindShortNames[0], u"復帰(UNDO)", D::None, false, U::Never, C::None, u"-", u"最後のアクションを取消し",
     u"選択ファイルに対して実行した最後のアクションを可能な限り取り消します。"},
    {messages::kKindShortNames[1], u"キー割り当て", D::Function, false, U::Never, C::None, u"動作選択", u"",
     u"　[ %s ]　を実行します。"},
    {messages::kKindShortNames[2], u"アプリーケーション転送", D::Application, false, U::Never, C::None, u"対象アプリケーション", u"",
     u"アプリケーション　[ %s ]　にファイルを転送します。"},
    {messages::kKindShortNames[3], u"コピー", D::Folder, true, U::Undoable, C::Copy, u"コピー先フォルダ", u"",
     u"フォルダ　[ %s ]　に選択ファイルをコピーします。"},
    {messages::kKindShortNames[4], u"移動", D::Folder, true, U::Undoable, C::Move, u"移動先フォルダ", u"",
     u"フォルダ　[ %s ]　に選択ファイルを移動します。"},
    {messages::kKindShortNames[5], u"ゴミ箱", D::None, false, U::WhileInTrash, C::DeleteAndTrash, u"-", u"ゴミ箱に移動",
     u"選択ファイルをゴミ箱に移動します。"},
    {messages::kKindShortNames[6], u"削除", D::None, false, U::Never, C::DeleteAndTrash, u"-", u"ファイル削除 ※復帰(UNDO)不可",
     u"選択ファイルを完全に削除します。※削除したファイルは復帰(UNDO)できません。"},
    {messages::kKindShortNames[7], u"RAW現像(TIFF保存)", D::Folder, true, U::Undoable, C::DevelopTiff, u"保存先フォルダ", u"",
     u"選択ファイルをTIFFフォーマットに現像しフォルダ　[ %s ]　に保存します。"},
    {messages::kKindShortNames[8], u"RAW現像(JPEG保存)", D::Folder, true, U::Undoable, C::DevelopJpeg, u"保存先フォルダ", u"",
     u"選択ファイルをJPEGフォーマットに現像しフォルダ　[ %s ]　に保存します。"},
    {messages::kKindShortNames[9], u"サムネイル保存", D::Folder, true, U::Undoable, C::ThumbnailSave, u"保存先フォルダ", u"",
     u"選択ファイルのサムネイル画像をフォルダ　[ %s ]　に保存します。"},
    {messages::kKindShortNames[10], u"リネーム", D::RenameSetting, false, U::Undoable, C::Rename, u"-", u"",
     u"選択ファイルに対してリネームを実行します。"},
    {messages::kKindShortNames[11], u"置換リネーム", D::RenameSetting, false, U::Undoable, C::Rename, u"-", u"",
     u"選択ファイルに対して置換リネーム実行します。"},
    {messages::kKindShortNames[12], u"ロスレス回転", D::None, false, U::Undoable, C::LosslessRotation, u"-",
     u"現在の向きでロスレス(劣化無し)回転", u"選択ファイルに対して現在の表示方向でロスレス回転を実行します。"},
    // Made by the media distribution and the folder merge, never registered.
    {messages::kKindShortNames[13], u"振分け移動", D::None, false, U::Undoable, C::None, u"-", u"", u""},
    {messages::kKindShortNames[14], u"フォルダ統合", D::None, false, U::Never, C::None, u"-", u"", u""},
}};

static_assert(messages::kKindShortNames.size() == 15);

const ActionKindInfo* actionKind(std::int32_t kind)
{
    if (kind < 0 || static_cast<std::size_t>(kind) >= kActionKinds.size())
        return nullptr;
    return &kActionKinds[static_cast<std::size_t>(kind)];
}

bool isRegistrable(std::int32_t kind)
{
    return kind >= 0 && kind < kRegistrableKinds;
}

std::u16string_view undoMarkText(UndoMark mark)
{
    switch (mark) {
    case UndoMark::Undoable:
        return u"◎";
    case UndoMark::WhileInTrash:
        return u"△";
    case UndoMark::Never:
        return u"×";
    }
    return u"×";
}

} // namespace qlx::actions
