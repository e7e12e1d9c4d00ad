#pragma once
// Texts of the collection commands, kept in one place. "%s" and "%d" are
// filled in by the functions below; "\n" is a line break.

#include <string>
#include <string_view>

namespace qlx::library {

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

inline std::u16string fillPlaceholder(std::u16string_view text, std::u16string_view placeholder,
                                      std::u16string_view value)
{
    std::u16string filled(text);
    const std::size_t at = filled.find(placeholder);
    if (at != std::u16string::npos)
        filled.replace(at, placeholder.size(), value);
    return filled;
}

inline std::u16string deleteCollectionQuestion(std::u16string_view name)
{
    return fillPlaceholder(kDeleteCollectionQuestion, u"%s", name);
}

inline std::u16string deleteSearchResultsQuestion(std::size_t count)
{
    std::u16string number;
    for (const char c : std::to_string(count))
        number.push_back(static_cast<char16_t>(c));
    return fillPlaceholder(kDeleteSearchResultsQuestion, u"%d", number);
}

} // namespace qlx::library
