// The cache file: its layout byte for byte (other programs read these files),
// the round trip, and damaged files, every one of which must read as no cache.

#include "cache/cache_file.h"

#include "cache_test_list.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace qlx::cache {
namespace {

using Bytes = std::vector<std::byte>;

// ---- Raw little-endian bytes, read and written without the code under test
static_assert(std::endian::native == std::endian::little, "the file's u32 fields are copied as they are");

std::uint32_t u32At(const Bytes& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    std::memcpy(&value, std::span(bytes).subspan(offset, 4).data(), 4);
    return value;
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    std::memcpy(std::span(bytes).subspan(offset, 4).data(), &value, 4);
}

// A text field of `units` UTF-16LE units, NUL-padded.
Bytes utf16Field(std::u16string_view text, std::size_t units)
{
    Bytes field(2 * units);
    for (std::size_t i = 0; i < text.size() && i < units; ++i) {
        field[2 * i] = static_cast<std::byte>(text[i] & 0xFF);
        field[2 * i + 1] = static_cast<std::byte>(text[i] >> 8);
    }
    return field;
}

// ---- Three entries: the list every test starts from ---------------------------
// Entry 0 has 2 history records and a thumbnail; entry 1 neither, and is
// handed over as its 1,612 persistent bytes (stored with a zero tail);
// entry 2 has 1 history record and a thumbnail.
struct Sample : test::TestList {
    Sample() : TestList(3, {2, 0, 1}, 1) { images[1].record = images[1].record.first(1612); }
};

Bytes build(const Sample& sample, std::int64_t focused = 1)
{
    CacheBuildProblem problem = CacheBuildProblem::None;
    auto image = buildCacheImage({.folder = u"/home/u/写真/", .focusedPosition = focused}, sample.images, &problem);
    EXPECT_TRUE(image.has_value()) << describe(problem);
    return image.value_or(Bytes{});
}

CacheProblem problemOf(Bytes bytes, CacheFile::Parts parts = CacheFile::Parts::Whole)
{
    CacheProblem problem = CacheProblem::None;
    const bool read = CacheFile::fromBytes(std::move(bytes), parts, &problem).has_value();
    EXPECT_EQ(read, problem == CacheProblem::None);
    return problem;
}

// The sample's layout worked out by hand (N = 3 records, H = 3 history records):
constexpr std::size_t kThumbTable = 548 + 4 * 3;          // 560
constexpr std::size_t kRecords = 548 + 8 * 3;             // 572
constexpr std::size_t kHistories = 548 + 1632 * 3;        // 5444
constexpr std::size_t kIndexSize = kHistories + 3 * 522;  // 7010
constexpr std::size_t kFileSize = kIndexSize + 2 * 17376; // 41762
constexpr std::size_t kHistoryCountAt = 1552;             // in a record

TEST(CacheFileFormat, WrittenFileMatchesTheLayoutFieldByFieldAndReadsBack)
{
    const Sample sample;
    const Bytes bytes = build(sample);
    ASSERT_EQ(bytes.size(), kFileSize);
    // Header (focused position, N, I), history offsets, thumbnail offsets (0: none).
    const std::pair<std::size_t, std::size_t> fields[] = {
        {536, 1}, {540, 3}, {544, kIndexSize}, {548, kHistories}, {552, 0}, {556, kHistories + 2 * 522},
        {kThumbTable, kIndexSize}, {kThumbTable + 4, 0}, {kThumbTable + 8, kIndexSize + 17376}};
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(u32At(bytes, offset), value) << offset;
    // Version and folder texts; records in list order (their history counts
    // 2, 0, 1 at byte 1552 of each); history blocks in record order ending at
    // I; thumbnails packed from I.
    const Bytes version = utf16Field(u"5.96", 8), folder = utf16Field(u"/home/u/写真/", 260);
    const std::pair<std::size_t, std::span<const std::byte>> blocks[] = {
        {0, version}, {16, folder}, {kRecords, sample.entries[0].recordBytes()},
        {kRecords + 1624, sample.entries[1].recordBytes()}, {kRecords + 3248, sample.entries[2].recordBytes()},
        {kHistories, sample.histories[0]}, {kHistories + 1044, sample.histories[2]},
        {kIndexSize, sample.thumbnails[0]}, {kIndexSize + 17376, sample.thumbnails[2]}};
    for (const auto& [offset, expected] : blocks)
        EXPECT_TRUE(std::ranges::equal(std::span(bytes).subspan(offset, expected.size()), expected)) << offset;
    // The focused position is stored clamped to 0..N.
    EXPECT_EQ(u32At(build(sample, 7), 536), 3u);
    EXPECT_EQ(u32At(build(sample, -5), 536), 0u);

    const auto file = CacheFile::fromBytes(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->version(), u"5.96");
    EXPECT_EQ(file->folder(), u"/home/u/写真/");
    EXPECT_EQ(file->focusedPosition(), 1u);
    ASSERT_EQ(file->recordCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(std::ranges::equal(file->record(i), sample.entries[i].recordBytes())) << i;
        EXPECT_TRUE(std::ranges::equal(file->history(i), sample.histories[i])) << i;
        EXPECT_TRUE(std::ranges::equal(file->thumbnail(i), sample.thumbnails[i])) << i;
    }
    EXPECT_TRUE(file->record(3).empty() && file->thumbnail(3).empty());
    // Only the index part read: records and histories, no thumbnails.
    const auto index = CacheFile::fromBytes(Bytes(bytes.begin(), bytes.begin() + kIndexSize), CacheFile::Parts::IndexOnly);
    ASSERT_TRUE(index);
    EXPECT_FALSE(index->hasThumbnailPart() || index->hasThumbnail(0));
    EXPECT_TRUE(std::ranges::equal(index->history(0), sample.histories[0]));
    EXPECT_NE(problemOf(Bytes(bytes.begin(), bytes.begin() + kIndexSize - 1), CacheFile::Parts::IndexOnly),
              CacheProblem::None);
}

TEST(CacheFileFormat, BuilderRefusesWhatItCannotStoreFaithfully)
{
    const Sample sample;
    auto shortHistory = sample.images, shortThumbnail = sample.images;
    shortHistory[0].history = shortHistory[0].history.first(522);
    shortThumbnail[0].thumbnail = shortThumbnail[0].thumbnail.first(17000);
    const std::vector tooMany(65535, sample.images[1]);
    using enum CacheBuildProblem;
    const std::tuple<CacheImageHeader, const std::vector<CacheEntryImage>&, CacheBuildProblem> cases[] = {
        {{.folder = std::u16string(260, u'a')}, sample.images, FolderTooLong}, {{}, shortHistory, HistorySize},
        {{}, shortThumbnail, ThumbnailSize}, {{}, tooMany, TooManyRecords}};
    for (const auto& [header, images, expected] : cases) {
        CacheBuildProblem problem = None;
        EXPECT_FALSE(buildCacheImage(header, images, &problem));
        EXPECT_EQ(problem, expected);
    }
}

// The version field is read as a decimal number that must be at least 5.16;
// a field without its terminator is read to its end.
TEST(CacheFileDamage, VersionsBelow516AreNoCache)
{
    const std::pair<std::u16string_view, bool> versions[] = {
        {u"5.16", true},    {u"5.2", true},      {u"5.160", true}, {u"05.16", true}, {u"6", true},  {u"10.0", true},
        {u"5.16beta", true}, {u"5.161616", true}, {u"5.15", false}, {u"5.159", false}, {u"5", false}, {u".9", false},
        {u"abc", false},    {u"", false},        {u" 5.96", false}, {u"5.151515", false}};
    const Bytes whole = build(Sample());
    for (std::size_t i = 0; i < std::size(versions); ++i) {
        Bytes bytes = whole;
        std::ranges::copy(utf16Field(versions[i].first, 8), bytes.begin());
        EXPECT_EQ(problemOf(bytes), versions[i].second ? CacheProblem::None : CacheProblem::Version) << i;
    }
}

// Each row changes u32 fields of the sample's file (its layout is above).
TEST(CacheFileDamage, DamagedCountsAndOffsetsAreNoCache)
{
    constexpr std::size_t kHistoryOffsets = 548, kLastThumb = kThumbTable + 8;
    constexpr std::size_t kCountOf1 = kRecords + 1624 + kHistoryCountAt, kCountOf2 = kRecords + 3248 + kHistoryCountAt;
    using enum CacheProblem;
    const struct {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint32_t>> patches;
        CacheProblem problem;
    } damages[] = {
        {"N = 4: its tables and records end past I", {{540, 4}}, IndexSizeOutside},
        {"N = 2^32 - 1", {{540, 0xFFFF'FFFF}}, RecordsOutside},
        {"I = 0", {{544, 0}}, IndexSizeOutside},
        {"I inside the records", {{544, kHistories - 1}}, IndexSizeOutside},
        {"I past the file", {{544, kFileSize + 1}}, IndexSizeOutside},
        {"I one past the histories", {{544, kIndexSize + 1}}, IndexSizeMismatch},
        {"I cuts the last history block", {{544, kIndexSize - 522}}, HistoryOutside},
        {"record 0 counts history but has no block", {{kHistoryOffsets, 0}}, HistoryMissing},
        {"history in the header", {{kHistoryOffsets, 100}}, HistoryOutside},
        {"history past I", {{kHistoryOffsets, kIndexSize + 1}}, HistoryOutside},
        {"history offset near 2^32", {{kHistoryOffsets, 0xFFFF'FFF0}}, HistoryOutside},
        {"a gap before the first block", {{kHistoryOffsets, kHistories + 522}}, HistoryMisplaced},
        {"block 2 on block 0", {{kHistoryOffsets + 8, kHistories}}, HistoryMisplaced},
        {"record 1, without history, may point into the area", {{kHistoryOffsets + 4, kHistories + 1044}}, None},
        {"but not outside it", {{kHistoryOffsets + 4, 12}}, HistoryOutside},
        {"a history count past the area", {{kCountOf2, 0xFFFF'FFFF}}, HistoryOutside},
        {"a history count past I", {{kCountOf2, 2}}, HistoryOutside},
        {"a history count without a block", {{kCountOf1, 1}}, HistoryMissing},
        {"fewer thumbnails", {{kThumbTable, 0}}, None},
        {"thumbnail one byte before I", {{kThumbTable, kIndexSize - 1}}, ThumbnailInsideIndex},
        {"thumbnails overlapping by a byte", {{kLastThumb, kIndexSize + 17375}}, ThumbnailOverlap},
        {"thumbnails out of order", {{kThumbTable, kIndexSize + 17376}, {kLastThumb, kIndexSize}}, ThumbnailOverlap},
        {"last thumbnail a byte too far", {{kLastThumb, kIndexSize + 17377}}, ThumbnailOutside},
        {"thumbnail at 2^32 - 1", {{kLastThumb, 0xFFFF'FFFF}}, ThumbnailOutside},
        {"first thumbnail at 2^32 - 1", {{kThumbTable, 0xFFFF'FFFF}, {kLastThumb, 0}}, ThumbnailOutside},
    };
    const Bytes whole = build(Sample());
    for (const auto& damage : damages) {
        Bytes bytes = whole;
        for (const auto& [offset, value] : damage.patches)
            putU32(bytes, offset, value);
        EXPECT_EQ(problemOf(bytes), damage.problem) << damage.what;
    }
}

TEST(CacheFileDamage, EveryTruncationIsNoCacheAndTrailingBytesAreTolerated)
{
    Bytes whole = build(Sample());
    std::vector<std::size_t> lengths{kHistories - 1, kHistories,         kIndexSize - 1,     kIndexSize,
                                     kIndexSize + 1, kIndexSize + 17375, kIndexSize + 17376, kFileSize - 1};
    for (std::size_t length = 0; length < whole.size(); length += (length < 2000 ? 1 : 97))
        lengths.push_back(length);
    for (const std::size_t length : lengths)
        EXPECT_NE(problemOf(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))), CacheProblem::None)
            << length;
    EXPECT_EQ(problemOf(Bytes{}), CacheProblem::Empty);
    EXPECT_EQ(problemOf(Bytes(547)), CacheProblem::Truncated);
    whole.resize(whole.size() + 17376);
    EXPECT_EQ(problemOf(whole), CacheProblem::None);
}

// Every single-byte change to the header, the tables and the records either
// leaves a consistent cache or none; whatever is accepted hands out only
// spans that lie inside its bytes (run under the sanitizers).
TEST(CacheFileDamage, ChangedBytesNeverYieldSpansOutsideTheFile)
{
    const Bytes whole = build(Sample());
    for (std::size_t at = 0; at < kHistories; at += (at < kRecords ? 1 : 13)) {
        for (const unsigned mask : {0x01u, 0x80u, 0xFFu}) {
            Bytes bytes = whole;
            bytes[at] ^= static_cast<std::byte>(mask);
            const auto file = CacheFile::fromBytes(bytes);
            if (!file)
                continue;
            const auto inside = [all = file->bytes()](std::span<const std::byte> part) {
                return part.empty() || (part.data() >= all.data() && part.data() + part.size() <= all.data() + all.size());
            };
            for (std::size_t i = 0; i <= file->recordCount(); ++i)
                EXPECT_TRUE(inside(file->record(i)) && inside(file->history(i)) && inside(file->thumbnail(i))) << at;
            EXPECT_LE(file->focusedPosition(), file->recordCount());
        }
    }
}

// A file read whole is the store's and the folder session's test; here what
// is no file to read.
TEST(CacheFileLoad, NamesWhatIsNotACacheFile)
{
    test::TempDir dir;
    std::ofstream(dir.path() / "empty.cac").close();
    using enum CacheProblem;
    const std::pair<const char*, CacheProblem> cases[] = {
        {"missing.cac", Unreadable}, {"", Unreadable}, {"empty.cac", Empty}};
    for (const auto& [name, expected] : cases) {
        CacheProblem problem = None;
        EXPECT_FALSE(CacheFile::load(dir.path() / name, &problem)) << name;
        EXPECT_EQ(problem, expected) << name;
    }
}

} // namespace
} // namespace qlx::cache
