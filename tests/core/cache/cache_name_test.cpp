#include "cache/cache_name.h"

#include <gtest/gtest.h>

namespace qlx::cache {
namespace {

TEST(CacheName, FolderSeparatorsBecomeFullWidthYenSigns)
{
    EXPECT_EQ(cacheFileName(u"/home/a/Photos", false), u"\uFFE5home\uFFE5a\uFFE5Photos.cac");
    EXPECT_EQ(cacheFileName(u"/home/a/Photos", false), u"￥home￥a￥Photos.cac");
    EXPECT_EQ(cacheFileName(u"/home/a/写真/2024", false), u"￥home￥a￥写真￥2024.cac");
    EXPECT_EQ(cacheFileName(u"/", false), u"￥.cac");
}

TEST(CacheName, TrailingSeparatorsDoNotMakeASecondCache)
{
    EXPECT_EQ(cacheFileName(u"/home/a/", false), cacheFileName(u"/home/a", false));
    EXPECT_EQ(cacheFileName(u"/home/a///", false), u"￥home￥a.cac");
    EXPECT_EQ(cacheFileName(u"///", false), u"￥.cac");
}

TEST(CacheName, ColonsAndBackslashesOfLinuxNamesStay)
{
    // No drive letters here: a colon is part of a folder name.
    EXPECT_EQ(cacheFileName(u"/a:b/c", false), u"￥a:b￥c.cac");
    EXPECT_EQ(cacheFileName(u"/:x", false), u"￥:x.cac");
    EXPECT_EQ(cacheFileName(u"/back\\slash", false), u"￥back\\slash.cac");
}

TEST(CacheName, CollectionsAreNamedLibWithAFullWidthColon)
{
    EXPECT_EQ(cacheFileName(u"旅行", true), u"Lib\uFF1A旅行.cac");
    EXPECT_EQ(cacheFileName(u"旅行", true), u"Lib：旅行.cac");
    EXPECT_EQ(cacheFileName(u"検索結果 2024/05", true), u"Lib：検索結果 2024￥05.cac");
    EXPECT_TRUE(isCollectionCacheName(u"Lib：旅行.cac"));
    EXPECT_FALSE(isCollectionCacheName(u"Lib:旅行.cac"));
    EXPECT_FALSE(isCollectionCacheName(u"￥home.cac"));
}

TEST(CacheName, FolderCachesAreToldByTheirLeadingYenSign)
{
    EXPECT_TRUE(isFolderCacheName(u"￥home￥a.cac"));
    EXPECT_TRUE(isFolderCacheName(u"￥.cac"));
    EXPECT_FALSE(isFolderCacheName(u"Lib：旅行.cac"));
    EXPECT_FALSE(isFolderCacheName(u"notes.cac"));
    EXPECT_FALSE(isFolderCacheName(u"￥home￥a.cac.bak"));
    EXPECT_FALSE(isFolderCacheName(u".cac"));
}

TEST(CacheName, FolderNamesTurnBackIntoPaths)
{
    for (const std::u16string_view folder : {u"/home/a/Photos", u"/home/a/写真/2024", u"/", u"/a:b"}) {
        const auto back = folderFromCacheFileName(cacheFileName(folder, false));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, folder);
    }
    EXPECT_FALSE(folderFromCacheFileName(u"Lib：旅行.cac"));
    EXPECT_FALSE(folderFromCacheFileName(u"README"));
    // A yen sign of the folder's own name comes back as a separator.
    EXPECT_EQ(folderFromCacheFileName(cacheFileName(u"/a/￥b", false)), u"/a//b");
}

TEST(CacheName, DirectoryFollowsTheUserFolderRule)
{
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"./user"), "/opt/qlx/user/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"data/ユーザー"), "/opt/qlx/data/ユーザー/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"/home/a/.qlx"), "/home/a/.qlx/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u"/home/a/.qlx/"), "/home/a/.qlx/cache");
    EXPECT_EQ(cacheDirectory("/opt/qlx", u""), "/opt/qlx/cache");
}

TEST(CacheName, FileNamesLongerThanLinuxAllowsHaveNoCache)
{
    // The yen sign's 3 bytes, 248 letters and ".cac": 255, the longest name.
    const std::u16string longest = u"￥" + std::u16string(248, u'a') + u".cac";
    const auto path = cacheFilePath("/c", longest);
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

TEST(CacheName, HeaderTextIsTheFolderWithOneSeparator)
{
    EXPECT_EQ(folderHeaderText(u"/home/a"), u"/home/a/");
    EXPECT_EQ(folderHeaderText(u"/home/a//"), u"/home/a/");
    EXPECT_EQ(folderHeaderText(u"/"), u"/");
}

TEST(CacheName, PathsConvertThroughUtf8)
{
    EXPECT_EQ(pathFromUtf16(u"/写真").native(), "/\xE5\x86\x99\xE7\x9C\x9F");
    EXPECT_EQ(utf16FromFileName("\xEF\xBF\xA5" "a.cac"), u"￥a.cac");
}

} // namespace
} // namespace qlx::cache
