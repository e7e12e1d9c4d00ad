// Taking files back out of the trash: what we trashed, what another program
// trashed (info files written by hand as the freedesktop.org trash standard
// shows them, and `gio trash` itself), with the questions a taken name and
// a missing folder ask.

#include "actions/trash.h"
#include "actions/trash_emptying.h"
#include "actions/trash_restore.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace qlx;
using namespace qlx::actions;

namespace {

using qlx::test::contentOf;

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// The trash follows XDG_DATA_HOME, as the desktop's does.
class TrashHome {
public:
    explicit TrashHome(const fs::path& data)
    {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            m_saved = old;
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    ~TrashHome()
    {
        if (m_saved)
            ::setenv("XDG_DATA_HOME", m_saved->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

private:
    std::optional<std::string> m_saved;
};

FileActionQuestions answering(bool replace, bool createFolder)
{
    return {[replace](const fs::path&) { return replace; }, [createFolder](const fs::path&) { return createFolder; }};
}

std::size_t itemsIn(const fs::path& folder)
{
    return fs::exists(folder) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})) : 0;
}

struct Scene {
    test::TempDir dir;
    TrashHome home{dir.path() / "data"};
    fs::path trash = dir.path() / "data" / "Trash";
    fs::path file = dir.path() / "card" / "IMG 0001.jpg";
};

struct Case {
    const char* name;
    std::function<void(Scene&)> meanwhile; // after the trash, before the restore
    bool replace;
    bool createFolder;
    RestoreOutcome expected;
    const char* atOriginal; // the bytes at the original path afterwards ("" none)
    std::size_t itemsLeft;  // items still in the trash
};

TEST(TrashRestore, PutsTheFileBackOnlyWhereNothingIsLost)
{
    const Case cases[] = {
        {"nothing in the way", [](Scene&) {}, false, false, RestoreOutcome::Done, "picture", 0},
        {"the trash was emptied", [](Scene&) { emptyTrashFolders(userTrashFolders()); }, true, true,
         RestoreOutcome::NotInTrash, "", 0},
        {"a new file took the name, no", [](Scene& s) { writeFile(s.file, "newer"); }, false, false,
         RestoreOutcome::ReplaceDeclined, "newer", 1},
        {"a new file took the name, yes", [](Scene& s) { writeFile(s.file, "newer"); }, true, false,
         RestoreOutcome::Done, "picture", 0},
        {"the folder is gone, no", [](Scene& s) { fs::remove_all(s.file.parent_path()); }, false, false,
         RestoreOutcome::FolderDeclined, "", 1},
        {"the folder is gone, yes", [](Scene& s) { fs::remove_all(s.file.parent_path()); }, false, true,
         RestoreOutcome::Done, "picture", 0},
    };
    for (const Case& c : cases) {
        Scene s;
        writeFile(s.file, "picture");
        const TrashResult trashed = moveToTrash(s.file);
        ASSERT_TRUE(trashed.done()) << c.name;
        c.meanwhile(s);
        const RestoreResult restored = restoreFromTrash(s.file, answering(c.replace, c.createFolder), trashed.trashed);
        EXPECT_EQ(restored.outcome, c.expected) << c.name << ": " << restored.reason;
        EXPECT_EQ(fs::exists(s.file) ? contentOf(s.file) : "", c.atOriginal) << c.name;
        EXPECT_EQ(itemsIn(s.trash / "files"), c.itemsLeft) << c.name;
        EXPECT_EQ(itemsIn(s.trash / "info"), c.itemsLeft) << c.name;
    }
}

TEST(TrashRestore, TheNewestDeletionDateWinsAmongItemsOfOnePath)
{
    Scene s;
    // Written by another program, the newer item first so that the order
    // of the info files' own times says the opposite.
    const std::string path = "Path=" + encodeTrashPath(s.file.string()) + "\n";
    writeFile(s.trash / "files" / "IMG 0001.2.jpg", "second");
    writeFile(s.trash / "info" / "IMG 0001.2.jpg.trashinfo", "[Trash Info]\n" + path + "DeletionDate=2024-05-01T10:00:00\n");
    writeFile(s.trash / "files" / "IMG 0001.jpg", "first");
    writeFile(s.trash / "info" / "IMG 0001.jpg.trashinfo", "[Trash Info]\n" + path + "DeletionDate=2023-05-01T10:00:00\n");
    // A look-alike: another path that only differs in case.
    writeFile(s.trash / "files" / "img 0001.jpg", "other");
    writeFile(s.trash / "info" / "img 0001.jpg.trashinfo",
              "[Trash Info]\nPath=" + encodeTrashPath((s.dir.path() / "card" / "img 0001.jpg").string())
                  + "\nDeletionDate=2025-05-01T10:00:00\n");
    fs::create_directories(s.file.parent_path());

    ASSERT_TRUE(restoreFromTrash(s.file, answering(false, false)).done());
    EXPECT_EQ(contentOf(s.file), "second");
    EXPECT_FALSE(fs::exists(s.trash / "info" / "IMG 0001.2.jpg.trashinfo"));
    EXPECT_TRUE(fs::exists(s.trash / "info" / "IMG 0001.jpg.trashinfo"));

    // Trashed again by us: the recorded item is taken, whatever the dates.
    const TrashResult again = moveToTrash(s.file);
    ASSERT_TRUE(again.done());
    ASSERT_TRUE(restoreFromTrash(s.file, answering(false, false), again.trashed).done());
    EXPECT_EQ(contentOf(s.file), "second");
}

TEST(TrashRestore, ARecordedItemThatNamesAnotherPathIsNotTaken)
{
    Scene s;
    writeFile(s.file, "picture");
    const TrashResult trashed = moveToTrash(s.file);
    ASSERT_TRUE(trashed.done());
    const fs::path elsewhere = s.dir.path() / "card" / "IMG 0002.jpg";
    EXPECT_FALSE(findTrashedItem(elsewhere, trashed.trashed).has_value());
    EXPECT_EQ(restoreFromTrash(elsewhere, answering(true, true), trashed.trashed).outcome, RestoreOutcome::NotInTrash);
    EXPECT_TRUE(fs::exists(trashed.trashed));
}

TEST(TrashRestore, APathInAVolumesTrashIsRelativeToItsTopFolder)
{
    test::TempDir dir;
    const fs::path top = dir.path() / "card";
    const fs::path trash = top / (".Trash-" + std::to_string(::getuid()));
    writeFile(trash / "files" / "IMG_0001.CR2", "raw");
    writeFile(trash / "info" / "IMG_0001.CR2.trashinfo",
              "[Trash Info]\nPath=DCIM/100CANON/IMG_0001.CR2\nDeletionDate=2024-01-02T03:04:05\n");
    const auto item = findTrashedItem(top / "DCIM/100CANON/IMG_0001.CR2", trash / "files" / "IMG_0001.CR2");
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->deletedAt, 20240102030405u);
    EXPECT_FALSE(findTrashedItem(dir.path() / "DCIM/100CANON/IMG_0001.CR2", trash / "files" / "IMG_0001.CR2"));
}

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

TEST(TrashRestore, AFileTrashedByGioComesBackTheSameWay)
{
    using test::runCommand;
    if (runCommand("command -v gio > /dev/null 2>&1 && command -v dbus-run-session > /dev/null 2>&1").exitCode != 0)
        GTEST_SKIP() << "gio (libglib2.0-bin) or dbus-run-session (dbus) is not installed";
    Scene s;
    writeFile(s.file, "picture");
    const std::string gio = "XDG_DATA_HOME=" + quoted((s.dir.path() / "data").string())
                            + " dbus-run-session -- gio trash " + quoted(s.file.string()) + " 2>&1";
    const auto trashed = runCommand(gio);
    if (trashed.exitCode != 0 || fs::exists(s.file))
        GTEST_SKIP() << "gio cannot trash here: " << trashed.out;
    ASSERT_EQ(itemsIn(s.trash / "info"), 1u);

    const RestoreResult restored = restoreFromTrash(s.file, answering(false, false));
    ASSERT_TRUE(restored.done()) << restored.reason;
    EXPECT_EQ(contentOf(s.file), "picture");
    EXPECT_EQ(itemsIn(s.trash / "files"), 0u);
    EXPECT_EQ(itemsIn(s.trash / "info"), 0u);
}

} // namespace
