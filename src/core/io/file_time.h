#pragma once
// File times as the program stores them: FILETIME, a count of 100-nanosecond
// ticks since 1601-01-01 00:00 UTC, kept in image entries and cache records
// as two little-endian 32-bit halves (low, high).
//
// On Linux the value comes from the file's st_mtim; conversion to calendar
// fields goes through the C library's time zone (TZ, /etc/localtime), which
// is what a Linux user sees in other programs' file listings.
//
// Times before 1601 cannot be represented and become 0, the value that means
// "no file time"; times past the 64-bit range saturate.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>

struct stat;

namespace qlx::io {

inline constexpr std::uint64_t kTicksPerSecond = 10'000'000;
// 1970-01-01 00:00 UTC: 369 years of 365 days plus 89 leap days after 1601.
inline constexpr std::uint64_t kUnixEpochFileTime = 116'444'736'000'000'000;

constexpr std::uint32_t fileTimeLow(std::uint64_t fileTime)
{
    return static_cast<std::uint32_t>(fileTime & 0xFFFF'FFFFu);
}
constexpr std::uint32_t fileTimeHigh(std::uint64_t fileTime)
{
    return static_cast<std::uint32_t>(fileTime >> 32);
}
constexpr std::uint64_t fileTimeFromParts(std::uint32_t low, std::uint32_t high)
{
    return (std::uint64_t{high} << 32) | low;
}

std::uint64_t fileTimeFromTimespec(const timespec& time);
std::uint64_t fileTimeFromFileClock(std::filesystem::file_time_type time);
// The last-write time of a stat() result.
std::uint64_t fileTimeFromStat(const struct stat& status);
// The last-write time of a file, read with stat(); nullopt when it cannot
// be read.
std::optional<std::uint64_t> lastWriteFileTime(const std::filesystem::path& path);

// Back to POSIX time, for setting a file's time (utimensat).
timespec timespecFromFileTime(std::uint64_t fileTime);

// Calendar fields in the local time zone; month 1..12, day 1..31.
struct LocalTimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalTimeFields&, const LocalTimeFields&) = default;
};

// nullopt when the C library cannot convert the instant.
std::optional<LocalTimeFields> localTimeFields(std::uint64_t fileTime);

} // namespace qlx::io
