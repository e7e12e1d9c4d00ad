#include "io/file_time.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/test_paths.h"

namespace qlx::io {
namespace {

// 2000-01-01 00:00:00 UTC: 946,684,800 s after 1970.
constexpr std::uint64_t kYear2000 = 125'911'584'000'000'000;

TEST(FileTime, FromPosixTimes)
{
    EXPECT_EQ(fileTimeFromTimespec({0, 0}), 116'444'736'000'000'000u);
    EXPECT_EQ(fileTimeFromTimespec({946'684'800, 0}), kYear2000);
    // Below 100 ns is dropped.
    EXPECT_EQ(fileTimeFromTimespec({1, 299}), 116'444'736'010'000'002u);
    // 1601-01-01 itself, and one second before it.
    EXPECT_EQ(fileTimeFromTimespec({-11'644'473'600, 0}), 0u);
    EXPECT_EQ(fileTimeFromTimespec({-11'644'473'601, 0}), 0u);

    const auto fileClock = std::chrono::file_clock::from_sys(
        std::chrono::sys_days{std::chrono::year{2000} / 1 / 1} + std::chrono::nanoseconds{1'000});
    EXPECT_EQ(fileTimeFromFileClock(fileClock), kYear2000 + 10);

    const timespec back = timespecFromFileTime(kYear2000 + 12'345'678);
    EXPECT_EQ(back.tv_sec, 946'684'801);
    EXPECT_EQ(back.tv_nsec, 234'567'800);
}

TEST(FileTime, SplitsIntoTheStoredHalves)
{
    constexpr std::uint64_t kUnix = 0x019D'B1DE'D53E'8000;
    static_assert(kUnix == kUnixEpochFileTime);
    EXPECT_EQ(fileTimeLow(kUnix), 0xD53E'8000u);
    EXPECT_EQ(fileTimeHigh(kUnix), 0x019D'B1DEu);
    EXPECT_EQ(fileTimeFromParts(0xD53E'8000u, 0x019D'B1DEu), kUnix);
}

TEST(FileTime, ReadsAFilesModificationTime)
{
    qlx::test::TempDir dir;
    const auto file = dir.path() / "a.jpg";
    std::ofstream(file) << "x";
    const timespec times[2] = {{946'684'800, 0}, {946'684'800, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    EXPECT_EQ(lastWriteFileTime(file), kYear2000 + 5);
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(fileTimeFromStat(status), kYear2000 + 5);
    EXPECT_EQ(fileTimeFromFileClock(std::filesystem::last_write_time(file)), kYear2000 + 5);
    EXPECT_EQ(lastWriteFileTime(dir.path() / "missing"), std::nullopt);
}

class LocalFileTime : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* tz = std::getenv("TZ"))
            m_saved = tz;
    }
    void TearDown() override
    {
        if (m_saved)
            ::setenv("TZ", m_saved->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    static void useZone(const char* zone)
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }

private:
    std::optional<std::string> m_saved;
};

TEST_F(LocalFileTime, UsesTheCLibraryZone)
{
    useZone("UTC0");
    EXPECT_EQ(localTimeFields(kYear2000), (LocalTimeFields{2000, 1, 1, 0, 0, 0}));
    EXPECT_EQ(localTimeFields(kUnixEpochFileTime - 1), (LocalTimeFields{1969, 12, 31, 23, 59, 59}));
    useZone("JST-9");
    EXPECT_EQ(localTimeFields(kYear2000 + 5 * kTicksPerSecond + 9'999'999),
              (LocalTimeFields{2000, 1, 1, 9, 0, 5}));
    useZone("EST5");
    EXPECT_EQ(localTimeFields(kYear2000), (LocalTimeFields{1999, 12, 31, 19, 0, 0}));
}

} // namespace
} // namespace qlx::io
