#include "library/collection_path.h"

#include <gtest/gtest.h>

namespace qlx::library {
namespace {

TEST(CollectionPath, SamePathIgnoresCaseButNotLength)
{
    EXPECT_TRUE(samePath(u"/Photos/IMG_0001.JPG", u"/photos/img_0001.jpg"));
    EXPECT_TRUE(samePath(u"/A.JPG", u"/a.jpg")); // eight units or fewer: no quick check
    EXPECT_TRUE(samePath(u"/写真/Äpfel/ＤＳＣ.jpg", u"/写真/äpfel/ｄｓｃ.JPG"));
    EXPECT_FALSE(samePath(u"/a/1.jpg", u"/a/1.jpeg"));
    EXPECT_FALSE(samePath(u"/a/1.jpg", u"/a/1.jpg "));
    EXPECT_TRUE(samePath(u"", u""));
}

TEST(CollectionPath, QuickCheckOfTheLastEightUnits)
{
    // Different in the last eight units: rejected by the quick check.
    EXPECT_FALSE(samePath(u"/a/b/c/IMG_0001.JPG", u"/a/b/c/IMG_0002.JPG"));
    // Same last eight units, different earlier: the full comparison decides.
    EXPECT_FALSE(samePath(u"/x/b/c/IMG_0001.JPG", u"/y/b/c/IMG_0001.JPG"));
    EXPECT_TRUE(samePath(u"/X/b/c/IMG_0001.JPG", u"/x/B/C/img_0001.jpg"));
    // The eight-unit window begins inside a surrogate pair (U+10400 folds to
    // U+10428): the pair is still compared whole.
    const std::u16string upper = u"/x/\U00010400" u"1234567";
    const std::u16string lower = u"/x/\U00010428" u"1234567";
    ASSERT_EQ(upper.size(), 12u);
    EXPECT_TRUE(samePath(upper, lower));
    EXPECT_FALSE(samePath(upper, u"/x/\U00010401" u"1234567"));
}

TEST(CollectionPath, PathKeyAgreesWithSamePath)
{
    const std::u16string paths[] = {u"/a/IMG.JPG", u"/a/img.jpg", u"/a/img.jpeg", u"/b/img.jpg",
                                    u"/x/\U00010400.jpg", u"/x/\U00010428.JPG", u"/x/\xD800.jpg"};
    for (const auto& a : paths) {
        for (const auto& b : paths)
            EXPECT_EQ(samePath(a, b), pathKey(a) == pathKey(b));
    }
}

TEST(CollectionPath, StrictUtf8)
{
    EXPECT_EQ(utf16ToUtf8(u"写真/ü/\U0001F600"), std::optional<std::string>("写真/ü/😀"));
    EXPECT_EQ(utf8ToUtf16("写真/ü/😀"), std::optional<std::u16string>(u"写真/ü/\U0001F600"));
    EXPECT_FALSE(utf16ToUtf8(std::u16string(1, char16_t{0xD800})));
    EXPECT_FALSE(utf16ToUtf8(std::u16string(1, char16_t{0xDC00}) + u"a"));
    for (const std::string_view bad : {"\xff", "\xc0\xaf", "\xed\xa0\x80", "\xe3\x81", "\xf4\x90\x80\x80", "a\x80"})
        EXPECT_FALSE(utf8ToUtf16(bad)) << bad;
    EXPECT_FALSE(toFilePath(std::u16string(u"/a\0b", 4)));
}

TEST(CollectionPath, CollectionDirectoryFollowsTheUserFolder)
{
    EXPECT_EQ(collectionDirectory("/opt/qlx", u"./user"), std::filesystem::path("/opt/qlx/user/collection"));
    EXPECT_EQ(collectionDirectory("/opt/qlx", u"データ"), std::filesystem::path("/opt/qlx/データ/collection"));
    EXPECT_EQ(collectionDirectory("/opt/qlx", u"/home/me/qlx"), std::filesystem::path("/home/me/qlx/collection"));
    EXPECT_FALSE(collectionDirectory("/opt/qlx", std::u16string(1, char16_t{0xD800})));
}

} // namespace
} // namespace qlx::library
