// Copying and moving one file: the byte-identical result, and every refusal
// and failure leaving the folders exactly as they were.

#include "actions/file_operations.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::actions {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every name below `root` with its content ("/" for a folder): what a
// transfer that does nothing must leave as it found.
std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        all[entry.path().lexically_relative(root).string()] = entry.is_directory() ? "/" : readAll(entry.path());
    return all;
}

class FileOperationsTest : public ::testing::Test {
protected:
    fs::path at(const std::string& name) const { return m_temp.path() / name; }
    void put(const std::string& name, const std::string& bytes) const
    {
        fs::create_directories(at(name).parent_path());
        std::ofstream(at(name), std::ios::binary) << bytes;
    }

    test::TempDir m_temp;
};

TEST_F(FileOperationsTest, CopyAndMoveAreByteIdenticalAndACopyKeepsModeAndTimes)
{
    // Several copy blocks, in a 251-byte pattern that no block size (a power
    // of two) is a multiple of: a block out of place shows.
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i % 251);
    put("from/a.jpg", bytes);
    put("from/empty.jpg", "");
    ::chmod(at("from/a.jpg").c_str(), 0640);
    const struct timespec times[2] = {{1'600'000'000, 0}, {1'500'000'000, 123'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, at("from/a.jpg").c_str(), times, 0), 0);
    fs::create_directory(at("to"));

    ASSERT_TRUE(copyFile(at("from/a.jpg"), at("to")).done());
    ASSERT_TRUE(copyFile(at("from/empty.jpg"), at("to")).done());
    struct stat copied {};
    ASSERT_EQ(::stat(at("to/a.jpg").c_str(), &copied), 0);
    EXPECT_EQ(copied.st_mode & 0777, 0640u);
    EXPECT_EQ(copied.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(copied.st_mtim.tv_nsec, 123'000'000);

    // A move in one file system is a rename: the same file, not a copy.
    fs::create_directory(at("moved"));
    ASSERT_TRUE(moveFile(at("to/a.jpg"), at("moved")).done());
    struct stat moved {};
    EXPECT_TRUE(::stat(at("moved/a.jpg").c_str(), &moved) == 0 && moved.st_ino == copied.st_ino);
    // Across file systems a move copies, checks and deletes.
    ASSERT_TRUE(moveFile(at("moved/a.jpg"), at("to"), {ExistingTarget::Refuse, true}).done());
    EXPECT_EQ(snapshot(m_temp.path()),
              (std::map<std::string, std::string>{{"from", "/"}, {"from/a.jpg", bytes}, {"from/empty.jpg", ""},
                                                  {"moved", "/"}, {"to", "/"}, {"to/a.jpg", bytes},
                                                  {"to/empty.jpg", ""}}));
}

TEST_F(FileOperationsTest, ReplaceTakesThePlaceOfAFileOnlyWhenAsked)
{
    put("from/a.jpg", "new");
    put("from/b.jpg", "newer");
    put("to/a.jpg", "old");
    put("to/b.jpg", "old");
    ASSERT_TRUE(copyFile(at("from/a.jpg"), at("to"), {ExistingTarget::Replace}).done());
    ASSERT_TRUE(moveFile(at("from/b.jpg"), at("to"), {ExistingTarget::Replace}).done());
    EXPECT_EQ(snapshot(m_temp.path()),
              (std::map<std::string, std::string>{{"from", "/"}, {"from/a.jpg", "new"}, {"to", "/"},
                                                  {"to/a.jpg", "new"}, {"to/b.jpg", "newer"}}));
}

TEST_F(FileOperationsTest, RefusalsAndFailuresChangeNothing)
{
    put("from/a.jpg", "new");
    put("taken/a.jpg", "old");
    fs::create_directories(at("folder-taken/a.jpg"));
    put("locked/a.jpg", "keep me");
    fs::create_directory(at("read-only"));
    fs::create_directory(at("to"));
    ::chmod(at("locked").c_str(), 0555);
    ::chmod(at("read-only").c_str(), 0555);

    constexpr TransferOptions kRefuse{ExistingTarget::Refuse}, kReplace{ExistingTarget::Replace};
    constexpr TransferOptions kByCopy{ExistingTarget::Refuse, true}, kReplaceByCopy{ExistingTarget::Replace, true};
    // Each case is tried as a copy and as a move.
    struct Case {
        std::string source;
        fs::path folder;
        TransferOptions options;
        TransferOutcome expected;
    };
    std::vector<Case> cases{
        {"from/a.jpg", "taken", kRefuse, TransferOutcome::TargetExists},
        {"from/a.jpg", "taken", kByCopy, TransferOutcome::TargetExists},
        {"from/a.jpg", "folder-taken", kReplace, TransferOutcome::TargetExists},
        {"from/a.jpg", "from", kReplace, TransferOutcome::SameFile},
        {"from/a.jpg", "from", kReplaceByCopy, TransferOutcome::SameFile},
        {"from/gone.jpg", "taken", kRefuse, TransferOutcome::SourceMissing},
        {"from/a.jpg", "none", kRefuse, TransferOutcome::TargetFolderMissing},
        {"from", "taken", kRefuse, TransferOutcome::SourceNotAFile},
        // /proc is another file system, and takes no new files whoever asks.
        {"from/a.jpg", "/proc", kRefuse, TransferOutcome::WriteFailed},
    };
    if (::geteuid() != 0) // permissions do not bind the super-user
        cases.push_back({"from/a.jpg", "read-only", kRefuse, TransferOutcome::WriteFailed});
    const auto before = snapshot(m_temp.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.folder.string());
        const fs::path folder = c.folder.is_absolute() ? c.folder : at(c.folder);
        EXPECT_EQ(copyFile(at(c.source), folder, c.options).outcome, c.expected);
        EXPECT_EQ(moveFile(at(c.source), folder, c.options).outcome, c.expected);
        EXPECT_EQ(snapshot(m_temp.path()), before);
    }
    // A source that could not be deleted afterwards is not even copied.
    if (::geteuid() != 0) {
        EXPECT_EQ(moveFile(at("locked/a.jpg"), at("to"), kByCopy).outcome, TransferOutcome::SourceNotRemoved);
        EXPECT_EQ(snapshot(m_temp.path()), before);
    }
    ::chmod(at("locked").c_str(), 0755);
    ::chmod(at("read-only").c_str(), 0755);
}

TEST_F(FileOperationsTest, EnsureFolderMakesEveryLevel)
{
    EXPECT_TRUE(ensureFolder(at("x/y/z")));
    EXPECT_TRUE(fs::is_directory(at("x/y/z")));
    EXPECT_TRUE(ensureFolder(at("x/y/z")));
    put("file", "f");
    EXPECT_FALSE(ensureFolder(at("file/sub")));
    EXPECT_FALSE(ensureFolder({}));
}

TEST(FormatSize, FollowsTheStatusBarUnits)
{
    const std::pair<std::uint64_t, std::u16string_view> cases[] = {
        {0, u"0Byte"}, {1023, u"1023Byte"}, {1024, u"1.00KB"}, {1536, u"1.50KB"},
        {1'048'576, u"1.00MB"}, {3'355'443, u"3.20MB"}, {5ull * 1'073'741'824, u"5.00GB"},
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(formatSize(bytes), shown) << bytes;
}

} // namespace
} // namespace qlx::actions
