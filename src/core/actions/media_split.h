#pragma once
// The media split calculation ("メディア容量分割計算"): the files of the list,
// top to bottom, are given numbered media of a fixed size, each file the
// medium it fills next, so that a later distribution can move every medium's
// files into a folder of its own.
//
// A pure function over sizes, so that a full list is split in a few
// milliseconds and the rules are testable without files.
//
// Thread model: pure functions; any thread.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qlx::actions {

// One row of the list as the split sees it.
struct MediaFile {
    std::int64_t size = 0;
    bool present = true; // false: the file is gone from its place and gets no medium
};

struct MediaSplit {
    // Per row: 0 none (gone), n > 0 medium n, -n a file larger than a medium
    // that was put on medium n by itself.
    std::vector<std::int32_t> media;
    // What the first pass at the full size gave; balancing never changes them.
    std::int32_t mediaCount = 0;
    std::int64_t lastFill = 0;   // bytes in the last medium
    std::int32_t lastFiles = 0;  // files in the last medium
    bool oversize = false;       // some file is larger than a medium
    std::int64_t limit = 0;      // the size the marks were made with (lower when balanced)
};

// Balancing makes a pass over the whole list for every lowering of the
// limit. A lowering takes the smallest file of the last medium, so small
// files and a large medium could ask for billions of passes; after this many
// the balance found so far is kept. 512 passes over 65,534 rows stay under
// 100 ms.
inline constexpr int kMaxBalancePasses = 512;

// Splits `files` (in list order) over media of `splitSize` bytes; with
// `balance`, over media of a lower size where that needs no more media, so
// that the media come out more even.
MediaSplit splitIntoMedia(std::span<const MediaFile> files, std::int64_t splitSize, bool balance);

// The Media# text of a mark: "No.%d" of its medium, empty for 0.
std::u16string mediumLabel(std::int32_t medium);

// The report after a split: one medium's data, or the count of media and
// what would have to go to save one.
std::u16string splitReport(const MediaSplit& split, bool balance);

} // namespace qlx::actions
