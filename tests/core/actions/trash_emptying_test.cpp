// Emptying the trash: every item (files, links, folders with what they
// hold) goes with its info file, orphaned info files go, a link in the
// trash is removed itself and whatever it points at outside survives,
// and a tree deeper than the bound stays and is counted.

#include "actions/trash.h"
#include "actions/trash_emptying.h"
#include "support/test_paths.h"
#include "support/data_home.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>

using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

using qlx::test::DataHome;

void write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::size_t countIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// An item put into the trash by hand: files/NAME (made by `make`) and its info.
void trashByHand(const fs::path& trash, const std::string& name, const std::function<void(const fs::path&)>& make)
{
    make(trash / "files" / name);
    write(trash / "info" / (name + ".trashinfo"), "[Trash Info]\nPath=/x/" + name + "\nDeletionDate=2024-01-01T00:00:00\n");
}

TEST(TrashEmptying, EverythingGoesButWhatLinksPointAt)
{
    qlx::test::TempDir dir;
    const DataHome home(dir.path() / "data");
    const fs::path trash = dir.path() / "data" / "Trash";
    const std::vector<fs::path> before = userTrashFolders();
    EXPECT_TRUE(std::find(before.begin(), before.end(), trash) == before.end())
        << "a trash that does not exist yet is not listed";

    const fs::path outside = dir.path() / "outside";
    fs::create_directories(outside / "folder");
    write(outside / "keep.jpg", "keep");
    write(outside / "folder" / "inner.jpg", "inner");
    for (const char* name : {"a.jpg", "b.jpg"}) {
        write(dir.path() / name, name);
        ASSERT_TRUE(moveToTrash(dir.path() / name).done());
    }
    trashByHand(trash, "link.jpg", [&](const fs::path& at) { fs::create_symlink(outside / "keep.jpg", at); });
    trashByHand(trash, "linked folder", [&](const fs::path& at) { fs::create_directory_symlink(outside / "folder", at); });
    trashByHand(trash, "album", [&](const fs::path& at) {
        fs::create_directories(at / "sub");
        write(at / "sub" / "c.jpg", "c");
        fs::create_directory_symlink(outside / "folder", at / "sub" / "escape");
    });
    write(trash / "info" / "orphan.jpg.trashinfo", "[Trash Info]\nPath=/x/orphan.jpg\n");

    const std::vector<fs::path> listed = userTrashFolders();
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), trash) << "the home trash comes first";

    const TrashEmptyingResult result = emptyTrashFolders({trash});
    EXPECT_EQ(result.removed, 5u);
    EXPECT_EQ(result.failed, 0u);
    EXPECT_EQ(countIn(trash / "files"), 0u);
    EXPECT_EQ(countIn(trash / "info"), 0u);
    EXPECT_TRUE(fs::exists(outside / "keep.jpg"));
    EXPECT_TRUE(fs::exists(outside / "folder" / "inner.jpg"));
}

TEST(TrashEmptying, ATreeDeeperThanTheBoundStays)
{
    qlx::test::TempDir dir;
    const fs::path trash = dir.path() / "Trash";
    fs::create_directories(trash / "files");
    fs::create_directories(trash / "info");
    trashByHand(trash, "deep", [](const fs::path& at) {
        fs::path level = at;
        for (int i = 0; i < 70; ++i)
            level /= "d";
        fs::create_directories(level);
    });
    trashByHand(trash, "flat.jpg", [](const fs::path& at) { write(at, "x"); });
    const TrashEmptyingResult result = emptyTrashFolders({trash});
    EXPECT_EQ(result.removed, 1u);
    EXPECT_EQ(result.failed, 1u);
    EXPECT_TRUE(fs::exists(trash / "files" / "deep"));
    EXPECT_TRUE(fs::exists(trash / "info" / "deep.trashinfo")) << "an item that stays keeps its info";
}

TEST(TrashEmptying, ATrashThatIsALinkIsNotEmptied)
{
    qlx::test::TempDir dir;
    fs::create_directories(dir.path() / "real" / "files");
    fs::create_directories(dir.path() / "real" / "info");
    write(dir.path() / "real" / "files" / "a.jpg", "a");
    fs::create_directory_symlink(dir.path() / "real", dir.path() / "Trash");
    const TrashEmptyingResult result = emptyTrashFolders({dir.path() / "Trash"});
    EXPECT_EQ(result.removed, 0u);
    EXPECT_TRUE(fs::exists(dir.path() / "real" / "files" / "a.jpg"));
}

} // namespace
