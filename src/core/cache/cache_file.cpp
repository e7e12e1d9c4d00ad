#include "cache/cache_file.h"
#include "io/file_descriptor.h"

#include "io/byte_reader.h"
#include "cache/cache_layout.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::cache {

using io::FileDescriptor;

namespace {

// ---- Version text ------------------------------------------------------------

struct DecimalText {
    std::u16string_view whole;    // without leading zeros
    std::u16string_view fraction; // without trailing zeros
};

bool isDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

std::optional<DecimalText> leadingDecimal(std::u16string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    std::u16string_view whole = text.substr(0, end);
    std::u16string_view fraction;
    if (end < text.size() && text[end] == u'.') {
        std::size_t fractionEnd = end + 1;
        while (fractionEnd < text.size() && isDigit(text[fractionEnd]))
            ++fractionEnd;
        fraction = text.substr(end + 1, fractionEnd - end - 1);
    }
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    while (!whole.empty() && whole.front() == u'0')
        whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == u'0')
        fraction.remove_suffix(1);
    return DecimalText{whole, fraction};
}

// <0, 0, >0 as a is below, equal to or above b.
int compareDecimal(const DecimalText& a, const DecimalText& b)
{
    if (a.whole.size() != b.whole.size())
        return a.whole.size() < b.whole.size() ? -1 : 1;
    if (const int order = a.whole.compare(b.whole); order != 0)
        return order;
    // Fractions compare digit by digit; a missing digit is a zero.
    const std::size_t digits = std::max(a.fraction.size(), b.fraction.size());
    for (std::size_t i = 0; i < digits; ++i) {
        const char16_t da = i < a.fraction.size() ? a.fraction[i] : u'0';
        const char16_t db = i < b.fraction.size() ? b.fraction[i] : u'0';
        if (da != db)
            return da < db ? -1 : 1;
    }
    return 0;
}

// ---- Validation --------------------------------------------------------------

struct Layout {
    std::uint32_t count = 0;
    std::uint32_t indexSize = 0;
};

CacheProblem checkHistories(io::ByteReader& file, std::uint32_t count, std::uint64_t indexSize)
{
    const std::uint64_t historiesStart = layout::historiesAt(count);
    std::uint64_t next = historiesStart;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t historyCount =
            file.u32At(layout::recordsAt(count) + i * layout::kRecordSize + layout::kRecordHistoryCount.offset);
        const std::uint64_t offset = file.u32At(layout::historyOffsetsAt() + i * layout::kOffsetSize);
        if (historyCount == 0) {
            // A record without history may carry 0 or any position inside
            // the history area; neither is ever read.
            if (offset != 0 && (offset < historiesStart || offset > indexSize))
                return CacheProblem::HistoryOutside;
            continue;
        }
        if (offset == 0)
            return CacheProblem::HistoryMissing;
        if (offset < historiesStart || offset > indexSize)
            return CacheProblem::HistoryOutside;
        if (offset != next)
            return CacheProblem::HistoryMisplaced;
        // count < 2^32 and 522 < 2^10: the product fits easily in 64 bits.
        const std::uint64_t length = historyCount * layout::kHistoryRecordSize;
        if (!io::rangeFits(offset, length, indexSize))
            return CacheProblem::HistoryOutside;
        next = offset + length;
    }
    return next == indexSize ? CacheProblem::None : CacheProblem::IndexSizeMismatch;
}

CacheProblem checkThumbnails(io::ByteReader& file, std::uint32_t count, std::uint64_t indexSize)
{
    std::uint64_t next = indexSize;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t offset = file.u32At(layout::thumbnailOffsetsAt(count) + i * layout::kOffsetSize);
        if (offset == 0)
            continue;
        if (offset < indexSize)
            return CacheProblem::ThumbnailInsideIndex;
        if (offset < next)
            return CacheProblem::ThumbnailOverlap;
        if (!file.holds(offset, layout::kThumbnailBlockSize))
            return CacheProblem::ThumbnailOutside;
        next = offset + layout::kThumbnailBlockSize;
    }
    return CacheProblem::None;
}

CacheProblem validate(std::span<const std::byte> bytes, CacheFile::Parts parts, Layout& layout)
{
    if (bytes.empty())
        return CacheProblem::Empty;
    if (bytes.size() > layout::kMaxFileSize)
        return CacheProblem::TooLarge;
    if (bytes.size() < layout::kHeaderSize)
        return CacheProblem::Truncated;
    if (!versionAtLeast(io::loadUtf16(bytes, layout::kVersion), layout::kMinimumVersion))
        return CacheProblem::Version;

    io::ByteReader file(bytes);
    const std::uint32_t count = std::min(file.u32At(layout::kRecordCount.offset), layout::kMaxRecords);
    const std::uint64_t indexSize = file.u32At(layout::kIndexSize.offset);
    if (!file.holds(0, layout::historiesAt(count)))
        return CacheProblem::RecordsOutside;
    if (indexSize < layout::historiesAt(count) || !file.holds(0, indexSize))
        return CacheProblem::IndexSizeOutside;
    if (const CacheProblem problem = checkHistories(file, count, indexSize); problem != CacheProblem::None)
        return problem;
    if (parts == CacheFile::Parts::Whole) {
        if (const CacheProblem problem = checkThumbnails(file, count, indexSize); problem != CacheProblem::None)
            return problem;
    }
    // Every read above was proven in range first; a failed reader here would
    // be a mistake in the checks, and the bytes are then not trusted.
    if (file.failed())
        return CacheProblem::Truncated;
    layout.count = count;
    layout.indexSize = static_cast<std::uint32_t>(indexSize);
    return CacheProblem::None;
}

// ---- Reading the file ------------------------------------------------------


// Reads up to `into.size()` bytes from offset 0; returns how many were read
// (fewer when the file has shrunk), or nothing on a read error.
std::optional<std::size_t> readPrefix(int fd, std::span<std::byte> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(fd, into.data() + done, into.size() - done, static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void setProblem(CacheProblem* out, CacheProblem problem)
{
    if (out)
        *out = problem;
}

using Header = std::array<std::byte, layout::kHeaderSize>;

// The header of a file; nothing when it is missing or of another version.
std::optional<Header> readHeader(int fd, CacheProblem* problem)
{
    Header header{};
    const auto got = readPrefix(fd, header);
    if (!got || *got < layout::kHeaderSize) {
        setProblem(problem, got ? CacheProblem::Truncated : CacheProblem::Unreadable);
        return std::nullopt;
    }
    if (!versionAtLeast(io::loadUtf16(header, layout::kVersion), layout::kMinimumVersion)) {
        setProblem(problem, CacheProblem::Version);
        return std::nullopt;
    }
    return header;
}

// The size of the index part of a file of `size` bytes, from its header.
std::optional<std::size_t> indexPartSize(int fd, std::uint64_t size, CacheProblem* problem)
{
    const auto header = readHeader(fd, problem);
    if (!header)
        return std::nullopt;
    const std::uint64_t indexSize = io::loadLe<std::uint32_t>(*header, layout::kIndexSize.offset);
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(indexSize, layout::kHeaderSize, size));
}

} // namespace

std::string_view describe(CacheProblem problem)
{
    switch (problem) {
    case CacheProblem::None: return "valid cache";
    case CacheProblem::Unreadable: return "the file cannot be read";
    case CacheProblem::Empty: return "the file is empty";
    case CacheProblem::TooLarge: return "the file is larger than any cache can be";
    case CacheProblem::Truncated: return "the file is shorter than the 548-byte header";
    case CacheProblem::Version: return "the version is older than 5.16 or not a number";
    case CacheProblem::RecordsOutside: return "the record count does not fit the file";
    case CacheProblem::IndexSizeOutside: return "the index size lies outside the file or before the end of the records";
    case CacheProblem::HistoryMissing: return "a record counts history entries but has no history block";
    case CacheProblem::HistoryOutside: return "a history block lies outside the history area";
    case CacheProblem::HistoryMisplaced: return "the history blocks are out of order, overlap or leave gaps";
    case CacheProblem::IndexSizeMismatch: return "the index size does not end where the history blocks end";
    case CacheProblem::ThumbnailInsideIndex: return "a thumbnail offset points into the header, tables or records";
    case CacheProblem::ThumbnailOverlap: return "the thumbnail blocks are out of order or overlap";
    case CacheProblem::ThumbnailOutside: return "a thumbnail block runs past the end of the file";
    }
    return "unknown problem";
}

bool versionAtLeast(std::u16string_view text, std::u16string_view minimum)
{
    const auto value = leadingDecimal(text);
    const auto limit = leadingDecimal(minimum);
    if (!value)
        return false;
    return !limit || compareDecimal(*value, *limit) >= 0;
}

std::optional<CacheFile> CacheFile::adopt(CacheFile file, Parts parts, CacheProblem* problem)
{
    Layout layout;
    const CacheProblem found = validate(file.m_bytes, parts, layout);
    setProblem(problem, found);
    if (found != CacheProblem::None)
        return std::nullopt;
    file.m_count = layout.count;
    file.m_indexSize = layout.indexSize;
    file.m_parts = parts;
    return file;
}

std::optional<CacheFile> CacheFile::fromBytes(std::vector<std::byte> bytes, Parts parts, CacheProblem* problem)
{
    CacheFile file;
    file.m_vector = std::move(bytes);
    file.m_bytes = file.m_vector;
    return adopt(std::move(file), parts, problem);
}

std::optional<std::u16string> readHeaderFolder(const std::filesystem::path& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto header = readHeader(fd.get(), nullptr);
    if (!header)
        return std::nullopt;
    return io::loadUtf16(*header, layout::kFolder);
}

std::optional<CacheFile> CacheFile::load(const std::filesystem::path& path, CacheProblem* problem,
                                         CacheLoadTimes* times)
{
    const auto start = std::chrono::steady_clock::now();
    setProblem(problem, CacheProblem::Unreadable);
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size == 0 || size > layout::kMaxFileSize) {
        setProblem(problem, size == 0 ? CacheProblem::Empty : CacheProblem::TooLarge);
        return std::nullopt;
    }

    // The whole file, or when that much memory cannot be had, its index
    // part: the records alone still spare every entry its metadata pass.
    // The index size comes from the header and is capped by the file's size.
    std::size_t want = static_cast<std::size_t>(size);
    Parts parts = Parts::Whole;
    std::unique_ptr<std::byte[]> buffer;
    try {
        buffer = std::make_unique_for_overwrite<std::byte[]>(want);
    } catch (const std::bad_alloc&) {
        const auto indexSize = indexPartSize(fd.get(), size, problem);
        if (!indexSize)
            return std::nullopt;
        want = *indexSize;
        try {
            buffer = std::make_unique_for_overwrite<std::byte[]>(want);
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
        parts = Parts::IndexOnly;
    }
    const auto got = readPrefix(fd.get(), std::span(buffer.get(), want));
    if (!got)
        return std::nullopt;
    // Only what was read is ever looked at (fewer bytes when the file
    // shrank meanwhile).
    CacheFile file;
    file.m_buffer = std::move(buffer);
    file.m_bytes = std::span<const std::byte>(file.m_buffer.get(), *got);
    const auto read = std::chrono::steady_clock::now();
    auto adopted = adopt(std::move(file), parts, problem);
    if (times != nullptr) {
        times->read = read - start;
        times->check = std::chrono::steady_clock::now() - read;
    }
    return adopted;
}

std::u16string CacheFile::version() const { return io::loadUtf16(m_bytes, layout::kVersion); }
std::u16string CacheFile::folder() const { return io::loadUtf16(m_bytes, layout::kFolder); }

std::uint32_t CacheFile::u32(std::uint64_t offset) const
{
    return io::loadLe<std::uint32_t>(m_bytes, static_cast<std::size_t>(offset));
}

std::uint32_t CacheFile::storedFocusedPosition() const { return u32(layout::kFocusedPosition.offset); }
std::uint32_t CacheFile::focusedPosition() const { return std::min(storedFocusedPosition(), m_count); }
std::uint32_t CacheFile::storedRecordCount() const { return u32(layout::kRecordCount.offset); }

std::span<const std::byte> CacheFile::record(std::size_t index) const
{
    if (index >= m_count)
        return {};
    return std::span(m_bytes).subspan(static_cast<std::size_t>(layout::recordsAt(m_count)) + index * layout::kRecordSize,
                                      layout::kRecordSize);
}

std::uint32_t CacheFile::historyCount(std::size_t index) const
{
    const auto bytes = record(index);
    return bytes.empty() ? 0 : io::loadLe<std::uint32_t>(bytes, layout::kRecordHistoryCount.offset);
}

std::uint32_t CacheFile::historyOffset(std::size_t index) const
{
    return index < m_count ? u32(layout::historyOffsetsAt() + index * layout::kOffsetSize) : 0;
}

std::uint32_t CacheFile::thumbnailOffset(std::size_t index) const
{
    return index < m_count ? u32(layout::thumbnailOffsetsAt(m_count) + index * layout::kOffsetSize) : 0;
}

std::span<const std::byte> CacheFile::history(std::size_t index) const
{
    const std::size_t count = historyCount(index);
    if (count == 0)
        return {};
    return std::span(m_bytes).subspan(historyOffset(index), count * layout::kHistoryRecordSize);
}

std::span<const std::byte> CacheFile::thumbnail(std::size_t index) const
{
    const std::uint32_t offset = thumbnailOffset(index);
    if (offset == 0 || m_parts != Parts::Whole)
        return {};
    return std::span(m_bytes).subspan(offset, layout::kThumbnailBlockSize);
}

} // namespace qlx::cache
