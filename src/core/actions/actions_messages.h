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

} // namespace qlx::actions::messages
