#include "imagelist/folder_watcher.h"

#include "library/collection_path.h"

#include <climits>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace qlx::imagelist {

namespace {

constexpr std::uint32_t kWatchedEvents = IN_CREATE | IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_DELETE
                                         | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF
                                         | IN_ONLYDIR;
// One read takes at most this much; what does not fit stays for the next.
constexpr std::size_t kChangeBufferBytes = 10'000;
static_assert(kChangeBufferBytes >= sizeof(inotify_event) + NAME_MAX + 1);

} // namespace

FolderWatcher::~FolderWatcher()
{
    close();
}

bool FolderWatcher::open(const std::filesystem::path& folder)
{
    close();
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return false;
    m_watch = ::inotify_add_watch(m_fd, folder.c_str(), kWatchedEvents);
    if (m_watch < 0) {
        close();
        return false;
    }
    return true;
}

void FolderWatcher::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_watch = -1;
    m_heldMove.reset();
}

void FolderWatcher::flushHeldMove(std::vector<FolderChange>& out)
{
    if (m_heldMove) {
        out.push_back({FolderChangeAction::Removed, std::move(m_heldMove->name)});
        m_heldMove.reset();
    }
}

void FolderWatcher::translate(std::uint32_t mask, std::uint32_t cookie, std::u16string name,
                              std::vector<FolderChange>& out)
{
    if ((mask & IN_MOVED_TO) != 0 && m_heldMove && m_heldMove->cookie == cookie) {
        out.push_back({FolderChangeAction::RenamedOld, std::move(m_heldMove->name)});
        out.push_back({FolderChangeAction::RenamedNew, std::move(name)});
        m_heldMove.reset();
        return;
    }
    flushHeldMove(out);
    if ((mask & IN_MOVED_FROM) != 0) {
        m_heldMove = HeldMove{cookie, std::move(name)};
    } else if ((mask & IN_MOVED_TO) != 0) {
        out.push_back({FolderChangeAction::Added, name});
        out.push_back({FolderChangeAction::Modified, std::move(name)});
    } else if ((mask & IN_CREATE) != 0) {
        out.push_back({FolderChangeAction::Added, std::move(name)});
    } else if ((mask & IN_DELETE) != 0) {
        out.push_back({FolderChangeAction::Removed, std::move(name)});
    } else if ((mask & (IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB)) != 0) {
        out.push_back({FolderChangeAction::Modified, std::move(name)});
    }
}

std::vector<FolderChange> FolderWatcher::poll()
{
    std::vector<FolderChange> changes;
    if (m_fd < 0)
        return changes;
    // A move out held by the last poll had its chance to be paired.
    const bool hadHeldMove = m_heldMove.has_value();
    alignas(inotify_event) std::array<char, kChangeBufferBytes> buffer;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        std::size_t at = 0;
        while (at + sizeof(inotify_event) <= static_cast<std::size_t>(length)) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const std::size_t nameAt = at + sizeof event;
            if (event.len > static_cast<std::size_t>(length) - nameAt)
                break; // the system never does this; stop rather than read past
            at = nameAt + event.len;
            if ((event.mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
                flushHeldMove(changes);
                changes.push_back({FolderChangeAction::Lost, {}});
                continue;
            }
            if ((event.mask & IN_ISDIR) != 0 || event.len == 0)
                continue;
            const std::string_view bytes(buffer.data() + nameAt, ::strnlen(buffer.data() + nameAt, event.len));
            auto name = library::utf8ToUtf16(bytes);
            if (!name)
                continue; // a name the list cannot hold
            translate(event.mask, event.cookie, std::move(*name), changes);
        }
    }
    if (hadHeldMove && m_heldMove && changes.empty())
        flushHeldMove(changes);
    return changes;
}

} // namespace qlx::imagelist
