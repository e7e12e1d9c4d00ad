// Reading a folder into the image list: fresh folders, the reuse of cached
// records, and the folders that go wrong.

#include "cache/cache_file.h"
#include "cache/cache_name.h"
#include "cache/cache_writer.h"

#include "imagelist/sort_order.h"

#include "folder_test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <set>
#include <tuple>
#include <thread>

namespace qlx::imagelist {
namespace {

using test::readOptions;
using test::TempDir;
using test::writeFile;

std::set<std::u16string> names(const ImageList& list)
{
    std::set<std::u16string> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.insert(list.entry(i).name());
    return out;
}

// The cache the program would write for `list` (records in display order).
std::shared_ptr<const cache::CacheFile> cacheOf(const ImageList& list, std::u16string_view folder)
{
    const std::u16string header = cache::folderHeaderText(folder);
    const auto images = list.cacheImages();
    auto bytes = cache::buildCacheImage({header, 0}, images);
    EXPECT_TRUE(bytes.has_value());
    auto file = cache::CacheFile::fromBytes(std::move(*bytes));
    EXPECT_TRUE(file.has_value());
    return std::make_shared<const cache::CacheFile>(std::move(*file));
}

std::size_t indexOf(const ImageList& list, std::u16string_view name)
{
    const auto found = list.findByName(name);
    EXPECT_TRUE(found.has_value()) << std::string(name.begin(), name.end());
    return found.value_or(0);
}

TEST(FolderReader, FreshFolderListsTheFilesOfListedKindsOnly)
{
    TempDir dir;
    writeFile(dir.path() / "IMG_0001.JPG", 10);
    writeFile(dir.path() / "IMG_0002.CR2", 20);
    writeFile(dir.path() / "clip.mov", 30);
    writeFile(dir.path() / "notes.txt", 5);
    writeFile(dir.path() / "noext", 5);
    std::filesystem::create_directory(dir.path() / "sub.jpg"); // a folder named like a picture
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.jpg").c_str(), 0600), 0); // reading it would block

    ImageList list;
    const FolderReadResult result = readFolder(list, dir.path().u16string(), nullptr, readOptions());
    EXPECT_TRUE(result.listed);
    EXPECT_EQ(names(list), (std::set<std::u16string>{u"IMG_0001.JPG", u"IMG_0002.CR2", u"clip.mov"}));
    EXPECT_EQ(result.added, 3u);
    EXPECT_FALSE(result.cacheChanged);
    const ImageEntry& jpeg = list.entry(indexOf(list, u"IMG_0001.JPG"));
    EXPECT_EQ(std::tuple(jpeg.kind(), jpeg.fileSize(), jpeg.presence()),
              std::tuple(0x2u, 10u, ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd));
    EXPECT_TRUE(std::ranges::equal(list.order(), std::array{0, 1, 2})); // position p shows entry p

    ImageList none;
    EXPECT_FALSE(readFolder(none, u"/no/such/folder/anywhere", nullptr, readOptions()).listed);
    EXPECT_TRUE(none.empty());
}

TEST(FolderReader, ChangedGoneMaskedAndRestoredFiles)
{
    TempDir dir;
    writeFile(dir.path() / "keep.jpg", 10);
    writeFile(dir.path() / "grow.jpg", 10);
    writeFile(dir.path() / "gone.jpg", 10);
    writeFile(dir.path() / "raw.nef", 10);
    const std::u16string folder = dir.path().u16string();
    ImageList first;
    readFolder(first, folder, nullptr, readOptions());
    for (std::size_t i = 0; i < first.size(); ++i)
        first.entry(i).setItemText(ImageEntry::kItemIso, u"100");
    // keep.jpg was copied (kind 3), then recycled (5) and is back; raw.nef
    // was copied, then renamed (10).
    test::giveHistory(first.item(indexOf(first, u"keep.jpg")), {3, 5});
    test::giveHistory(first.item(indexOf(first, u"raw.nef")), {3, 10});
    const auto cache = cacheOf(first, folder);

    writeFile(dir.path() / "grow.jpg", 11);
    std::filesystem::remove(dir.path() / "gone.jpg");

    {
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, readOptions());
        EXPECT_EQ(result.unchanged, 2u);
        EXPECT_EQ(result.refilled, 1u);
        EXPECT_TRUE(result.cacheChanged);
        const ImageEntry& grown = list.entry(indexOf(list, u"grow.jpg"));
        EXPECT_EQ(grown.fileSize(), 11u);
        EXPECT_EQ(grown.itemText(ImageEntry::kItemIso), u""); // to be read afresh
        // A file deleted behind the program's back stays listed, greyed out.
        const ImageEntry& gone = list.entry(indexOf(list, u"gone.jpg"));
        EXPECT_EQ(gone.presence(), 0);
        EXPECT_EQ(gone.itemText(ImageEntry::kItemIso), u"100");
        // The recycle record no longer stands; the rename does.
        const ListItem& back = list.item(indexOf(list, u"keep.jpg"));
        EXPECT_EQ(std::tuple(back.entry->historyPosition(), back.history[522]), std::tuple(0, std::byte{0}));
        const ListItem& renamed = list.item(indexOf(list, u"raw.nef"));
        EXPECT_EQ(std::tuple(renamed.entry->historyPosition(), renamed.history[522]), std::tuple(1, std::byte{10}));
    }
    {
        FolderReadOptions options = readOptions();
        options.checkCachedFilesExist = true;
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, options);
        EXPECT_EQ(result.droppedRecords, 1u);
        EXPECT_FALSE(list.findByName(u"gone.jpg").has_value());
    }
    {
        // Switching the JPG kind off drops the JPEG records of the cache.
        FolderReadOptions options = readOptions();
        options.targetMask = kDefaultTargetMask & ~0x2u;
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, options);
        EXPECT_EQ(names(list), std::set<std::u16string>{u"raw.nef"});
        EXPECT_EQ(result.droppedRecords, 3u);
        EXPECT_TRUE(result.cacheChanged);
    }
    {
        FolderReadOptions options = readOptions();
        options.fullReload = true;
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, options);
        EXPECT_TRUE(result.cacheChanged);
        const ImageEntry& kept = list.entry(indexOf(list, u"keep.jpg"));
        EXPECT_TRUE(kept.hasFlag(ImageEntry::kFlagThumbInvalid));
        EXPECT_EQ(kept.cacheIndex(), -1);
    }
}

TEST(FolderReader, RecordsFollowARenamedFolderAndACaseOnlyRename)
{
    TempDir dir;
    const auto before = dir.path() / "card";
    std::filesystem::create_directory(before);
    writeFile(before / "IMG_0001.JPG", 10);
    ImageList first;
    readFolder(first, before.u16string(), nullptr, readOptions());
    first.entry(0).setItemText(ImageEntry::kItemIso, u"200");
    const auto cache = cacheOf(first, before.u16string());

    const auto after = dir.path() / "2026-12-06";
    std::filesystem::rename(before, after);
    // Some tools change the case of names when they copy; size and time stay.
    const auto time = std::filesystem::last_write_time(after / "IMG_0001.JPG");
    std::filesystem::rename(after / "IMG_0001.JPG", after / "img_0001.jpg");
    std::filesystem::last_write_time(after / "img_0001.jpg", time);

    ImageList list;
    const FolderReadResult result = readFolder(list, after.u16string(), cache, readOptions());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(result.unchanged, 1u);
    EXPECT_EQ(list.entry(0).path(), (after / "img_0001.jpg").u16string());
    EXPECT_EQ(list.entry(0).itemText(ImageEntry::kItemIso), u"200");
}

// Whatever order the directory lists them in, new files come in the name
// column's order (IMG_2 before IMG_10, letters without regard to case),
// behind the cached entries, which keep the order the folder was left in.
// A clip's cached thumbnail stands while it was grabbed where the thumbnail
// time (clamped to the clip) says; a changed time grabs it again.
TEST(FolderReader, AClipGrabbedAtAnotherSecondIsGrabbedAgain)
{
    TempDir dir;
    writeFile(dir.path() / "clip.mp4", 10);
    const std::u16string folder = dir.path().u16string();
    ImageList first;
    readFolder(first, folder, nullptr, readOptions());
    ASSERT_EQ(first.size(), 1u);
    first.entry(0).setVideoLength(30);
    first.entry(0).setVideoGrabbedAt(1);
    first.entry(0).setCacheIndex(0);
    const auto cache = cacheOf(first, folder);
    struct Case {
        std::int32_t setting;
        bool grabbedAgain;
    } cases[] = {{1, false}, {3, true}, {0, true}, {45, true}};
    for (const Case& c : cases) {
        FolderReadOptions options = readOptions();
        options.videoThumbnailSeconds = c.setting;
        ImageList list;
        readFolder(list, folder, cache, options);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list.entry(0).hasFlag(ImageEntry::kFlagThumbInvalid), c.grabbedAgain) << c.setting;
    }
}

TEST(FolderReader, NewFilesComeInNameOrderBehindTheCachedOrder)
{
    TempDir dir;
    for (const char* name : {"notocactus.jpg", "earth.mov", "prairie_falcon.jpg", "IMG_10.jpg", "Zebra.jpg", "IMG_2.jpg",
                             "apple.jpg"})
        writeFile(dir.path() / name, 1);
    const auto inListOrder = [](const ImageList& list) {
        std::u16string out;
        for (const std::uint16_t index : list.order())
            out += list.entry(index).name() + u" ";
        return out;
    };
    ImageList first, again;
    readFolder(first, dir.path().u16string(), nullptr, readOptions());
    EXPECT_EQ(inListOrder(first), u"apple.jpg earth.mov IMG_2.jpg IMG_10.jpg notocactus.jpg prairie_falcon.jpg Zebra.jpg ");
    sortList(first, 0, SortDirection::Descending);
    writeFile(dir.path() / "IMG_1.jpg", 1);
    writeFile(dir.path() / "b.jpg", 1);
    readFolder(again, dir.path().u16string(), cacheOf(first, dir.path().u16string()), readOptions());
    EXPECT_EQ(inListOrder(again), u"Zebra.jpg prairie_falcon.jpg notocactus.jpg IMG_10.jpg IMG_2.jpg earth.mov "
                                  u"apple.jpg b.jpg IMG_1.jpg ");
}

TEST(FolderReader, SeventyThousandFilesListSixtyFiveThousandFiveHundredThirtyFour)
{
    TempDir dir;
    for (int i = 0; i < 70'000; ++i) {
        const auto path = dir.path() / ("P" + std::to_string(i) + ".jpg");
        const int fd = ::creat(path.c_str(), 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    ImageList list;
    std::size_t items = 0;
    FolderReadOptions options = readOptions();
    options.onItem = [&](std::size_t seen) {
        items = seen;
        return true;
    };
    const FolderReadResult result = readFolder(list, dir.path().u16string(), nullptr, options);
    EXPECT_EQ(list.size(), 65'534u);
    EXPECT_EQ(result.overLimit, 70'000u - 65'534u);
    EXPECT_GE(items, 70'000u);
}

TEST(FolderReader, NamesInAnyUtf8AreListedAndBrokenBytesAreNot)
{
    TempDir dir;
    writeFile(dir.path() / "\xE5\x86\x99\xE7\x9C\x9F.jpg", 1);     // 写真.jpg
    writeFile(dir.path() / "\xF0\x9F\x93\xB7 1.jpg", 1);           // 📷 1.jpg (a surrogate pair)
    writeFile(dir.path() / "caf\xC3\xA9\\;.jpg", 1);               // café\;.jpg
    writeFile(dir.path() / "bad\xFF\xFE.jpg", 1);                  // not UTF-8
    writeFile(dir.path() / "over\xC0\xAF.jpg", 1);                 // an overlong "/"
    writeFile(dir.path() / (std::string(250, 'n') + ".jpg"), 1);  // a path too long for the record
    ImageList list;
    const FolderReadResult result = readFolder(list, dir.path().u16string(), nullptr, readOptions());
    EXPECT_EQ(names(list), (std::set<std::u16string>{u"写真.jpg", u"📷 1.jpg", u"café\\;.jpg"}));
    EXPECT_EQ(result.unlistable, 3u);
}

TEST(FileStability, AGrowingFileIsWaitedForUntilItStops)
{
    TempDir dir;
    const auto path = dir.path() / "copying.jpg";
    writeFile(path, 1);
    EXPECT_EQ(checkFileState(path, std::chrono::milliseconds(0)), FileState::Changing);
    // Another program appends without pause while the check looks twice,
    // half a second apart; once it stops, one look finds the size settled.
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        while (!stop)
            out << 'y' << std::flush;
    });
    const FileState whileWriting = checkFileState(path, std::chrono::milliseconds(500));
    stop = true;
    writer.join();
    EXPECT_EQ(whileWriting, FileState::Changing);
    EXPECT_TRUE(waitUntilStable(path, {1, std::chrono::milliseconds(100)}));
    EXPECT_EQ(checkFileState(dir.path() / "nothing.jpg"), FileState::Gone);
    writeFile(dir.path() / "empty.jpg", 0);
    EXPECT_EQ(checkFileState(dir.path() / "empty.jpg", std::chrono::milliseconds(0)), FileState::Stable);
}

TEST(FileStability, AnUnreadableLastFileDelaysTheReadBoundedlyAndIsListed)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    TempDir dir;
    writeFile(dir.path() / "locked.jpg", 10);
    ::chmod((dir.path() / "locked.jpg").c_str(), 0);
    ImageList list;
    const FolderReadResult result = readFolder(list, dir.path().u16string(), nullptr, readOptions());
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(result.lastFileSettled);
}

} // namespace
} // namespace qlx::imagelist
