#pragma once
// Small helpers for the tests that read real folders.

#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "imagelist/image_list.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include <poll.h>

namespace qlx::test {

inline void writeFile(const std::filesystem::path& path, std::size_t size, char fill = 'x')
{
    std::ofstream out(path, std::ios::binary);
    out << std::string(size, fill);
}

// The default kinds, and a last file that settles within a few milliseconds.
inline imagelist::FolderReadOptions readOptions()
{
    imagelist::FolderReadOptions options;
    options.targetMask = imagelist::kDefaultTargetMask;
    options.lastFileWait = {3, std::chrono::milliseconds(5)};
    return options;
}

// History records of the given kinds (the first byte of each 522-byte
// record), the last one current.
inline void giveHistory(imagelist::ListItem& item, std::initializer_list<std::uint8_t> kinds)
{
    item.history.assign(kinds.size() * 522, std::byte{0});
    std::size_t at = 0;
    for (const std::uint8_t kind : kinds) {
        item.history[at] = std::byte{kind};
        at += 522;
    }
    item.entry->setHistoryCount(static_cast<std::uint32_t>(kinds.size()));
    item.entry->setHistoryPosition(static_cast<std::int32_t>(kinds.size()) - 1);
}

// Waits up to `limit` for events on a folder watcher's descriptor; true at
// once when some are waiting.
inline bool waitForEvents(int descriptor, std::chrono::milliseconds limit)
{
    pollfd waiting{descriptor, POLLIN, 0};
    return ::poll(&waiting, 1, static_cast<int>(limit.count())) == 1;
}

} // namespace qlx::test
