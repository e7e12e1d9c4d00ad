#pragma once
// A thumbnail cache file read into memory and checked (layout: cache_layout.h).
//
// A cache file is outside bytes: another version of the program, a crash of
// another tool, a full disk or plain damage can leave anything in it. The
// whole file is read in one piece and then validated once, completely,
// before a single record is handed out:
//
//  - the header is there and its version text, read as a decimal number,
//    is at least 5.16;
//  - the record count N, clamped to 0..65534, leaves room in the file for
//    the two offset tables and the N records;
//  - the index size I is exactly the header, the tables, the records and
//    the history blocks the records' counts ask for, and lies inside the
//    file;
//  - every history block starts where the previous one ended (record
//    order, no overlap, no gap) and ends by I; a record whose count is not
//    0 has a block;
//  - every thumbnail block starts at or after I, after the end of the
//    previous one, and lies wholly inside the file.
//
// Anything else means "no cache", with a reason for logs and `qlx cache
// show`. After that the accessors need no checks of their own: every span
// they return was proven to lie inside the bytes.
//
// A CacheFile is immutable once made; other threads may read it while its
// owner keeps it alive.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::cache {

enum class CacheProblem : std::uint8_t {
    None,
    Unreadable,          // cannot be opened or read
    Empty,               // a file of no bytes
    TooLarge,            // longer than any cache can be
    Truncated,           // shorter than the header
    Version,             // version text older than 5.16 or not a number
    RecordsOutside,      // the tables and records for N do not fit the file
    IndexSizeOutside,    // I smaller than the records' end or past the file
    HistoryMissing,      // a history count without a block
    HistoryOutside,      // a history offset outside the history area
    HistoryMisplaced,    // history blocks out of order, overlapping or with gaps
    IndexSizeMismatch,   // I is not where the history blocks end
    ThumbnailInsideIndex,// a thumbnail offset below I (header, tables, records)
    ThumbnailOverlap,    // thumbnail blocks out of order or overlapping
    ThumbnailOutside,    // a thumbnail block running past the end of the file
};

// A short English reason for logs and the command-line tool.
std::string_view describe(CacheProblem problem);

// Reads `text` as a decimal number (leading digits, an optional point and
// more digits; what follows is ignored) and compares it with `minimum` read
// the same way, exactly, without floating point. A text without digits is
// below every minimum.
bool versionAtLeast(std::u16string_view text, std::u16string_view minimum);

// The folder text of a cache file's header (its first 548 bytes, of a
// version that is accepted), without reading the rest; nothing otherwise.
std::optional<std::u16string> readHeaderFolder(const std::filesystem::path& path);

// Where the time of a load went: reading the bytes, checking them.
struct CacheLoadTimes {
    std::chrono::nanoseconds read{};
    std::chrono::nanoseconds check{};
};

class CacheFile {
public:
    // Which parts of the file the bytes hold. A reader that could not afford
    // the thumbnails reads only the first I bytes; such a cache serves its
    // records and has no thumbnail blocks.
    enum class Parts : std::uint8_t { Whole, IndexOnly };

    // Validates `bytes` as a cache file and keeps them.
    static std::optional<CacheFile> fromBytes(std::vector<std::byte> bytes, Parts parts = Parts::Whole,
                                              CacheProblem* problem = nullptr);
    // Reads a file whole and validates it; when the whole file cannot be
    // allocated, reads only its index part.
    static std::optional<CacheFile> load(const std::filesystem::path& path, CacheProblem* problem = nullptr,
                                         CacheLoadTimes* times = nullptr);

    CacheFile(CacheFile&&) noexcept = default;
    CacheFile& operator=(CacheFile&&) noexcept = default;
    CacheFile(const CacheFile&) = delete;
    CacheFile& operator=(const CacheFile&) = delete;

    // ---- Header ----------------------------------------------------------
    std::u16string version() const;
    std::u16string folder() const;
    // The stored value, and the value clamped to 0..N as it is used.
    std::uint32_t storedFocusedPosition() const;
    std::uint32_t focusedPosition() const;
    // The stored count, and N as it is used (clamped to 0..65534).
    std::uint32_t storedRecordCount() const;
    std::uint32_t recordCount() const { return m_count; }
    std::uint32_t indexSize() const { return m_indexSize; }
    bool hasThumbnailPart() const { return m_parts == Parts::Whole; }
    std::span<const std::byte> bytes() const { return m_bytes; }

    // ---- Per record (index 0..N-1; anything else gives empty/0) -----------
    // The 1,624 bytes of the record as stored.
    std::span<const std::byte> record(std::size_t index) const;
    std::uint32_t historyCount(std::size_t index) const;
    std::uint32_t historyOffset(std::size_t index) const;
    std::uint32_t thumbnailOffset(std::size_t index) const;
    // historyCount × 522 bytes; empty when the record has none.
    std::span<const std::byte> history(std::size_t index) const;
    // The 17,376-byte thumbnail block, or empty when the record has none or
    // the thumbnails were not read.
    std::span<const std::byte> thumbnail(std::size_t index) const;
    bool hasThumbnail(std::size_t index) const { return !thumbnail(index).empty(); }

private:
    CacheFile() = default;
    static std::optional<CacheFile> adopt(CacheFile file, Parts parts, CacheProblem* problem);
    std::uint32_t u32(std::uint64_t offset) const;

    // The bytes live in one of two owners: a vector handed in, or a buffer
    // that load() reads into without clearing it first (a cache of 10,000
    // entries is 190 MB, and zeroing it costs a quarter of its reading
    // time). m_bytes views the one in use; moving either owner keeps its
    // memory where it is.
    std::vector<std::byte> m_vector;
    std::unique_ptr<std::byte[]> m_buffer;
    std::span<const std::byte> m_bytes;
    std::uint32_t m_count = 0;
    std::uint32_t m_indexSize = 0;
    Parts m_parts = Parts::Whole;
};

} // namespace qlx::cache
