#include "cache/cache_file.h"
#include "cache/cache_writer.h"

#include "imagelist/image_entry.h"
#include "support/test_paths.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::cache {
namespace {

using imagelist::ImageEntry;
using Bytes = std::vector<std::byte>;

// ---- Little helpers over raw bytes, independent of the code under test ----

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

void putText(Bytes& bytes, std::size_t offset, std::size_t units, std::u16string_view text)
{
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = i < text.size() ? text[i] : u'\0';
        bytes.at(offset + 2 * i) = static_cast<std::byte>(unit & 0xFF);
        bytes.at(offset + 2 * i + 1) = static_cast<std::byte>(unit >> 8);
    }
}

std::u16string textAt(const Bytes& bytes, std::size_t offset, std::size_t units)
{
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(std::to_integer<unsigned>(bytes.at(offset + 2 * i))
                                                | std::to_integer<unsigned>(bytes.at(offset + 2 * i + 1)) << 8);
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

bool allZero(const Bytes& bytes, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i)
        if (bytes.at(i) != std::byte{0})
            return false;
    return true;
}

Bytes pattern(std::size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::byte>((i * 7 + seed * 31 + 1) & 0xFF);
    return bytes;
}

bool sameBytes(std::span<const std::byte> a, std::span<const std::byte> b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// ---- A list of three entries: the layout every damage test starts from ----

struct Listed {
    std::unique_ptr<ImageEntry> entry;
    Bytes history;
    Bytes thumbnail;
};

Listed makeListed(std::u16string_view path, std::uint32_t kind, std::uint32_t historyCount, bool thumbnail,
                  unsigned seed)
{
    Listed listed;
    listed.entry = std::make_unique<ImageEntry>();
    EXPECT_TRUE(listed.entry->setPath(path));
    listed.entry->setKind(kind);
    listed.entry->setFileSize(100'000 + seed);
    listed.entry->setLastWriteTime(133'000'000'000'000'000ull + seed);
    listed.entry->setPreviewOffset(1000 + seed);
    listed.entry->setPreviewSize(2000 + seed);
    listed.entry->setThumbOffset(3000 + seed);
    listed.entry->setThumbSize(4000 + seed);
    listed.entry->setHistoryCount(historyCount);
    listed.entry->setItemText(ImageEntry::kItemMaker, u"Canon");
    listed.history = pattern(historyCount * 522, seed);
    if (thumbnail)
        listed.thumbnail = pattern(17376, seed + 100);
    return listed;
}

struct Sample {
    std::vector<Listed> listed;
    std::vector<CacheEntryImage> images;
};

// Entry 0: 2 history records and a thumbnail; entry 1: neither; entry 2: 1
// history record and a thumbnail.
Sample threeEntries()
{
    Sample sample;
    sample.listed.push_back(makeListed(u"/home/u/写真/IMG_0001.JPG", 0x2, 2, true, 1));
    sample.listed.push_back(makeListed(u"/home/u/写真/IMG_0002.CR2", 0x40, 0, false, 2));
    sample.listed.push_back(makeListed(u"/home/u/写真/clip.mp4", 0x1000000, 1, true, 3));
    for (const Listed& listed : sample.listed)
        sample.images.push_back({listed.entry->recordBytes(), listed.history, listed.thumbnail});
    return sample;
}

Bytes build(const Sample& sample, std::int64_t focused = 1, std::u16string_view version = u"5.96")
{
    CacheImageHeader header;
    header.folder = u"/home/u/写真/";
    header.focusedPosition = focused;
    header.version = version;
    CacheBuildProblem problem = CacheBuildProblem::None;
    auto image = buildCacheImage(header, sample.images, &problem);
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

// Hand-computed layout of the three-entry sample (N = 3, H = 3):
constexpr std::size_t kThumbTable = 548 + 4 * 3;            // 560
constexpr std::size_t kRecords = 548 + 8 * 3;               // 572
constexpr std::size_t kHistories = 548 + 1632 * 3;          // 5444
constexpr std::size_t kIndexSize = kHistories + 3 * 522;    // 7010
constexpr std::size_t kFileSize = kIndexSize + 2 * 17376;   // 41762

TEST(CacheFileFormat, WrittenFileMatchesTheLayoutFieldByField)
{
    const Sample sample = threeEntries();
    const Bytes bytes = build(sample);
    ASSERT_EQ(bytes.size(), kFileSize);

    // Header.
    EXPECT_EQ(textAt(bytes, 0, 8), u"5.96");
    EXPECT_TRUE(allZero(bytes, 8, 16));
    EXPECT_EQ(textAt(bytes, 16, 260), u"/home/u/写真/");
    EXPECT_TRUE(allZero(bytes, 16 + 2 * 11, 536));
    EXPECT_EQ(u32At(bytes, 536), 1u);
    EXPECT_EQ(u32At(bytes, 540), 3u);
    EXPECT_EQ(u32At(bytes, 544), kIndexSize);

    // History offsets, then thumbnail offsets.
    EXPECT_EQ(u32At(bytes, 548), kHistories);
    EXPECT_EQ(u32At(bytes, 552), 0u);
    EXPECT_EQ(u32At(bytes, 556), kHistories + 2 * 522);
    EXPECT_EQ(u32At(bytes, kThumbTable), kIndexSize);
    EXPECT_EQ(u32At(bytes, kThumbTable + 4), 0u);
    EXPECT_EQ(u32At(bytes, kThumbTable + 8), kIndexSize + 17376);

    // Records as they stand, 1,624 bytes each, in list order.
    for (std::size_t i = 0; i < 3; ++i) {
        const auto record = std::span(bytes).subspan(kRecords + i * 1624, 1624);
        EXPECT_TRUE(sameBytes(record, sample.listed[i].entry->recordBytes())) << i;
        EXPECT_EQ(u32At(bytes, kRecords + i * 1624 + 1552), sample.listed[i].history.size() / 522) << i;
        EXPECT_EQ(u32At(bytes, kRecords + i * 1624 + 548), sample.listed[i].entry->kind()) << i;
    }
    EXPECT_EQ(textAt(bytes, kRecords + 12, 260), u"/home/u/写真/IMG_0001.JPG");

    // History blocks in record order, ending at I; thumbnails packed from I.
    EXPECT_TRUE(sameBytes(std::span(bytes).subspan(kHistories, 1044), sample.listed[0].history));
    EXPECT_TRUE(sameBytes(std::span(bytes).subspan(kHistories + 1044, 522), sample.listed[2].history));
    EXPECT_TRUE(sameBytes(std::span(bytes).subspan(kIndexSize, 17376), sample.listed[0].thumbnail));
    EXPECT_TRUE(sameBytes(std::span(bytes).subspan(kIndexSize + 17376, 17376), sample.listed[2].thumbnail));
}

TEST(CacheFileFormat, FocusedPositionIsClampedToTheRecordCount)
{
    const Sample sample = threeEntries();
    EXPECT_EQ(u32At(build(sample, 7), 536), 3u);
    EXPECT_EQ(u32At(build(sample, -5), 536), 0u);
    EXPECT_EQ(u32At(build(sample, 3), 536), 3u);
}

TEST(CacheFileFormat, EmptyListIsAHeaderOnly)
{
    CacheImageHeader header;
    header.folder = u"/tmp/";
    const auto image = buildCacheImage(header, {});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 548u);
    EXPECT_EQ(u32At(*image, 540), 0u);
    EXPECT_EQ(u32At(*image, 544), 548u);
    const auto file = CacheFile::fromBytes(*image);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->recordCount(), 0u);
    EXPECT_TRUE(file->record(0).empty());
}

TEST(CacheFileFormat, RoundTripGivesTheSameRecordsHistoriesAndThumbnails)
{
    const Sample sample = threeEntries();
    const auto file = CacheFile::fromBytes(build(sample, 2));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->version(), u"5.96");
    EXPECT_EQ(file->folder(), u"/home/u/写真/");
    EXPECT_EQ(file->focusedPosition(), 2u);
    EXPECT_EQ(file->recordCount(), 3u);
    EXPECT_EQ(file->indexSize(), kIndexSize);
    EXPECT_TRUE(file->hasThumbnailPart());
    for (std::size_t i = 0; i < 3; ++i) {
        const Listed& listed = sample.listed[i];
        EXPECT_TRUE(sameBytes(file->record(i), listed.entry->recordBytes())) << i;
        EXPECT_TRUE(sameBytes(file->history(i), listed.history)) << i;
        EXPECT_TRUE(sameBytes(file->thumbnail(i), listed.thumbnail)) << i;
        EXPECT_EQ(file->hasThumbnail(i), !listed.thumbnail.empty()) << i;
        const auto entry = ImageEntry::fromCacheRecord(file->record(i));
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->path(), listed.entry->path());
        EXPECT_EQ(entry->kind(), listed.entry->kind());
        EXPECT_EQ(entry->fileSize(), listed.entry->fileSize());
        EXPECT_EQ(entry->lastWriteTime(), listed.entry->lastWriteTime());
        EXPECT_EQ(entry->itemText(ImageEntry::kItemMaker), u"Canon");
    }
    EXPECT_TRUE(file->record(3).empty());
    EXPECT_TRUE(file->thumbnail(3).empty());
    EXPECT_EQ(file->historyCount(3), 0u);
}

TEST(CacheFileFormat, RecordsOf1612BytesAreStoredWithAZeroTail)
{
    Sample sample = threeEntries();
    sample.images[1].record = sample.listed[1].entry->persistentBytes();
    const auto file = CacheFile::fromBytes(build(sample));
    ASSERT_TRUE(file);
    EXPECT_TRUE(sameBytes(file->record(1), sample.listed[1].entry->recordBytes()));
}

TEST(CacheFileFormat, BuilderRefusesWhatItCannotStoreFaithfully)
{
    Sample sample = threeEntries();
    CacheImageHeader header;
    CacheBuildProblem problem = CacheBuildProblem::None;

    const std::u16string longFolder(260, u'a');
    header.folder = longFolder;
    EXPECT_FALSE(buildCacheImage(header, sample.images, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::FolderTooLong);
    header.folder = u"/x/";

    header.version = u"12345678";
    EXPECT_FALSE(buildCacheImage(header, sample.images, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::VersionTooLong);
    header.version = u"5.96";

    auto images = sample.images;
    images[0].history = std::span(sample.listed[0].history).first(522);
    EXPECT_FALSE(buildCacheImage(header, images, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::HistorySize);

    images = sample.images;
    images[1].record = images[1].record.first(1000);
    EXPECT_FALSE(buildCacheImage(header, images, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::RecordSize);

    images = sample.images;
    images[0].thumbnail = images[0].thumbnail.first(17000);
    EXPECT_FALSE(buildCacheImage(header, images, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::ThumbnailSize);

    const std::vector<CacheEntryImage> tooMany(65535, sample.images[1]);
    EXPECT_FALSE(buildCacheImage(header, tooMany, &problem));
    EXPECT_EQ(problem, CacheBuildProblem::TooManyRecords);
}

TEST(CacheFileVersion, ReadAsADecimalNumber)
{
    EXPECT_TRUE(versionAtLeast(u"5.16", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"5.96", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"5.2", u"5.16"));    // 5.20
    EXPECT_TRUE(versionAtLeast(u"5.160", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"05.16", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"6", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"10.0", u"5.16"));
    EXPECT_TRUE(versionAtLeast(u"5.16beta", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"5.15", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"5.159", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"5.1", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"5", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u".9", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"abc", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u"", u"5.16"));
    EXPECT_FALSE(versionAtLeast(u" 5.96", u"5.16"));
}

TEST(CacheFileDamage, OtherVersionsAreNoCache)
{
    const Sample sample = threeEntries();
    EXPECT_EQ(problemOf(build(sample, 1, u"5.16")), CacheProblem::None);
    EXPECT_EQ(problemOf(build(sample, 1, u"5.15")), CacheProblem::Version);
    EXPECT_EQ(problemOf(build(sample, 1, u"abc")), CacheProblem::Version);
    EXPECT_EQ(problemOf(build(sample, 1, u"")), CacheProblem::Version);
    // A version field without its terminator is read up to its end.
    Bytes bytes = build(sample);
    putText(bytes, 0, 8, u"5.151515");
    EXPECT_EQ(problemOf(bytes), CacheProblem::Version);
    putText(bytes, 0, 8, u"5.161616");
    EXPECT_EQ(problemOf(bytes), CacheProblem::None);
}

TEST(CacheFileDamage, EveryTruncationIsNoCache)
{
    const Bytes whole = build(threeEntries());
    std::vector<std::size_t> lengths;
    for (std::size_t length = 0; length < 2000; ++length)
        lengths.push_back(length);
    for (std::size_t length = 2000; length < whole.size(); length += 97)
        lengths.push_back(length);
    for (const std::size_t length : {kHistories - 1, kHistories, kIndexSize - 1, kIndexSize, kIndexSize + 1,
                                     kIndexSize + 17375, kIndexSize + 17376, kFileSize - 1})
        lengths.push_back(length);
    for (const std::size_t length : lengths) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_NE(problemOf(cut), CacheProblem::None) << length;
    }
    EXPECT_EQ(problemOf(Bytes{}), CacheProblem::Empty);
    EXPECT_EQ(problemOf(Bytes(547)), CacheProblem::Truncated);
}

TEST(CacheFileDamage, IndexPartAloneServesRecordsWithoutThumbnails)
{
    const Sample sample = threeEntries();
    const Bytes whole = build(sample);
    const Bytes index(whole.begin(), whole.begin() + kIndexSize);
    const auto file = CacheFile::fromBytes(index, CacheFile::Parts::IndexOnly);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->hasThumbnailPart());
    EXPECT_EQ(file->recordCount(), 3u);
    EXPECT_TRUE(sameBytes(file->record(2), sample.listed[2].entry->recordBytes()));
    EXPECT_TRUE(sameBytes(file->history(0), sample.listed[0].history));
    EXPECT_FALSE(file->hasThumbnail(0));
    // One byte short of I is still no cache.
    EXPECT_NE(problemOf(Bytes(index.begin(), index.end() - 1), CacheFile::Parts::IndexOnly), CacheProblem::None);
}

TEST(CacheFileDamage, RecordCountPastTheFileIsNoCache)
{
    const Bytes whole = build(threeEntries());
    Bytes bytes = whole;
    putU32(bytes, 540, 4); // the tables and records of 4 would end past I
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeOutside);
    putU32(bytes, 540, 26);
    EXPECT_EQ(problemOf(bytes), CacheProblem::RecordsOutside);
    putU32(bytes, 540, 65534);
    EXPECT_EQ(problemOf(bytes), CacheProblem::RecordsOutside);
    // Larger counts are clamped to 65,534 and then fail the same way.
    putU32(bytes, 540, 65535);
    EXPECT_EQ(problemOf(bytes), CacheProblem::RecordsOutside);
    putU32(bytes, 540, 0xFFFF'FFFF);
    EXPECT_EQ(problemOf(bytes), CacheProblem::RecordsOutside);
    // Fewer records shift every table: the offsets then disagree.
    putU32(bytes, 540, 2);
    EXPECT_NE(problemOf(bytes), CacheProblem::None);
}

TEST(CacheFileDamage, IndexSizeOutOfPlaceIsNoCache)
{
    const Bytes whole = build(threeEntries());
    Bytes bytes = whole;
    putU32(bytes, 544, 0);
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeOutside);
    putU32(bytes, 544, kHistories - 1); // inside the records
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeOutside);
    putU32(bytes, 544, kFileSize + 1);
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeOutside);
    putU32(bytes, 544, 0xFFFF'FFFF);
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeOutside);
    putU32(bytes, 544, kIndexSize + 1);
    EXPECT_EQ(problemOf(bytes), CacheProblem::IndexSizeMismatch);
    putU32(bytes, 544, kIndexSize - 522); // cuts the last history block
    EXPECT_EQ(problemOf(bytes), CacheProblem::HistoryOutside);
}

TEST(CacheFileDamage, HistoryOffsetsOutOfRangeOrOverlappingAreNoCache)
{
    const Bytes whole = build(threeEntries());
    const auto withHistoryOffset = [&](std::size_t record, std::uint32_t offset) {
        Bytes bytes = whole;
        putU32(bytes, 548 + 4 * record, offset);
        return problemOf(bytes);
    };
    EXPECT_EQ(withHistoryOffset(0, 0), CacheProblem::HistoryMissing);
    EXPECT_EQ(withHistoryOffset(0, 100), CacheProblem::HistoryOutside);          // in the header
    EXPECT_EQ(withHistoryOffset(0, kRecords), CacheProblem::HistoryOutside);     // on the records
    EXPECT_EQ(withHistoryOffset(0, kIndexSize + 1), CacheProblem::HistoryOutside);
    EXPECT_EQ(withHistoryOffset(0, 0xFFFF'FFF0), CacheProblem::HistoryOutside);
    EXPECT_EQ(withHistoryOffset(0, kHistories + 522), CacheProblem::HistoryMisplaced); // a gap
    EXPECT_EQ(withHistoryOffset(2, kHistories), CacheProblem::HistoryMisplaced);       // overlaps block 0
    EXPECT_EQ(withHistoryOffset(2, kHistories + 1000), CacheProblem::HistoryMisplaced);
    // A record without history may carry any offset inside the history area.
    EXPECT_EQ(withHistoryOffset(1, kHistories + 1044), CacheProblem::None);
    EXPECT_EQ(withHistoryOffset(1, 12), CacheProblem::HistoryOutside);

    // A history count larger than the history area.
    Bytes bytes = whole;
    putU32(bytes, kRecords + 2 * 1624 + 1552, 0xFFFF'FFFF);
    EXPECT_EQ(problemOf(bytes), CacheProblem::HistoryOutside);
    putU32(bytes, kRecords + 2 * 1624 + 1552, 2);
    EXPECT_EQ(problemOf(bytes), CacheProblem::HistoryOutside);
    // A count for a record that has no block.
    bytes = whole;
    putU32(bytes, kRecords + 1 * 1624 + 1552, 1);
    EXPECT_EQ(problemOf(bytes), CacheProblem::HistoryMissing);
}

TEST(CacheFileDamage, ThumbnailOffsetsOutOfRangeOrOverlappingAreNoCache)
{
    const Bytes whole = build(threeEntries());
    const auto withThumbnailOffsets = [&](std::uint32_t first, std::uint32_t third) {
        Bytes bytes = whole;
        putU32(bytes, kThumbTable, first);
        putU32(bytes, kThumbTable + 8, third);
        return problemOf(bytes);
    };
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, kIndexSize + 17376), CacheProblem::None);
    EXPECT_EQ(withThumbnailOffsets(0, kIndexSize + 17376), CacheProblem::None); // fewer thumbnails
    EXPECT_EQ(withThumbnailOffsets(10, kIndexSize + 17376), CacheProblem::ThumbnailInsideIndex);
    EXPECT_EQ(withThumbnailOffsets(kRecords, kIndexSize + 17376), CacheProblem::ThumbnailInsideIndex);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize - 1, kIndexSize + 17376), CacheProblem::ThumbnailInsideIndex);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, kIndexSize), CacheProblem::ThumbnailOverlap);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, kIndexSize + 17375), CacheProblem::ThumbnailOverlap);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize + 17376, kIndexSize), CacheProblem::ThumbnailOverlap);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, kIndexSize + 17377), CacheProblem::ThumbnailOutside);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, kFileSize), CacheProblem::ThumbnailOutside);
    EXPECT_EQ(withThumbnailOffsets(kIndexSize, 0xFFFF'FFFF), CacheProblem::ThumbnailOutside);
    EXPECT_EQ(withThumbnailOffsets(0xFFFF'FFFF, 0), CacheProblem::ThumbnailOutside);
}

TEST(CacheFileDamage, TrailingBytesAfterTheLastBlockAreTolerated)
{
    Bytes bytes = build(threeEntries());
    bytes.resize(bytes.size() + 17376);
    EXPECT_EQ(problemOf(bytes), CacheProblem::None);
}

TEST(CacheFileDamage, RandomBytesAreNoCache)
{
    std::mt19937 random(20240501);
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes(std::uniform_int_distribution<std::size_t>(0, 6000)(random));
        for (auto& byte : bytes)
            byte = static_cast<std::byte>(random() & 0xFF);
        // Half of them get a valid version, so that the checks past the
        // version see random counts and offsets.
        if (round % 2 == 0 && bytes.size() >= 16)
            putText(bytes, 0, 8, u"5.96");
        EXPECT_NE(problemOf(bytes), CacheProblem::None) << round;
    }
}

// Every single-byte change to the header and the tables either leaves a
// consistent cache or none; whatever is accepted hands out only spans that
// lie inside the bytes it holds.
TEST(CacheFileDamage, ChangedBytesNeverYieldSpansOutsideTheFile)
{
    const Bytes whole = build(threeEntries());
    for (std::size_t at = 0; at < kRecords + 1624 * 3; at += (at < kRecords ? 1 : 13)) {
        for (const unsigned mask : {0x01u, 0x80u, 0xFFu}) {
            Bytes bytes = whole;
            bytes[at] ^= static_cast<std::byte>(mask);
            const auto file = CacheFile::fromBytes(bytes);
            if (!file)
                continue;
            const auto inside = [&](std::span<const std::byte> part) {
                return part.empty()
                    || (part.data() >= file->bytes().data()
                        && part.data() + part.size() <= file->bytes().data() + file->bytes().size());
            };
            for (std::size_t i = 0; i <= file->recordCount(); ++i) {
                EXPECT_TRUE(inside(file->record(i))) << at;
                EXPECT_TRUE(inside(file->history(i))) << at;
                EXPECT_TRUE(inside(file->thumbnail(i))) << at;
            }
            EXPECT_LE(file->focusedPosition(), file->recordCount());
        }
    }
}

TEST(CacheFileLoad, ReadsAFileFromDisk)
{
    test::TempDir dir;
    const Sample sample = threeEntries();
    const Bytes bytes = build(sample);
    const auto path = dir.path() / "cache.cac";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    CacheProblem problem = CacheProblem::Unreadable;
    const auto file = CacheFile::load(path, &problem);
    ASSERT_TRUE(file) << describe(problem);
    EXPECT_TRUE(sameBytes(file->bytes(), bytes));

    EXPECT_FALSE(CacheFile::load(dir.path() / "missing.cac", &problem));
    EXPECT_EQ(problem, CacheProblem::Unreadable);
    EXPECT_FALSE(CacheFile::load(dir.path(), &problem));
    EXPECT_EQ(problem, CacheProblem::Unreadable);
    std::ofstream(dir.path() / "empty.cac").close();
    EXPECT_FALSE(CacheFile::load(dir.path() / "empty.cac", &problem));
    EXPECT_EQ(problem, CacheProblem::Empty);
}

TEST(CacheFileLoad, EveryProblemHasAReason)
{
    for (int value = 0; value <= static_cast<int>(CacheProblem::ThumbnailOutside); ++value)
        EXPECT_NE(describe(static_cast<CacheProblem>(value)), "unknown problem") << value;
}

} // namespace
} // namespace qlx::cache
