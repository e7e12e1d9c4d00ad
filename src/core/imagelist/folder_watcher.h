#pragma once
// Watching the open folder for changes made by other programs (inotify).
//
// The system's events are turned into the changes the list understands:
// added (a file was created), removed, modified (written, closed after
// writing, attributes changed) and renamed (old name, then new name). A
// file moved in from elsewhere is added and modified; a file moved away is
// removed. Events about subfolders are left out. When the system dropped
// events (its queue overflowed) or the folder itself went away, the list
// can no longer be trusted and `Lost` asks for a reload.
//
// The watcher never blocks: poll() takes what has arrived. Its descriptor
// can be handed to an event loop (QSocketNotifier) to learn when to poll.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qlx::imagelist {

enum class FolderChangeAction : std::uint8_t { Added, Removed, Modified, RenamedOld, RenamedNew, Lost };

struct FolderChange {
    FolderChangeAction action = FolderChangeAction::Modified;
    std::u16string name; // the file name, without the folder
    friend bool operator==(const FolderChange&, const FolderChange&) = default;
};

class FolderWatcher {
public:
    FolderWatcher() = default;
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    // Starts watching `folder` (not its subfolders); stops watching the one
    // before. False when the folder cannot be watched.
    bool open(const std::filesystem::path& folder);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Readable when events are waiting; -1 when closed.
    int descriptor() const { return m_fd; }

    // The changes that arrived since the last poll, in order; empty when
    // none. A move out whose partner may still arrive is held back for one
    // poll before it counts as a removal.
    std::vector<FolderChange> poll();

private:
    void translate(std::uint32_t mask, std::uint32_t cookie, std::u16string name, std::vector<FolderChange>& out);
    void flushHeldMove(std::vector<FolderChange>& out);

    int m_fd = -1;
    int m_watch = -1;
    struct HeldMove {
        std::uint32_t cookie = 0;
        std::u16string name;
    };
    std::optional<HeldMove> m_heldMove;
};

} // namespace qlx::imagelist
