#include "library/collection.h"
#include "library/collection_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/test_paths.h"

namespace qlx::library {
namespace {

std::vector<std::byte> bytesOf(std::string_view raw)
{
    const auto* first = reinterpret_cast<const std::byte*>(raw.data());
    return {first, first + raw.size()};
}

TEST(CollectionFile, TextIsUtf16LittleEndianEndedByOneZero)
{
    const std::pair<std::u16string_view, std::string_view> stored[] = {
        {u"/a/1.jpg\n/b/2.cr2\n", {"/\0a\0/\0001\0.\0j\0p\0g\0\n\0/\0b\0/\0002\0.\0c\0r\0002\0\n\0\0\0", 38}},
        {u"写", {"\x99\x51\0\0", 4}}, // the low byte first
        {u"", {}},                     // an empty collection is an empty file
    };
    for (const auto& [text, bytes] : stored) {
        EXPECT_EQ(encodeCollectionText(text), bytesOf(bytes));
        EXPECT_EQ(decodeCollectionText(bytesOf(bytes)), text);
    }
    // Other files are read as they stand: the text ends at the first zero
    // character, an odd last byte is no unit, a file without the zero is read
    // whole, unpaired surrogates and stray bytes stay units.
    const std::pair<std::string_view, std::u16string_view> odd[] = {
        {{"\0\0", 2}, u""},
        {{"a\0b\0\0\0c\0", 8}, u"ab"},
        {{"a\0b", 3}, u"a"},
        {{"a\0\n\0", 4}, u"a\n"},
        {{"\x00\xD8\xff\xfe", 4}, u"\xD800\xFEFF"},
    };
    for (const auto& [bytes, text] : odd)
        EXPECT_EQ(decodeCollectionText(bytesOf(bytes)), text);
}

TEST(CollectionFile, WrittenFileReadsBack)
{
    test::TempDir temp;
    const auto file = temp.path() / "写真.co";
    ASSERT_TRUE(writeCollectionFile(file, u"/a/1.jpg\n"));
    EXPECT_EQ(std::filesystem::file_size(file), 20u);
    const auto read = readCollectionFile(file);
    EXPECT_EQ(read.status, CollectionReadStatus::Read);
    EXPECT_EQ(read.text, u"/a/1.jpg\n");
    EXPECT_EQ(readCollectionFile(temp.path() / "missing.co").status, CollectionReadStatus::Unreadable);
}

TEST(CollectionFile, NamesOfFiles)
{
    EXPECT_EQ(collectionNameOfFile("旅行.co"), std::optional<std::u16string>(u"旅行"));
    EXPECT_EQ(collectionNameOfFile("a.b.co"), std::optional<std::u16string>(u"a.b"));
    EXPECT_FALSE(collectionNameOfFile(".co"));
    EXPECT_FALSE(collectionNameOfFile("a.cof"));
    EXPECT_FALSE(collectionNameOfFile("a.CO"));
    EXPECT_FALSE(collectionNameOfFile("\xff.co"));
    EXPECT_EQ(collectionFileName(u"旅行"), std::optional<std::filesystem::path>("旅行.co"));
    EXPECT_FALSE(collectionFileName(u"a/b"));
}

TEST(Collection, OverlongAndEmptyLinesStayInTheTextButAreNotListed)
{
    const std::u16string fits = u"/" + std::u16string(254, u'x') + u".jpg";  // 259 units
    const std::u16string tooLong = u"/" + std::u16string(255, u'x') + u".jpg"; // 260 units
    const std::u16string text = tooLong + u"\n\n" + fits + u"\n";
    Collection collection(u"c", text);
    EXPECT_EQ(collection.lines().size(), 3u);
    EXPECT_EQ(collection.listedPaths(), std::vector<std::u16string_view>{fits});
    EXPECT_EQ(collection.text(), text);
    EXPECT_EQ(collection.textLength(), text.size());
}

TEST(Collection, AppendSkipsTheSamePathAndRefusesWhatALineCannotHold)
{
    Collection collection(u"c", u"/b/a/1.jpg\n/a/IMG_1.JPG\n");
    EXPECT_EQ(collection.append(u"/a/IMG_1.JPG"), AppendResult::AlreadyListed);
    // Another letter case is another file on Linux.
    EXPECT_EQ(collection.append(u"/a/img_1.jpg"), AppendResult::Appended);
    // A path that is part of a longer listed path is a different file.
    EXPECT_EQ(collection.append(u"/a/1.jpg"), AppendResult::Appended);
    EXPECT_EQ(collection.append(u"/a/1.jpg"), AppendResult::AlreadyListed);
    EXPECT_EQ(collection.append(u""), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(u"/a/x\n.jpg"), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(std::u16string(u"/a/x\0.jpg", 9)), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(u"/" + std::u16string(259, u'x')), AppendResult::InvalidPath);
    EXPECT_EQ(collection.text(), u"/b/a/1.jpg\n/a/IMG_1.JPG\n/a/img_1.jpg\n/a/1.jpg\n");
}

TEST(Collection, RemoveTakesEveryLineOfThatPathOnly)
{
    Collection collection(u"c", u"/a/1.jpg\n/a/2.jpg\n/A/1.JPG\n/a/1.jpg\n/b/a/1.jpg\n");
    const std::vector<std::u16string> gone{u"/a/1.jpg"};
    EXPECT_EQ(collection.remove(gone), 2u);
    EXPECT_EQ(collection.text(), u"/a/2.jpg\n/A/1.JPG\n/b/a/1.jpg\n");
    EXPECT_EQ(collection.textLength(), collection.text().size());
    EXPECT_EQ(collection.remove(gone), 0u);
}

} // namespace
} // namespace qlx::library
