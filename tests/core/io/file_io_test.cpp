// The rename that never replaces: every caller that moves the user's files
// or folders under a new name relies on it, on file systems with the
// kernel's no-replace flag and (through the fallback) on those without.

#include "io/file_io.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::io {
namespace {

namespace fs = std::filesystem;

struct Way {
    const char* name;
    bool (*rename)(const fs::path&, const fs::path&);
    friend void PrintTo(const Way& way, std::ostream* os) { *os << way.name; }
};

// Every case runs both ways: the one the program calls, and the fallback it
// takes where the file system refuses the flag.
class RenameNoReplace : public ::testing::TestWithParam<Way> {
protected:
    fs::path at(const char* name) const { return m_temp.path() / name; }
    bool rename(const fs::path& from, const fs::path& to) const { return GetParam().rename(from, to); }

    test::TempDir m_temp;
};

INSTANTIATE_TEST_SUITE_P(Ways, RenameNoReplace,
                         ::testing::Values(Way{"WithFlag", renameNoReplace},
                                           Way{"WithoutFlag", renameNoReplaceWithoutFlag}),
                         [](const auto& way) { return std::string(way.param.name); });

// rename(2) alone would replace a file, and a folder by an empty folder;
// here every taken name refuses with EEXIST and both sides stay as they were.
// File contents differ in length, so a replaced file shows in its size.
TEST_P(RenameNoReplace, MovesToAFreeNameAndRefusesATakenOne)
{
    std::ofstream(at("file")) << "source";
    std::ofstream(at("taken-file")) << "the target";
    fs::create_directory(at("folder"));
    fs::create_directory(at("taken-folder"));
    fs::create_symlink(at("nowhere"), at("taken-link"));
    for (const char* from : {"file", "folder"}) {
        for (const char* to : {"taken-file", "taken-folder", "taken-link"}) {
            SCOPED_TRACE(std::string(from) + " -> " + to);
            errno = 0;
            EXPECT_FALSE(rename(at(from), at(to)));
            EXPECT_EQ(errno, EEXIST);
        }
    }
    EXPECT_EQ(fs::file_size(at("taken-file")), 10u);
    EXPECT_TRUE(fs::is_empty(at("taken-folder")));
    EXPECT_TRUE(fs::is_symlink(at("taken-link")));

    ASSERT_TRUE(rename(at("file"), at("folder") / "moved"));
    ASSERT_TRUE(rename(at("folder"), at("renamed")));
    EXPECT_FALSE(fs::exists(at("file")));
    EXPECT_FALSE(fs::exists(at("folder")));
    EXPECT_EQ(fs::file_size(at("renamed") / "moved"), 6u);
}

// The fallback links the new name before it removes the old one; when the
// old one cannot be removed, the new one is taken back.
TEST_P(RenameNoReplace, ASourceThatCannotLeaveStaysWhereItIs)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    fs::create_directory(at("locked"));
    fs::create_directory(at("open"));
    std::ofstream(at("locked") / "a.jpg") << "picture";
    ::chmod(at("locked").c_str(), 0555);
    const bool renamed = rename(at("locked") / "a.jpg", at("open") / "a.jpg");
    const int error = errno;
    ::chmod(at("locked").c_str(), 0755);
    EXPECT_FALSE(renamed);
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(fs::file_size(at("locked") / "a.jpg"), 7u);
    EXPECT_TRUE(fs::is_empty(at("open")));
}

} // namespace
} // namespace qlx::io
