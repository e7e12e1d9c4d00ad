// Following another program's changes in the open folder: the watcher's
// translation of system events, and the list after each change.

#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "imagelist/folder_session.h"

#include "folder_test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <poll.h>

namespace qlx::imagelist {
namespace {

using test::TempDir;
using test::u16;
using test::writeFile;
using namespace std::chrono_literals;

using Clock = std::chrono::steady_clock;

// Waits up to `limit` for events on the watcher's descriptor; true at once
// when some are waiting.
bool waitForEvents(int descriptor, std::chrono::milliseconds limit)
{
    pollfd waiting{descriptor, POLLIN, 0};
    return ::poll(&waiting, 1, static_cast<int>(limit.count())) == 1;
}

// Polls until `atLeast` changes came or two seconds pass. A move out is held
// for one poll, so the loop polls again even when no new event arrives.
std::vector<FolderChange> pollFor(FolderWatcher& watcher, std::size_t atLeast)
{
    std::vector<FolderChange> all;
    for (const auto deadline = Clock::now() + 2s; all.size() < atLeast && Clock::now() < deadline;) {
        auto some = watcher.poll();
        all.insert(all.end(), some.begin(), some.end());
        if (all.size() < atLeast)
            waitForEvents(watcher.descriptor(), 10ms);
    }
    return all;
}

bool contains(const std::vector<FolderChange>& changes, FolderChangeAction action, std::u16string_view name)
{
    for (const FolderChange& change : changes)
        if (change.action == action && change.name == name)
            return true;
    return false;
}

TEST(FolderWatcher, SystemEventsBecomeTheListsChanges)
{
    TempDir dir;
    TempDir elsewhere;
    writeFile(dir.path() / "old.jpg", 5);
    writeFile(dir.path() / "leaving.jpg", 5);
    writeFile(elsewhere.path() / "arriving.jpg", 5);
    FolderWatcher watcher;
    ASSERT_TRUE(watcher.open(dir.path()));
    EXPECT_TRUE(watcher.poll().empty());

    std::filesystem::rename(dir.path() / "old.jpg", dir.path() / "new.jpg");
    auto changes = pollFor(watcher, 2);
    ASSERT_GE(changes.size(), 2u);
    EXPECT_EQ(changes[0], (FolderChange{FolderChangeAction::RenamedOld, u"old.jpg"}));
    EXPECT_EQ(changes[1], (FolderChange{FolderChangeAction::RenamedNew, u"new.jpg"}));

    std::filesystem::rename(dir.path() / "leaving.jpg", elsewhere.path() / "leaving.jpg");
    changes = pollFor(watcher, 1);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Removed, u"leaving.jpg"));

    std::filesystem::rename(elsewhere.path() / "arriving.jpg", dir.path() / "arriving.jpg");
    changes = pollFor(watcher, 2);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Modified, u"arriving.jpg"));

    writeFile(dir.path() / "written.jpg", 5);
    changes = pollFor(watcher, 2);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Added, u"written.jpg"));
    EXPECT_TRUE(contains(changes, FolderChangeAction::Modified, u"written.jpg"));

    std::filesystem::create_directory(dir.path() / "sub.jpg");
    std::filesystem::remove(dir.path() / "written.jpg");
    changes = pollFor(watcher, 1);
    EXPECT_FALSE(contains(changes, FolderChangeAction::Added, u"sub.jpg"));
    EXPECT_TRUE(contains(changes, FolderChangeAction::Removed, u"written.jpg"));

    // The folder itself going away means the list can no longer be followed.
    std::filesystem::remove(dir.path() / "sub.jpg");
    std::filesystem::rename(dir.path(), elsewhere.path() / "moved");
    changes = pollFor(watcher, 1);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Lost, u""));
    std::filesystem::rename(elsewhere.path() / "moved", dir.path());
}

class WatchedFolder : public ::testing::Test {
protected:
    WatchedFolder()
        : cache(cache::CacheSettings{cacheDir.path(), 0, false, false, false}),
          session(cache, reserve, [] {
              FolderReadOptions options;
              options.targetMask = kDefaultTargetMask;
              return options;
          })
    {
    }

    // Follows the changes until `done` holds or five seconds pass (a new
    // file is listed once it has been left alone for a second).
    template <typename Done>
    bool follow(Done done)
    {
        for (const auto deadline = Clock::now() + 5s; Clock::now() < deadline;) {
            const FolderChangeEffects effects = session.followChanges(true, false);
            renames.insert(renames.end(), effects.renames.begin(), effects.renames.end());
            if (done())
                return true;
            waitForEvents(session.watcher().descriptor(), 10ms);
        }
        return false;
    }

    TempDir folder;
    TempDir cacheDir;
    cache::ThumbnailCache cache;
    MemoryReserve reserve;
    FolderSession session;
    std::vector<RenameByOtherProgram> renames;
};

TEST_F(WatchedFolder, CopyRenameDeleteAndBringBack)
{
    writeFile(folder.path() / "IMG_0001.JPG", 100);
    writeFile(folder.path() / "IMG_0002.JPG", 100);
    ASSERT_EQ(session.load({u16(folder.path())}), LoadOutcome::Loaded);
    ImageList& list = session.list();
    ASSERT_EQ(list.size(), 2u);

    // Another program copies a file in: it shows up at the end of the list
    // once it has stopped changing, whole, and becomes the current row.
    {
        std::ofstream out(folder.path() / "IMG_0003.JPG", std::ios::binary);
        for (int i = 0; i < 5; ++i)
            out << std::string(10'000, 'z') << std::flush;
    }
    ASSERT_TRUE(follow([&] { return list.size() == 3; })) << "the copied file never appeared";
    EXPECT_EQ(list.entry(2).name(), u"IMG_0003.JPG");
    EXPECT_EQ(list.entry(2).fileSize(), 50'000u);
    EXPECT_EQ(list.order().size(), 3u);
    EXPECT_EQ(list.currentPosition(), 2);

    // Renamed in the file manager: the row follows and the rename is
    // reported so it can be logged and undone.
    std::filesystem::rename(folder.path() / "IMG_0001.JPG", folder.path() / "holiday.jpg");
    ASSERT_TRUE(follow([&] { return list.findByName(u"holiday.jpg").has_value(); }));
    EXPECT_FALSE(list.findByName(u"IMG_0001.JPG").has_value());
    ASSERT_EQ(renames.size(), 1u);
    EXPECT_EQ(renames[0].previousPath, u16(folder.path() / "IMG_0001.JPG"));
    EXPECT_EQ(list.size(), 3u);

    // Deleted: greyed out, the row stays.
    const std::size_t second = *list.findByName(u"IMG_0002.JPG");
    list.item(second).history.assign(kHistoryRecordSize, std::byte{0});
    list.item(second).history[0] = std::byte{kHistoryRecycle};
    list.entry(second).setHistoryCount(1);
    list.entry(second).setHistoryPosition(0);
    std::filesystem::remove(folder.path() / "IMG_0002.JPG");
    ASSERT_TRUE(follow([&] { return list.entry(second).presence() == 0; }));
    EXPECT_EQ(list.size(), 3u);

    // Back again (restored from the recycle bin): present, and the recycle
    // record no longer stands.
    writeFile(folder.path() / "IMG_0002.JPG", 100);
    ASSERT_TRUE(follow([&] { return list.entry(second).presence() != 0; }));
    EXPECT_EQ(list.entry(second).historyPosition(), -1);
    EXPECT_EQ(list.item(second).history[0], std::byte{0});
    EXPECT_EQ(list.size(), 3u);

    // Files of kinds not listed never appear: once a picture written after
    // it is listed, the text file's events have been taken in too.
    writeFile(folder.path() / "readme.txt", 10);
    writeFile(folder.path() / "IMG_0004.JPG", 10);
    ASSERT_TRUE(follow([&] { return list.findByName(u"IMG_0004.JPG").has_value(); }));
    EXPECT_FALSE(list.findByName(u"readme.txt").has_value());
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(WatchedFolder, WithTheWatchSwitchedOffNothingChanges)
{
    writeFile(folder.path() / "a.jpg", 10);
    session.load({u16(folder.path())});
    std::filesystem::remove(folder.path() / "a.jpg");
    // The removal's event has arrived before the switched-off watch looks.
    ASSERT_TRUE(waitForEvents(session.watcher().descriptor(), 2s));
    EXPECT_FALSE(session.followChanges(false, false).any());
    EXPECT_NE(session.list().entry(0).presence(), 0);
    // The events were let go: switching on does not replay them.
    EXPECT_FALSE(session.followChanges(true, false).any());
}

} // namespace
} // namespace qlx::imagelist
