#include "thumbs/cache_writer.h"

#include <algorithm>
#include <new>

#include "io/record_bytes.h"

namespace qlx::thumbs {

namespace {

constexpr std::uint64_t kMaxOffset = 0xFFFF'FFFFull;

void setProblem(CacheBuildProblem* out, CacheBuildProblem problem)
{
    if (out)
        *out = problem;
}

std::uint64_t historyCountOf(const CacheEntryImage& entry)
{
    return io::loadLe<std::uint32_t>(entry.record, cache::kRecordHistoryCount.offset);
}

CacheBuildProblem checkEntry(const CacheEntryImage& entry)
{
    if (entry.record.size() != cache::kRecordSize && entry.record.size() != imagelist::ImageEntry::kPersistentSize)
        return CacheBuildProblem::RecordSize;
    if (entry.history.size() != historyCountOf(entry) * cache::kHistoryRecordSize)
        return CacheBuildProblem::HistorySize;
    if (!entry.thumbnail.empty() && entry.thumbnail.size() != cache::kThumbnailBlockSize)
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
    io::storeUtf16(image, cache::kVersion, header.version);
    io::storeUtf16(image, cache::kFolder, header.folder);
    const auto focused = static_cast<std::uint32_t>(std::clamp<std::int64_t>(header.focusedPosition, 0, count));
    io::storeLe(image, cache::kFocusedPosition.offset, focused);
    io::storeLe(image, cache::kRecordCount.offset, count);
    io::storeLe(image, cache::kIndexSize.offset, indexSize);
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
    if (entries.size() > cache::kMaxRecords) {
        setProblem(problem, CacheBuildProblem::TooManyRecords);
        return std::nullopt;
    }
    if (header.folder.size() + 1 > cache::kFolder.units || header.version.size() + 1 > cache::kVersion.units) {
        setProblem(problem, header.folder.size() + 1 > cache::kFolder.units ? CacheBuildProblem::FolderTooLong
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
    const std::uint64_t indexSize = cache::historiesAt(count) + historyBytes;
    const std::uint64_t fullSize = indexSize + thumbnails * cache::kThumbnailBlockSize;
    if (indexSize > kMaxOffset || (thumbnails > 0 && fullSize - cache::kThumbnailBlockSize > kMaxOffset)) {
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

    std::uint64_t nextHistory = cache::historiesAt(count);
    std::uint64_t nextThumbnail = indexSize;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CacheEntryImage& entry = entries[i];
        const std::uint64_t recordAt = cache::recordsAt(count) + i * cache::kRecordSize;
        io::copyBytes(bytes, static_cast<std::size_t>(recordAt), entry.record, 0, entry.record.size());
        if (!entry.history.empty()) {
            io::storeLe(bytes, cache::historyOffsetsAt() + i * cache::kOffsetSize,
                        static_cast<std::uint32_t>(nextHistory));
            io::copyBytes(bytes, static_cast<std::size_t>(nextHistory), entry.history, 0, entry.history.size());
            nextHistory += entry.history.size();
        }
        if (withThumbnails && !entry.thumbnail.empty()) {
            io::storeLe(bytes, cache::thumbnailOffsetsAt(count) + i * cache::kOffsetSize,
                        static_cast<std::uint32_t>(nextThumbnail));
            io::copyBytes(bytes, static_cast<std::size_t>(nextThumbnail), entry.thumbnail, 0,
                          cache::kThumbnailBlockSize);
            nextThumbnail += cache::kThumbnailBlockSize;
        }
    }
    return image;
}

} // namespace qlx::thumbs
