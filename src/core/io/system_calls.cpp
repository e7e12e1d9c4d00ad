#include "io/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qlx::io::sys {
namespace {

std::atomic<std::uint64_t> g_calls{0};
std::atomic<bool> g_planned{false};
std::atomic<std::uint64_t> g_failAt{0};
std::atomic<int> g_error{0};
std::atomic<bool> g_shortWrite{false};

enum class Fault { None, Fail, Short };

// Counts the call and says what the plan makes of it.
Fault next()
{
    const std::uint64_t call = g_calls.fetch_add(1, std::memory_order_relaxed);
    if (!g_planned.load(std::memory_order_acquire) || call != g_failAt.load(std::memory_order_relaxed))
        return Fault::None;
    if (g_shortWrite.load(std::memory_order_relaxed))
        return Fault::Short;
    errno = g_error.load(std::memory_order_relaxed);
    return Fault::Fail;
}

// The plain calls fail; a short write is a plain call's fault too when it
// cannot write less.
bool failed()
{
    return next() != Fault::None;
}

std::size_t shortened(Fault fault, std::size_t size)
{
    return fault == Fault::Short && size > 1 ? size / 2 : size;
}

} // namespace

int open(const char* path, int flags, mode_t mode)
{
    return failed() ? -1 : ::open(path, flags, mode);
}

int mkostemp(char* pattern, int flags)
{
    return failed() ? -1 : ::mkostemp(pattern, flags);
}

ssize_t read(int fd, void* buffer, std::size_t size)
{
    return failed() ? -1 : ::read(fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, std::size_t size)
{
    const Fault fault = next();
    if (fault == Fault::Fail)
        return -1;
    return ::write(fd, buffer, shortened(fault, size));
}

ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset)
{
    return failed() ? -1 : ::pread(fd, buffer, size, offset);
}

ssize_t pwrite(int fd, const void* buffer, std::size_t size, off_t offset)
{
    const Fault fault = next();
    if (fault == Fault::Fail)
        return -1;
    return ::pwrite(fd, buffer, shortened(fault, size), offset);
}

ssize_t copyFileRange(int in, int out, std::size_t size)
{
    const Fault fault = next();
    if (fault == Fault::Fail)
        return -1;
    return ::copy_file_range(in, nullptr, out, nullptr, shortened(fault, size), 0);
}

int fsync(int fd)
{
    return failed() ? -1 : ::fsync(fd);
}

int fchmod(int fd, mode_t mode)
{
    return failed() ? -1 : ::fchmod(fd, mode);
}

int rename(const char* from, const char* to)
{
    return failed() ? -1 : std::rename(from, to);
}

int renameNoReplace(const char* from, const char* to)
{
    return failed() ? -1 : ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int link(const char* from, const char* to)
{
    return failed() ? -1 : ::link(from, to);
}

int unlink(const char* path)
{
    return failed() ? -1 : ::unlink(path);
}

int mkdir(const char* path, mode_t mode)
{
    return failed() ? -1 : ::mkdir(path, mode);
}

int openat(int folder, const char* name, int flags, mode_t mode)
{
    return failed() ? -1 : ::openat(folder, name, flags, mode);
}

int unlinkat(int folder, const char* name, int flags)
{
    return failed() ? -1 : ::unlinkat(folder, name, flags);
}

bool writeAll(int fd, const void* buffer, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = write(fd, bytes + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool pwriteAll(int fd, const void* buffer, std::size_t size, off_t offset)
{
    const auto* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = pwrite(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

void setFaultPlan(std::optional<FaultPlan> plan)
{
    g_planned.store(false, std::memory_order_release);
    if (plan) {
        g_failAt.store(plan->failAt, std::memory_order_relaxed);
        g_error.store(plan->error, std::memory_order_relaxed);
        g_shortWrite.store(plan->shortWrite, std::memory_order_relaxed);
    }
    g_calls.store(0, std::memory_order_relaxed);
    g_planned.store(plan.has_value(), std::memory_order_release);
}

std::uint64_t callCount()
{
    return g_calls.load(std::memory_order_relaxed);
}

} // namespace qlx::io::sys
