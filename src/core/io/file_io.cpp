#include "io/file_io.h"

#include "io/system_calls.h"

#include "io/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::io {

namespace {

void setError(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
}

} // namespace

std::optional<ReadResult> readFileCapped(const std::filesystem::path& path, std::size_t cap)
{
    FileDescriptor fd(sys::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    ReadResult result;
    constexpr std::size_t kChunk = 1 << 16;
    for (;;) {
        const std::size_t want = std::min(kChunk, cap + 1 - result.bytes.size());
        const std::size_t old = result.bytes.size();
        result.bytes.resize(old + want);
        const ssize_t got = sys::read(fd.get(), result.bytes.data() + old, want);
        if (got < 0) {
            if (errno == EINTR) {
                result.bytes.resize(old);
                continue;
            }
            return std::nullopt;
        }
        result.bytes.resize(old + static_cast<std::size_t>(got));
        if (got == 0)
            break;
        if (result.bytes.size() > cap) {
            result.bytes.resize(cap);
            result.truncated = true;
            break;
        }
    }
    return result;
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         std::string* error)
{
    return writeFileAtomically(path, bytes, AtomicWriteOptions{}, error);
}

namespace {

// True when `path` names the file `keep` names (errno EEXIST then).
bool namesKeptFile(const std::filesystem::path& path, const std::filesystem::path& keep)
{
    struct stat target {};
    struct stat kept {};
    if (keep.empty() || ::stat(path.c_str(), &target) != 0 || ::stat(keep.c_str(), &kept) != 0)
        return false;
    if (target.st_dev != kept.st_dev || target.st_ino != kept.st_ino)
        return false;
    errno = EEXIST;
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::byte> bytes,
                         const AtomicWriteOptions& options, std::string* error)
{
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string pattern = (folder / ("." + path.filename().string() + ".tmp-XXXXXX")).string();
    FileDescriptor fd(sys::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        setError(error, "cannot create temporary file");
        return false;
    }
    auto fail = [&](const char* what) {
        const int failure = errno;
        setError(error, what);
        sys::unlink(pattern.c_str());
        errno = failure;
        return false;
    };
    if (!sys::writeAll(fd.get(), bytes.data(), bytes.size()))
        return fail("write failed");
    // Keep the permissions of the file we replace; a new file gets the usual
    // rw-r--r-- (mkstemp creates it 0600).
    struct stat old {};
    const mode_t mode = options.replace && ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (sys::fchmod(fd.get(), mode) != 0)
        return fail("chmod failed");
    if (sys::fsync(fd.get()) != 0)
        return fail("fsync failed");
    if (::close(fd.release()) != 0)
        return fail("close failed");
    if (options.replace) {
        // Looked at last, right before the rename, so that the window in
        // which the name could change into the kept file is as short as it
        // can be without the kernel's help.
        if (namesKeptFile(path, options.keep))
            return fail("the name holds the file that must be kept");
        if (sys::rename(pattern.c_str(), path.c_str()) != 0)
            return fail("rename failed");
    } else if (!renameNoReplace(pattern, path)) {
        return fail(errno == EEXIST ? "a file of that name exists" : "rename failed");
    }
    syncFolder(folder);
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    FileDescriptor dir(sys::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        sys::fsync(dir.get());
}

bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (sys::renameNoReplace(from.c_str(), to.c_str()) == 0)
        return true;
    // EINVAL: the file system does not know the flag; ENOSYS: the kernel
    // does not know the call; EOPNOTSUPP: some FUSE and network file systems.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    return renameNoReplaceWithoutFlag(from, to);
}

bool renameNoReplaceWithoutFlag(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (sys::link(from.c_str(), to.c_str()) == 0) {
        if (sys::unlink(from.c_str()) == 0)
            return true;
        // Both names are the same file: taking the new one back loses
        // nothing and leaves things as they were.
        const int error = errno;
        sys::unlink(to.c_str());
        errno = error;
        return false;
    }
    if (errno == EEXIST)
        return false;
    struct stat taken {};
    if (::lstat(to.c_str(), &taken) == 0) {
        errno = EEXIST;
        return false;
    }
    // Only a name known to be free is renamed onto.
    if (errno != ENOENT)
        return false;
    return sys::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace qlx::io
