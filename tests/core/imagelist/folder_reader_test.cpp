// Reading a folder into the image list: fresh folders, the reuse of cached
// records, and the folders that go wrong.

#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "cache/cache_file.h"
#include "cache/cache_name.h"
#include "cache/cache_writer.h"

#include "folder_test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <tuple>
#include <thread>

namespace qlx::imagelist {
namespace {

using test::TempDir;
using test::u16;
using test::writeFile;

FolderReadOptions defaults()
{
    FolderReadOptions options;
    options.targetMask = kDefaultTargetMask;
    options.lastFileWait = {3, std::chrono::milliseconds(10)};
    return options;
}

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
    const FolderReadResult result = readFolder(list, u16(dir.path()), nullptr, defaults());
    EXPECT_TRUE(result.listed);
    EXPECT_EQ(names(list), (std::set<std::u16string>{u"IMG_0001.JPG", u"IMG_0002.CR2", u"clip.mov"}));
    EXPECT_EQ(result.added, 3u);
    EXPECT_FALSE(result.cacheChanged);
    const ImageEntry& jpeg = list.entry(indexOf(list, u"IMG_0001.JPG"));
    EXPECT_EQ(jpeg.path(), u16(dir.path() / "IMG_0001.JPG"));
    EXPECT_EQ(std::tuple(jpeg.kind(), jpeg.fileSize(), jpeg.presence()),
              std::tuple(0x2u, 10u, ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd));
    // Position p shows entry p.
    ASSERT_EQ(list.order().size(), 3u);
    for (std::size_t p = 0; p < 3; ++p)
        EXPECT_EQ(list.order()[p], p);
}

TEST(FolderReader, AFolderThatCannotBeListedGivesAnEmptyList)
{
    ImageList list;
    const FolderReadResult result = readFolder(list, u"/no/such/folder/anywhere", nullptr, defaults());
    EXPECT_FALSE(result.listed);
    EXPECT_TRUE(list.empty());
}

TEST(FolderReader, UnchangedFilesTakeTheirCachedRecordsOver)
{
    TempDir dir;
    writeFile(dir.path() / "a.jpg", 10);
    writeFile(dir.path() / "b.jpg", 20);
    writeFile(dir.path() / "c.jpg", 30);
    const std::u16string folder = u16(dir.path());

    ImageList first;
    readFolder(first, folder, nullptr, defaults());
    // What the list-information pass would have added, and a display order
    // the user left: c, a, b.
    for (std::size_t i = 0; i < first.size(); ++i) {
        first.entry(i).setItemText(ImageEntry::kItemModel, u"EOS " + first.entry(i).name());
        first.entry(i).setFlags(ImageEntry::kFlagMetadataRead | ImageEntry::kFlagDevelopForView
                                | ImageEntry::kFlagPlaybackOpen | ImageEntry::kFlagUnrenderable);
    }
    first.order()[0] = static_cast<std::uint16_t>(indexOf(first, u"c.jpg"));
    first.order()[1] = static_cast<std::uint16_t>(indexOf(first, u"a.jpg"));
    first.order()[2] = static_cast<std::uint16_t>(indexOf(first, u"b.jpg"));
    const auto cache = cacheOf(first, folder);

    writeFile(dir.path() / "d.jpg", 40); // new since
    ImageList list;
    const FolderReadResult result = readFolder(list, folder, cache, defaults());
    EXPECT_EQ(result.fromCache, 3u);
    EXPECT_EQ(result.unchanged, 3u);
    EXPECT_EQ(result.refilled, 0u);
    EXPECT_EQ(result.added, 1u);
    ASSERT_EQ(list.size(), 4u);
    // Cached records first, in the order they were left; new files after.
    std::vector<std::u16string> shown;
    for (const std::uint16_t index : list.order())
        shown.push_back(list.entry(index).name());
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"c.jpg", u"a.jpg", u"b.jpg", u"d.jpg"}));
    const ImageEntry& c = list.entry(0);
    EXPECT_EQ(c.itemText(ImageEntry::kItemModel), u"EOS c.jpg");
    EXPECT_EQ(c.cacheIndex(), 0);
    EXPECT_EQ(list.entry(1).cacheIndex(), 1);
    // Flags 0x2 | 0x20 | 0x100 | 0x1000 keep 0x2 and 0x1000 (mask 0xF49A), and the
    // metadata-read bit toggles the redraw-from-cache bit 0x4.
    EXPECT_EQ(c.flags(), ImageEntry::kFlagMetadataRead | ImageEntry::kFlagListIconRedo | ImageEntry::kFlagUnrenderable);
    EXPECT_EQ(c.presence(), ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd);
    EXPECT_EQ(c.videoSlot(), -1);
}

TEST(FolderReader, ChangedGoneAndMaskedFiles)
{
    TempDir dir;
    writeFile(dir.path() / "keep.jpg", 10);
    writeFile(dir.path() / "grow.jpg", 10);
    writeFile(dir.path() / "gone.jpg", 10);
    writeFile(dir.path() / "raw.nef", 10);
    const std::u16string folder = u16(dir.path());
    ImageList first;
    readFolder(first, folder, nullptr, defaults());
    for (std::size_t i = 0; i < first.size(); ++i)
        first.entry(i).setItemText(ImageEntry::kItemIso, u"100");
    const auto cache = cacheOf(first, folder);

    writeFile(dir.path() / "grow.jpg", 11);
    std::filesystem::remove(dir.path() / "gone.jpg");

    {
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, defaults());
        EXPECT_EQ(result.unchanged, 2u);
        EXPECT_EQ(result.refilled, 1u);
        EXPECT_TRUE(result.cacheChanged);
        const ImageEntry& grown = list.entry(indexOf(list, u"grow.jpg"));
        EXPECT_EQ(grown.fileSize(), 11u);
        EXPECT_EQ(grown.cacheIndex(), -1);
        EXPECT_EQ(grown.itemText(ImageEntry::kItemIso), u""); // read afresh
        // A file deleted behind the program's back stays listed, greyed out.
        const ImageEntry& gone = list.entry(indexOf(list, u"gone.jpg"));
        EXPECT_EQ(gone.presence(), 0);
        EXPECT_EQ(gone.itemText(ImageEntry::kItemIso), u"100");
    }
    {
        FolderReadOptions options = defaults();
        options.checkCachedFilesExist = true;
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, options);
        EXPECT_EQ(result.droppedRecords, 1u);
        EXPECT_FALSE(list.findByName(u"gone.jpg").has_value());
    }
    {
        // Switching the JPG kind off drops the JPEG records of the cache.
        FolderReadOptions options = defaults();
        options.targetMask = kDefaultTargetMask & ~0x2u;
        ImageList list;
        const FolderReadResult result = readFolder(list, folder, cache, options);
        EXPECT_EQ(names(list), std::set<std::u16string>{u"raw.nef"});
        EXPECT_EQ(result.droppedRecords, 3u);
        EXPECT_TRUE(result.cacheChanged);
    }
    {
        FolderReadOptions options = defaults();
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
    readFolder(first, u16(before), nullptr, defaults());
    first.entry(0).setItemText(ImageEntry::kItemIso, u"200");
    const auto cache = cacheOf(first, u16(before));

    const auto after = dir.path() / "2026-12-06";
    std::filesystem::rename(before, after);
    // Some tools change the case of names when they copy; size and time stay.
    const auto time = std::filesystem::last_write_time(after / "IMG_0001.JPG");
    std::filesystem::rename(after / "IMG_0001.JPG", after / "img_0001.jpg");
    std::filesystem::last_write_time(after / "img_0001.jpg", time);

    ImageList list;
    const FolderReadResult result = readFolder(list, u16(after), cache, defaults());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(result.unchanged, 1u);
    EXPECT_EQ(list.entry(0).path(), u16(after / "img_0001.jpg"));
    EXPECT_EQ(list.entry(0).itemText(ImageEntry::kItemIso), u"200");
}

TEST(FolderReader, ARecycledFileThatIsBackLosesItsRecycleRecord)
{
    TempDir dir;
    writeFile(dir.path() / "a.jpg", 10);
    writeFile(dir.path() / "b.jpg", 10);
    const std::u16string folder = u16(dir.path());
    ImageList first;
    readFolder(first, folder, nullptr, defaults());
    for (std::size_t i = 0; i < first.size(); ++i) {
        ListItem& item = first.item(i);
        // Two records: a copy (kind 3), then a recycle (kind 5) for a.jpg and
        // a rename (kind 10) for b.jpg.
        item.history.assign(2 * kHistoryRecordSize, std::byte{0});
        item.history[0] = std::byte{3};
        item.history[kHistoryRecordSize] = static_cast<std::byte>(item.entry->name() == u"a.jpg" ? 5 : 10);
        item.entry->setHistoryCount(2);
        item.entry->setHistoryPosition(1);
    }
    const auto cache = cacheOf(first, folder);

    ImageList list;
    readFolder(list, folder, cache, defaults());
    const ListItem& a = list.item(indexOf(list, u"a.jpg"));
    EXPECT_EQ(a.entry->historyPosition(), 0);
    EXPECT_EQ(a.history[kHistoryRecordSize], std::byte{0});
    const ListItem& b = list.item(indexOf(list, u"b.jpg"));
    EXPECT_EQ(b.entry->historyPosition(), 1);
    EXPECT_EQ(b.history[kHistoryRecordSize], std::byte{10});
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
    FolderReadOptions options = defaults();
    options.onItem = [&](std::size_t seen) { items = seen; };
    const FolderReadResult result = readFolder(list, u16(dir.path()), nullptr, options);
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
    ImageList list;
    const FolderReadResult result = readFolder(list, u16(dir.path()), nullptr, defaults());
    EXPECT_EQ(names(list), (std::set<std::u16string>{u"写真.jpg", u"📷 1.jpg", u"café\\;.jpg"}));
    EXPECT_EQ(result.unlistable, 2u);
}

TEST(FolderReader, APathTooLongForTheRecordIsLeftOut)
{
    TempDir dir;
    const std::string name = std::string(250, 'n') + ".jpg";
    writeFile(dir.path() / name, 1);
    ImageList list;
    const FolderReadResult result = readFolder(list, u16(dir.path()), nullptr, defaults());
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(result.unlistable, 1u);
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
    FolderReadOptions options = defaults();
    options.lastFileWait = {3, std::chrono::milliseconds(5)};
    ImageList list;
    const FolderReadResult result = readFolder(list, u16(dir.path()), nullptr, options);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(result.lastFileSettled);
}

} // namespace
} // namespace qlx::imagelist
