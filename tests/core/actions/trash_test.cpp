// The trash: a file goes to the home trash with an info file naming where
// it came from (in the format the desktop's own `gio trash` writes, which
// the test compares with when it is installed), a second file of the same
// name takes the next free name, and a trash that cannot be had refuses
// the file instead of deleting it.

#include "actions/trash.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "support/file_contents.h"
#include "support/data_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

using qlx::test::contentOf;

// XDG_DATA_HOME pointed at a folder of the test while it lives.
using qlx::test::DataHome;

void write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string pathLine(const std::string& info)
{
    const auto start = info.find("\nPath=");
    return start == std::string::npos ? std::string() : info.substr(start + 1, info.find('\n', start + 1) - start - 1);
}

TEST(Trash, AFileGoesToTheHomeTrashWithItsInfo)
{
    qlx::test::TempDir dir;
    const DataHome home(dir.path() / "data");
    fs::create_directories(dir.path() / "card" / "DCIM");
    const fs::path file = dir.path() / "card" / "DCIM" / "a b 写真.jpg";
    write(file, "picture");

    const TrashResult result = moveToTrash(file);
    ASSERT_TRUE(result.done()) << result.error;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(result.trashed, dir.path() / "data" / "Trash" / "files" / "a b 写真.jpg");
    EXPECT_EQ(contentOf(result.trashed), "picture");
    const std::string info = contentOf(result.info);
    // 写 is E5 86 99 and 真 E7 9C 9F in UTF-8.
    EXPECT_EQ(pathLine(info), "Path=" + (dir.path() / "card" / "DCIM").string() + "/a%20b%20%E5%86%99%E7%9C%9F.jpg");
    EXPECT_TRUE(std::regex_search(info, std::regex("^\\[Trash Info\\]\nPath=.*\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")))
        << info;

    // Another file of that name takes the next free name; nothing is replaced.
    write(file, "second");
    const TrashResult again = moveToTrash(file);
    ASSERT_TRUE(again.done());
    EXPECT_EQ(again.trashed.filename(), "a b 写真.2.jpg");
    EXPECT_EQ(contentOf(result.trashed), "picture");
    EXPECT_EQ(contentOf(again.trashed), "second");

    EXPECT_EQ(moveToTrash(file).outcome, TrashOutcome::SourceMissing);
}

TEST(Trash, WithoutATrashTheFileStays)
{
    qlx::test::TempDir dir;
    const DataHome home(dir.path() / "data");
    // "info" taken by a plain file: the trash cannot be made.
    fs::create_directories(dir.path() / "data" / "Trash" / "files");
    write(dir.path() / "data" / "Trash" / "info", "");
    const fs::path file = dir.path() / "keep.jpg";
    write(file, "picture");
    EXPECT_EQ(moveToTrash(file).outcome, TrashOutcome::NoTrash);
    EXPECT_EQ(contentOf(file), "picture");
}

TEST(Trash, ThePathIsWrittenAsTheDesktopWritesIt)
{
    if (qlx::test::runCommand("command -v gio > /dev/null 2>&1").exitCode != 0)
        GTEST_SKIP() << "gio (libglib2.0-bin) is not installed";
    qlx::test::TempDir dir;
    const fs::path file = dir.path() / "x y #%&+;=写真.txt";
    const std::string name = "x y #%&+;=写真.txt";
    std::string theirs;
    {
        const DataHome home(dir.path() / "gio");
        write(file, "a");
        ASSERT_EQ(qlx::test::runCommand("gio trash '" + file.string() + "'").exitCode, 0);
        theirs = contentOf(dir.path() / "gio" / "Trash" / "info" / (name + ".trashinfo"));
    }
    const DataHome home(dir.path() / "ours");
    write(file, "a");
    const TrashResult ours = moveToTrash(file);
    ASSERT_TRUE(ours.done());
    EXPECT_EQ(pathLine(contentOf(ours.info)), pathLine(theirs));
    EXPECT_FALSE(pathLine(theirs).empty());
}

} // namespace
