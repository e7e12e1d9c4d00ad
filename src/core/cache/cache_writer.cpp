#include "cache/cache_writer.h"

#include <algorithm>
#include <new>

#include "io/record_bytes.h"

namespace qlx::cache {

namespace {

constexpr std::uint64_t kMaxOffset = 0xFFFF'FFFFull;

void setProblem(CacheBuildProblem* out, CacheBuildProblem problem)
{
    if (out)
        *out = problem;
}

std::uint64_t historyCountOf(const CacheEntryImage& entry)
{
    return io::loadLe<std::uint32_t>(entry.record, layout::kRecordHistoryCount.offset);
}

CacheBuildProblem checkEntry(const CacheEntryImage& entry)
{
    if (entry.record.size() != layout::kRecordSize && entry.record.size() != imagelist::ImageEntry::kPersistentSize)
        return CacheBuildProblem::RecordSize;
    if (entry.history.size() != historyCountOf(entry) * layout::kHistoryRecordSize)
        return CacheBuildProblem::HistorySize;
    if (!entry.thumbnail.empty() && entry.thumbnail.size() != layout::kThumbnailBlockSize)
        return CacheBuildProblem::ThumbnailSize;
    return CacheBuildProblem::None;
}

std::optional<std::vector<std::byte>> allocate(std::uint64_t size)
{
    try {
        return std::vector<std::byte>(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

void writeHeader(std::span<std::byte> image, const CacheImageHeader& header, std::uint32_t count,
                 std::uint32_t indexSize)
{
    io::storeUtf16(image, layout::kVersion, header.version);
    io::storeUtf16(image, layout::kFolder, header.folder);
    const auto focused = static_cast<std::uint32_t>(std::clamp<std::int64_t>(header.focusedPosition, 0, count));
    io::storeLe(image, layout::kFocusedPosition.offset, focused);
    io::storeLe(image, layout::kRecordCount.offset, count);
    io::storeLe(image, layout::kIndexSize.offset, indexSize);
}

} // namespace

std::string_view describe(CacheBuildProblem problem)
{
    switch (problem) {
    case CacheBuildProblem::None: return "built";
    case CacheBuildProblem::TooManyRecords: return "more than 65534 entries";
    case CacheBuildProblem::FolderTooLong: return "the folder does not fit the header";
    case CacheBuildProblem::VersionTooLong: return "the version does not fit the header";
    case CacheBuildProblem::RecordSize: return "a record has the wrong size";
    case CacheBuildProblem::HistorySize: return "history bytes do not match the record's history count";
    case CacheBuildProblem::ThumbnailSize: return "a thumbnail block has the wrong size";
    case CacheBuildProblem::TooLarge: return "the image would be too large for 32-bit offsets";
    case CacheBuildProblem::OutOfMemory: return "out of memory";
    }
    return "unknown problem";
}

std::optional<std::vector<std::byte>> buildCacheImage(const CacheImageHeader& header,
                                                      std::span<const CacheEntryImage> entries,
                                                      CacheBuildProblem* problem)
{
    setProblem(problem, CacheBuildProblem::None);
    if (entries.size() > layout::kMaxRecords) {
        setProblem(problem, CacheBuildProblem::TooManyRecords);
        return std::nullopt;
    }
    if (header.folder.size() + 1 > layout::kFolder.units || header.version.size() + 1 > layout::kVersion.units) {
        setProblem(problem, header.folder.size() + 1 > layout::kFolder.units ? CacheBuildProblem::FolderTooLong
                                                                            : CacheBuildProblem::VersionTooLong);
        return std::nullopt;
    }
    const auto count = static_cast<std::uint32_t>(entries.size());
    std::uint64_t historyBytes = 0;
    std::uint64_t thumbnails = 0;
    for (const CacheEntryImage& entry : entries) {
        if (const CacheBuildProblem found = checkEntry(entry); found != CacheBuildProblem::None) {
            setProblem(problem, found);
            return std::nullopt;
        }
        historyBytes += entry.history.size();
        thumbnails += entry.thumbnail.empty() ? 0 : 1;
    }
    // Every offset, including that of the last thumbnail block, is a u32.
    const std::uint64_t indexSize = layout::historiesAt(count) + historyBytes;
    const std::uint64_t fullSize = indexSize + thumbnails * layout::kThumbnailBlockSize;
    if (indexSize > kMaxOffset || (thumbnails > 0 && fullSize - layout::kThumbnailBlockSize > kMaxOffset)) {
        setProblem(problem, CacheBuildProblem::TooLarge);
        return std::nullopt;
    }

    auto image = allocate(fullSize);
    const bool withThumbnails = image.has_value();
    if (!image)
        image = allocate(indexSize);
    if (!image) {
        setProblem(problem, CacheBuildProblem::OutOfMemory);
        return std::nullopt;
    }
    std::span<std::byte> bytes(*image);
    writeHeader(bytes, header, count, static_cast<std::uint32_t>(indexSize));

    std::uint64_t nextHistory = layout::historiesAt(count);
    std::uint64_t nextThumbnail = indexSize;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CacheEntryImage& entry = entries[i];
        const std::uint64_t recordAt = layout::recordsAt(count) + i * layout::kRecordSize;
        io::copyBytes(bytes, static_cast<std::size_t>(recordAt), entry.record, 0, entry.record.size());
        if (!entry.history.empty()) {
            io::storeLe(bytes, layout::historyOffsetsAt() + i * layout::kOffsetSize,
                        static_cast<std::uint32_t>(nextHistory));
            io::copyBytes(bytes, static_cast<std::size_t>(nextHistory), entry.history, 0, entry.history.size());
            nextHistory += entry.history.size();
        }
        if (withThumbnails && !entry.thumbnail.empty()) {
            io::storeLe(bytes, layout::thumbnailOffsetsAt(count) + i * layout::kOffsetSize,
                        static_cast<std::uint32_t>(nextThumbnail));
            io::copyBytes(bytes, static_cast<std::size_t>(nextThumbnail), entry.thumbnail, 0,
                          layout::kThumbnailBlockSize);
            nextThumbnail += layout::kThumbnailBlockSize;
        }
    }
    return image;
}

} // namespace qlx::cache
