#pragma once
// One running program per user: an exclusive advisory lock on the file
// "Quenderluxium" in $XDG_RUNTIME_DIR (or the temporary folder). The lock
// goes away with the process, so a crashed instance never blocks the next.

#include <filesystem>
#include <optional>

namespace qlx::shell {

class SingleInstanceLock {
public:
    // The lock file's path for this user session.
    static std::filesystem::path lockPath();
    // Takes the lock; nothing when another process holds it (or the lock
    // file cannot be made, in which case starting is safer than refusing:
    // see the .cpp).
    static std::optional<SingleInstanceLock> acquire(const std::filesystem::path& path = lockPath());

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    ~SingleInstanceLock();

    bool holdsFile() const { return m_fd >= 0; }

private:
    explicit SingleInstanceLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

} // namespace qlx::shell
