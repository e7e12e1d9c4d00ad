#pragma once
// Which entries the image list shows for a collection.
//
// The list of a collection is built in two passes. First the records of the
// collection's thumbnail-cache file are taken in their stored order (the
// order the list last had) when their kind is shown and their path is still
// listed in the collection; with the "do not list deleted files" setting on,
// records whose file is gone are dropped. Then every listed path is visited
// in the collection's order: a path of a kind that is not shown is passed
// over; a path with a cached record keeps that record when the file's size
// (low 32 bits) and last-write time still equal the record's, is marked to
// be read afresh when they differ, and is dropped when the file cannot be
// opened; a path without a record becomes a new entry at the end, while the
// list holds fewer than 65,534 entries.
//
// Paths match when their texts are equal (Linux file systems tell letter
// cases apart). A path listed twice gives one entry.
// This is pure planning: the caller makes the entries (from the cache
// records or fresh) and starts the metadata and thumbnail work.
//
// A record dropped in the first pass because its file is gone is not listed
// again by the second pass as a new entry: the setting means the deleted
// file is not shown.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "imagelist/video_extensions.h"
#include "library/collection.h"

namespace qlx::library {

// What the show needs of one record of the collection's cache file.
struct CachedRecordFacts {
    std::u16string path;
    std::uint32_t fileSize = 0;      // low 32 bits
    std::uint64_t lastWriteTime = 0; // FILETIME
};

struct FileFacts {
    std::uint32_t fileSize = 0; // low 32 bits
    std::uint64_t lastWriteTime = 0;
};

// Opens the file at a path and gives its facts; nothing when it cannot be
// opened.
using FileProbe = std::function<std::optional<FileFacts>(std::u16string_view path)>;
// The probe on the real file system (open, then fstat).
std::optional<FileFacts> probeFile(std::u16string_view path);

struct ShowOptions {
    std::uint32_t targetMask = 0;
    const imagelist::VideoExtensions* video = nullptr; // the default list when null
    bool dropMissingCached = false; // "次回フォルダ表示時に削除ファイルをリストに表示しない"
    std::size_t maxEntries = 65534;
};

struct ShownEntry {
    enum class Source {
        Cached,      // take the cache record as it is
        CachedStale, // take the cache record, then read the file afresh
        New,         // a fresh entry, read by the list's workers
    };
    std::u16string path;
    Source source = Source::New;
    std::size_t record = 0; // index into the records, for Cached and CachedStale
};

std::vector<ShownEntry> planShownEntries(const Collection& collection,
                                         std::span<const CachedRecordFacts> records,
                                         const ShowOptions& options, const FileProbe& probe);

} // namespace qlx::library
