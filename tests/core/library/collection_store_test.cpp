#include "library/collection_store.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "library/collection_file.h"
#include "library/collection_path.h"
#include "support/test_paths.h"

namespace qlx::library {
namespace {

namespace fs = std::filesystem;

void putFile(const fs::path& file, std::u16string_view text)
{
    ASSERT_TRUE(writeCollectionFile(file, text));
}

class CollectionStoreTest : public ::testing::Test {
protected:
    fs::path dir() const { return m_temp.path() / "collection"; }
    fs::path cacheDir() const { return m_temp.path() / "cache"; }
    fs::path co(std::u16string_view name) const { return dir() / *collectionFileName(name); }
    fs::path cache(std::u16string_view name) const
    {
        return cacheDir() / *toFilePath(u"Lib：" + std::u16string(name) + u".cac");
    }
    CollectionStore makeStore() const
    {
        return CollectionStore(dir(), collectionCacheLocator(cacheDir()));
    }
    std::vector<std::u16string> names(const CollectionStore& store) const
    {
        std::vector<std::u16string> all;
        for (std::size_t i = 0; i < store.count(); ++i)
            all.push_back(store.at(i).name());
        return all;
    }
    void SetUp() override
    {
        fs::create_directories(dir());
        fs::create_directories(cacheDir());
    }

    test::TempDir m_temp;
};

TEST_F(CollectionStoreTest, LoadsByNameAndSavesOnlyChangedOnes)
{
    putFile(co(u"b"), u"/p/1.jpg\n");
    putFile(co(u"a"), u"");
    putFile(co(u"検索結果10"), u"/p/10.jpg\n");
    putFile(co(u"検索結果2"), u"/p/2.jpg\n");
    fs::create_directory(dir() / "folder.co");
    std::ofstream(dir() / "notes.txt") << "x";
    std::ofstream(dir() / "\xff.co") << "x";

    CollectionStore store = makeStore();
    const LoadReport report = store.loadAll();
    EXPECT_EQ(report.loaded, 4u);
    EXPECT_EQ(report.skipped, 1u);
    EXPECT_EQ(names(store), (std::vector<std::u16string>{u"a", u"b", u"検索結果2", u"検索結果10"}));
    EXPECT_EQ(store.at(1).text(), u"/p/1.jpg\n");
    EXPECT_TRUE(store.at(0).empty());

    const auto before = fs::last_write_time(co(u"b"));
    EXPECT_EQ(store.saveAll().written, 0u);
    EXPECT_EQ(fs::last_write_time(co(u"b")), before);

    EXPECT_EQ(store.addPath(1, u"/p/2.CR2"), AppendResult::Appended);
    const SaveReport saved = store.saveAll();
    EXPECT_EQ(saved.written, 1u);
    EXPECT_EQ(saved.failed, 0u);
    EXPECT_EQ(test::readFileBytes(co(u"b")), encodeCollectionText(u"/p/1.jpg\n/p/2.CR2\n"));
    EXPECT_EQ(fs::file_size(co(u"a")), 0u);
}

TEST_F(CollectionStoreTest, AnUnsavedCollectionIsSavedAsAnEmptyFileUnderItsLastName)
{
    fs::remove_all(dir());
    CollectionStore store = makeStore();
    EXPECT_EQ(store.loadAll().loaded, 0u);
    ASSERT_TRUE(store.create(u"コレクション").created());
    EXPECT_EQ(store.rename(0, u"旅行"), RenameStatus::Renamed);
    EXPECT_TRUE(store.saveAll().directoryCreated);
    EXPECT_FALSE(fs::exists(co(u"コレクション")));
    ASSERT_TRUE(fs::exists(co(u"旅行")));
    EXPECT_EQ(fs::file_size(co(u"旅行")), 0u);
}

TEST_F(CollectionStoreTest, OddFilesLoadAndKeepWhatTheyHold)
{
    // No last line feed, no terminating zero, an odd byte, an unpaired
    // surrogate; and a file too large to read, which is never overwritten.
    std::ofstream(co(u"odd"), std::ios::binary) << std::string("/\0a\0.\0j\0p\0g\0\n\0/\0\x00\xD8z", 19);
    putFile(co(u"huge"), u"/a.jpg\n");
    fs::resize_file(co(u"huge"), kMaxCollectionFileBytes + 1);
    CollectionStore store = makeStore();
    EXPECT_EQ(store.loadAll().readOnly, 1u);
    ASSERT_EQ(store.count(), 2u);
    const Collection& odd = store.at(1);
    EXPECT_EQ(odd.listedPaths(), std::vector<std::u16string_view>{u"/a.jpg"});
    EXPECT_EQ(odd.unterminatedTail(), u"/\xD800");
    ASSERT_EQ(store.addPath(1, u"/b.jpg"), AppendResult::Appended);
    EXPECT_EQ(store.at(0).problem(), CollectionProblem::TooLarge);
    EXPECT_EQ(store.addPath(0, u"/b.jpg"), AppendResult::ReadOnly);
    ASSERT_TRUE(store.showCollection(0));
    EXPECT_FALSE(store.leaveCollectionMode({}).orderKept);
    store.saveAll();
    EXPECT_EQ(test::readFileBytes(co(u"odd")), encodeCollectionText(u"/a.jpg\n/b.jpg\n/\xD800"));
    EXPECT_EQ(fs::file_size(co(u"huge")), kMaxCollectionFileBytes + 1);
}

TEST_F(CollectionStoreTest, CreateChecksTheNameAndTheTableSize)
{
    putFile(co(u"stray"), u"/a.jpg\n"); // a file the table does not hold is never taken over
    CollectionStore store = makeStore();
    const std::pair<std::u16string, CreateStatus> cases[] = {
        {u"", CreateStatus::EmptyName},
        {u"a\nb", CreateStatus::InvalidName},
        {u"a\xD800", CreateStatus::InvalidName},
        {std::u16string(66, u'名'), CreateStatus::InvalidName},
        {std::u16string(65, u'名'), CreateStatus::Created},
        {u"旅行", CreateStatus::Created},
        {u"旅行", CreateStatus::NameExists},
        {u"Trip", CreateStatus::Created},
        {u"trip", CreateStatus::Created}, // exact comparison
        {u"stray", CreateStatus::NameExists},
    };
    for (const auto& [name, status] : cases)
        EXPECT_EQ(store.create(name).status, status) << ::testing::PrintToString(name);
    for (const char16_t c : kForbiddenNameCharacters)
        EXPECT_EQ(store.create(u"a" + std::u16string(1, c)).status, CreateStatus::InvalidName);
    EXPECT_TRUE(store.changed());

    for (std::size_t i = store.count(); i < kMaxCollections; ++i)
        ASSERT_TRUE(store.create(u"c" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26))
                                 + std::u16string(i / 26 + 1, u'x')).created());
    EXPECT_EQ(store.create(u"one more").status, CreateStatus::TableFull);
    EXPECT_EQ(store.createSearchResult().status, CreateStatus::TableFull);
}

TEST_F(CollectionStoreTest, RenameMovesTheFileAndItsCache)
{
    putFile(co(u"旅行"), u"/p/1.jpg\n");
    std::ofstream(cache(u"旅行")) << "thumbnails";
    putFile(co(u"stray"), u"");
    CollectionStore store = makeStore();
    store.loadAll(); // stray, 旅行
    store.clearChanged();

    EXPECT_EQ(store.rename(1, u"stray"), RenameStatus::Unchanged);
    EXPECT_EQ(store.rename(1, u""), RenameStatus::Unchanged);
    EXPECT_EQ(store.rename(1, u"a*b"), RenameStatus::InvalidName);
    EXPECT_FALSE(store.changed());

    EXPECT_EQ(store.rename(1, u"旅行2024"), RenameStatus::Renamed);
    EXPECT_EQ(store.at(1).name(), u"旅行2024");
    EXPECT_FALSE(fs::exists(co(u"旅行")));
    EXPECT_FALSE(fs::exists(cache(u"旅行")));
    EXPECT_EQ(test::readFileBytes(co(u"旅行2024")), encodeCollectionText(u"/p/1.jpg\n"));
    EXPECT_EQ(fs::file_size(cache(u"旅行2024")), 10u);
    EXPECT_TRUE(store.changed());

    // A file of the new name that the table does not hold stops the rename.
    putFile(co(u"other"), u"/keep.jpg\n");
    EXPECT_EQ(store.rename(1, u"other"), RenameStatus::TargetExists);
    EXPECT_EQ(test::readFileBytes(co(u"other")), encodeCollectionText(u"/keep.jpg\n"));
    EXPECT_TRUE(fs::exists(co(u"旅行2024")));
}

TEST_F(CollectionStoreTest, DeleteRemovesBothFilesAndMovesTheCurrentIndex)
{
    for (const auto* name : {u"a", u"b", u"c"}) {
        putFile(co(name), u"/p/1.jpg\n");
        std::ofstream(cache(name)) << "x";
    }
    CollectionStore store = makeStore();
    store.loadAll();
    EXPECT_EQ(store.currentIndex(), -1);
    store.showCollection(2);
    EXPECT_EQ(store.remove(0), DeleteStatus::Deleted);
    EXPECT_FALSE(fs::exists(co(u"a")));
    EXPECT_FALSE(fs::exists(cache(u"a")));
    EXPECT_TRUE(fs::exists(cache(u"b")));
    EXPECT_EQ(store.currentIndex(), 1); // still "c"
    EXPECT_EQ(store.remove(1), DeleteStatus::Deleted);
    EXPECT_EQ(store.currentIndex(), 0); // clamped to the last one
    // The list still shows the deleted "c": its order must not be written
    // into "b", now current and of the same length.
    EXPECT_FALSE(store.leaveCollectionMode(std::vector<std::u16string>{u"/p/9.jpg"}).orderKept);
    EXPECT_EQ(store.at(0).text(), u"/p/1.jpg\n");
    EXPECT_EQ(store.remove(0), DeleteStatus::Deleted);
    EXPECT_EQ(store.count(), 0u);
    EXPECT_EQ(store.currentIndex(), 0);
    EXPECT_EQ(store.remove(0), DeleteStatus::NoSuchCollection);
    EXPECT_TRUE(fs::is_empty(dir()));
}

TEST_F(CollectionStoreTest, AddOnlyShownKindsAndPathsThatFit)
{
    CollectionStore store = makeStore();
    ASSERT_TRUE(store.create(u"c").created());
    EXPECT_EQ(store.addPath(0, u"/p/readme.txt"), AppendResult::NotShownKind);
    EXPECT_EQ(store.addPath(0, u"/p/clip.MTS"), AppendResult::Appended);
    EXPECT_EQ(store.addPath(0, u"/p/" + std::u16string(252, u'x') + u".jpg"), AppendResult::Appended);
    EXPECT_EQ(store.addPath(1, u"/p/a.jpg"), AppendResult::NoSuchCollection);

    store.setShownKinds(imagelist::kDefaultTargetMask & ~imagelist::kKindJpeg, imagelist::defaultVideoExtensions());
    EXPECT_EQ(store.addPath(0, u"/p/a.jpg"), AppendResult::NotShownKind);
    EXPECT_EQ(store.addPath(0, u"/p/a.jpeg"), AppendResult::Appended);
    EXPECT_EQ(store.addPath(0, u"/P/A.JPEG"), AppendResult::Appended); // another file on Linux

    const std::vector<std::u16string> selection{u"/q/1.nef", u"/q/2.txt", u"/q/1.NEF", u"/q/1.nef", u"/q/3.dng"};
    EXPECT_EQ(store.addEntries(0, selection), 3u);
    EXPECT_EQ(store.removeEntries(0, std::vector<std::u16string>{u"/q/1.nef", u"/p/clip.MTS", u"/p/clip.mts"}), 2u);
    EXPECT_EQ(store.at(0).listedPaths().size(), 5u);
}

TEST_F(CollectionStoreTest, SearchResultsTakeTheNextFreeNumberAndGoTogether)
{
    CollectionStore store = makeStore();
    ASSERT_TRUE(store.create(u"a").created());
    EXPECT_EQ(store.at(store.createSearchResult().index).name(), u"検索結果1");
    EXPECT_EQ(store.at(store.createSearchResult().index).name(), u"検索結果2");
    ASSERT_TRUE(store.create(u"検索結果3").created());
    ASSERT_TRUE(store.create(u"検索").created());
    putFile(co(u"検索結果4"), u""); // a file the table does not hold
    EXPECT_EQ(store.at(store.createSearchResult().index).name(), u"検索結果5");

    EXPECT_EQ(store.searchResults(), (std::vector<std::size_t>{1, 2, 3, 5}));
    store.showCollection(3);
    bool currentRemoved = false;
    EXPECT_EQ(store.removeAllSearchResults(&currentRemoved), 4u);
    EXPECT_TRUE(currentRemoved);
    EXPECT_EQ(names(store), (std::vector<std::u16string>{u"a", u"検索"}));
}

TEST_F(CollectionStoreTest, LeavingCollectionModeKeepsTheOrderUnderTheSameLengthRule)
{
    putFile(co(u"c"), u"/p/1.jpg\n/p/2.jpg\n/p/3.jpg\n");
    CollectionStore store = makeStore();
    store.loadAll();
    const std::vector<std::u16string> sorted{u"/p/3.jpg", u"/p/1.jpg", u"/p/2.jpg"};
    ASSERT_TRUE(store.showCollection(0));
    EXPECT_TRUE(store.collectionMode());
    EXPECT_TRUE(store.leaveCollectionMode(sorted).orderKept);
    EXPECT_FALSE(store.collectionMode());
    EXPECT_EQ(store.at(0).text(), u"/p/3.jpg\n/p/1.jpg\n/p/2.jpg\n");

    // A file vanished from the list, or one more came: the text stays.
    store.showCollection(0);
    EXPECT_FALSE(store.leaveCollectionMode(std::vector<std::u16string>{u"/p/1.jpg", u"/p/2.jpg"}).orderKept);
    store.showCollection(0);
    EXPECT_FALSE(store.leaveCollectionMode(std::vector<std::u16string>{u"/p/1.jpg", u"/p/2.jpg", u"/p/3.jpg",
                                                                       u"/p/4.jpg"}).orderKept);
    store.showCollection(0);
    store.skipNextOrderKeep();
    EXPECT_FALSE(store.leaveCollectionMode(std::vector<std::u16string>{u"/p/1.jpg", u"/p/2.jpg", u"/p/3.jpg"}).orderKept);
    EXPECT_EQ(store.at(0).text(), u"/p/3.jpg\n/p/1.jpg\n/p/2.jpg\n");
    store.saveAll();
    EXPECT_EQ(test::readFileBytes(co(u"c")), encodeCollectionText(u"/p/3.jpg\n/p/1.jpg\n/p/2.jpg\n"));
}

} // namespace
} // namespace qlx::library
