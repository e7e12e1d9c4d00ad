// Opening folders: the same folder twice, refresh with check marks, leaving
// and coming back through the cache, loads that must wait, and following
// another program's changes.

#include "imagelist/file_history.h"
#include "imagelist/folder_session.h"
#include "library/collection_store.h"
#include "cache/cache_file.h"

#include "folder_test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace qlx::imagelist {
namespace {

using test::TempDir;
using test::writeFile;

class Session : public ::testing::Test {
protected:
    Session()
        : cache(cache::CacheSettings{cacheDir.path(), 0, false, false, false}),
          session(cache, reserve, test::readOptions, &store,
                  {.blockingOperationRunning = [this] { return blocking; },
                   .beginLoad = {},
                   .stopWorkers = [this] { calls += "stop "; },
                   .startListInformation = [this] { calls += "start "; },
                   .endLoad = {}})
    {
        for (const char* name : {"one", "two"}) {
            std::filesystem::create_directory(root.path() / name);
            for (int i = 1; i <= 4; ++i)
                writeFile(root.path() / name / ("DSC_000" + std::to_string(i) + ".JPG"), 100u + static_cast<unsigned>(i));
        }
    }

    std::u16string folder(const char* name) { return (root.path() / name).u16string(); }

    // Follows another program's changes until `done` holds or five seconds
    // pass (a new file is listed once it has been left alone for a second).
    template <typename Done>
    bool follow(Done done)
    {
        using Clock = std::chrono::steady_clock;
        for (const auto deadline = Clock::now() + std::chrono::seconds(5); Clock::now() < deadline;) {
            const FolderChangeEffects effects = session.followChanges(true, false);
            renames.insert(renames.end(), effects.renames.begin(), effects.renames.end());
            if (done())
                return true;
            test::waitForEvents(session.watcher().descriptor(), std::chrono::milliseconds(10));
        }
        return false;
    }

    TempDir root;
    TempDir cacheDir;
    library::CollectionStore store{root.path() / "collection"};
    cache::ThumbnailCache cache;
    MemoryReserve reserve;
    bool blocking = false;
    std::string calls;
    FolderSession session;
    std::vector<RenameByOtherProgram> renames;
};

TEST_F(Session, TheSameFolderTwiceDoesNothingTheSecondTime)
{
    reserve.raiseAfterFailure(); // every load starts the memory reserve afresh
    EXPECT_EQ(session.load({folder("one")}), LoadOutcome::Loaded);
    EXPECT_EQ(reserve.bytes(), MemoryReserve::kInitial);
    EXPECT_EQ(calls, "stop start ");
    EXPECT_EQ(session.list().size(), 4u);
    EXPECT_EQ(session.list().currentPosition(), 0);
    EXPECT_EQ(session.load({folder("one")}), LoadOutcome::Unchanged);
    EXPECT_EQ(calls, "stop start ");
    EXPECT_EQ(session.load({folder("one"), true}), LoadOutcome::Loaded);
}

// What the list-information pass found, the order and the focus the user
// left come back; a file new since is shown after the cached ones.
TEST_F(Session, LeavingWritesTheCacheAndComingBackIsServedFromIt)
{
    session.load({folder("one")});
    ImageList& list = session.list();
    for (std::size_t i = 0; i < list.size(); ++i) {
        list.entry(i).setItemText(ImageEntry::kItemIso, u"400");
        list.entry(i).setFlags(ImageEntry::kFlagMetadataRead | ImageEntry::kFlagDevelopForView
                               | ImageEntry::kFlagPlaybackOpen | ImageEntry::kFlagUnrenderable);
        list.entry(i).setVideoSlot(2); // a player of this session only
    }
    session.clickColumn(ImageEntry::kItemFileName);
    session.clickColumn(ImageEntry::kItemFileName); // descending
    session.markEntriesChanged();
    list.setCurrentPosition(2);

    session.load({folder("two")});
    const auto written = cache.fileOf({folder("one"), false});
    ASSERT_TRUE(written && std::filesystem::exists(*written));

    writeFile(root.path() / "one" / "DSC_0009.JPG", 10);
    session.load({folder("one")});
    EXPECT_EQ(session.lastRead().fromCache, 4u);
    EXPECT_EQ(session.lastRead().unchanged, 4u);
    const ImageList& back = session.list();
    std::vector<std::u16string> shown;
    for (const std::uint16_t index : back.order())
        shown.push_back(back.entry(index).name());
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"DSC_0004.JPG", u"DSC_0003.JPG", u"DSC_0002.JPG", u"DSC_0001.JPG",
                                                   u"DSC_0009.JPG"}));
    EXPECT_EQ(back.currentPosition(), 2);
    const ImageEntry& cached = back.entry(*back.findByName(u"DSC_0001.JPG"));
    EXPECT_EQ(cached.itemText(ImageEntry::kItemIso), u"400");
    // Flags 0x2 | 0x20 | 0x100 | 0x1000 keep 0x2 and 0x1000 (mask 0xF49A), and
    // the metadata-read bit toggles the redraw-from-cache bit 0x4.
    EXPECT_EQ(cached.flags(), ImageEntry::kFlagMetadataRead | ImageEntry::kFlagListIconRedo | ImageEntry::kFlagUnrenderable);
    EXPECT_EQ(cached.videoSlot(), -1);
}

TEST_F(Session, RefreshKeepsCheckMarksAndPlacesTheFocusByItsRule)
{
    session.load({folder("one")});
    ImageList& list = session.list();
    const std::size_t checked = *list.findByName(u"DSC_0003.JPG");
    list.entry(checked).setChecked(true);
    list.setCurrentPosition(static_cast<std::int64_t>(*list.positionOf(checked)));
    writeFile(root.path() / "one" / "DSC_0000.JPG", 10); // new since

    session.keepCheckMarksOnNextLoad();
    ASSERT_EQ(session.load({folder("one"), true, LoadMode::Refresh, RefreshPosition::SameEntry}),
              LoadOutcome::Loaded);
    ImageList& again = session.list();
    EXPECT_EQ(again.size(), 5u);
    EXPECT_TRUE(again.entry(*again.findByName(u"DSC_0003.JPG")).checked());
    EXPECT_FALSE(again.entry(*again.findByName(u"DSC_0001.JPG")).checked());
    EXPECT_EQ(again.entry(*again.entryAt(again.currentPosition())).name(), u"DSC_0003.JPG");

    session.load({folder("one"), true, LoadMode::Refresh, RefreshPosition::First});
    EXPECT_EQ(session.list().currentPosition(), 0);
}

TEST_F(Session, ALoadDuringABlockingOperationWaits)
{
    session.load({folder("one")});
    blocking = true;
    EXPECT_EQ(session.load({folder("two")}), LoadOutcome::Deferred);
    EXPECT_EQ(session.load({folder("one"), true, LoadMode::Refresh}), LoadOutcome::Dropped);
    EXPECT_EQ(session.currentFolder(), folder("one"));
    blocking = false;
    const auto pending = session.takePendingRequest();
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(session.load(*pending), LoadOutcome::Loaded);
    EXPECT_EQ(session.currentFolder(), folder("two"));
    EXPECT_FALSE(session.takePendingRequest().has_value());
}

TEST_F(Session, ACollectionListsItsFilesAndKeepsTheOrderItWasLeftIn)
{
    const auto created = store.create(u"旅行");
    ASSERT_TRUE(created.created());
    const std::vector<std::u16string> paths{folder("two") + u"/DSC_0002.JPG", folder("one") + u"/DSC_0004.JPG",
                                            folder("one") + u"/DSC_0001.JPG"};
    EXPECT_EQ(store.addEntries(created.index, paths), 3u);

    ASSERT_EQ(session.load({u"旅行", false, LoadMode::Open, RefreshPosition::First, true}), LoadOutcome::Loaded);
    EXPECT_EQ(session.list().size(), 3u); // in the collection's order, as the browser's test shows
    // A collection and a folder of the same text are different lists.
    EXPECT_EQ(session.load({u"旅行", false, LoadMode::Open, RefreshPosition::First, true}), LoadOutcome::Unchanged);

    // Sorted by name, then left: the collection keeps the new order, and
    // its cache file "Lib：旅行" is written.
    session.clickColumn(ImageEntry::kItemFileName);
    session.markEntriesChanged();
    session.load({folder("one")});
    EXPECT_EQ(store.at(created.index).lines(), (std::vector<std::u16string>{folder("one") + u"/DSC_0001.JPG",
                                                                             folder("two") + u"/DSC_0002.JPG",
                                                                             folder("one") + u"/DSC_0004.JPG"}));
    const auto cacheFile = cache.fileOf({u"旅行", true});
    ASSERT_TRUE(cacheFile && std::filesystem::exists(*cacheFile));

    // Back again: served from that cache, one file gone meanwhile.
    std::filesystem::remove(root.path() / "one" / "DSC_0004.JPG");
    session.load({u"旅行", false, LoadMode::Open, RefreshPosition::First, true});
    EXPECT_EQ(session.list().size(), 2u);
    EXPECT_EQ(session.lastRead().unchanged, 2u);
}

// The list emptied: the cache of the folder left is written there and then;
// that of a collection deleted while shown is not brought back.
TEST_F(Session, EmptyingTheListWritesTheCacheLeftUnlessItsListIsGone)
{
    session.load({folder("one")});
    session.load({});
    EXPECT_TRUE(std::filesystem::exists(*cache.fileOf({folder("one"), false})));
    const std::size_t shown = store.create(u"旅行").index;
    store.addEntries(shown, std::vector<std::u16string>{folder("two") + u"/DSC_0001.JPG"});
    session.load({u"旅行", false, LoadMode::Open, RefreshPosition::First, true});
    session.markEntriesChanged();
    ASSERT_EQ(store.remove(shown), library::DeleteStatus::Deleted);
    session.load({});
    session.load({folder("two")});
    EXPECT_FALSE(std::filesystem::exists(*cache.fileOf({u"旅行", true})));
}

TEST_F(Session, AnotherProgramsCopyRenameDeleteAndRestoreAreFollowed)
{
    ASSERT_EQ(session.load({folder("one")}), LoadOutcome::Loaded);
    ImageList& list = session.list();
    const auto one = root.path() / "one";

    // Copied in: listed at the end once it has stopped changing, whole, and
    // made the current row.
    {
        std::ofstream out(one / "IMG_0005.JPG", std::ios::binary);
        for (int i = 0; i < 5; ++i)
            out << std::string(10'000, 'z') << std::flush;
    }
    ASSERT_TRUE(follow([&] { return list.size() == 5; })) << "the copied file never appeared";
    EXPECT_EQ(list.entry(4).name(), u"IMG_0005.JPG");
    EXPECT_EQ(list.entry(4).fileSize(), 50'000u);
    EXPECT_EQ(list.order().size(), 5u);
    EXPECT_EQ(list.currentPosition(), 4);

    // Renamed in the file manager: the row follows, and the rename is
    // reported so that it can be logged and undone.
    std::filesystem::rename(one / "DSC_0001.JPG", one / "holiday.jpg");
    ASSERT_TRUE(follow([&] { return list.findByName(u"holiday.jpg").has_value(); }));
    EXPECT_FALSE(list.findByName(u"DSC_0001.JPG").has_value());
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_EQ(renames[0].previousPath, (one / "DSC_0001.JPG").u16string());

    // Deleted: greyed out, the row stays; back again (restored from the
    // recycle bin): present, and the recycle record no longer stands.
    const std::size_t second = *list.findByName(u"DSC_0002.JPG");
    test::giveHistory(list.item(second), {kHistoryRecycle});
    std::filesystem::remove(one / "DSC_0002.JPG");
    ASSERT_TRUE(follow([&] { return list.entry(second).presence() == 0; }));
    writeFile(one / "DSC_0002.JPG", 100);
    ASSERT_TRUE(follow([&] { return list.entry(second).presence() != 0; }));
    EXPECT_EQ(list.entry(second).historyPosition(), -1);
    EXPECT_EQ(list.item(second).history[0], std::byte{0});

    // Files of kinds not listed never appear: once a picture written after
    // it is listed, the text file's events have been taken in too.
    writeFile(one / "readme.txt", 10);
    writeFile(one / "IMG_0006.JPG", 10);
    ASSERT_TRUE(follow([&] { return list.findByName(u"IMG_0006.JPG").has_value(); }));
    EXPECT_FALSE(list.findByName(u"readme.txt").has_value());
    EXPECT_EQ(list.size(), 6u);
}

// Two files swap names through a third, as a numbering run does, and the
// list is told of it by the run itself. Replayed afterwards the events
// would give each entry the other's name; they are either let go (the
// run's own) or found not to be renames (the old name is still there).
TEST_F(Session, SwappedNamesAreNeverReplayedOntoTheWrongEntry)
{
    session.load({folder("one")});
    ImageList& list = session.list();
    const std::filesystem::path one = root.path() / "one";
    const std::size_t first = *list.findByName(u"DSC_0001.JPG");
    const std::size_t second = *list.findByName(u"DSC_0002.JPG");
    const auto swap = [&] {
        std::filesystem::rename(one / "DSC_0001.JPG", one / "0000_DSC_0001.JPG");
        std::filesystem::rename(one / "DSC_0002.JPG", one / "DSC_0001.JPG");
        std::filesystem::rename(one / "0000_DSC_0001.JPG", one / "DSC_0002.JPG");
        const std::u16string firstPath = list.entry(first).path();
        list.entry(first).setPath(list.entry(second).path());
        list.entry(second).setPath(firstPath);
        ASSERT_TRUE(test::waitForEvents(session.watcher().descriptor(), std::chrono::seconds(2)));
    };
    // Each entry's file is known by its size: 101 and 102 bytes.
    const auto namesRight = [&] {
        return std::filesystem::file_size(std::filesystem::path(list.entry(first).path())) == 101u
               && std::filesystem::file_size(std::filesystem::path(list.entry(second).path())) == 102u;
    };
    swap();
    EXPECT_FALSE(session.followChanges(true, true).any());
    EXPECT_FALSE(session.followChanges(true, false).any());
    EXPECT_TRUE(namesRight());

    swap();
    session.followChanges(true, false);
    EXPECT_TRUE(namesRight());
    EXPECT_TRUE(renames.empty());
}

TEST_F(Session, WithTheWatchSwitchedOffNothingChanges)
{
    session.load({folder("one")});
    std::filesystem::remove(root.path() / "one" / "DSC_0001.JPG");
    // The removal's event has arrived before the switched-off watch looks.
    ASSERT_TRUE(test::waitForEvents(session.watcher().descriptor(), std::chrono::seconds(2)));
    EXPECT_FALSE(session.followChanges(false, false).any());
    EXPECT_NE(session.list().entry(*session.list().findByName(u"DSC_0001.JPG")).presence(), 0);
    // The events were let go: switching on does not replay them.
    EXPECT_FALSE(session.followChanges(true, false).any());
}

TEST(MemoryReserve, DoublesOnEachFailureUpToOneGibibyteAndSaysSoOnce)
{
    int resets = 0;
    int reports = 0;
    MemoryReserve reserve({[&] { ++resets; }, [&] { ++reports; }});
    std::vector<std::uint32_t> seen;
    for (int i = 0; i < 6; ++i) {
        reserve.raiseAfterFailure();
        seen.push_back(reserve.bytes() >> 20);
    }
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{128, 256, 512, 1024, 1024, 1024}));
    EXPECT_EQ(resets, 4);
    EXPECT_EQ(reports, 1);
}

TEST(MemoryReserve, AnAllocationThatCannotBeHadRaisesTheReserve)
{
    MemoryReserve reserve;
    EXPECT_NE(reserve.allocateZeroed(4096), nullptr);
    EXPECT_EQ(reserve.bytes(), MemoryReserve::kInitial);
#if !defined(__SANITIZE_ADDRESS__)
    // (AddressSanitizer reports such a request instead of failing it.)
    EXPECT_EQ(reserve.allocate(std::size_t{1} << 62), nullptr);
    EXPECT_EQ(reserve.bytes(), 2 * MemoryReserve::kInitial);
#endif
    const auto available = availableMemory();
    ASSERT_TRUE(available.has_value());
    EXPECT_GT(*available, 0u);
}

} // namespace
} // namespace qlx::imagelist
