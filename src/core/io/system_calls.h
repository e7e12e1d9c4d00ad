#pragma once
// The file-system calls that move, copy, trash and patch the user's files,
// through one table, so that a test can make any one of them fail.
//
// Every function here is the POSIX call of the same name (renameNoReplace
// is renameat2 with RENAME_NOREPLACE, copyFileRange copy_file_range on the
// files' own offsets). Each call is counted; a fault plan makes the call
// with a given count fail with a given errno, or, for the calls that write,
// write less than asked. Without a plan nothing is changed: the program
// always runs without one.
//
// Thread model: the counter and the plan are atomics; a plan is meant for
// a test that runs one operation at a time.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qlx::io::sys {

int open(const char* path, int flags, mode_t mode = 0);
int mkostemp(char* pattern, int flags);
ssize_t read(int fd, void* buffer, std::size_t size);
ssize_t write(int fd, const void* buffer, std::size_t size);
ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset);
ssize_t pwrite(int fd, const void* buffer, std::size_t size, off_t offset);
ssize_t copyFileRange(int in, int out, std::size_t size);
int fsync(int fd);
int fchmod(int fd, mode_t mode);
int rename(const char* from, const char* to);
int renameNoReplace(const char* from, const char* to);
int link(const char* from, const char* to);
int unlink(const char* path);
int mkdir(const char* path, mode_t mode);
// Relative to an open folder, for walks that must never follow a link out
// of the folder they were started in.
int openat(int folder, const char* name, int flags, mode_t mode = 0);
int unlinkat(int folder, const char* name, int flags);

// All of `size` bytes, going on after writes that put fewer (and after
// EINTR); false with errno set when a write fails or puts nothing.
bool writeAll(int fd, const void* buffer, std::size_t size);
bool pwriteAll(int fd, const void* buffer, std::size_t size, off_t offset);

struct FaultPlan {
    std::uint64_t failAt = 0; // the count of the call that fails (0 the first)
    int error = 0;            // its errno; 0 with shortWrite
    bool shortWrite = false;  // a write, pwrite or copy writes half, and succeeds
};

// Starts counting from 0 under `plan` (nothing: no faults).
void setFaultPlan(std::optional<FaultPlan> plan);
// The calls made since the last setFaultPlan.
std::uint64_t callCount();

} // namespace qlx::io::sys
