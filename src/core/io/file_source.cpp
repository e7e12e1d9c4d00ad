#include "io/file_source.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::io {

PosixFileSource::PosixFileSource(const std::filesystem::path& path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
}

PosixFileSource::~PosixFileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PosixFileSource::readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out)
{
    out.clear();
    if (m_fd < 0 || offset > m_size)
        return false;
    const auto available = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_size - offset));
    out.resize(available);
    std::size_t done = 0;
    while (done < available) {
        const ssize_t got = ::pread(m_fd, out.data() + done, available - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the file shrank while we read: keep what we have
        done += static_cast<std::size_t>(got);
    }
    out.resize(done);
    countRead(done);
    return true;
}

bool MemorySource::readAt(std::uint64_t offset, std::size_t length, std::vector<std::byte>& out)
{
    out.clear();
    if (offset > m_bytes.size())
        return false;
    const auto available = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_bytes.size() - offset));
    out.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               m_bytes.begin() + static_cast<std::ptrdiff_t>(offset + available));
    countRead(available);
    return true;
}

} // namespace qlx::io
