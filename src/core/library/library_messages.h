#pragma once
// Texts of the collections, kept in one place. "%s" and "%d" are filled in
// by the functions below; "\n" is a line break.

#include "shell/shell_messages.h"

#include <string>
#include <string_view>

namespace qlx::library::messages {

// Names of search results begin with this; the N-th is "検索結果N".
inline constexpr std::u16string_view kSearchResultPrefix = u"検索結果";

// The collection-name dialog.
inline constexpr std::u16string_view kNewCollectionTitle = u"新規コレクション作成";
inline constexpr std::u16string_view kRenameCollectionTitle = u"コレクション名変更";
inline constexpr std::u16string_view kNewCollectionDefaultName = u"コレクション";

// Asked before a collection is deleted (Yes/No).
inline constexpr std::u16string_view kDeleteCollectionQuestion =
    u"コレクション[ %s ]を削除します。\n\n削除してよろしいですか？";
// Deleting all search results when there are none.
inline constexpr std::u16string_view kNoSearchResultsToDelete = u"削除該当の項目はありません。";
// Asked before all search results are deleted (Yes/No, No the default).
inline constexpr std::u16string_view kDeleteSearchResultsQuestion =
    u"検索結果 %d項目を一括削除します。\n\n削除してよろしいですか？";

inline std::u16string deleteCollectionQuestion(std::u16string_view name)
{
    return shell::messages::fillText(kDeleteCollectionQuestion, u"%s", name);
}

inline std::u16string deleteSearchResultsQuestion(std::size_t count)
{
    return shell::messages::fillText(kDeleteSearchResultsQuestion, u"%d", shell::messages::numberText(count));
}

} // namespace qlx::library::messages

namespace qlx::library {
// The store names search results with kSearchResultPrefix and finds them by
// it; the library's code names these texts without the namespace.
using namespace messages;
} // namespace qlx::library
