#pragma once
// Builds the byte image of a thumbnail cache file from the entries of a list
// (layout: cache_layout.h). The image is what `CacheFile::fromBytes` reads
// back: header, the two offset tables, the records in display order, the
// history blocks in record order ending at the index size I, then one
// thumbnail block per entry that has one, in record order, packed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "cache/cache_layout.h"

namespace qlx::cache {

// One list entry as the cache stores it. The spans must stay valid while the
// image is built; they may point into the cache being replaced.
struct CacheEntryImage {
    // The entry's record: its 1,624 bytes, or its first 1,612 (the rest of
    // the stored record is then zero).
    std::span<const std::byte> record;
    // Its history records: exactly the record's history count (the u32 at
    // byte 1552) times 522 bytes.
    std::span<const std::byte> history;
    // Empty, or one 17,376-byte thumbnail block: the 88 x 60 thumbnail in the
    // file's own orientation, then the 32 x 16 picture, both as stored
    // pixels (thumbnail_block.h makes and reads them).
    std::span<const std::byte> thumbnail;
};

struct CacheImageHeader {
    // The folder text of the header (folderHeaderText for a folder). At most
    // 259 UTF-16 units; a longer text is not cut, the image is not built.
    std::u16string_view folder;
    // Clamped to 0..N when stored.
    std::int64_t focusedPosition = 0;
    // At most 7 UTF-16 units. Only tests write anything but the current one.
    std::u16string_view version = layout::kWrittenVersion;
};

enum class CacheBuildProblem : std::uint8_t {
    None,
    TooManyRecords,  // more than 65,534 entries
    FolderTooLong,   // the folder text does not fit its 260-unit field
    VersionTooLong,
    RecordSize,      // a record of neither 1,612 nor 1,624 bytes
    HistorySize,     // history bytes not equal to the record's count × 522
    ThumbnailSize,   // a thumbnail that is neither empty nor one block
    TooLarge,        // an offset would not fit in 32 bits
    OutOfMemory,     // not even the index part could be allocated
};

std::string_view describe(CacheBuildProblem problem);

// The cache file image of `entries`. When memory for the thumbnail blocks
// cannot be had, the image is built without them (every thumbnail offset
// 0), which still spares the next visit every metadata pass.
std::optional<std::vector<std::byte>> buildCacheImage(const CacheImageHeader& header,
                                                      std::span<const CacheEntryImage> entries,
                                                      CacheBuildProblem* problem = nullptr);

} // namespace qlx::cache
