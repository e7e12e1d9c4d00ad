// The container walks over small files built here byte by byte: the dispatch,
// JPEG with its Exif and Photoshop segments, PSD, CRW, RAF, MRW, CR3 and X3F.
// Expected slot lines follow from where the builders put each JPEG (the
// arithmetic is in the comments). The plain routes (TIFF in both byte
// orders, RW2, MRW with its header at 48, CRW, X3F, a JPEG's Exif thumbnail)
// are checked on real files against exiftool by the golden files; here are
// the rules those files do not reach. Forged structures (cut segments,
// directories and sections past the end, counts of four billion) are files
// of the fuzz corpus, replayed under the sanitizers.

#include "containers/preview_locator.h"

#include "containers/metadata_pass.h"
#include "io/file_source.h"
#include "support/container_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qlx::containers {
namespace {

using namespace std::string_literals;
using namespace qlx::test;

// `file` with `bytes` written at `at` (from the end when negative).
std::string patched(std::string file, long at, const std::string& bytes)
{
    return file.replace(static_cast<std::size_t>(at < 0 ? static_cast<long>(file.size()) + at : at), bytes.size(), bytes);
}

const std::string kXmp = segment(0xFFE1, "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>"s);
// A small JPEG of the kind the CR3 scan looks for: 6 + `body` bytes.
std::string tinyJpeg(std::size_t body) { return "\xFF\xD8\xFF\xDB" + fill(body, 'B') + "\xFF\xD9"; }

// 64 bytes: 8 + IFD1 (30) + IFD0 (18) + "TestCam\0"; the thumbnail at 200.
const std::string kExif = tiffBlock({ascii(0x0110, "TestCam")}, {longs(0x0201, {200}), longs(0x0202, {50})});

// A CIFF heap: data, directory (count, 10-byte records), directory offset.
struct Record {
    std::uint16_t type;
    std::uint32_t size, offset;
};
std::string heap(const std::string& data, const std::vector<Record>& records)
{
    std::string out = data + le(records.size(), 2);
    for (const Record& r : records)
        out += le(r.type, 2) + le(r.size, 4) + le(r.offset, 4);
    return out + le(data.size(), 4);
}
std::string crw(const std::string& root) { return "II" + le(26, 4) + "HEAPCCDR" + fill(12, 0) + root; }

// RAF: the magic, at 0x94 the embedded JPEG (SOI, Exif APP1), `total` bytes.
constexpr std::size_t kRafJpegAt = 0x94;
std::string raf(std::size_t total)
{
    std::string out = "FUJIFILMCCD-RAW 0201FF383501" + fill(kRafJpegAt - 28, 0) + "\xFF\xD8" + exifSegment(tiffBlock({ascii(0x0110, "X-T3")}));
    out.resize(total, 0);
    return out;
}

// CR3: ftyp (24 bytes), then CMT1 (IFD0) and CMT2 (Exif IFD) boxes padded to
// four bytes: 24 + 46 -> 72, + 54 -> 128.
std::string cr3(const std::string& tail, bool boxes = true)
{
    const auto box = [](const char* type, const std::string& block) {
        return be(block.size() + 8, 4) + type + block + fill((4 - block.size() % 4) % 4, 0);
    };
    return be(24, 4) + "ftypcrx \0\0\0\x01" "crx isom"s +
           (boxes ? box("CMT1", tiffBlock({ascii(0x0110, "Canon EOS R")})) +
                        box("CMT2", tiffBlock({ascii(0x9003, "2024:01:02 03:04:05")}))
                  : "") +
           tail;
}

// X3F: "FOVb" and a 256-byte header, sections ("SECi" + 24 bytes + body),
// the directory ("SECd", version, count, entries) and its offset.
std::string x3f(const std::vector<std::pair<std::string, std::string>>& sections)
{
    std::string out = "FOVb" + fill(252, 0), entries;
    for (const auto& [type, body] : sections) {
        entries += le(out.size(), 4) + le(28 + body.size(), 4) + type;
        out += "SECi" + fill(24, 0) + body;
    }
    return out + "SECd" + le(0x20000, 4) + le(sections.size(), 4) + entries + le(out.size(), 4);
}
std::string exifJpeg(const std::string& model) { return "\xFF\xD8" + exifSegment(tiffBlock({ascii(0x0110, model)})) + fill(30); }

// ---- Running a pass ---------------------------------------------------------

struct Case {
    const char* what;
    std::string file;
    bool ok;
    // Lines the text holds; "!key" where no line starts with key.
    std::vector<std::string> lines;
    std::uint64_t maxRead = 0; // bytes the pass may read; 0: any
};

void check(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        io::MemorySource source(bytesOf(c.file));
        const auto pass = readMetadata(source, u"/t/file");
        const std::string text = "\n" + std::string(pass.text.bytes());
        EXPECT_EQ(pass.ok, c.ok) << c.what << text;
        for (const std::string& line : c.lines) {
            const bool absent = line.starts_with("!");
            const bool found = text.find("\n" + line.substr(absent ? 1 : 0) + (absent ? "" : "\n")) != std::string::npos;
            EXPECT_NE(found, absent) << c.what << ": " << line << text;
        }
        EXPECT_LE(pass.bytesRead, c.maxRead ? c.maxRead : ~0ull) << c.what;
    }
}

TEST(PreviewLocator, Dispatch)
{
    check({
        {"empty", "", false, {}},
        {"one byte", "\xFF", false, {}},
        {"GIF", "GIF8", false, {}},
        {"II neither TIFF nor CIFF", "II\x2B\0\x08\0\0\0HEAPJUNK"s, false, {}},
        {"MM not TIFF", "MM\0\x2B\0\0\0\x08"s, false, {}},
        {"zeros, not ISO media", fill(64, 0), true, {"!cg"}},
        {"ORF II", patched(tiffBlock({ascii(0x0110, "E-1")}), 2, "RO"), true, {"Model\tE-1"}},
        {"ORF MM", patched(tiffBlock({ascii(0x0110, "E-M1")}, {}, io::ByteOrder::Big), 2, "OR"), true, {"Model\tE-M1"}},
    });
}

TEST(PreviewLocator, JpegSegments)
{
    std::string bounded = "\xFF\xD8";
    for (int i = 0; i < 100'000; ++i)
        bounded += segment(0xFFFE, "");
    check({
        {"XMP before Exif", jpegFile(kXmp + exifSegment(kExif)), false, {"!cg"}},
        {"XMP after Exif ends the walk", jpegFile(exifSegment(kExif) + kXmp + photoshopSegment(thumbnailResource(tinyJpeg(10)))), true, {"!cg6"}},
        // The TIFF header at 2 + 4 + 6. The thumbnail: SOI 2 + Exif segment
        // 74 + APP13 head 4 + signature 14 + 0x0404 (12 + 6) + 12 + 28.
        {"Photoshop after Exif", jpegFile(exifSegment(kExif) + photoshopSegment(resource(0x0404, fill(5)) + thumbnailResource(tinyJpeg(30)))),
         true, {"cg2ofs\t212", "cg2size\t50", "cg6ofs\t152", "cg6size\t36"}},
        // 2 + 18 + 4 + 14 + 12 + 28; the Exif behind it is read too.
        {"Photoshop before Exif", jpegFile(segment(0xFFE0, fill(14)) + photoshopSegment(thumbnailResource(tinyJpeg(8))) + exifSegment(kExif)),
         true, {"cg6ofs\t78", "cg6size\t14", "Model\tTestCam"}},
        {"Photoshop without Exif", jpegFile(photoshopSegment(thumbnailResource(tinyJpeg(8)))), false, {}},
        {"length 0", "\xFF\xD8\xFF\xE0\0\0"s + exifSegment(kExif), false, {}},
        {"length 1", "\xFF\xD8\xFF\xE0\0\x01"s + exifSegment(kExif), false, {}},
        {"APP1 not Exif", jpegFile(segment(0xFFE1, "Exig\0\0"s)), false, {}},
        {"100,000 empty segments", bounded + exifSegment(kExif), false, {}},
    });
}

TEST(PreviewLocator, PhotoshopAndCanonCiff)
{
    const auto psd = [](const std::string& resources) {
        return "8BPS" + be(1, 2) + fill(6, 0) + be(3, 2) + be(8, 4) + be(8, 4) + be(8, 2) + be(3, 2) + be(0, 4) +
               be(resources.size(), 4) + resources + fill(100, 0);
    };
    const std::string sub = heap(fill(10), {{0x2007, 4, 0}}); // 26 bytes
    check({
        // Resources at 34: 0x03ED's 3 bytes padded to 4 (16), thumbnails at 16 and 16 + 48.
        {"PSD", psd(resource(0x03ED, fill(3)) + thumbnailResource(tinyJpeg(1)) + thumbnailResource(tinyJpeg(2))), true,
         {"cg6ofs\t90", "cg6size\t7", "cg6ofs\t138", "cg6size\t8"}},
        // A thumbnail resource smaller than its header is refused; the walk
        // goes on (fuzz corpus: synthetic-short-thumbnail.psd). Its follower at 34 + 32.
        {"PSD short thumbnail", psd(resource(0x040C, fill(20)) + thumbnailResource(tinyJpeg(1))), true,
         {"cg6ofs\t106", "cg6size\t7", "!cg6size\t-8"}},
        {"PSD without thumbnail", psd(resource(0x0404, fill(9))), true, {"!cg"}},
        {"PSD bad signature", patched(psd(""), 3, "X"), false, {}},
        // The root's 0x2007 at heap offset 40 + 26; of the heap only the directory is read.
        {"CRW root preview",
         crw(heap(fill(40) + sub + tinyJpeg(20) + fill(200'000), {{0x300A, 26, 40}, {0x0032, 4, 0}, {0x2007, 26, 66}})),
         true, {"cg1ofs\t92", "cg1size\t26"}, kHeldHead + 100},
        {"CRW preview in a sub-heap only", crw(heap(sub, {{0x300A, 26, 0}})), false, {}},
        // Bit 0x4000: eight data bytes in the record, behind its type (26 + 6 + 2 + 10 + 2).
        {"CRW in-record data", crw(heap(fill(6), {{0x0001, 0, 0}, {0x6007, 1, 2}})), true, {"cg1ofs\t46", "cg1size\t8"}},
    });
}

TEST(PreviewLocator, FujifilmRaf)
{
    // The JPEG's length is its last FF DA ... FF D9 pair within 8 MiB. The
    // backward search reads in chunks from the window's end.
    std::string file = raf(kRafJpegAt + kRafJpegWindow + 1000);
    const auto mark = [&](std::size_t at, char second) { file.replace(kRafJpegAt + at, 2, "\xFF"s + second); };
    // The last FF DA has no FF D9 behind it; the last FF D9 lies outside the window.
    for (const auto& [at, second] : {std::pair{1000ul, '\xDA'}, {5000ul, '\xD9'}, {3'000'000ul, '\xDA'}, {3'000'100ul, '\xD9'},
                                     {3'000'200ul, '\xD9'}, {kRafJpegWindow - 10, '\xDA'}, {kRafJpegWindow + 10, '\xD9'}})
        mark(at, second);
    // A pair whose FF DA and FF D9 are both cut by chunk edges (W - 2C, W - C).
    const long edge = -2 * static_cast<long>(kScanChunk);
    const std::string edges = patched(patched(raf(kRafJpegAt + kRafJpegWindow), edge - 1, "\xFF\xDA"), edge + static_cast<long>(kScanChunk) - 1, "\xFF\xD9");
    check({
        {"last pair", file, true, {"cg1ofs\t148", "cg1size\t3000102", "Model\tX-T3"}, kRafJpegWindow - 3'000'000 + 2 * kScanChunk},
        {"pair cut by chunk edges", edges, true, {"cg1size\t" + std::to_string(kRafJpegWindow - kScanChunk + 1)}},
        {"no pair: the whole window", raf(kRafJpegAt + kRafJpegWindow), true, {"cg1size\t8388608"}},
        {"window short of 8 MiB", raf(40'000), false, {}, kHeldHead + 20},
        {"bad magic", patched(raf(1000), 5, "X"), false, {}},
        {"no Exif", "FUJIFILMCCD-RAW " + fill(5000, 0), false, {}},
    });
}

TEST(PreviewLocator, MinoltaMrwAndSigmaX3f)
{
    const auto mrw = [](std::size_t header) {
        std::string out = "\0MRM"s + fill(header - 4, 0) + tiffBlock({ascii(0x0110, "A2"), shorts(0x0112, {6})}, {}, io::ByteOrder::Big);
        return out + fill(200, 0);
    };
    const std::string withExif = exifJpeg("SD1"), notExif = "\xFF\xD8" + kXmp;
    check({
        // The orientation's value: header + 8 + count (2) + one entry (12) + tag, type and count (8).
        {"MRW header at 140", mrw(140), true, {"Model\tA2", "Direction\t6", "FlipM170"}},
        {"MRW header elsewhere", mrw(60), false, {}},
        {"MRW not RM", patched(mrw(48), 3, "X"), false, {}},
        // Every Exif JPEG section is read; one that is not Exif ends the walk.
        {"X3F non-Exif JPEG first", x3f({{"IMAG", notExif}, {"IMA2", withExif}}), false, {}},
        // The IMA2 section at 256 + (28 + 40), its JPEG behind its 28-byte head.
        {"X3F non-Exif JPEG last", x3f({{"PROP", fill(40)}, {"IMA2", withExif}, {"IMAG", notExif}}), true,
         {"Model\tSD1", "cg3ofs\t352", "cg3size\t" + std::to_string(28 + withExif.size())}},
        {"X3F without JPEG", x3f({{"IMAG", fill(60)}, {"CAMF", fill(10)}}), false, {}},
        {"X3F without sections", x3f({}), false, {}},
    });
}

TEST(PreviewLocator, CanonCr3)
{
    // Behind the boxes, at 128: three JPEGs. The first is slot 2, the third slot 1; a fourth is never looked at.
    const std::string three = fill(100) + tinyJpeg(10) + fill(7) + tinyJpeg(20) + tinyJpeg(30) + tinyJpeg(5);
    // The scan reads in chunks, each from where a pattern may still begin:
    // the first JPEG's FF D8 | FF DB is cut by the first chunk's end (at C),
    // its FF | D9 by the second's (at C - 3 + C).
    const std::string edges = fill(kScanChunk - 2 - 128) + tinyJpeg(kScanChunk - 6) + tinyJpeg(1) + tinyJpeg(2);
    std::string far = tinyJpeg(10) + tinyJpeg(10), early = tinyJpeg(10) + tinyJpeg(10) + tinyJpeg(10);
    far.resize(kCr3ScanWindow, 0);
    early.resize(5 * kScanChunk, 0);
    check({
        {"three JPEGs", cr3(three), true,
         {"Model\tCanon EOS R", "DateTime\t2024:01:02 03:04:05", "cg2ofs\t228", "cg2size\t16", "cg1ofs\t277", "cg1size\t36"}},
        {"chunk edges", cr3(edges), true, {"cg2ofs\t131070", "cg2size\t131072", "cg1ofs\t262149", "cg1size\t8"}},
        {"two JPEGs", cr3(tinyJpeg(10) + fill(5) + tinyJpeg(10)), true, {"!cg", "Model\tCanon EOS R"}},
        // The third JPEG lies beyond 10 MiB. Chunks overlap by the three bytes a pattern may reach back.
        {"beyond 10 MiB", cr3(far + tinyJpeg(10), false), true, {"!cg"},
         kCr3ScanWindow + kHeaderWindow + 3 * (kCr3ScanWindow / kScanChunk) + 100},
        {"stops after the third", cr3(early, false), true, {"cg1size\t16"}, kScanChunk + kHeaderWindow + 100},
    });
}

} // namespace
} // namespace qlx::containers
