// Cache file names: folders and collections to names and back, the cache
// directory, and names too long for a Linux file name.

#include "cache/cache_name.h"

#include <gtest/gtest.h>

namespace qlx::cache {
namespace {

TEST(CacheName, FolderSeparatorsBecomeFullWidthYenSignsAndCollectionsGetLib)
{
    const struct {
        std::u16string_view text;
        bool isCollection;
        std::u16string_view name;
    } names[] = {
        {u"/home/a/Photos", false, u"\uFFE5home\uFFE5a\uFFE5Photos.cac"},
        {u"/home/a/写真/2024", false, u"￥home￥a￥写真￥2024.cac"},
        {u"/", false, u"￥.cac"},
        // Trailing separators do not make a second cache.
        {u"/home/a///", false, u"￥home￥a.cac"},
        {u"///", false, u"￥.cac"},
        // No drive letters here: colons and backslashes are parts of names.
        {u"/a:b/c", false, u"￥a:b￥c.cac"},
        {u"/back\\slash", false, u"￥back\\slash.cac"},
        {u"旅行", true, u"Lib\uFF1A旅行.cac"},
        {u"検索結果 2024/05", true, u"Lib：検索結果 2024￥05.cac"},
    };
    for (std::size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(cacheFileName(names[i].text, names[i].isCollection), names[i].name) << i;
        EXPECT_EQ(isCollectionCacheName(names[i].name), names[i].isCollection) << i;
        EXPECT_EQ(isFolderCacheName(names[i].name), !names[i].isCollection) << i;
    }
    for (const std::u16string_view other : {u"Lib:旅行.cac", u"notes.cac", u"￥home￥a.cac.bak", u".cac"})
        EXPECT_FALSE(isCollectionCacheName(other) || isFolderCacheName(other));
    // Names turn back into folders in the cache directory's listing; a yen
    // sign of the folder's own name comes back as a separator.
    EXPECT_EQ(folderFromCacheFileName(cacheFileName(u"/a/￥b", false)), u"/a//b");
}

TEST(CacheName, DirectoryHeaderTextAndUtf8Paths)
{
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"data/ユーザー"), "/opt/qlx/data/ユーザー/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"/home/a/.qlx/"), "/home/a/.qlx/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u""), "/opt/qlx/cache");
    EXPECT_EQ(folderHeaderText(u"/home/a//"), u"/home/a/");
    EXPECT_EQ(folderHeaderText(u"/"), u"/");
    EXPECT_EQ(pathFromUtf16(u"/写真").native(), "/\xE5\x86\x99\xE7\x9C\x9F");
    EXPECT_EQ(utf16FromFileName("\xEF\xBF\xA5" "a.cac"), u"￥a.cac");
}

TEST(CacheName, FileNamesLongerThanLinuxAllowsHaveNoCache)
{
    // The yen sign's 3 bytes, 248 letters and ".cac": 255, the longest name.
    const auto path = cacheFilePath("/c", u"￥" + std::u16string(248, u'a') + u".cac");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->filename().native().size(), 255u);
    EXPECT_EQ(path->parent_path(), "/c");
    EXPECT_FALSE(cacheFilePath("/c", u"￥" + std::u16string(249, u'a') + u".cac"));
    // Japanese names take three bytes a character.
    EXPECT_TRUE(cacheFilePath("/c", std::u16string(83, u'写') + u".cac"));
    EXPECT_FALSE(cacheFilePath("/c", std::u16string(84, u'写') + u".cac"));
    EXPECT_FALSE(cacheFilePath("/c", u""));
    EXPECT_FALSE(cacheFilePath("/c", std::u16string(u"a\0b.cac", 7)));
}

} // namespace
} // namespace qlx::cache
