#include "library/collection.h"
#include "library/collection_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/test_paths.h"

namespace qlx::library {
namespace {

std::vector<std::byte> bytesOf(std::string_view raw)
{
    std::vector<std::byte> bytes;
    for (const char c : raw)
        bytes.push_back(static_cast<std::byte>(c));
    return bytes;
}

TEST(CollectionFile, TwoPathsAreUtf16LittleEndianWithLineFeedsAndOneZero)
{
    const auto bytes = encodeCollectionText(u"/a/1.jpg\n/b/2.cr2\n");
    const std::string_view expected("/\0a\0/\0001\0.\0j\0p\0g\0\n\0/\0b\0/\0002\0.\0c\0r\0002\0\n\0\0\0", 38);
    EXPECT_EQ(bytes, bytesOf(expected));
    EXPECT_EQ(decodeCollectionText(bytes), u"/a/1.jpg\n/b/2.cr2\n");
    // Non-ASCII units keep their low byte first.
    EXPECT_EQ(encodeCollectionText(u"写"), bytesOf(std::string_view("\x99\x51\0\0", 4)));
}

TEST(CollectionFile, EmptyCollectionIsAnEmptyFile)
{
    EXPECT_TRUE(encodeCollectionText(u"").empty());
    EXPECT_EQ(decodeCollectionText({}), u"");
    EXPECT_EQ(decodeCollectionText(bytesOf(std::string_view("\0\0", 2))), u"");
}

TEST(CollectionFile, OddBytesAreReadAsTheyStand)
{
    // Text ends at the first zero character; an odd last byte is no unit;
    // a file without the zero is read whole.
    EXPECT_EQ(decodeCollectionText(bytesOf(std::string_view("a\0b\0\0\0c\0", 8))), u"ab");
    EXPECT_EQ(decodeCollectionText(bytesOf(std::string_view("a\0b", 3))), u"a");
    EXPECT_EQ(decodeCollectionText(bytesOf(std::string_view("a\0\n\0", 4))), u"a\n");
    // Unpaired surrogates and stray bytes stay units.
    EXPECT_EQ(decodeCollectionText(bytesOf(std::string_view("\x00\xD8\xff\xfe", 4))), u"\xD800\xFEFF");
}

TEST(CollectionFile, WrittenFileReadsBackAndHugeFilesAreNotRead)
{
    test::TempDir temp;
    const auto file = temp.path() / "写真.co";
    ASSERT_TRUE(writeCollectionFile(file, u"/a/1.jpg\n"));
    EXPECT_EQ(std::filesystem::file_size(file), 20u);
    const auto read = readCollectionFile(file);
    EXPECT_EQ(read.status, CollectionReadStatus::Read);
    EXPECT_EQ(read.text, u"/a/1.jpg\n");
    EXPECT_EQ(readCollectionFile(temp.path() / "missing.co").status, CollectionReadStatus::Unreadable);
    std::filesystem::resize_file(file, kMaxCollectionFileBytes + 2);
    const auto huge = readCollectionFile(file);
    EXPECT_EQ(huge.status, CollectionReadStatus::TooLarge);
    EXPECT_TRUE(huge.text.empty());
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

TEST(Collection, LastPathWithoutLineFeedIsNotListedButKept)
{
    Collection collection(u"c", u"/a/1.jpg\n/a/2.jpg");
    EXPECT_EQ(collection.listedPaths(), std::vector<std::u16string_view>{u"/a/1.jpg"});
    EXPECT_EQ(collection.unterminatedTail(), u"/a/2.jpg");
    EXPECT_FALSE(collection.modified());
    // A new path goes before the piece without a line feed, so the two are
    // not run together.
    EXPECT_EQ(collection.append(u"/b/3.jpg"), AppendResult::Appended);
    EXPECT_EQ(collection.text(), u"/a/1.jpg\n/b/3.jpg\n/a/2.jpg");
    EXPECT_TRUE(collection.modified());
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
    EXPECT_EQ(collection.append(u"/a/img_1.jpg"), AppendResult::AlreadyListed);
    // A path that is part of a longer listed path is a different file.
    EXPECT_EQ(collection.append(u"/a/1.jpg"), AppendResult::Appended);
    EXPECT_EQ(collection.append(u"/a/1.jpg"), AppendResult::AlreadyListed);
    EXPECT_EQ(collection.append(u""), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(u"/a/x\n.jpg"), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(std::u16string(u"/a/x\0.jpg", 9)), AppendResult::InvalidPath);
    EXPECT_EQ(collection.append(u"/" + std::u16string(259, u'x')), AppendResult::InvalidPath);
    EXPECT_EQ(collection.text(), u"/b/a/1.jpg\n/a/IMG_1.JPG\n/a/1.jpg\n");
}

TEST(Collection, RemoveTakesEveryLineOfThatPathOnly)
{
    Collection collection(u"c", u"/a/1.jpg\n/a/2.jpg\n/A/1.JPG\n/b/a/1.jpg\n");
    const std::vector<std::u16string> gone{u"/a/1.jpg"};
    EXPECT_EQ(collection.remove(gone), 2u);
    EXPECT_EQ(collection.text(), u"/a/2.jpg\n/b/a/1.jpg\n");
    EXPECT_EQ(collection.textLength(), collection.text().size());
    EXPECT_EQ(collection.remove(gone), 0u);
}

TEST(Collection, KeepOrderOnlyWhenTheLengthIsTheSame)
{
    Collection collection(u"c", u"/a/1.jpg\n/a/22.jpg\n/a/3.jpg\n");
    collection.setModified(false);
    const std::vector<std::u16string> sorted{u"/a/3.jpg", u"/a/22.jpg", u"/a/1.jpg"};
    EXPECT_TRUE(collection.keepOrder(sorted));
    EXPECT_EQ(collection.text(), u"/a/3.jpg\n/a/22.jpg\n/a/1.jpg\n");
    EXPECT_TRUE(collection.modified());
    // A file vanished from the list: the collection keeps its text.
    EXPECT_FALSE(collection.keepOrder(std::vector<std::u16string>{u"/a/3.jpg", u"/a/1.jpg"}));
    EXPECT_FALSE(collection.keepOrder(
        std::vector<std::u16string>{u"/a/3.jpg", u"/a/22.jpg", u"/a/1.jpg", u"/a/4.jpg"}));
    EXPECT_EQ(collection.text(), u"/a/3.jpg\n/a/22.jpg\n/a/1.jpg\n");
}

TEST(Collection, UnreadableCollectionIsReadOnly)
{
    Collection collection(u"c", CollectionProblem::TooLarge);
    EXPECT_TRUE(collection.readOnly());
    EXPECT_EQ(collection.append(u"/a/1.jpg"), AppendResult::ReadOnly);
    EXPECT_FALSE(collection.keepOrder({}));
    EXPECT_FALSE(collection.modified());
}

} // namespace
} // namespace qlx::library
