// The watcher's translation of system events into changes of the list; the
// list after each change is checked in folder_session_test.

#include "imagelist/folder_watcher.h"

#include "folder_test_files.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace qlx::imagelist {
namespace {

using test::TempDir;
using test::waitForEvents;
using test::writeFile;
using namespace std::chrono_literals;

using Clock = std::chrono::steady_clock;

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

    // A rename inside the folder is followed through the folder session.
    std::filesystem::rename(dir.path() / "leaving.jpg", elsewhere.path() / "leaving.jpg");
    auto changes = pollFor(watcher, 1);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Removed, u"leaving.jpg"));

    std::filesystem::rename(elsewhere.path() / "arriving.jpg", dir.path() / "arriving.jpg");
    changes = pollFor(watcher, 2);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Modified, u"arriving.jpg"));

    // A folder named like a picture is no change of the list; the removal
    // after it shows that its event was read.
    std::filesystem::create_directory(dir.path() / "sub.jpg");
    std::filesystem::remove(dir.path() / "old.jpg");
    changes = pollFor(watcher, 1);
    EXPECT_FALSE(contains(changes, FolderChangeAction::Added, u"sub.jpg"));
    EXPECT_TRUE(contains(changes, FolderChangeAction::Removed, u"old.jpg"));

    // The folder itself going away means the list can no longer be followed.
    std::filesystem::remove(dir.path() / "sub.jpg");
    std::filesystem::rename(dir.path(), elsewhere.path() / "moved");
    changes = pollFor(watcher, 1);
    EXPECT_TRUE(contains(changes, FolderChangeAction::Lost, u""));
    std::filesystem::rename(elsewhere.path() / "moved", dir.path());
}

} // namespace
} // namespace qlx::imagelist
