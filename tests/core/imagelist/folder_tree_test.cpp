// The folder tree's rules: tree paths from the two top-level items, the
// plain form of a folder, names a folder may take, and the pane width.

#include "imagelist/folder_tree.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace qlx::imagelist {
namespace {

using Path = std::vector<std::u16string>;

TEST(FolderTree, PlainFormOfAFolder)
{
    EXPECT_EQ(normalFolderPath(u"/home/a/"), u"/home/a");
    EXPECT_EQ(normalFolderPath(u"//home//a/./b/../c"), u"/home/a/c");
    EXPECT_EQ(normalFolderPath(u"/"), u"/");
    EXPECT_EQ(normalFolderPath(u"/.."), u"/");
    EXPECT_FALSE(normalFolderPath(u"home/a"));
    EXPECT_FALSE(normalFolderPath(u""));
}

// Folders inside the home folder go through its item, others through "/";
// deep paths on either side are walked in the folder pane's own test.
TEST(FolderTree, TreePathsFromTheTwoTopLevelItems)
{
    const std::tuple<std::u16string_view, std::u16string_view, std::optional<Path>> cases[] = {
        {u"/home/alice", u"/home/alice", Path{u"alice"}},
        {u"/", u"/home/alice", Path{u"/"}},
        // A sibling whose name begins like the home folder is not inside it.
        {u"/home/alice2/x", u"/home/alice", Path{u"/", u"home", u"alice2", u"x"}},
        // Without a home folder of its own, everything is below "/".
        {u"/root/x", u"/", Path{u"/", u"root", u"x"}},
        {u"photos/2024", u"/home/alice", std::nullopt},
        {u"", u"/home/alice", std::nullopt},
    };
    for (const auto& [folder, home, path] : cases)
        EXPECT_EQ(treePath(folder, home), path) << ::testing::PrintToString(std::u16string(folder));
    EXPECT_EQ(homeLabel(u"/home/alice"), u"alice");
    EXPECT_EQ(homeLabel(u"/"), u"");
}

TEST(FolderTree, TopLevelFoldersAndInsideness)
{
    EXPECT_TRUE(isTreeRoot(u"/", u"/home/alice"));
    EXPECT_TRUE(isTreeRoot(u"/home/alice/", u"/home/alice"));
    EXPECT_FALSE(isTreeRoot(u"/home", u"/home/alice"));
    EXPECT_FALSE(isTreeRoot(u"relative", u"/home/alice"));
    EXPECT_TRUE(isSameOrInside(u"/a/b", u"/a"));
    EXPECT_TRUE(isSameOrInside(u"/a", u"/a"));
    EXPECT_FALSE(isSameOrInside(u"/ab", u"/a"));
    EXPECT_TRUE(isSameOrInside(u"/a", u"/"));
}

TEST(FolderTree, FolderNames)
{
    EXPECT_EQ(checkFolderName(u"2024 旅行"), FolderNameCheck::Valid);
    EXPECT_EQ(checkFolderName(u""), FolderNameCheck::Empty);
    EXPECT_EQ(checkFolderName(u".."), FolderNameCheck::DotName);
    EXPECT_EQ(checkFolderName(u"a:b"), FolderNameCheck::Forbidden);
    EXPECT_EQ(checkFolderName(u"a\nb"), FolderNameCheck::Forbidden);
    EXPECT_EQ(checkFolderName(std::u16string(1, char16_t{0xD800})), FolderNameCheck::Forbidden);
    EXPECT_EQ(checkFolderName(std::u16string(255, u'a')), FolderNameCheck::Valid);
    // 86 characters of three bytes each: 258 bytes.
    EXPECT_EQ(checkFolderName(std::u16string(86, u'写')), FolderNameCheck::TooLong);
    // Renaming and going up inside "/" are the folder pane's test; at the top:
    EXPECT_EQ(renamedFolderPath(u"/c", u"d"), u"/d");
    EXPECT_EQ(parentFolderPath(u"/a"), u"/");
}

// The unset width and a drag past either end are the folder pane's own test;
// here a stored width below the least, a window narrower than it and no
// window at all.
TEST(FolderTree, PaneWidth)
{
    EXPECT_EQ(storedFolderPaneWidth(10), 64);
    EXPECT_EQ(clampFolderPaneWidth(300, 100), 64);
    EXPECT_EQ(clampFolderPaneWidth(5000, 0), 5000);
}

} // namespace
} // namespace qlx::imagelist
