#include "imagelist/file_stability.h"

#include "io/file_descriptor.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace qlx::imagelist {

namespace {

// How long a file's status must have been left alone to count as written.
// Copying tools write at least every few milliseconds while they copy; a
// second without a change means the writer is done or stalled for long.
constexpr std::chrono::seconds kQuietTime{1};

bool quietSince(const struct stat& status)
{
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0)
        return false;
    const auto changed = std::chrono::seconds(status.st_ctim.tv_sec) + std::chrono::nanoseconds(status.st_ctim.tv_nsec);
    const auto current = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    return current - changed >= kQuietTime;
}

} // namespace

FileState checkFileState(const std::filesystem::path& path, std::chrono::milliseconds settle)
{
    const io::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileState::Gone : FileState::Changing;
    struct stat first{};
    if (::fstat(file.get(), &first) != 0)
        return FileState::Changing;
    if (first.st_size == 0 || quietSince(first))
        return FileState::Stable;
    if (settle.count() <= 0)
        return FileState::Changing; // the caller looks again later instead of waiting
    std::this_thread::sleep_for(settle);
    struct stat second{};
    if (::fstat(file.get(), &second) != 0)
        return FileState::Changing;
    return second.st_size == first.st_size ? FileState::Stable : FileState::Changing;
}

bool waitUntilStable(const std::filesystem::path& path, const StableWait& wait)
{
    for (int attempt = 0; attempt < wait.tries; ++attempt) {
        if (wait.stopRequested && wait.stopRequested())
            return false;
        if (checkFileState(path, wait.step) != FileState::Changing)
            return true;
        std::this_thread::sleep_for(wait.step);
    }
    return false;
}

} // namespace qlx::imagelist
