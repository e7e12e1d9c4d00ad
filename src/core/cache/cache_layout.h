#pragma once
// The byte layout of a thumbnail cache file (".cac"), in one place.
//
// All integers are unsigned 32-bit little-endian. N is the number of records.
//
//   offset              size                 field
//   0                   16                   program version, UTF-16, NUL-padded ("5.96")
//   16                  520                  folder path, UTF-16, NUL-padded (260 units)
//   536                 4                    focused position, 0..N
//   540                 4                    N
//   544                 4                    index size I = 548 + 1632 N + 522 H
//   548                 4 N                  history-block offset per record (0: none)
//   548 + 4 N           4 N                  thumbnail-block offset per record (0: none)
//   548 + 8 N           1624 N               records (image entries), display order
//   548 + 1632 N        522 H                history blocks, record order
//   I                   17376 per thumbnail  thumbnail blocks, record order
//
// H is the sum of the records' history counts (each record's count is its
// u32 at byte 1552). A thumbnail block is the 88 x 60 list thumbnail as
// blue-green-red rows of 264 bytes, then the 32 x 16 picture beside it as
// blue-green-red rows of 96 bytes; both top row first.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "imagelist/image_entry.h"
#include "io/record_bytes.h"

namespace qlx::cache::layout {

// ---- Header ----------------------------------------------------------------
inline constexpr io::Utf16Field kVersion{0, 8};
inline constexpr io::Utf16Field kFolder{16, 260};
inline constexpr io::ScalarField<std::uint32_t> kFocusedPosition{536};
inline constexpr io::ScalarField<std::uint32_t> kRecordCount{540};
inline constexpr io::ScalarField<std::uint32_t> kIndexSize{544};
inline constexpr std::size_t kHeaderSize = 548;

// ---- Tables and blocks -----------------------------------------------------
inline constexpr std::size_t kOffsetSize = 4;
inline constexpr std::size_t kRecordSize = imagelist::ImageEntry::kRecordSize;
// Per record: its two offsets and its record.
inline constexpr std::size_t kPerRecordIndexBytes = 2 * kOffsetSize + kRecordSize;
// The history count inside a record.
inline constexpr io::ScalarField<std::uint32_t> kRecordHistoryCount = imagelist::ImageEntry::kHistoryCount;
inline constexpr std::size_t kHistoryRecordSize = 522;

inline constexpr std::size_t kThumbnailWidth = 88;
inline constexpr std::size_t kThumbnailHeight = 60;
inline constexpr std::size_t kThumbnailRowBytes = kThumbnailWidth * 3;
inline constexpr std::size_t kThumbnailBytes = kThumbnailRowBytes * kThumbnailHeight;
inline constexpr std::size_t kSmallPictureWidth = 32;
inline constexpr std::size_t kSmallPictureHeight = 16;
inline constexpr std::size_t kSmallPictureRowBytes = kSmallPictureWidth * 3;
inline constexpr std::size_t kSmallPictureBytes = kSmallPictureRowBytes * kSmallPictureHeight;
inline constexpr std::size_t kThumbnailBlockSize = kThumbnailBytes + kSmallPictureBytes;

// The image list never holds more entries than this, so no cache file we
// write has more records; the count read from a file is clamped to it.
inline constexpr std::uint32_t kMaxRecords = 65534;

// Offsets are u32, so nothing of a valid cache lies past the last thumbnail
// block that a u32 offset can start: a larger file is not a cache of ours
// and is not read into memory at all.
inline constexpr std::uint64_t kMaxFileSize = 0xFFFF'FFFFull + kThumbnailBlockSize;

// The version written into new files, and the oldest version whose files
// are still read (older layouts differ).
inline constexpr std::u16string_view kWrittenVersion = u"5.96";
inline constexpr std::u16string_view kMinimumVersion = u"5.16";

constexpr std::uint64_t historyOffsetsAt() { return kHeaderSize; }
constexpr std::uint64_t thumbnailOffsetsAt(std::uint64_t count) { return kHeaderSize + kOffsetSize * count; }
constexpr std::uint64_t recordsAt(std::uint64_t count) { return kHeaderSize + 2 * kOffsetSize * count; }
constexpr std::uint64_t historiesAt(std::uint64_t count) { return kHeaderSize + kPerRecordIndexBytes * count; }

static_assert(kVersion.offset + kVersion.size() == kFolder.offset);
static_assert(kFolder.offset + kFolder.size() == kFocusedPosition.offset);
static_assert(kFocusedPosition.offset + 4 == kRecordCount.offset);
static_assert(kRecordCount.offset + 4 == kIndexSize.offset);
static_assert(kIndexSize.offset + 4 == kHeaderSize);
static_assert(kPerRecordIndexBytes == 1632);
static_assert(kThumbnailBytes == 15840 && kSmallPictureBytes == 1536);
static_assert(kThumbnailBlockSize == 17376);
static_assert(kRecordHistoryCount.offset + 4 <= kRecordSize);
static_assert(historiesAt(kMaxRecords) < 0xFFFF'FFFFull);

} // namespace qlx::cache::layout
