#include "shell/single_instance.h"

#include "shell/program_info.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qlx::shell {

std::filesystem::path SingleInstanceLock::lockPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path folder;
    if (runtime && *runtime && std::filesystem::is_directory(runtime)) {
        folder = runtime;
    } else {
        // Without a session folder, a per-user name in the temporary folder
        // keeps two users of one machine from blocking each other.
        std::error_code ignored;
        folder = std::filesystem::temp_directory_path(ignored);
        if (folder.empty())
            folder = "/tmp";
        return folder / (std::string(kExecutableName) + "-" + std::to_string(::getuid()));
    }
    return folder / std::string(kExecutableName);
}

std::optional<SingleInstanceLock> SingleInstanceLock::acquire(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // The lock file cannot be made (a read-only or missing temporary
        // folder): running without the guard is better than not running.
        return SingleInstanceLock(-1);
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        ::close(fd);
        return std::nullopt;
    }
    return SingleInstanceLock(fd);
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
}

} // namespace qlx::shell
