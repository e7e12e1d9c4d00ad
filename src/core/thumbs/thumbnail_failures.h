#pragma once
// Thumbnails that could not be made, kept apart from the entries.
//
// A file whose thumbnail does not decode is still there: its presence byte
// stays as the folder read found it, and it is not marked as a file that
// does not render (flag 0x1000), so that the view still tries its preview,
// which often comes from other bytes of the file. What is remembered here,
// for this run only, is the file's path with its size and last-write time:
// the list-information worker does not try that file again on later passes
// and loads until its size or time changes. Nothing of it is stored; the
// next run tries once more.
//
// User-interface thread only (the list controller's).

#include "imagelist/image_entry.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace qlx::thumbs {

class ThumbnailFailures {
public:
    void record(const imagelist::ImageEntry& entry);
    // Whether the entry's file failed before as it is now.
    bool failedBefore(const imagelist::ImageEntry& entry) const;

private:
    struct Stamp {
        std::uint32_t size = 0;
        std::uint64_t lastWriteTime = 0;
    };
    std::unordered_map<std::u16string, Stamp> m_failed;
};

} // namespace qlx::thumbs
