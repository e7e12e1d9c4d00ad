#include "library/collection_path.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qlx::library {
namespace {

// The folder pane's test; collections compare paths exactly.
TEST(CollectionPath, SamePathIgnoresCaseButNotLength)
{
    const std::tuple<std::u16string_view, std::u16string_view, bool> cases[] = {
        {u"/Photos/IMG_0001.JPG", u"/photos/img_0001.jpg", true},
        {u"/A.JPG", u"/a.jpg", true}, // eight units or fewer: no quick check
        {u"/写真/Äpfel/ＤＳＣ.jpg", u"/写真/äpfel/ｄｓｃ.JPG", true},
        {u"/a/1.jpg", u"/a/1.jpeg", false},
        {u"/a/1.jpg", u"/a/1.jpg ", false},
        {u"", u"", true},
        {u"/x/\xD800.jpg", u"/x/\xD800.JPG", true},
        {u"/x/\xD800.jpg", u"/x/\xDC00.jpg", false},
        // Different in the last eight units: rejected by the quick check.
        {u"/a/b/c/IMG_0001.JPG", u"/a/b/c/IMG_0002.JPG", false},
        // Same last eight units, different earlier: the full comparison decides.
        {u"/x/b/c/IMG_0001.JPG", u"/y/b/c/IMG_0001.JPG", false},
        {u"/X/b/c/IMG_0001.JPG", u"/x/B/C/img_0001.jpg", true},
        // Twelve units: the eight-unit window begins inside the surrogate pair
        // (U+10400 folds to U+10428), which is still compared whole.
        {u"/x/\U00010400" u"1234567", u"/x/\U00010428" u"1234567", true},
        {u"/x/\U00010400" u"1234567", u"/x/\U00010401" u"1234567", false},
    };
    for (const auto& [a, b, same] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::u16string(a)) + " " + ::testing::PrintToString(std::u16string(b)));
        EXPECT_EQ(samePath(a, b), same);
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
