// The container walks over small files built here byte by byte: the dispatch,
// the JPEG segment walk with its Exif and Photoshop segments, PSD, CRW, RAF,
// MRW, CR3 and X3F. Expected slot lines follow from where the builders put
// each JPEG; expected reader lines from the TIFF structures they wrote.

#include "containers/preview_locator.h"

#include "io/file_source.h"
#include "containers/metadata_pass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::containers {
namespace {

using Bytes = std::vector<std::byte>;
using namespace std::string_view_literals;

// ---- Byte builders ---------------------------------------------------------

void put(Bytes& out, std::string_view ascii)
{
    for (const char c : ascii)
        out.push_back(static_cast<std::byte>(c));
}
void put(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
Bytes operator+(Bytes first, const Bytes& second)
{
    put(first, second);
    return first;
}
void putU8(Bytes& out, unsigned value) { out.push_back(static_cast<std::byte>(value & 0xFF)); }
void putU16(Bytes& out, unsigned value, bool big)
{
    big ? (putU8(out, value >> 8), putU8(out, value)) : (putU8(out, value), putU8(out, value >> 8));
}
void putU32(Bytes& out, std::uint32_t value, bool big)
{
    if (big) {
        putU16(out, value >> 16, true);
        putU16(out, value & 0xFFFF, true);
    } else {
        putU16(out, value & 0xFFFF, false);
        putU16(out, value >> 16, false);
    }
}
void setU32(Bytes& out, std::size_t at, std::uint32_t value, bool big)
{
    Bytes field;
    putU32(field, value, big);
    std::copy(field.begin(), field.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}
Bytes filler(std::size_t count, unsigned value = 0x11) { return Bytes(count, static_cast<std::byte>(value)); }

// A TIFF block: header, IFD0 and an optional IFD1, values behind them.
struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes value; // as stored (already in the block's byte order)
};

TiffEntry ascii(std::uint16_t tag, std::string_view text)
{
    Bytes value;
    put(value, text);
    value.push_back(std::byte{0});
    return {tag, 2, static_cast<std::uint32_t>(value.size()), value};
}
TiffEntry shortValue(std::uint16_t tag, unsigned number, bool big)
{
    Bytes value;
    putU16(value, number, big);
    putU16(value, 0, big);
    return {tag, 3, 1, value};
}
TiffEntry longValue(std::uint16_t tag, std::uint32_t number, bool big)
{
    Bytes value;
    putU32(value, number, big);
    return {tag, 4, 1, value};
}

Bytes tiffBlock(const std::vector<TiffEntry>& ifd0, const std::vector<TiffEntry>& ifd1, bool big = false)
{
    const auto ifdBytes = [](std::size_t n) { return 2 + 12 * n + 4; };
    const std::size_t ifd1At = 8 + ifdBytes(ifd0.size());
    std::size_t dataAt = ifd1At + (ifd1.empty() ? 0 : ifdBytes(ifd1.size()));
    Bytes out;
    put(out, big ? "MM"sv : "II"sv);
    putU16(out, 42, big);
    putU32(out, 8, big);
    Bytes data;
    const auto writeIfd = [&](const std::vector<TiffEntry>& entries, std::uint32_t next) {
        putU16(out, static_cast<unsigned>(entries.size()), big);
        for (const TiffEntry& entry : entries) {
            putU16(out, entry.tag, big);
            putU16(out, entry.type, big);
            putU32(out, entry.count, big);
            if (entry.value.size() <= 4) {
                Bytes inline4 = entry.value;
                inline4.resize(4);
                put(out, inline4);
            } else {
                putU32(out, static_cast<std::uint32_t>(dataAt + data.size()), big);
                put(data, entry.value);
                if (data.size() % 2)
                    data.push_back(std::byte{0});
            }
        }
        putU32(out, next, big);
    };
    writeIfd(ifd0, ifd1.empty() ? 0 : static_cast<std::uint32_t>(ifd1At));
    if (!ifd1.empty())
        writeIfd(ifd1, 0);
    put(out, data);
    return out;
}

// A JPEG segment: marker and length (which counts itself), then the data.
Bytes segment(unsigned marker, const Bytes& data)
{
    Bytes out;
    putU16(out, marker, true);
    putU16(out, static_cast<unsigned>(data.size() + 2), true);
    put(out, data);
    return out;
}
Bytes exifSegment(const Bytes& tiff)
{
    Bytes data;
    put(data, "Exif\0\0"sv);
    put(data, tiff);
    return segment(0xFFE1, data);
}
Bytes xmpSegment()
{
    Bytes data;
    put(data, "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>"sv);
    return segment(0xFFE1, data);
}
Bytes resource(unsigned id, const Bytes& data)
{
    Bytes out;
    put(out, "8BIM");
    putU16(out, id, true);
    putU16(out, 0, true); // empty name
    putU32(out, static_cast<std::uint32_t>(data.size()), true);
    put(out, data);
    if (data.size() % 2)
        out.push_back(std::byte{0});
    return out;
}
// A thumbnail resource: 28-byte header, then `jpeg`.
Bytes thumbnailResource(const Bytes& jpeg)
{
    Bytes data = filler(28, 0);
    put(data, jpeg);
    return resource(0x040C, data);
}
Bytes photoshopSegment(const Bytes& resources)
{
    Bytes data;
    put(data, "Photoshop 3.0\0"sv);
    put(data, resources);
    return segment(0xFFED, data);
}
Bytes jpegFile(const std::vector<Bytes>& segments)
{
    Bytes out{std::byte{0xFF}, std::byte{0xD8}};
    for (const Bytes& s : segments)
        put(out, s);
    put(out, segment(0xFFDA, filler(10)));
    put(out, filler(20, 0x55));
    putU16(out, 0xFFD9, true);
    return out;
}
// A small JPEG of the kind the CR3 scan looks for.
Bytes tinyJpeg(std::size_t body)
{
    Bytes out{std::byte{0xFF}, std::byte{0xD8}, std::byte{0xFF}, std::byte{0xDB}};
    put(out, filler(body, 0x42));
    putU16(out, 0xFFD9, true);
    return out;
}

std::size_t find(const Bytes& haystack, std::string_view needle, std::size_t from = 0)
{
    const std::string_view text(reinterpret_cast<const char*>(haystack.data()), haystack.size());
    return text.find(needle, from);
}

// ---- Running a pass --------------------------------------------------------

struct Pass {
    bool ok = false;
    std::string text;
    std::uint64_t bytesRead = 0;
    bool has(std::string_view line) const { return ("\n" + text).find("\n" + std::string(line) + "\n") != std::string::npos; }
    bool hasSlotLines() const { return text.find("\ncg") != std::string::npos; }
};

Pass run(const Bytes& file)
{
    io::MemorySource source(file);
    const auto result = containers::readMetadata(source, u"/t/file");
    return {result.ok, std::string(result.text.bytes()), result.bytesRead};
}

std::string line(std::string_view key, std::uint64_t value) { return std::string(key) + "\t" + std::to_string(value); }

// The minimal Exif block with a model and an IFD1 thumbnail at `thumbOffset`
// (relative to the TIFF header) of `thumbSize` bytes.
Bytes exifWithThumbnail(std::uint32_t thumbOffset, std::uint32_t thumbSize)
{
    return tiffBlock({ascii(0x0110, "TestCam")},
                     {longValue(0x0201, thumbOffset, false), longValue(0x0202, thumbSize, false)});
}

// ---- The held view of the file ----------------------------------------------

TEST(PreviewLocatorHeldSource, ServesTheFilesBytesAndCountsOnlyRealReads)
{
    Bytes file(300'000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<std::byte>((i * 7 + i / 251) & 0xFF);
    io::MemorySource source(file);
    HeldSource held(source);
    held.hold(0, 4096);
    EXPECT_EQ(source.bytesRead(), 4096u);
    Bytes out;
    const auto expect = [&](std::uint64_t offset, std::size_t length) {
        ASSERT_TRUE(held.readAt(offset, length, out));
        const std::size_t got = std::min<std::size_t>(length, file.size() - offset);
        EXPECT_EQ(out, Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
                             file.begin() + static_cast<std::ptrdiff_t>(offset + got)))
            << offset << "+" << length;
    };
    expect(0, 14);
    expect(100, 3996);
    EXPECT_EQ(source.bytesRead(), 4096u) << "reads inside the held range cost nothing";
    expect(4000, 200); // reaches past the held range: read from the file
    EXPECT_EQ(source.bytesRead(), 4096u + 200);

    // Extending reads only the missing bytes; a range elsewhere replaces.
    held.hold(2000, 10'000);
    EXPECT_EQ(source.bytesRead(), 4296u + 12'000 - 4096);
    expect(8000, 4000);
    EXPECT_EQ(source.bytesRead(), 12'200u);
    held.hold(200'000, 5000);
    expect(200'100, 100);
    expect(100, 10);
    EXPECT_EQ(source.bytesRead(), 12'200u + 5000 + 10);

    // Near the end of the file, past it, and beyond the cap.
    held.hold(file.size() - 100, 4096);
    expect(file.size() - 50, 4096);
    EXPECT_FALSE(held.readAt(file.size() + 1, 10, out));
    const std::uint64_t before = source.bytesRead();
    held.hold(0, HeldSource::kMaxHeld + 1);
    EXPECT_EQ(source.bytesRead(), before);
    expect(0, 10);
}

// ---- Dispatch ----------------------------------------------------------------

TEST(PreviewLocatorDispatch, UnknownShortAndEmptyFilesFail)
{
    EXPECT_FALSE(run({}).ok);
    EXPECT_FALSE(run({std::byte{0xFF}}).ok);
    EXPECT_FALSE(run(Bytes{std::byte{'G'}, std::byte{'I'}, std::byte{'F'}, std::byte{'8'}}).ok);
    // "II" that is neither TIFF nor CIFF, and "MM" that is not TIFF.
    Bytes ii;
    put(ii, "II\x2b\0\x08\0\0\0HEAPJUNK"sv);
    EXPECT_FALSE(run(ii).ok);
    Bytes mm;
    put(mm, "MM\0\x2b\0\0\0\x08"sv);
    EXPECT_FALSE(run(mm).ok);
}

TEST(PreviewLocatorDispatch, EveryPassStartsWithThePathLine)
{
    EXPECT_EQ(run({}).text, "/t/file\n");
    EXPECT_EQ(run(filler(3)).text, "/t/file\n");
}

TEST(PreviewLocatorDispatch, TwoZeroBytesThatAreNotIsoMediaSucceedWithoutSlots)
{
    const Pass pass = run(filler(64, 0));
    EXPECT_TRUE(pass.ok);
    EXPECT_EQ(pass.text, "/t/file\n");
}

TEST(PreviewLocatorDispatch, TiffRouteReadsIfd0WithBaseZero)
{
    // StripOffsets / StripByteCounts give slot 1 as they stand.
    for (const bool big : {false, true}) {
        const Bytes tiff = tiffBlock({ascii(0x0110, "TiffCam"), longValue(0x0111, 4000, big), longValue(0x0117, 1234, big)},
                                     {}, big);
        const Pass pass = run(tiff);
        EXPECT_TRUE(pass.ok) << big;
        EXPECT_TRUE(pass.has("Model\tTiffCam")) << pass.text;
        EXPECT_TRUE(pass.has("cg1ofs\t4000")) << pass.text;
        EXPECT_TRUE(pass.has("cg1size\t1234")) << pass.text;
    }
}

TEST(PreviewLocatorDispatch, OrfAndRw2MagicsTakeTheTiffRoute)
{
    Bytes orf = tiffBlock({ascii(0x0110, "E-1")}, {});
    orf[2] = std::byte{'R'};
    orf[3] = std::byte{'O'};
    EXPECT_TRUE(run(orf).has("Model\tE-1"));
    Bytes orfBig = tiffBlock({ascii(0x0110, "E-M1")}, {}, true);
    orfBig[2] = std::byte{'O'};
    orfBig[3] = std::byte{'R'};
    EXPECT_TRUE(run(orfBig).has("Model\tE-M1"));

    // RW2 ("IIU\0") is read with the Panasonic table: 0x002E is the
    // embedded JPEG, slot 1 from its value offset and count.
    Bytes jpegTag{};
    put(jpegTag, filler(8));
    Bytes rw2 = tiffBlock({ascii(0x0110, "DMC-LX3"), TiffEntry{0x002E, 7, 8, jpegTag}}, {});
    rw2[2] = std::byte{0x55};
    const Pass pass = run(rw2);
    EXPECT_TRUE(pass.has("Model\tDMC-LX3")) << pass.text;
    const std::size_t valueAt = 8 + 2 + 2 * 12 + 4 + std::string_view("DMC-LX3").size() + 1;
    EXPECT_TRUE(pass.has(line("cg1ofs", valueAt))) << pass.text;
    EXPECT_TRUE(pass.has("cg1size\t8")) << pass.text;
}

// ---- JPEG ----------------------------------------------------------------------

TEST(PreviewLocatorJpeg, ExifThumbnailIsSlot2WithTheTiffHeaderAsBase)
{
    const Bytes file = jpegFile({exifSegment(exifWithThumbnail(200, 50))});
    const Pass pass = run(file);
    ASSERT_TRUE(pass.ok);
    // SOI (2), marker and length (4), "Exif\0\0" (6).
    EXPECT_TRUE(pass.has("cg2ofs\t212")) << pass.text;
    EXPECT_TRUE(pass.has("cg2size\t50")) << pass.text;
    EXPECT_TRUE(pass.has("Model\tTestCam"));
}

TEST(PreviewLocatorJpeg, XmpBeforeExifEndsTheWalkAndFails)
{
    const Pass pass = run(jpegFile({xmpSegment(), exifSegment(exifWithThumbnail(200, 50))}));
    EXPECT_FALSE(pass.ok);
    EXPECT_FALSE(pass.hasSlotLines());
}

TEST(PreviewLocatorJpeg, XmpAfterExifEndsTheWalkWithSuccess)
{
    const Bytes app13 = photoshopSegment(thumbnailResource(tinyJpeg(10)));
    const Pass pass = run(jpegFile({exifSegment(exifWithThumbnail(200, 50)), xmpSegment(), app13}));
    EXPECT_TRUE(pass.ok);
    EXPECT_FALSE(pass.has("cg6size\t16")) << "the walk stops at the XMP segment";
}

TEST(PreviewLocatorJpeg, PhotoshopThumbnailAfterExifGivesSlots2And6)
{
    const Bytes thumb = tinyJpeg(30);
    const Bytes file = jpegFile({segment(0xFFE0, filler(14)), exifSegment(exifWithThumbnail(200, 50)),
                                 photoshopSegment(resource(0x0404, filler(5)) + thumbnailResource(thumb))});
    const Pass pass = run(file);
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has("cg2ofs\t" + std::to_string(2 + 18 + 4 + 6 + 200)));
    // The thumbnail's JPEG starts 28 bytes into the second resource's data.
    const std::size_t resourceAt = find(file, "8BIM", find(file, "8BIM") + 1);
    EXPECT_TRUE(pass.has(line("cg6ofs", resourceAt + 12 + 28))) << pass.text;
    EXPECT_TRUE(pass.has(line("cg6size", thumb.size()))) << pass.text;
}

TEST(PreviewLocatorJpeg, PhotoshopSegmentBeforeExifIsWalkedAndTheWalkGoesOn)
{
    const Bytes thumb = tinyJpeg(8);
    const Bytes file = jpegFile({photoshopSegment(thumbnailResource(thumb)), exifSegment(exifWithThumbnail(200, 50))});
    const Pass pass = run(file);
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has(line("cg6ofs", find(file, "8BIM") + 40)));
    EXPECT_TRUE(pass.has("Model\tTestCam"));
    EXPECT_LT(pass.text.find("cg6ofs"), pass.text.find("Model"));
}

TEST(PreviewLocatorJpeg, PhotoshopWithoutExifFails)
{
    EXPECT_FALSE(run(jpegFile({photoshopSegment(thumbnailResource(tinyJpeg(8)))})).ok);
}

TEST(PreviewLocatorJpeg, SegmentsOtherThanApp1AndApp13AreSkipped)
{
    const Pass pass = run(jpegFile({segment(0xFFE0, filler(14)), segment(0xFFDB, filler(67)),
                                    segment(0xFFE2, filler(300)), exifSegment(exifWithThumbnail(200, 50))}));
    EXPECT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has("Model\tTestCam"));
}

TEST(PreviewLocatorJpeg, ZeroAndOneLengthSegmentsStopTheWalk)
{
    for (const unsigned length : {0u, 1u}) {
        Bytes file{std::byte{0xFF}, std::byte{0xD8}, std::byte{0xFF}, std::byte{0xE0}};
        putU16(file, length, true);
        put(file, exifSegment(exifWithThumbnail(200, 50)));
        const Pass pass = run(file);
        EXPECT_FALSE(pass.ok) << length;
    }
}

TEST(PreviewLocatorJpeg, CutExifSegmentFails)
{
    Bytes file = jpegFile({exifSegment(exifWithThumbnail(200, 50))});
    file.resize(40);
    EXPECT_FALSE(run(file).ok);
}

TEST(PreviewLocatorJpeg, NonExifApp1Fails)
{
    Bytes data;
    put(data, "Exig\0\0"sv);
    EXPECT_FALSE(run(jpegFile({segment(0xFFE1, data)})).ok);
}

TEST(PreviewLocatorJpeg, ManyEmptySegmentsEndWithinTheSegmentBound)
{
    // 100,000 minimal segments: the walk gives up after its bound, without
    // reading the Exif behind them.
    Bytes file{std::byte{0xFF}, std::byte{0xD8}};
    for (int i = 0; i < 100'000; ++i)
        put(file, segment(0xFFFE, {}));
    put(file, exifSegment(exifWithThumbnail(200, 50)));
    const Pass pass = run(file);
    EXPECT_FALSE(pass.ok);
}

// ---- Photoshop resources and PSD ----------------------------------------------

TEST(PreviewLocatorPhotoshop, ResourceWalkStepsByEvenSizesAndWritesEveryThumbnail)
{
    const Bytes resources = resource(0x03ED, filler(3)) + thumbnailResource(tinyJpeg(1)) + thumbnailResource(tinyJpeg(2));
    metadata::MetadataText text;
    walkPhotoshopResources(resources, 1000, text);
    // 3 data bytes are padded to 4: the first thumbnail resource is at 16.
    const std::size_t second = 16 + 12 + 28 + 7 + 1;
    EXPECT_EQ(text.bytes(), "cg6ofs\t" + std::to_string(1000 + 16 + 40) + "\ncg6size\t7\n" + "cg6ofs\t"
                                + std::to_string(1000 + second + 40) + "\ncg6size\t8\n");
}

TEST(PreviewLocatorPhotoshop, ResourceWalkStopsAtAForeignBlockAndAtTheEnd)
{
    metadata::MetadataText text;
    Bytes resources = resource(0x0404, filler(4));
    put(resources, "8BPS");
    put(resources, thumbnailResource(tinyJpeg(1)));
    walkPhotoshopResources(resources, 0, text);
    EXPECT_EQ(text.bytes(), "");
    // A head cut by the end, and a size that points far past it.
    Bytes cut = thumbnailResource(tinyJpeg(1));
    walkPhotoshopResources(std::span<const std::byte>(cut).first(10), 0, text);
    Bytes huge = resource(0x0404, filler(2));
    setU32(huge, 8, 0xFFFF'FFF0u, true);
    put(huge, thumbnailResource(tinyJpeg(1)));
    walkPhotoshopResources(huge, 0, text);
    EXPECT_EQ(text.bytes(), "");
}

TEST(PreviewLocatorPhotoshop, SmallThumbnailResourceWritesItsSizeLessTheHeaderAsRead)
{
    metadata::MetadataText text;
    walkPhotoshopResources(resource(0x040C, filler(20)), 0, text);
    EXPECT_EQ(text.bytes(), "cg6ofs\t40\ncg6size\t-8\n");
}

Bytes psdFile(const Bytes& resources)
{
    Bytes out;
    put(out, "8BPS");
    putU16(out, 1, true);
    put(out, filler(6, 0));
    putU16(out, 3, true);
    putU32(out, 8, true);
    putU32(out, 8, true);
    putU16(out, 8, true);
    putU16(out, 3, true);
    putU32(out, 0, true); // colour-mode section
    putU32(out, static_cast<std::uint32_t>(resources.size()), true);
    put(out, resources);
    put(out, filler(100, 0));
    return out;
}

TEST(PreviewLocatorPhotoshop, PsdThumbnailIsSlot6)
{
    const Bytes thumb = tinyJpeg(40);
    const Bytes resources = resource(0x0404, filler(9)) + thumbnailResource(thumb);
    const Pass pass = run(psdFile(resources));
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has(line("cg6ofs", 34 + 22 + 40))) << pass.text;
    EXPECT_TRUE(pass.has(line("cg6size", thumb.size())));
}

TEST(PreviewLocatorPhotoshop, PsdWithoutThumbnailSucceedsWithoutSlots)
{
    const Pass pass = run(psdFile(resource(0x0404, filler(9))));
    EXPECT_TRUE(pass.ok);
    EXPECT_FALSE(pass.hasSlotLines());
}

TEST(PreviewLocatorPhotoshop, PsdWithBadSignatureOrCutResourcesFails)
{
    Bytes bad = psdFile({});
    bad[3] = std::byte{'X'};
    EXPECT_FALSE(run(bad).ok);
    Bytes cut = psdFile(thumbnailResource(tinyJpeg(40)));
    cut.resize(60);
    EXPECT_FALSE(run(cut).ok);
}

// ---- CRW ---------------------------------------------------------------------

struct CiffRecord {
    std::uint16_t type;
    std::uint32_t size;
    std::uint32_t offset;
};

// A heap: `data`, then the directory, then its offset in the last 4 bytes.
Bytes ciffHeap(const Bytes& data, const std::vector<CiffRecord>& records)
{
    Bytes heap = data;
    const auto directory = static_cast<std::uint32_t>(heap.size());
    putU16(heap, static_cast<unsigned>(records.size()), false);
    for (const CiffRecord& r : records) {
        putU16(heap, r.type, false);
        putU32(heap, r.size, false);
        putU32(heap, r.offset, false);
    }
    putU32(heap, directory, false);
    return heap;
}

Bytes crwFile(const Bytes& rootHeap)
{
    Bytes out;
    put(out, "II");
    putU32(out, 26, false);
    put(out, "HEAPCCDR");
    put(out, filler(12, 0));
    put(out, rootHeap);
    return out;
}

TEST(PreviewLocatorCrw, RootPreviewRecordIsSlot1)
{
    const Bytes subHeap = ciffHeap(filler(10), {{0x2007, 4, 0}});
    Bytes data = filler(40);
    put(data, subHeap);
    const auto subAt = 40u;
    put(data, tinyJpeg(20));
    const Bytes root = ciffHeap(data, {{0x300A, static_cast<std::uint32_t>(subHeap.size()), subAt},
                                       {0x0032, 4, 0},
                                       {0x2007, 26, static_cast<std::uint32_t>(40 + subHeap.size())}});
    const Pass pass = run(crwFile(root));
    ASSERT_TRUE(pass.ok);
    EXPECT_EQ(pass.text, "/t/file\n" + line("cg1ofs", 26 + 40 + subHeap.size()) + "\ncg1size\t26\n");
}

TEST(PreviewLocatorCrw, PreviewOnlyInASubHeapFails)
{
    const Bytes subHeap = ciffHeap(filler(10), {{0x2007, 4, 0}});
    const Bytes root = ciffHeap(subHeap, {{0x300A, static_cast<std::uint32_t>(subHeap.size()), 0}});
    EXPECT_FALSE(run(crwFile(root)).ok);
}

TEST(PreviewLocatorCrw, InRecordDataAndCutDirectories)
{
    // Bit 0x4000: the eight data bytes sit in the record behind its type.
    const Bytes root = ciffHeap(filler(6), {{0x0001, 0, 0}, {0x6007, 0x01020304, 0x05060708}});
    const Pass pass = run(crwFile(root));
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has(line("cg1ofs", 26 + 6 + 2 + 10 + 2))) << pass.text;
    EXPECT_TRUE(pass.has("cg1size\t8"));

    // A record count far beyond the heap, a directory offset past the end.
    Bytes cut = crwFile(ciffHeap(filler(6), {{0x0001, 0, 0}}));
    cut[26 + 6] = std::byte{0xFF};
    cut[26 + 7] = std::byte{0xFF};
    EXPECT_FALSE(run(cut).ok);
    Bytes far = crwFile(ciffHeap(filler(6), {{0x2007, 1, 0}}));
    setU32(far, far.size() - 4, 0x7FFF'0000u, false);
    EXPECT_FALSE(run(far).ok);
    // A header length past the end of the file.
    Bytes header = crwFile({});
    setU32(header, 2, 5000, false);
    EXPECT_FALSE(run(header).ok);
}

TEST(PreviewLocatorCrw, OnlyTheDirectoryIsRead)
{
    Bytes data = filler(200'000);
    put(data, tinyJpeg(20));
    const Pass pass = run(crwFile(ciffHeap(data, {{0x2007, 26, 200'000}})));
    ASSERT_TRUE(pass.ok);
    // The first block, which every pass reads, and the directory.
    EXPECT_LT(pass.bytesRead, kHeldHead + 100);
}

// ---- RAF ---------------------------------------------------------------------

// The length a forward scan of the window gives: every FF DA starts a
// search for the next FF D9, the last such pair wins, else the window.
std::uint64_t forwardJpegLength(const Bytes& window)
{
    std::vector<std::size_t> ends;
    for (std::size_t j = 0; j + 1 < window.size(); ++j) {
        if (window[j] == std::byte{0xFF} && window[j + 1] == std::byte{0xD9})
            ends.push_back(j);
    }
    std::uint64_t length = window.size();
    for (std::size_t i = 0; i + 1 < window.size(); ++i) {
        if (window[i] != std::byte{0xFF} || window[i + 1] != std::byte{0xDA})
            continue;
        const auto end = std::lower_bound(ends.begin(), ends.end(), i + 2);
        if (end != ends.end())
            length = *end + 2;
    }
    return length;
}

TEST(PreviewLocatorRaf, LengthIsTheLastScanAndEndPair)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        // Few distinct byte values, so that FF DA and FF D9 are frequent.
        Bytes window(static_cast<std::size_t>(random() % 64));
        const std::byte values[] = {std::byte{0xFF}, std::byte{0xDA}, std::byte{0xD9}, std::byte{0x00}};
        for (auto& b : window)
            b = values[random() % 4];
        EXPECT_EQ(rafJpegLength(window), forwardJpegLength(window)) << round;
    }
}

constexpr std::size_t kRafHeaderAt = 0x94;

// A RAF file: the magic, then at 0x94 the embedded JPEG (SOI, APP1 with the
// Exif block), the rest of the 8 MiB window behind it as given.
Bytes rafFile(const Bytes& tiff, std::size_t total, unsigned fill = 0x00)
{
    Bytes out;
    put(out, "FUJIFILMCCD-RAW 0201FF383501");
    out.resize(kRafHeaderAt, std::byte{0});
    put(out, Bytes{std::byte{0xFF}, std::byte{0xD8}});
    put(out, exifSegment(tiff));
    out.resize(total, static_cast<std::byte>(fill));
    return out;
}

TEST(PreviewLocatorRaf, WindowShorterThan8MiBFailsAfterTheOffsetLine)
{
    const Bytes file = rafFile(tiffBlock({ascii(0x0110, "X-T3")}, {}), 40'000);
    const Pass pass = run(file);
    EXPECT_FALSE(pass.ok);
    EXPECT_EQ(pass.text, "/t/file\n" + line("cg1ofs", kRafHeaderAt) + "\n");
    EXPECT_LT(pass.bytesRead, kHeldHead + 20);
}

TEST(PreviewLocatorRaf, SlotOneIsTheJpegUpToTheLastPairAndTheExifIsRead)
{
    Bytes file = rafFile(tiffBlock({ascii(0x0110, "X-T3")}, {}), kRafHeaderAt + kRafJpegWindow + 1000);
    const auto mark = [&](std::size_t at, unsigned second) {
        file[kRafHeaderAt + at] = std::byte{0xFF};
        file[kRafHeaderAt + at + 1] = static_cast<std::byte>(second);
    };
    mark(1000, 0xDA);
    mark(5000, 0xD9);
    mark(3'000'000, 0xDA);
    mark(3'000'100, 0xD9);
    mark(3'000'200, 0xD9);
    mark(kRafJpegWindow - 10, 0xDA); // no end behind it
    mark(kRafJpegWindow + 10, 0xD9); // outside the window
    const Pass pass = run(file);
    ASSERT_TRUE(pass.ok) << pass.text;
    EXPECT_TRUE(pass.has(line("cg1ofs", kRafHeaderAt)));
    EXPECT_TRUE(pass.has("cg1size\t3000102")) << pass.text;
    EXPECT_TRUE(pass.has("Model\tX-T3"));
    // The backward search stops at the last scan marker with an end above it.
    EXPECT_LT(pass.bytesRead, kRafJpegWindow - 3'000'000 + 2 * kScanChunk);
}

TEST(PreviewLocatorRaf, ChunkedSearchMatchesTheForwardScanOnNoisyWindows)
{
    std::mt19937 random(11);
    const Bytes tiff = tiffBlock({ascii(0x0110, "X-E1")}, {});
    for (int round = 0; round < 4; ++round) {
        Bytes file = rafFile(tiff, kRafHeaderAt + kRafJpegWindow + 50);
        // Sparse markers, some right at the chunk edges.
        for (int i = 0; i < 40; ++i) {
            std::size_t at = random() % (kRafJpegWindow - 2);
            if (i % 5 == 0)
                at = kRafJpegWindow - kScanChunk * (1 + random() % 8) - (random() % 3);
            file[kRafHeaderAt + at] = std::byte{0xFF};
            file[kRafHeaderAt + at + 1] = static_cast<std::byte>((random() % 2) ? 0xDA : 0xD9);
        }
        const Bytes window(file.begin() + kRafHeaderAt, file.begin() + kRafHeaderAt + kRafJpegWindow);
        const Pass pass = run(file);
        EXPECT_TRUE(pass.has(line("cg1size", forwardJpegLength(window)))) << round << pass.text;
    }
}

TEST(PreviewLocatorRaf, NoPairMeansTheWholeWindowAndBadMagicFails)
{
    const Pass pass = run(rafFile(tiffBlock({ascii(0x0110, "X")}, {}), kRafHeaderAt + kRafJpegWindow));
    EXPECT_TRUE(pass.has(line("cg1size", kRafJpegWindow))) << pass.text;
    Bytes bad = rafFile({}, 1000);
    bad[5] = std::byte{'X'};
    EXPECT_FALSE(run(bad).ok);
    Bytes noExif;
    put(noExif, "FUJIFILMCCD-RAW ");
    noExif.resize(5000, std::byte{0});
    EXPECT_FALSE(run(noExif).ok);
}

// ---- MRW ---------------------------------------------------------------------

Bytes mrwFile(std::size_t headerAt, const Bytes& tiff)
{
    Bytes out;
    put(out, Bytes{std::byte{0}});
    put(out, "MRM");
    out.resize(headerAt, std::byte{0});
    put(out, tiff);
    out.resize(std::max<std::size_t>(out.size(), 200), std::byte{0});
    return out;
}

TEST(PreviewLocatorMrw, TiffHeaderAt48Or140IsReadWithItsOwnBase)
{
    for (const std::size_t at : {std::size_t{48}, std::size_t{140}}) {
        const Bytes tiff = tiffBlock({ascii(0x0110, "DiMAGE A2"), shortValue(0x0112, 6, true)}, {}, true);
        const Pass pass = run(mrwFile(at, tiff));
        EXPECT_TRUE(pass.ok) << at;
        EXPECT_TRUE(pass.has("Model\tDiMAGE A2")) << pass.text;
        // The orientation's two bytes: header + IFD0 at 8 + count + one
        // entry + tag, type and count of the second.
        EXPECT_TRUE(pass.has("Direction\t6")) << pass.text;
        EXPECT_TRUE(pass.has("FlipM" + std::to_string(at + 8 + 2 + 12 + 8))) << pass.text;
    }
    Bytes neither = mrwFile(60, tiffBlock({}, {}, true));
    EXPECT_FALSE(run(neither).ok);
    Bytes notRm = mrwFile(48, tiffBlock({}, {}, true));
    notRm[3] = std::byte{'X'};
    EXPECT_FALSE(run(notRm).ok);
}

// ---- CR3 ---------------------------------------------------------------------

// An ISO media file: ftyp, a box holding CMT1 and CMT2 (TIFF blocks) at
// four-byte steps, then `tail`.
Bytes cr3File(const Bytes& tail, bool withBoxes = true)
{
    Bytes out;
    putU32(out, 24, true);
    put(out, "ftypcrx \0\0\0\x01" "crx isom"sv);
    if (withBoxes) {
        const Bytes ifd0 = tiffBlock({ascii(0x0110, "Canon EOS R")}, {});
        putU32(out, static_cast<std::uint32_t>(ifd0.size() + 8), true);
        put(out, "CMT1");
        put(out, ifd0);
        while (out.size() % 4)
            out.push_back(std::byte{0});
        const Bytes exif = tiffBlock({ascii(0x9003, "2024:01:02 03:04:05")}, {});
        putU32(out, static_cast<std::uint32_t>(exif.size() + 8), true);
        put(out, "CMT2");
        put(out, exif);
        while (out.size() % 4)
            out.push_back(std::byte{0});
    }
    put(out, tail);
    return out;
}

TEST(PreviewLocatorCr3, BoxesGoToTheReaderAndThreeJpegsGiveSlots2And1)
{
    const Bytes first = tinyJpeg(10);
    const Bytes second = tinyJpeg(20);
    const Bytes third = tinyJpeg(30);
    Bytes tail = filler(100);
    const std::size_t base = cr3File({}).size();
    put(tail, first);
    put(tail, filler(7));
    put(tail, second);
    put(tail, third);
    put(tail, tinyJpeg(5)); // a fourth is never looked at
    const Pass pass = run(cr3File(tail));
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has("Model\tCanon EOS R")) << pass.text;
    EXPECT_TRUE(pass.has("DateTime\t2024:01:02 03:04:05")) << pass.text;
    EXPECT_TRUE(pass.has(line("cg2ofs", base + 100)));
    EXPECT_TRUE(pass.has(line("cg2size", first.size())));
    EXPECT_TRUE(pass.has(line("cg1ofs", base + 100 + first.size() + 7 + second.size())));
    EXPECT_TRUE(pass.has(line("cg1size", third.size())));
}

TEST(PreviewLocatorCr3, TwoJpegsGiveNoSlotLines)
{
    const Pass pass = run(cr3File(tinyJpeg(10) + filler(5) + tinyJpeg(10)));
    EXPECT_TRUE(pass.ok);
    EXPECT_FALSE(pass.hasSlotLines()) << pass.text;
    EXPECT_TRUE(pass.has("Model\tCanon EOS R"));
}

TEST(PreviewLocatorCr3, JpegsBeyondTenMebibytesAreNotSeen)
{
    Bytes tail = tinyJpeg(10) + tinyJpeg(10);
    tail.resize(kCr3ScanWindow, std::byte{0});
    put(tail, tinyJpeg(10));
    const Pass pass = run(cr3File(tail, false));
    EXPECT_TRUE(pass.ok);
    EXPECT_FALSE(pass.hasSlotLines());
    EXPECT_GE(pass.bytesRead, kCr3ScanWindow);
    // Chunks overlap by the three bytes a pattern may reach back.
    EXPECT_LT(pass.bytesRead, kCr3ScanWindow + kHeaderWindow + 3 * (kCr3ScanWindow / kScanChunk) + 100);
}

TEST(PreviewLocatorCr3, ScanStopsReadingAfterTheThirdJpeg)
{
    Bytes tail = tinyJpeg(10) + tinyJpeg(10) + tinyJpeg(10);
    tail.resize(5 * kScanChunk, std::byte{0});
    const Pass pass = run(cr3File(tail, false));
    EXPECT_TRUE(pass.has("cg1size\t16"));
    EXPECT_LT(pass.bytesRead, kScanChunk + kHeaderWindow + 100);
}

// A reference scan over the whole stream, for the chunked one.
std::vector<JpegRange> referenceScan(const Bytes& bytes)
{
    std::vector<JpegRange> found;
    std::size_t at = 0;
    while (found.size() < 3) {
        std::size_t start = at;
        while (start + 3 < bytes.size()
               && !(bytes[start] == std::byte{0xFF} && bytes[start + 1] == std::byte{0xD8}
                    && bytes[start + 2] == std::byte{0xFF} && bytes[start + 3] == std::byte{0xDB}))
            ++start;
        if (start + 3 >= bytes.size())
            break;
        std::size_t end = start + 2;
        while (end + 1 < bytes.size() && !(bytes[end] == std::byte{0xFF} && bytes[end + 1] == std::byte{0xD9}))
            ++end;
        if (end + 1 >= bytes.size())
            break;
        found.push_back({start, end + 2 - start});
        at = end + 2;
    }
    return found;
}

TEST(PreviewLocatorCr3, ChunkedScanMatchesAWholeScanForEveryChunkSize)
{
    std::mt19937 random(3);
    const std::byte values[] = {std::byte{0xFF}, std::byte{0xD8}, std::byte{0xDB}, std::byte{0xD9}, std::byte{0x01}};
    for (int round = 0; round < 300; ++round) {
        Bytes stream(16 + random() % 200);
        for (auto& b : stream)
            b = values[random() % 5];
        const auto expected = referenceScan(stream);
        for (const std::size_t chunk : {std::size_t{4}, std::size_t{5}, std::size_t{7}, std::size_t{64}, stream.size()}) {
            Cr3JpegScan scan;
            for (std::uint64_t position = 0; position < stream.size() && !scan.done();) {
                const std::size_t length = std::min<std::size_t>(chunk, stream.size() - position);
                scan.scan(std::span<const std::byte>(stream).subspan(position, length), position);
                if (position + length >= stream.size())
                    break;
                ASSERT_GT(scan.resumeOffset(), position);
                position = scan.resumeOffset();
            }
            ASSERT_EQ(scan.count(), expected.size()) << round << " chunk " << chunk;
            for (std::size_t i = 0; i < expected.size(); ++i)
                EXPECT_EQ(scan.found()[i], expected[i]) << round << " chunk " << chunk;
        }
    }
}

// ---- X3F ---------------------------------------------------------------------

struct X3fSection {
    std::string type;
    Bytes body; // behind the 28-byte section header
};

Bytes x3fFile(const std::vector<X3fSection>& sections)
{
    Bytes out;
    put(out, "FOVb");
    out.resize(256, std::byte{0});
    std::vector<std::pair<std::uint32_t, std::uint32_t>> places;
    for (const X3fSection& s : sections) {
        const auto at = static_cast<std::uint32_t>(out.size());
        put(out, "SECi");
        put(out, filler(24, 0));
        put(out, s.body);
        places.emplace_back(at, static_cast<std::uint32_t>(28 + s.body.size()));
    }
    const auto directory = static_cast<std::uint32_t>(out.size());
    put(out, "SECd");
    putU32(out, 0x00020000, false);
    putU32(out, static_cast<std::uint32_t>(sections.size()), false);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        putU32(out, places[i].first, false);
        putU32(out, places[i].second, false);
        put(out, sections[i].type);
    }
    putU32(out, directory, false);
    return out;
}

Bytes embeddedJpeg(const Bytes& tiff)
{
    Bytes jpeg{std::byte{0xFF}, std::byte{0xD8}};
    put(jpeg, exifSegment(tiff));
    put(jpeg, filler(30));
    return jpeg;
}

TEST(PreviewLocatorX3f, ImageSectionsWithExifJpegsAreSlot3)
{
    const Bytes jpeg = embeddedJpeg(tiffBlock({ascii(0x0110, "SIGMA DP2")}, {}));
    const Bytes file = x3fFile({{"PROP", filler(40)}, {"IMA2", filler(60)}, {"IMAG", jpeg}});
    const Pass pass = run(file);
    ASSERT_TRUE(pass.ok);
    EXPECT_TRUE(pass.has("Model\tSIGMA DP2")) << pass.text;
    const std::size_t sectionAt = 256 + 28 + 40 + 28 + 60;
    EXPECT_TRUE(pass.has(line("cg3ofs", sectionAt + 28))) << pass.text;
    EXPECT_TRUE(pass.has(line("cg3size", 28 + jpeg.size())));
}

TEST(PreviewLocatorX3f, WithoutAJpegSectionTheWalkFails)
{
    EXPECT_FALSE(run(x3fFile({{"IMAG", filler(60)}, {"CAMF", filler(10)}})).ok);
    EXPECT_FALSE(run(x3fFile({})).ok);
    // A JPEG whose APP1 is not Exif ends the walk.
    Bytes notExif{std::byte{0xFF}, std::byte{0xD8}};
    put(notExif, xmpSegment());
    const Bytes withExif = embeddedJpeg(tiffBlock({ascii(0x0110, "SD1")}, {}));
    EXPECT_FALSE(run(x3fFile({{"IMAG", notExif}, {"IMAG", withExif}})).ok);
    EXPECT_TRUE(run(x3fFile({{"IMAG", withExif}, {"IMAG", notExif}})).ok);
}

TEST(PreviewLocatorX3f, ForgedDirectoriesFailCleanly)
{
    Bytes file = x3fFile({{"IMAG", embeddedJpeg(tiffBlock({}, {}))}});
    Bytes far = file;
    setU32(far, far.size() - 4, 0xFFFF'FF00u, false);
    EXPECT_FALSE(run(far).ok);
    // An entry count of four billion: only as many entries as the limit are
    // looked at, and those lie past the end.
    Bytes many = file;
    const std::size_t directory = many.size() - 4 - 12 - 12;
    setU32(many, directory + 8, 0xFFFF'FFFFu, false);
    EXPECT_FALSE(run(many).ok);
    // A section offset past the end.
    Bytes section = file;
    setU32(section, section.size() - 4 - 12, 0x7FFF'FFFFu, false);
    EXPECT_FALSE(run(section).ok);
    EXPECT_FALSE(run(Bytes{std::byte{'F'}, std::byte{'O'}}).ok);
}

} // namespace
} // namespace qlx::containers
