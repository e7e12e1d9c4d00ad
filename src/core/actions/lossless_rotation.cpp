#include "actions/lossless_rotation.h"

#include "io/system_calls.h"

#include "io/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace qlx::actions {
namespace {

constexpr std::array<std::uint8_t, 4> kByTurns{1, 6, 3, 8};

std::optional<int> turnsOf(std::uint8_t orientation)
{
    for (int turns = 0; turns < 4; ++turns)
        if (kByTurns[static_cast<std::size_t>(turns)] == orientation)
            return turns;
    return std::nullopt;
}

std::array<unsigned char, 2> encoded(std::uint8_t value, bool bigEndian)
{
    return bigEndian ? std::array<unsigned char, 2>{0, value} : std::array<unsigned char, 2>{value, 0};
}

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::optional<std::uint8_t> rotatedOrientation(std::uint8_t current, int userTurns)
{
    const auto turns = turnsOf(current);
    const int added = ((userTurns % 4) + 4) % 4;
    if (!turns || added == 0)
        return std::nullopt;
    return kByTurns[static_cast<std::size_t>((*turns + added) % 4)];
}

RotationResult rotateLosslessly(const OrientationPatch& patch)
{
    RotationResult result;
    const auto next = rotatedOrientation(patch.current, patch.userTurns);
    if (!next || patch.offset == 0) {
        result.outcome = RotationOutcome::NothingToDo;
        return result;
    }
    Descriptor file;
    file.fd = io::sys::open(patch.path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (file.fd < 0) {
        result.error = errno;
        return result;
    }
    struct stat before {};
    if (::fstat(file.fd, &before) != 0) {
        result.error = errno;
        return result;
    }
    const auto size = static_cast<std::uint64_t>(before.st_size);
    const bool sameFile = S_ISREG(before.st_mode) && size == patch.size
        && (patch.lastWriteTime == 0 || io::fileTimeFromStat(before) == patch.lastWriteTime);
    // In 64 bits: an offset near the top of the range cannot wrap.
    if (!sameFile || patch.offset > size || size - patch.offset < 2) {
        result.outcome = RotationOutcome::Changed;
        return result;
    }
    std::array<unsigned char, 2> onDisk{};
    if (io::sys::pread(file.fd, onDisk.data(), 2, static_cast<off_t>(patch.offset)) != 2) {
        result.error = errno;
        return result;
    }
    if (onDisk != encoded(patch.current, patch.bigEndian)) {
        result.outcome = RotationOutcome::Changed;
        return result;
    }
    const auto bytes = encoded(*next, patch.bigEndian);
    if (!io::sys::pwriteAll(file.fd, bytes.data(), bytes.size(), static_cast<off_t>(patch.offset))
        || io::sys::fsync(file.fd) != 0) {
        // Whatever part of the new value reached the file is taken back, so
        // that a failure leaves the file as it was.
        result.error = errno;
        if (io::sys::pwriteAll(file.fd, onDisk.data(), onDisk.size(), static_cast<off_t>(patch.offset)))
            (void)io::sys::fsync(file.fd);
        return result;
    }
    if (patch.keepTime) {
        const std::array<timespec, 2> times{before.st_atim, before.st_mtim};
        (void)::futimens(file.fd, times.data());
    }
    struct stat after {};
    if (::fstat(file.fd, &after) == 0)
        result.lastWriteTime = io::fileTimeFromStat(after);
    result.outcome = RotationOutcome::Done;
    result.orientation = *next;
    return result;
}

} // namespace qlx::actions
