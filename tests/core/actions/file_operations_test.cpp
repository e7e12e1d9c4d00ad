// Copying and moving one file: the byte-identical result, the refusal to
// overwrite, the failures that must leave everything as it was, and the
// move across file systems that copies, checks and deletes.

#include "actions/file_operations.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
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

void writeAll(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

// Enough bytes for several copy blocks, none of them alike.
std::string someBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

struct stat statOf(const fs::path& file)
{
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
    return st;
}

// Names in `folder` other than the ones expected: leftovers of a transfer.
std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool isRoot()
{
    return ::geteuid() == 0;
}

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(from());
        fs::create_directories(to());
    }
    fs::path from() const { return m_temp.path() / "from"; }
    fs::path to() const { return m_temp.path() / "to"; }

    test::TempDir m_temp;
};

TEST_F(FileOperationsTest, CopyIsByteIdenticalAndKeepsModeAndTime)
{
    const std::string bytes = someBytes(3 * 1024 * 1024 + 17, 1);
    const fs::path source = from() / "IMG_0001.JPG";
    writeAll(source, bytes);
    ::chmod(source.c_str(), 0640);
    const struct timespec times[2] = {{1'600'000'000, 0}, {1'500'000'000, 123'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);

    const TransferResult result = copyFile(source, to());
    ASSERT_TRUE(result.done()) << result.detail;
    EXPECT_EQ(result.target, to() / "IMG_0001.JPG");
    EXPECT_EQ(readAll(result.target), bytes);
    EXPECT_EQ(readAll(source), bytes);
    const struct stat copied = statOf(result.target);
    EXPECT_EQ(copied.st_mode & 0777, 0640u);
    EXPECT_EQ(copied.st_mtim.tv_sec, 1'500'000'000);
    EXPECT_EQ(copied.st_mtim.tv_nsec, 123'000'000);
    EXPECT_EQ(namesIn(to()), std::vector<std::string>{"IMG_0001.JPG"});
}

TEST_F(FileOperationsTest, CopyOfAnEmptyFile)
{
    writeAll(from() / "empty.jpg", "");
    const TransferResult result = copyFile(from() / "empty.jpg", to());
    ASSERT_TRUE(result.done()) << result.detail;
    EXPECT_EQ(fs::file_size(to() / "empty.jpg"), 0u);
}

TEST_F(FileOperationsTest, CopyNeverOverwritesUnlessAsked)
{
    writeAll(from() / "a.jpg", "new");
    writeAll(to() / "a.jpg", "old");
    const TransferResult refused = copyFile(from() / "a.jpg", to());
    EXPECT_EQ(refused.outcome, TransferOutcome::TargetExists);
    EXPECT_EQ(readAll(to() / "a.jpg"), "old");
    EXPECT_EQ(namesIn(to()), std::vector<std::string>{"a.jpg"});

    const TransferResult replaced = copyFile(from() / "a.jpg", to(), {ExistingTarget::Replace});
    ASSERT_TRUE(replaced.done()) << replaced.detail;
    EXPECT_EQ(readAll(to() / "a.jpg"), "new");
    EXPECT_EQ(namesIn(to()), std::vector<std::string>{"a.jpg"});
}

TEST_F(FileOperationsTest, AFolderOfTheSameNameIsNeverReplaced)
{
    writeAll(from() / "a.jpg", "new");
    fs::create_directory(to() / "a.jpg");
    EXPECT_EQ(copyFile(from() / "a.jpg", to(), {ExistingTarget::Replace}).outcome, TransferOutcome::TargetExists);
    EXPECT_EQ(moveFile(from() / "a.jpg", to(), {ExistingTarget::Replace}).outcome, TransferOutcome::TargetExists);
    EXPECT_TRUE(fs::is_directory(to() / "a.jpg"));
    EXPECT_EQ(readAll(from() / "a.jpg"), "new");
}

TEST_F(FileOperationsTest, MissingSourceAndMissingFolderAreTheirOwnOutcomes)
{
    EXPECT_EQ(copyFile(from() / "gone.jpg", to()).outcome, TransferOutcome::SourceMissing);
    EXPECT_EQ(moveFile(from() / "gone.jpg", to()).outcome, TransferOutcome::SourceMissing);
    writeAll(from() / "a.jpg", "a");
    EXPECT_EQ(copyFile(from() / "a.jpg", to() / "none").outcome, TransferOutcome::TargetFolderMissing);
    EXPECT_EQ(moveFile(from() / "a.jpg", to() / "none").outcome, TransferOutcome::TargetFolderMissing);
    EXPECT_EQ(readAll(from() / "a.jpg"), "a");
    EXPECT_EQ(copyFile(from(), to()).outcome, TransferOutcome::SourceNotAFile);
    EXPECT_EQ(moveFile(from(), to()).outcome, TransferOutcome::SourceNotAFile);
}

TEST_F(FileOperationsTest, AFileIsNeverTransferredOntoItself)
{
    writeAll(from() / "a.jpg", "a");
    EXPECT_EQ(copyFile(from() / "a.jpg", from(), {ExistingTarget::Replace}).outcome, TransferOutcome::SameFile);
    EXPECT_EQ(moveFile(from() / "a.jpg", from(), {ExistingTarget::Replace}).outcome, TransferOutcome::SameFile);
    EXPECT_EQ(moveFile(from() / "a.jpg", from(), {ExistingTarget::Replace, true}).outcome,
              TransferOutcome::SameFile);
    EXPECT_EQ(readAll(from() / "a.jpg"), "a");
    EXPECT_EQ(namesIn(from()), std::vector<std::string>{"a.jpg"});
}

TEST_F(FileOperationsTest, ReadOnlyTargetFolderFailsAndLeavesNothing)
{
    if (isRoot())
        GTEST_SKIP() << "permissions do not bind the super-user";
    writeAll(from() / "a.jpg", "a");
    ::chmod(to().c_str(), 0555);
    const TransferResult copied = copyFile(from() / "a.jpg", to());
    const TransferResult moved = moveFile(from() / "a.jpg", to());
    ::chmod(to().c_str(), 0755);
    EXPECT_EQ(copied.outcome, TransferOutcome::WriteFailed);
    EXPECT_EQ(moved.outcome, TransferOutcome::WriteFailed);
    EXPECT_TRUE(namesIn(to()).empty());
    EXPECT_EQ(readAll(from() / "a.jpg"), "a");
}

TEST_F(FileOperationsTest, ACopyThatCannotBeWrittenFails)
{
    writeAll(from() / "a.jpg", "a");
    // /proc takes no new files, whoever asks, root included.
    const TransferResult result = copyFile(from() / "a.jpg", "/proc");
    EXPECT_EQ(result.outcome, TransferOutcome::WriteFailed);
    EXPECT_NE(result.error, 0);
    EXPECT_EQ(readAll(from() / "a.jpg"), "a");
}

TEST_F(FileOperationsTest, MoveOnOneFileSystemRenames)
{
    const std::string bytes = someBytes(4096, 2);
    writeAll(from() / "a.cr2", bytes);
    const ino_t inode = statOf(from() / "a.cr2").st_ino;
    const TransferResult result = moveFile(from() / "a.cr2", to());
    ASSERT_TRUE(result.done()) << result.detail;
    EXPECT_FALSE(fs::exists(from() / "a.cr2"));
    EXPECT_EQ(readAll(to() / "a.cr2"), bytes);
    EXPECT_EQ(statOf(to() / "a.cr2").st_ino, inode);
}

TEST_F(FileOperationsTest, MoveNeverOverwritesUnlessAsked)
{
    writeAll(from() / "a.jpg", "new");
    writeAll(to() / "a.jpg", "old");
    EXPECT_EQ(moveFile(from() / "a.jpg", to()).outcome, TransferOutcome::TargetExists);
    EXPECT_EQ(moveFile(from() / "a.jpg", to(), {ExistingTarget::Refuse, true}).outcome,
              TransferOutcome::TargetExists);
    EXPECT_EQ(readAll(from() / "a.jpg"), "new");
    EXPECT_EQ(readAll(to() / "a.jpg"), "old");

    ASSERT_TRUE(moveFile(from() / "a.jpg", to(), {ExistingTarget::Replace}).done());
    EXPECT_FALSE(fs::exists(from() / "a.jpg"));
    EXPECT_EQ(readAll(to() / "a.jpg"), "new");
}

TEST_F(FileOperationsTest, MoveByCopyingIsByteIdenticalAndRemovesTheSource)
{
    const std::string bytes = someBytes(2 * 1024 * 1024 + 5, 3);
    writeAll(from() / "a.nef", bytes);
    const TransferResult result = moveFile(from() / "a.nef", to(), {ExistingTarget::Refuse, true});
    ASSERT_TRUE(result.done()) << result.detail;
    EXPECT_FALSE(fs::exists(from() / "a.nef"));
    EXPECT_EQ(readAll(to() / "a.nef"), bytes);
    EXPECT_EQ(namesIn(to()), std::vector<std::string>{"a.nef"});
}

TEST_F(FileOperationsTest, AMoveWhoseCopyFailsKeepsTheSource)
{
    writeAll(from() / "a.jpg", "keep me");
    const TransferResult result = moveFile(from() / "a.jpg", "/proc", {ExistingTarget::Refuse, true});
    EXPECT_EQ(result.outcome, TransferOutcome::WriteFailed);
    EXPECT_EQ(readAll(from() / "a.jpg"), "keep me");
}

TEST_F(FileOperationsTest, AMoveThatCannotDeleteTheSourceCopiesNothing)
{
    if (isRoot())
        GTEST_SKIP() << "permissions do not bind the super-user";
    writeAll(from() / "a.jpg", "keep me");
    ::chmod(from().c_str(), 0555);
    const TransferResult result = moveFile(from() / "a.jpg", to(), {ExistingTarget::Refuse, true});
    ::chmod(from().c_str(), 0755);
    EXPECT_EQ(result.outcome, TransferOutcome::SourceNotRemoved);
    EXPECT_EQ(readAll(from() / "a.jpg"), "keep me");
    EXPECT_TRUE(namesIn(to()).empty());
}

// A real second file system where the machine has one (a tmpfs at /dev/shm
// beside a disk-backed temporary folder).
TEST_F(FileOperationsTest, MoveAcrossFileSystemsCopiesChecksAndDeletes)
{
    const fs::path shm = "/dev/shm";
    struct stat there {};
    if (::stat(shm.c_str(), &there) != 0 || there.st_dev == statOf(m_temp.path()).st_dev
        || ::access(shm.c_str(), W_OK) != 0)
        GTEST_SKIP() << "no second file system to move to";
    std::string pattern = (shm / "qlx-move-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path other = pattern;
    const std::string bytes = someBytes(1024 * 1024 + 3, 4);
    writeAll(from() / "a.arw", bytes);
    const TransferResult result = moveFile(from() / "a.arw", other);
    const std::string moved = readAll(other / "a.arw");
    fs::remove_all(other);
    ASSERT_TRUE(result.done()) << result.detail;
    EXPECT_EQ(moved, bytes);
    EXPECT_FALSE(fs::exists(from() / "a.arw"));
}

TEST_F(FileOperationsTest, EnsureFolderMakesEveryLevel)
{
    const fs::path deep = m_temp.path() / "x" / "y" / "z";
    EXPECT_TRUE(ensureFolder(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(ensureFolder(deep));
    writeAll(m_temp.path() / "file", "f");
    EXPECT_FALSE(ensureFolder(m_temp.path() / "file" / "sub"));
    EXPECT_FALSE(ensureFolder({}));
}

TEST(FormatSize, FollowsTheStatusBarUnits)
{
    EXPECT_EQ(formatSize(0), u"0Byte");
    EXPECT_EQ(formatSize(1023), u"1023Byte");
    EXPECT_EQ(formatSize(1024), u"1.00KB");
    EXPECT_EQ(formatSize(1536), u"1.50KB");
    EXPECT_EQ(formatSize(1'048'576), u"1.00MB");
    EXPECT_EQ(formatSize(3'355'443), u"3.20MB");
    EXPECT_EQ(formatSize(5ull * 1'073'741'824), u"5.00GB");
}

} // namespace
} // namespace qlx::actions
