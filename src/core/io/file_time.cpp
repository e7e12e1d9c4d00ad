#include "io/file_time.h"

#include <chrono>
#include <limits>

#include <sys/stat.h>

namespace qlx::io {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDistanceSeconds =
    static_cast<std::int64_t>(kUnixEpochFileTime / kTicksPerSecond);

} // namespace

std::uint64_t fileTimeFromTimespec(const timespec& time)
{
    std::int64_t seconds = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(time.tv_sec), kEpochDistanceSeconds, &seconds))
        return time.tv_sec < 0 ? 0 : std::numeric_limits<std::uint64_t>::max();
    if (seconds < 0)
        return 0;
    std::uint64_t ticks = 0;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(seconds), kTicksPerSecond, &ticks))
        return std::numeric_limits<std::uint64_t>::max();
    // A normalised timespec has 0 <= tv_nsec < 1e9; anything else counts as 0.
    const auto nanoseconds = time.tv_nsec >= 0 && time.tv_nsec < 1'000'000'000
        ? static_cast<std::uint64_t>(time.tv_nsec) : 0;
    if (__builtin_add_overflow(ticks, nanoseconds / 100, &ticks))
        return std::numeric_limits<std::uint64_t>::max();
    return ticks;
}

std::uint64_t fileTimeFromFileClock(std::filesystem::file_time_type time)
{
    using namespace std::chrono;
    const auto sinceUnix = file_clock::to_sys(time).time_since_epoch();
    const auto seconds = floor<std::chrono::seconds>(sinceUnix);
    timespec converted{};
    converted.tv_sec = static_cast<time_t>(seconds.count());
    converted.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(sinceUnix - seconds).count());
    return fileTimeFromTimespec(converted);
}

std::uint64_t fileTimeFromStat(const struct stat& status)
{
    return fileTimeFromTimespec(status.st_mtim);
}

std::optional<std::uint64_t> lastWriteFileTime(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return fileTimeFromStat(status);
}

timespec timespecFromFileTime(std::uint64_t fileTime)
{
    timespec time{};
    time.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kEpochDistanceSeconds);
    time.tv_nsec = static_cast<long>((fileTime % kTicksPerSecond) * 100);
    return time;
}

std::optional<LocalTimeFields> localTimeFields(std::uint64_t fileTime)
{
    const time_t seconds = timespecFromFileTime(fileTime).tv_sec;
    struct tm local {};
    if (localtime_r(&seconds, &local) == nullptr)
        return std::nullopt;
    return LocalTimeFields{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                           local.tm_hour, local.tm_min, local.tm_sec};
}

} // namespace qlx::io
