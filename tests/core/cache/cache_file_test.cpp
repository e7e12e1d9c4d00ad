// The cache file: its layout byte for byte (other programs read these files),
// the round trip, and damaged files, every one of which must read as no cache.

#include "cache/cache_file.h"
#include "cache/cache_writer.h"

#include "imagelist/image_entry.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace qlx::cache {
namespace {

using imagelist::ImageEntry;
using Bytes = std::vector<std::byte>;

// ---- Raw little-endian bytes, read and written without the code under test

std::uint32_t u32At(const Bytes& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
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

Bytes pattern(std::size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::byte>((i * 7 + seed * 31 + 1) & 0xFF);
    return bytes;
}

bool sameBytes(std::span<const std::byte> a, std::span<const std::byte> b) { return std::ranges::equal(a, b); }

// ---- Three entries: the list every test starts from ---------------------------
// Entry 0 has 2 history records and a thumbnail, entry 1 neither (and is
// handed over as its 1,612 persistent bytes, stored with a zero tail),
// entry 2 one history record and a thumbnail.

struct Listed {
    std::unique_ptr<ImageEntry> entry = std::make_unique<ImageEntry>();
    Bytes history;
    Bytes thumbnail;
};

struct Sample {
    std::vector<Listed> listed{3};
    std::vector<CacheEntryImage> images;
    Sample()
    {
        const struct {
            std::u16string_view path;
            std::uint32_t kind, historyCount;
            bool thumbnail;
        } rows[] = {{u"/home/u/写真/IMG_0001.JPG", 0x2, 2, true},
                    {u"/home/u/写真/IMG_0002.CR2", 0x40, 0, false},
                    {u"/home/u/写真/clip.mp4", 0x100'0000, 1, true}};
        for (unsigned i = 0; i < 3; ++i) {
            Listed& l = listed[i];
            EXPECT_TRUE(l.entry->setPath(rows[i].path));
            l.entry->setKind(rows[i].kind);
            l.entry->setFileSize(100'000 + i);
            l.entry->setLastWriteTime(133'000'000'000'000'000ull + i);
            l.entry->setHistoryCount(rows[i].historyCount);
            l.entry->setItemText(ImageEntry::kItemMaker, u"Canon");
            l.history = pattern(rows[i].historyCount * 522, i);
            if (rows[i].thumbnail)
                l.thumbnail = pattern(17376, i + 100);
            const std::span<const std::byte> record = l.entry->recordBytes();
            images.push_back({i == 1 ? record.first(1612) : record, l.history, l.thumbnail});
        }
    }
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
    const auto file = CacheFile::fromBytes(std::move(bytes), parts, &problem);
    EXPECT_EQ(file.has_value(), problem == CacheProblem::None);
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
    const auto at = [&bytes](std::size_t offset, std::size_t size) { return std::span(bytes).subspan(offset, size); };

    // Header: version, folder, focused position, N, I.
    EXPECT_TRUE(sameBytes(at(0, 16), utf16Field(u"5.96", 8)));
    EXPECT_TRUE(sameBytes(at(16, 520), utf16Field(u"/home/u/写真/", 260)));
    EXPECT_EQ(u32At(bytes, 536), 1u);
    EXPECT_EQ(u32At(bytes, 540), 3u);
    EXPECT_EQ(u32At(bytes, 544), kIndexSize);
    // History offsets, then thumbnail offsets; 0 where an entry has none.
    EXPECT_EQ(u32At(bytes, 548), kHistories);
    EXPECT_EQ(u32At(bytes, 552), 0u);
    EXPECT_EQ(u32At(bytes, 556), kHistories + 2 * 522);
    EXPECT_EQ(u32At(bytes, kThumbTable), kIndexSize);
    EXPECT_EQ(u32At(bytes, kThumbTable + 4), 0u);
    EXPECT_EQ(u32At(bytes, kThumbTable + 8), kIndexSize + 17376);
    // Records as they stand, 1,624 bytes each, in list order.
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(sameBytes(at(kRecords + i * 1624, 1624), sample.listed[i].entry->recordBytes())) << i;
        EXPECT_EQ(u32At(bytes, kRecords + i * 1624 + kHistoryCountAt), sample.listed[i].history.size() / 522) << i;
    }
    EXPECT_TRUE(sameBytes(at(kRecords + 12, 520), utf16Field(u"/home/u/写真/IMG_0001.JPG", 260)));
    // History blocks in record order, ending at I; thumbnails packed from I.
    EXPECT_TRUE(sameBytes(at(kHistories, 1044), sample.listed[0].history));
    EXPECT_TRUE(sameBytes(at(kHistories + 1044, 522), sample.listed[2].history));
    EXPECT_TRUE(sameBytes(at(kIndexSize, 17376), sample.listed[0].thumbnail));
    EXPECT_TRUE(sameBytes(at(kIndexSize + 17376, 17376), sample.listed[2].thumbnail));
    // The focused position is stored clamped to 0..N.
    EXPECT_EQ(u32At(build(sample, 7), 536), 3u);
    EXPECT_EQ(u32At(build(sample, -5), 536), 0u);

    const auto file = CacheFile::fromBytes(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->version(), u"5.96");
    EXPECT_EQ(file->folder(), u"/home/u/写真/");
    EXPECT_EQ(file->focusedPosition(), 1u);
    EXPECT_EQ(file->recordCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const Listed& listed = sample.listed[i];
        EXPECT_TRUE(sameBytes(file->record(i), listed.entry->recordBytes())) << i;
        EXPECT_TRUE(sameBytes(file->history(i), listed.history)) << i;
        EXPECT_TRUE(sameBytes(file->thumbnail(i), listed.thumbnail)) << i;
        const auto entry = ImageEntry::fromCacheRecord(file->record(i));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->path(), listed.entry->path());
        EXPECT_EQ(entry->lastWriteTime(), listed.entry->lastWriteTime());
    }
    EXPECT_TRUE(file->record(3).empty() && file->thumbnail(3).empty());

    // Only the index part read: records and histories, no thumbnails.
    const auto index = CacheFile::fromBytes(Bytes(bytes.begin(), bytes.begin() + kIndexSize),
                                            CacheFile::Parts::IndexOnly);
    ASSERT_TRUE(index);
    EXPECT_FALSE(index->hasThumbnailPart() || index->hasThumbnail(0));
    EXPECT_TRUE(sameBytes(index->history(0), sample.listed[0].history));
    EXPECT_NE(problemOf(Bytes(bytes.begin(), bytes.begin() + kIndexSize - 1), CacheFile::Parts::IndexOnly),
              CacheProblem::None);
}

TEST(CacheFileFormat, AnEmptyListIsAHeaderOnly)
{
    const auto image = buildCacheImage({.folder = u"/tmp/"}, {});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 548u);
    EXPECT_EQ(u32At(*image, 540), 0u);
    EXPECT_EQ(u32At(*image, 544), 548u);
    const auto file = CacheFile::fromBytes(*image);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->recordCount(), 0u);
}

TEST(CacheFileFormat, BuilderRefusesWhatItCannotStoreFaithfully)
{
    const Sample sample;
    const auto problemOfBuild = [](const CacheImageHeader& header, const std::vector<CacheEntryImage>& images) {
        CacheBuildProblem problem = CacheBuildProblem::None;
        EXPECT_FALSE(buildCacheImage(header, images, &problem));
        return problem;
    };
    const auto changed = [&sample](auto change) {
        auto images = sample.images;
        change(images);
        return images;
    };
    const std::u16string longFolder(260, u'a');
    EXPECT_EQ(problemOfBuild({.folder = longFolder}, sample.images), CacheBuildProblem::FolderTooLong);
    EXPECT_EQ(problemOfBuild({.folder = u"/x/", .version = u"12345678"}, sample.images),
              CacheBuildProblem::VersionTooLong);
    EXPECT_EQ(problemOfBuild({}, changed([](auto& i) { i[0].history = i[0].history.first(522); })),
              CacheBuildProblem::HistorySize);
    EXPECT_EQ(problemOfBuild({}, changed([](auto& i) { i[1].record = i[1].record.first(1000); })),
              CacheBuildProblem::RecordSize);
    EXPECT_EQ(problemOfBuild({}, changed([](auto& i) { i[0].thumbnail = i[0].thumbnail.first(17000); })),
              CacheBuildProblem::ThumbnailSize);
    EXPECT_EQ(problemOfBuild({}, std::vector(65535, sample.images[1])), CacheBuildProblem::TooManyRecords);
}

// The version field is read as a decimal number that must be at least 5.16;
// a field without its terminator is read to its end.
TEST(CacheFileDamage, VersionsBelow516AreNoCache)
{
    const struct {
        std::u16string_view text;
        bool accepted;
    } versions[] = {
        {u"5.16", true},  {u"5.96", true},   {u"5.2", true},  {u"5.160", true},    {u"05.16", true},
        {u"6", true},     {u"10.0", true},   {u"5.16beta", true}, {u"5.161616", true}, {u"5.15", false},
        {u"5.159", false}, {u"5.1", false},  {u"5", false},   {u".9", false},      {u"abc", false},
        {u"", false},     {u" 5.96", false}, {u"5.151515", false},
    };
    const Bytes whole = build(Sample());
    for (std::size_t i = 0; i < std::size(versions); ++i) {
        Bytes bytes = whole;
        std::ranges::copy(utf16Field(versions[i].text, 8), bytes.begin());
        EXPECT_EQ(problemOf(bytes), versions[i].accepted ? CacheProblem::None : CacheProblem::Version) << i;
    }
}

// Each row changes u32 fields of the sample's file (hand-computed layout above).
TEST(CacheFileDamage, DamagedCountsAndOffsetsAreNoCache)
{
    struct Patch {
        std::size_t at;
        std::uint32_t value;
    };
    struct Damage {
        const char* what;
        std::vector<Patch> patches;
        CacheProblem problem;
    };
    constexpr std::size_t kHistoryOffsets = 548;
    const std::size_t lastThumb = kThumbTable + 8;
    const std::size_t countOf1 = kRecords + 1624 + kHistoryCountAt;
    const std::size_t countOf2 = kRecords + 2 * 1624 + kHistoryCountAt;
    using enum CacheProblem;
    const Damage damages[] = {
        {"N = 4: its tables and records end past I", {{540, 4}}, IndexSizeOutside},
        {"N = 26", {{540, 26}}, RecordsOutside},
        {"N = 65534", {{540, 65534}}, RecordsOutside},
        {"N = 65535, clamped to 65534", {{540, 65535}}, RecordsOutside},
        {"N = 2^32 - 1", {{540, 0xFFFF'FFFF}}, RecordsOutside},
        {"I = 0", {{544, 0}}, IndexSizeOutside},
        {"I inside the records", {{544, kHistories - 1}}, IndexSizeOutside},
        {"I past the file", {{544, kFileSize + 1}}, IndexSizeOutside},
        {"I = 2^32 - 1", {{544, 0xFFFF'FFFF}}, IndexSizeOutside},
        {"I one past the histories", {{544, kIndexSize + 1}}, IndexSizeMismatch},
        {"I cuts the last history block", {{544, kIndexSize - 522}}, HistoryOutside},
        {"record 0 counts history but has no block", {{kHistoryOffsets, 0}}, HistoryMissing},
        {"history in the header", {{kHistoryOffsets, 100}}, HistoryOutside},
        {"history on the records", {{kHistoryOffsets, kRecords}}, HistoryOutside},
        {"history past I", {{kHistoryOffsets, kIndexSize + 1}}, HistoryOutside},
        {"history offset near 2^32", {{kHistoryOffsets, 0xFFFF'FFF0}}, HistoryOutside},
        {"a gap before the first block", {{kHistoryOffsets, kHistories + 522}}, HistoryMisplaced},
        {"block 2 on block 0", {{kHistoryOffsets + 8, kHistories}}, HistoryMisplaced},
        {"block 2 inside block 0", {{kHistoryOffsets + 8, kHistories + 1000}}, HistoryMisplaced},
        {"record 1, without history, may point into the area", {{kHistoryOffsets + 4, kHistories + 1044}}, None},
        {"but not outside it", {{kHistoryOffsets + 4, 12}}, HistoryOutside},
        {"a history count past the area", {{countOf2, 0xFFFF'FFFF}}, HistoryOutside},
        {"a history count past I", {{countOf2, 2}}, HistoryOutside},
        {"a history count without a block", {{countOf1, 1}}, HistoryMissing},
        {"fewer thumbnails", {{kThumbTable, 0}}, None},
        {"thumbnail in the header", {{kThumbTable, 10}}, ThumbnailInsideIndex},
        {"thumbnail on the records", {{kThumbTable, kRecords}}, ThumbnailInsideIndex},
        {"thumbnail one byte before I", {{kThumbTable, kIndexSize - 1}}, ThumbnailInsideIndex},
        {"two thumbnails at one place", {{lastThumb, kIndexSize}}, ThumbnailOverlap},
        {"thumbnails overlapping by a byte", {{lastThumb, kIndexSize + 17375}}, ThumbnailOverlap},
        {"thumbnails out of order", {{kThumbTable, kIndexSize + 17376}, {lastThumb, kIndexSize}}, ThumbnailOverlap},
        {"last thumbnail a byte too far", {{lastThumb, kIndexSize + 17377}}, ThumbnailOutside},
        {"last thumbnail at the end", {{lastThumb, kFileSize}}, ThumbnailOutside},
        {"thumbnail at 2^32 - 1", {{lastThumb, 0xFFFF'FFFF}}, ThumbnailOutside},
        {"first thumbnail at 2^32 - 1", {{kThumbTable, 0xFFFF'FFFF}, {lastThumb, 0}}, ThumbnailOutside},
    };
    const Bytes whole = build(Sample());
    for (const Damage& damage : damages) {
        Bytes bytes = whole;
        for (const Patch& patch : damage.patches)
            putU32(bytes, patch.at, patch.value);
        EXPECT_EQ(problemOf(bytes), damage.problem) << damage.what;
    }
}

TEST(CacheFileDamage, EveryTruncationIsNoCacheAndTrailingBytesAreTolerated)
{
    const Bytes whole = build(Sample());
    std::vector<std::size_t> lengths;
    for (std::size_t length = 0; length < whole.size(); length += (length < 2000 ? 1 : 97))
        lengths.push_back(length);
    lengths.insert(lengths.end(), {kHistories - 1, kHistories, kIndexSize - 1, kIndexSize, kIndexSize + 1,
                                   kIndexSize + 17375, kIndexSize + 17376, kFileSize - 1});
    for (const std::size_t length : lengths)
        EXPECT_NE(problemOf(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length))),
                  CacheProblem::None)
            << length;
    EXPECT_EQ(problemOf(Bytes{}), CacheProblem::Empty);
    EXPECT_EQ(problemOf(Bytes(547)), CacheProblem::Truncated);
    Bytes longer = whole;
    longer.resize(whole.size() + 17376);
    EXPECT_EQ(problemOf(longer), CacheProblem::None);
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
            const auto inside = [&file](std::span<const std::byte> part) {
                const auto all = file->bytes();
                return part.empty() || (part.data() >= all.data() && part.data() + part.size() <= all.data() + all.size());
            };
            for (std::size_t i = 0; i <= file->recordCount(); ++i)
                EXPECT_TRUE(inside(file->record(i)) && inside(file->history(i)) && inside(file->thumbnail(i))) << at;
            EXPECT_LE(file->focusedPosition(), file->recordCount());
        }
    }
}

TEST(CacheFileLoad, ReadsAFileFromDiskAndNamesWhatIsNotThere)
{
    test::TempDir dir;
    const Bytes bytes = build(Sample());
    std::ofstream(dir.path() / "cache.cac", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(dir.path() / "empty.cac").close();
    CacheProblem problem = CacheProblem::Unreadable;
    const auto file = CacheFile::load(dir.path() / "cache.cac", &problem);
    ASSERT_TRUE(file) << describe(problem);
    EXPECT_TRUE(sameBytes(file->bytes(), bytes));
    for (const auto& [name, expected] : {std::pair{"missing.cac", CacheProblem::Unreadable},
                                         std::pair{"", CacheProblem::Unreadable},
                                         std::pair{"empty.cac", CacheProblem::Empty}}) {
        EXPECT_FALSE(CacheFile::load(dir.path() / name, &problem)) << name;
        EXPECT_EQ(problem, expected) << name;
    }
}

} // namespace
} // namespace qlx::cache
