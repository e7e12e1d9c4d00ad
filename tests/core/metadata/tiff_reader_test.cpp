// The TIFF/Exif reader on small structures built in memory, on real camera
// JPEGs (expected values read with exiftool -n / -v3 and converted by hand)
// and on damaged input.

#include "metadata/tiff_reader.h"

#include "support/test_paths.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

using io::ByteOrder;
using Bytes = std::vector<std::byte>;
using namespace std::string_literals;

// Value names in code page 932, written out by hand.
const std::string kManual = "\xCF\xC6\xAD\xB1\xD9";                                 // ﾏﾆｭｱﾙ
const std::string kProgramAe = "\xCC\xDF\xDB\xB8\xDE\xD7\xD1" "AE";                  // ﾌﾟﾛｸﾞﾗﾑAE
const std::string kPattern = "\x95\xAA\x8A\x84\x91\xAA\x8C\xF5";                    // 分割測光
const std::string kAuto = "\xB5\xB0\xC4";                                           // ｵｰﾄ
const std::string kAutoWhite = "\xB5\xB0\xC4 \xCE\xDC\xB2\xC4\xCA\xDE\xD7\xDD\xBD"; // ｵｰﾄ ﾎﾜｲﾄﾊﾞﾗﾝｽ
const std::string kPlusMinusZero = "\x81\x7D" "0";                                    // ±0

Bytes bytesOf(std::string_view text)
{
    Bytes bytes;
    for (const char c : text)
        bytes.push_back(static_cast<std::byte>(c));
    return bytes;
}

// One entry to lay out. Numbers are encoded in the byte order of the
// directory they land in; `field` puts a value field as it stands.
struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::vector<std::uint32_t> words{}; // SHORT/LONG elements, RATIONALs as two words
    std::string raw{};                  // BYTE, ASCII and UNDEFINED bytes
    std::optional<std::uint32_t> field{};
};

Entry shorts(std::uint16_t tag, std::vector<std::uint32_t> v) { return {tag, 3, std::uint32_t(v.size()), v}; }
Entry longs(std::uint16_t tag, std::vector<std::uint32_t> v) { return {tag, 4, std::uint32_t(v.size()), v}; }
Entry rational(std::uint16_t tag, std::uint32_t n, std::uint32_t d) { return {tag, 5, 1, {n, d}}; }
Entry srational(std::uint16_t tag, std::int32_t n, std::int32_t d)
{
    return {tag, 10, 1, {std::uint32_t(n), std::uint32_t(d)}};
}
Entry ascii(std::uint16_t tag, const std::string& s) { return {tag, 2, std::uint32_t(s.size() + 1), {}, s + '\0'}; }
Entry undefined(std::uint16_t tag, const std::string& s) { return {tag, 7, std::uint32_t(s.size()), {}, s}; }
Entry placed(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t field)
{
    return {tag, type, count, {}, {}, field};
}
Entry link(std::uint16_t tag, std::uint32_t offset) { return placed(tag, 4, 1, offset); }

// Lays out a TIFF structure in memory: `lead` bytes of something else (a
// JPEG's APP1 head), the TIFF header, then directories and blobs in the order
// they are added. Offsets count from the TIFF header unless a directory names
// another origin (maker notes with their own header).
class TiffBuilder {
public:
    explicit TiffBuilder(ByteOrder order, std::size_t lead = 0) : m_order(order), m_lead(lead), m_bytes(lead)
    {
        blob(order == ByteOrder::Little ? "II\x2A\0\0\0\0\0"s : "MM\0\x2A\0\0\0\0"s);
    }
    ByteOrder order() const { return m_order; }
    std::size_t lead() const { return m_lead; }
    const Bytes& bytes() const { return m_bytes; }
    std::uint32_t here() const { return std::uint32_t(m_bytes.size() - m_lead); }
    std::uint64_t absolute(std::uint32_t offset) const { return m_lead + offset; }
    void setIfd0(std::uint32_t offset) { write(4, offset, 4, m_order); }
    void setField(std::uint32_t dir, std::size_t index, std::uint32_t v, std::optional<ByteOrder> order = {})
    {
        write(dir + 2 + 12 * index + 8, v, 4, order.value_or(m_order));
    }
    void setNext(std::uint32_t dir, std::size_t entryCount, std::uint32_t v) { write(dir + 2 + 12 * entryCount, v, 4, m_order); }

    std::uint32_t blob(const std::string& bytes)
    {
        if (here() % 2 != 0)
            m_bytes.push_back(std::byte{0});
        const std::uint32_t at = here();
        for (const char c : bytes)
            m_bytes.push_back(static_cast<std::byte>(c));
        return at;
    }

    std::uint32_t directory(const std::vector<Entry>& entries, std::uint32_t next = 0, std::uint32_t origin = 0,
                            std::optional<ByteOrder> dirOrder = {})
    {
        const ByteOrder order = dirOrder.value_or(m_order);
        const std::uint32_t dir = blob(std::string(2 + 12 * entries.size() + 4, '\0'));
        write(dir, entries.size(), 2, order);
        std::string data;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const std::uint32_t at = dir + 2 + 12 * std::uint32_t(i);
            write(at, e.tag, 2, order);
            write(at + 2, e.type, 2, order);
            write(at + 4, e.count, 4, order);
            std::string value = e.raw;
            for (const std::uint32_t w : e.words) {
                const int size = e.type == 3 ? 2 : 4;
                for (int b = 0; b < size; ++b)
                    value += char(w >> (order == ByteOrder::Little ? 8 * b : 8 * (size - 1 - b)));
            }
            if (e.field || value.size() > 4) {
                data.resize(data.size() + data.size() % 2);
                const auto offset = std::uint32_t(dir + 2 + 12 * entries.size() + 4 + data.size() - origin);
                write(at + 8, e.field.value_or(offset), 4, order);
                data += e.field ? "" : value;
            } else {
                for (std::size_t b = 0; b < value.size(); ++b)
                    m_bytes[m_lead + at + 8 + b] = static_cast<std::byte>(value[b]);
            }
        }
        write(dir + 2 + 12 * entries.size(), next, 4, order);
        for (const char c : data)
            m_bytes.push_back(static_cast<std::byte>(c));
        return dir;
    }

private:
    void write(std::uint64_t offset, std::uint64_t v, int size, ByteOrder order)
    {
        for (int b = 0; b < size; ++b)
            m_bytes[m_lead + offset + b] =
                static_cast<std::byte>(v >> (order == ByteOrder::Little ? 8 * b : 8 * (size - 1 - b)));
    }

    ByteOrder m_order;
    std::size_t m_lead;
    Bytes m_bytes;
};

using Setup = std::function<void(TiffReader&)>;

// The JPEG route: the whole buffer is the segment, the TIFF header at `lead`.
std::string readHeader(const Bytes& file, std::size_t lead, const Setup& setup = {}, bool* ok = nullptr)
{
    io::MemorySource source(file);
    MetadataText text;
    TiffReader reader(source, text);
    if (setup)
        setup(reader);
    const bool result = reader.readTiffHeader(Segment{file, 0}, lead, lead);
    if (ok != nullptr)
        *ok = result;
    return std::string(text.bytes());
}

std::string readHeader(const TiffBuilder& tiff, const Setup& setup = {})
{
    return readHeader(tiff.bytes(), tiff.lead(), setup);
}

// The TIFF route: a 4096-byte window read at the directory is the segment.
std::string readDirectory(const TiffBuilder& tiff, std::uint32_t dir,
                          bool (TiffReader::*entry)(const Segment&, std::size_t, std::uint64_t) = &TiffReader::readIfd0)
{
    io::MemorySource source(tiff.bytes());
    Bytes window;
    source.readAt(tiff.absolute(dir), 4096, window);
    MetadataText text;
    TiffReader reader(source, text);
    reader.setByteOrder(tiff.order());
    reader.setThumbnailShift(5);
    EXPECT_TRUE((reader.*entry)(Segment{window, tiff.absolute(dir)}, 0, tiff.lead()));
    return std::string(text.bytes());
}

std::string start(const std::string& name) { return "\n<---" + name + " start --->\n"; }
std::string end(const std::string& name) { return "<---" + name + " end --->\n\n"; }

// What stands between the first markers of walk `name`.
std::string block(const std::string& text, const std::string& name)
{
    const auto from = text.find(start(name));
    if (from == std::string::npos)
        return "<no " + name + ">";
    const auto inside = from + start(name).size();
    return text.substr(inside, text.find(end(name), inside) - inside);
}

std::size_t occurrences(const std::string& text, const std::string& needle)
{
    std::size_t count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

TEST(TiffReader, JpegExifBlockWithExifIfdAndFirstIfd)
{
    TiffBuilder tiff(ByteOrder::Little, 12);
    const auto exif = tiff.directory({rational(0x829A, 1, 250), rational(0x829D, 28, 10), shorts(0x8822, {1}),
                                      shorts(0x8827, {100}), undefined(0x9000, "0230"),
                                      ascii(0x9003, "2008:05:30 15:56:01"), srational(0x9204, -2, 3),
                                      shorts(0x9207, {5}), shorts(0x9209, {0x19}), rational(0x920A, 180, 10),
                                      shorts(0x9999, {7}), longs(0xA002, {640}), shorts(0xA405, {27})});
    const auto ifd1 = tiff.directory({shorts(0x0100, {160}), shorts(0x0101, {120}), longs(0x0201, {1000}),
                                      longs(0x0202, {2000})});
    const auto ifd0 = tiff.directory(
        {ascii(0x010F, "Canon"), ascii(0x0110, "EOS"), shorts(0x0112, {6}), link(0x8769, exif)}, ifd1);
    tiff.setIfd0(ifd0);
    const std::uint64_t orientation = tiff.absolute(ifd0) + 2 + 2 * 12 + 8;

    MetadataText text;
    text.append(readHeader(tiff));
    EXPECT_EQ(text.bytes(), "Maker\tCanon\nModel\tEOS\nDirection\t6\nFlipI" + std::to_string(orientation) + "\n" +
                                start("ExifIFD") + "ExposureTime\t1/250\nFNumber\tF2.8\nExposureProg\t" + kManual +
                                "\nISO\t100\nExifVer\t02\nDateTime\t2008:05:30 15:56:01\nExposureBias\t-0.7\n"
                                "PhotometryMode\t" + kPattern + "\nFlash\tOn\nFocalLength\t18mm\nWidth2\t640\n"
                                "FL35mm\t27mm\n" + end("ExifIFD") + start("1st IFD") +
                                "Width2\t160\nHeight2\t120\ncg2ofs\t1012\ncg2size\t2000\n" + end("1st IFD"));
    // The Exif IFD's "Width2" was written first, so a lookup finds it.
    EXPECT_EQ(getValue(entryText(text), u"Width2"), u"640");
    EXPECT_EQ(getFlip(entryText(text)).offset, orientation);
    EXPECT_EQ(tiff.bytes()[orientation], std::byte{6});
}

TEST(TiffReader, ExifValuesInBothByteOrders)
{
    const std::vector<std::pair<Entry, std::string>> cases = {
        {undefined(0x9000, "0230"), "ExifVer\t02\n"},
        {shorts(0x8827, {100, 200}), "ISO\t100, 200\n"},
        {shorts(0x8827, {100, 200, 400}), "ISO\t100, 200\n"},
        {rational(0x829D, 28, 10), "FNumber\tF2.8\n"},
        {rational(0x829D, 8, 1), "FNumber\tF8\n"},
        {rational(0x829D, 0, 1), "FNumber\tF0\n"},
        {rational(0x829A, 1, 250), "ExposureTime\t1/250\n"},
        {rational(0x829A, 10, 25), "ExposureTime\t1/2.5\n"},
        {rational(0x829A, 1, 3), "ExposureTime\t1/3\n"},
        {rational(0x829A, 2, 1), "ExposureTime\t2.0\n"},
        {srational(0x9204, 0, 3), "ExposureBias\t" + kPlusMinusZero + "\n"},
        {srational(0x9204, -2, 3), "ExposureBias\t-0.7\n"},
        {srational(0x9204, 1, 1), "ExposureBias\t+1\n"},
        {srational(0x9204, 4, 3), "ExposureBias\t+1.3\n"},
        {shorts(0x9209, {0x10}), "Flash\tOff\n"},
        {shorts(0x9209, {0x19}), "Flash\tOn\n"},
        {shorts(0xA405, {27}), "FL35mm\t27mm\n"},
        {rational(0x920A, 180, 10), "FocalLength\t18mm\n"},
        {shorts(0x9207, {0}), "PhotometryMode\tunknown\n"},
        {shorts(0x9207, {7}), "PhotometryMode\t0x00000007\n"},
        {shorts(0x9207, {5, 0}), "PhotometryMode\t" + kPattern + "unknown\n"},
        {shorts(0x8822, {2}), "ExposureProg\t" + kProgramAe + "\n"},
        {shorts(0xA402, {0}), "ExposureMode\t" + kAuto + "\n"},
        {shorts(0xA403, {0}), "WhiteBalance\t" + kAutoWhite + "\n"},
        {placed(0x8827, 3, 0, 0), "ISO\t(oops! data length is 0)\n"},
        {placed(0x8827, 15, 1, 0), ""},                     // types above 14 write nothing
        {placed(0x8827, 14, 1, 0), "ISO\t\n"},             // type 14 has no number text
        {undefined(0x927C, "abc"), "MakerNote\t\n"},       // a maker note inside its entry is a line
        {ascii(0xA434, "EF50mm f/1.8 II"), "Lens\tEF50mm f/1.8 II\n"},
        {ascii(0xA434, "ABC"), "Lens\tABC\n"},             // inline
        {longs(0xA002, {4000000000u}), "Width2\t4000000000\n"},
    };
    for (const ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        for (const auto& [entry, line] : cases) {
            SCOPED_TRACE(line);
            TiffBuilder tiff(order, 12);
            const auto exif = tiff.directory({entry});
            tiff.setIfd0(tiff.directory({link(0x8769, exif)}));
            EXPECT_EQ(block(readHeader(tiff), "ExifIFD"), line);
        }
    }
}

TEST(TiffReader, FirstAndSecondIfdFollowTheLinks)
{
    TiffBuilder alone(ByteOrder::Little);
    alone.setIfd0(alone.directory({ascii(0x0110, "X")}));
    EXPECT_EQ(readHeader(alone), "Model\tX\n");

    TiffBuilder tiff(ByteOrder::Little, 12);
    const auto ifd2 = tiff.directory({longs(0x0201, {5000}), longs(0x0202, {600})});
    const auto ifd1 = tiff.directory({longs(0x0201, {1000}), longs(0x0202, {2000})}, ifd2);
    tiff.setIfd0(tiff.directory({ascii(0x0110, "X")}, ifd1));
    EXPECT_EQ(readHeader(tiff, [](TiffReader& reader) { reader.setThumbnailShift(100); }),
              "Model\tX\n" + start("1st IFD") + "cg2ofs\t1112\ncg2size\t2000\n" + end("1st IFD") + start("2nd IFD") +
                  "cg4ofs\t5112\ncg4size\t600\n" + end("2nd IFD"));

    // An IFD0 that wrote no line does not follow its link.
    TiffBuilder silent(ByteOrder::Little);
    silent.setIfd0(silent.directory({shorts(0x0128, {2})}, silent.directory({longs(0x0201, {1})})));
    EXPECT_EQ(readHeader(silent), "");
}

TEST(TiffReader, ADirectoryRunningPastItsWindowStopsThere)
{
    // IFD0 declares 40 entries; the segment ends after two. Its link is not followed.
    TiffBuilder tiff(ByteOrder::Little);
    const auto ifd1 = tiff.directory({longs(0x0201, {1000})});
    const auto ifd0 = tiff.directory({ascii(0x010F, "Canon"), ascii(0x0110, "EOS")}, ifd1);
    tiff.setIfd0(ifd0);
    Bytes file = tiff.bytes();
    file[ifd0] = std::byte{40};
    const Bytes segment(file.begin(), file.begin() + ifd0 + 2 + 2 * 12);
    io::MemorySource source(file);
    MetadataText text;
    TiffReader reader(source, text);
    EXPECT_TRUE(reader.readTiffHeader(Segment{segment, 0}, 0, 0));
    EXPECT_EQ(text.bytes(), "Maker\tCanon\nModel\tEOS\n");

    // An Exif IFD at the end of the file declares 258 entries.
    TiffBuilder cut(ByteOrder::Little);
    const auto ifd0b = cut.directory({ascii(0x0110, "X"), link(0x8769, 0)});
    const auto exif = cut.directory({shorts(0x8827, {100}), shorts(0x9209, {1})});
    cut.setField(ifd0b, 1, exif);
    cut.setIfd0(ifd0b);
    Bytes shortFile = cut.bytes();
    shortFile[exif + 1] = std::byte{0x01}; // 258 entries
    shortFile.resize(exif + 2 + 2 * 12 + 5);
    EXPECT_EQ(readHeader(shortFile, 0), "Model\tX\n" + start("ExifIFD") + "ISO\t100\nFlash\tOn\n" + end("ExifIFD"));
}

// A little-endian file with a big-endian Nikon maker note that carries its
// own TIFF header ("Nikon\0", version, "MM", 42, 8) and a preview sub-IFD.
TEST(TiffReader, NikonMakerNoteInTheOtherByteOrder)
{
    TiffBuilder tiff(ByteOrder::Little, 12);
    const auto note = tiff.blob("Nikon\0\x02\x10\0\0MM\0\x2A\0\0\0\x08"s);
    const std::uint32_t origin = note + 10;
    const auto noteDir = tiff.directory({shorts(0x0002, {0, 200}), link(0x0011, 0), undefined(0x0083, "\x06"),
                                         {0x0084, 5, 4, {50, 1, 50, 1, 14, 10, 14, 10}},
                                         undefined(0x008B, "\x0E\0\0\0"s)},
                                        0, origin, ByteOrder::Big);
    const auto preview = tiff.directory({longs(0x0201, {0x100}), longs(0x0202, {4321})}, 0, origin, ByteOrder::Big);
    tiff.setField(noteDir, 1, preview - origin, ByteOrder::Big);
    const auto exif = tiff.directory({placed(0x927C, 7, tiff.here() - note, note), longs(0xA002, {640})});
    tiff.setIfd0(tiff.directory({ascii(0x010F, "NIKON"), link(0x8769, exif)}));

    EXPECT_EQ(block(readHeader(tiff), "ExifIFD"),
              start("MakerNote") + "ISO\t200\n" + start("NikonThmIFD") + "cg3ofs\t" +
                  std::to_string(tiff.absolute(origin) + 0x100) + "\ncg3size\t4321\n" + end("NikonThmIFD") +
                  "Lex1\tG\nLens\t50mm F1.4\nLex3\t0E\n" + end("MakerNote") + "Width2\t640\n");
}

TEST(TiffReader, CurrentMakerIsChosenPerPass)
{
    TiffBuilder tiff(ByteOrder::Little);
    const auto note = tiff.directory({shorts(0x0002, {0, 400})});
    const auto exif = tiff.directory({placed(0x927C, 7, 18, note)});
    const auto nikon = tiff.directory({ascii(0x010F, "NIKON"), link(0x8769, exif)});
    const auto anonymous = tiff.directory({ascii(0x0110, "D1"), link(0x8769, exif)});
    const auto fuji = tiff.directory({ascii(0x010F, "FUJIFILM"), link(0x8769, exif)});

    // One reader, several passes over the same file.
    io::MemorySource source(tiff.bytes());
    MetadataText text;
    TiffReader reader(source, text);
    const auto pass = [&](std::uint32_t ifd0) {
        text.reset();
        Bytes window;
        source.readAt(ifd0, 4096, window);
        reader.readIfd0(Segment{window, ifd0}, 0, 0);
        return std::string(text.bytes());
    };
    const std::string walked = start("MakerNote") + "ISO\t400\n" + end("MakerNote");
    EXPECT_NE(pass(nikon).find(walked), std::string::npos);
    // No maker text: the note is stepped over, not read with the last file's rules.
    EXPECT_EQ(pass(anonymous).find("MakerNote"), std::string::npos);
    EXPECT_NE(pass(nikon).find(walked), std::string::npos);
    EXPECT_EQ(pass(fuji).find("MakerNote"), std::string::npos); // a maker without rules
}

// A Canon note whose firmware text stands two bytes further than its offset
// says: every later out-of-line value of the pass is read two bytes on.
TEST(TiffReader, CanonFirmwareTextShiftsLaterReads)
{
    TiffBuilder tiff(ByteOrder::Little);
    std::vector<std::uint32_t> settings(25, 0);
    settings[22] = 61, settings[23] = 200, settings[24] = 70;
    const auto firmware = tiff.blob("  Firmware Version 1.0.0\0"s);
    const auto lensByte = tiff.blob(std::string(15, '\0') + "\x2A");
    const auto lensText = tiff.blob("xxEF-S18-55mm\0"s);
    const auto exifLens = tiff.blob("yyEF-S18-55mm f/3.5-5.6\0"s);
    const auto note = tiff.directory({{0x0001, 3, 25, settings}, placed(0x0007, 2, 23, firmware),
                                      placed(0x000D, 7, 16, lensByte), placed(0x0095, 2, 12, lensText)});
    const auto exif = tiff.directory({placed(0x927C, 7, tiff.here() - note, note), placed(0xA434, 2, 22, exifLens)});
    tiff.setIfd0(tiff.directory({ascii(0x010F, "Canon"), link(0x8769, exif)}));

    const std::string text = readHeader(tiff);
    EXPECT_EQ(block(text, "MakerNote"), "Lex3\t61\nLex2\t200\nLex1\t70\nFw\t2\nLex4\t42\nLens\tEF-S18-55mm\n");
    EXPECT_NE(text.find(end("MakerNote") + "Lens\tEF-S18-55mm f/3.5-5.6\n"), std::string::npos);
}

// "OLYMPUS\0II": offsets count from the note; two sub-IFDs; the camera
// settings end the maker shift.
TEST(TiffReader, OlympusMakerNote)
{
    TiffBuilder tiff(ByteOrder::Little);
    const auto note = tiff.blob("OLYMPUS\0II\x03\0"s);
    const auto noteDir = tiff.directory(
        {placed(0x0100, 7, 64, 0), placed(0x2010, 13, 1, 0), placed(0x2020, 13, 1, 0)}, 0, note);
    const auto equipment =
        tiff.directory({undefined(0x0201, "\0\x01\x10\0\0\0"s), undefined(0x0301, std::string(6, '\0'))}, 0, note);
    const auto settings = tiff.directory({longs(0x0101, {0x200}), longs(0x0102, {777})}, 0, note);
    const auto preview = tiff.blob(std::string(64, '\xFF'));
    tiff.setField(noteDir, 0, preview - note);
    tiff.setField(noteDir, 1, equipment - note);
    tiff.setField(noteDir, 2, settings - note);
    const auto exif = tiff.directory({placed(0x927C, 7, tiff.here() - note, note), ascii(0xA434, "ZD 14-42")});
    tiff.setIfd0(tiff.directory({ascii(0x010F, "OLYMPUS IMAGING CORP."), link(0x8769, exif)}));

    const std::string text = readHeader(tiff);
    EXPECT_EQ(block(text, "MakerNote"),
              "cg3ofs\t" + std::to_string(preview) + "\ncg3size\t64\n" + start("OlympusThmIFD2") +
                  "Lens\t000110000000\nExt\t000000000000\n" + end("OlympusThmIFD2") + start("OlympusThmIFD") +
                  "cg4ofs\t" + std::to_string(0x200 + note) + "\ncg4size\t777\n" + end("OlympusThmIFD"));
    // The shift ended with the camera settings: the Exif lens text is read where it points.
    EXPECT_NE(text.find(end("MakerNote") + "Lens\tZD 14-42\n"), std::string::npos);

    const std::string jpeg = readHeader(tiff, [](TiffReader& reader) { reader.setFileIsJpeg(true); });
    EXPECT_EQ(jpeg.find("MakerNote"), std::string::npos);
    EXPECT_NE(jpeg.find("Lens\tZD 14-42\n"), std::string::npos);
}

TEST(TiffReader, TiffIfd0WithSubIfds)
{
    TiffBuilder tiff(ByteOrder::Big);
    const auto sub0 = tiff.directory({shorts(0x0100, {160}), longs(0x0201, {3000}), longs(0x0202, {900})});
    const auto sub1 = tiff.directory({longs(0x0111, {9000}), longs(0x0117, {90000})});
    const auto ifd0 = tiff.directory({ascii(0x010F, "PENTAX"), longs(0x0111, {100}), shorts(0x0112, {1}),
                                      longs(0x0117, {50}), longs(0x014A, {sub0, sub1}), longs(0x0201, {7000}),
                                      longs(0x0202, {800}), ascii(0x9003, "2010:01:02 03:04:05")});
    tiff.setIfd0(ifd0);
    EXPECT_EQ(readDirectory(tiff, ifd0),
              "Maker\tPENTAX\ncg1ofs\t100\nDirection\t1\nFlipM" + std::to_string(ifd0 + 2 + 2 * 12 + 8) +
                  "\ncg1size\t50\n" + start("SubIFD-0") + "Width2\t160\ncg2ofs\t3005\ncg2size\t900\n" +
                  end("SubIFD-0") + start("SubIFD-1") + "cg5ofs\t9000\ncg5size\t90000\n" + end("SubIFD-1") +
                  "cg4ofs\t7000\ncg4size\t800\nDateTime\t2010:01:02 03:04:05\n");
}

TEST(TiffReader, PanasonicIfd0AndExifOnly)
{
    TiffBuilder tiff(ByteOrder::Little);
    const auto exif = tiff.directory({rational(0x829A, 1, 60), undefined(0x927C, std::string(40, '\0')),
                                      longs(0xA002, {640}), ascii(0xA434, "LUMIX G 20/F1.7")});
    const auto ifd0 = tiff.directory({shorts(0x0002, {4000}), shorts(0x0017, {200}), placed(0x002E, 7, 5000, 1234),
                                      ascii(0x010F, "Panasonic"), link(0x8769, exif)});
    EXPECT_EQ(readDirectory(tiff, ifd0, &TiffReader::readPanasonicIfd0),
              "Width\t4000\nISO\t200\ncg1ofs\t1234\ncg1size\t5000\nMaker\tPanasonic\n" + start("ExifIFD") +
                  "ExposureTime\t1/60\n" + start("MakerNote") + end("MakerNote") +
                  "Width2\t640\nLens\tLUMIX G 20/F1.7\n" + end("ExifIFD"));
    // The Exif-only table has no maker-note, second-size or interoperability rows.
    EXPECT_EQ(readDirectory(tiff, exif, &TiffReader::readExifOnly), "ExposureTime\t1/60\nLens\tLUMIX G 20/F1.7\n");
}

TEST(TiffReader, BadHeadersFailAndWriteNothing)
{
    for (const std::string& head : {"XX\x2A\0\x08\0\0\0"s, "II\x2B\0\x08\0\0\0"s, "MM\0\x2A\0"s, "I"s}) {
        bool ok = true;
        EXPECT_EQ(readHeader(bytesOf(head), 0, {}, &ok), "");
        EXPECT_FALSE(ok);
    }
    bool ok = false;
    EXPECT_EQ(readHeader(bytesOf("MM\0\x2A\xFF\xFF\xFF\xF0"s), 0, {}, &ok), "");
    EXPECT_TRUE(ok); // IFD0 outside the segment: a valid header with nothing to walk
}

TEST(TiffReader, OffsetCyclesEnd)
{
    TiffBuilder back(ByteOrder::Little, 12); // IFD1 links back to IFD0
    const auto ifd1 = back.directory({longs(0x0201, {1})});
    const auto ifd0 = back.directory({ascii(0x0110, "X")}, ifd1);
    back.setNext(ifd1, 1, ifd0);
    back.setIfd0(ifd0);
    EXPECT_EQ(readHeader(back), "Model\tX\n" + start("1st IFD") + "cg2ofs\t13\n" + end("1st IFD"));

    TiffBuilder self(ByteOrder::Little); // IFD1 links to itself
    const auto loop = self.directory({longs(0x0202, {1})});
    self.setNext(loop, 1, loop);
    self.setIfd0(self.directory({ascii(0x0110, "X")}, loop));
    EXPECT_EQ(occurrences(readHeader(self), "IFD start"), 1u);

    TiffBuilder exif(ByteOrder::Little); // the Exif link points at IFD0 itself
    const auto top = exif.directory({ascii(0x0110, "X"), link(0x8769, 0)});
    exif.setField(top, 1, top);
    exif.setIfd0(top);
    EXPECT_EQ(readHeader(exif), "Model\tX\n");

    TiffBuilder nikon(ByteOrder::Little); // a Nikon preview link to the note's own directory
    const auto note = nikon.directory({link(0x0011, 0), shorts(0x0002, {0, 100})});
    nikon.setField(note, 0, note);
    const auto exifDir = nikon.directory({placed(0x927C, 7, 30, note)});
    nikon.setIfd0(nikon.directory({ascii(0x010F, "NIKON"), link(0x8769, exifDir)}));
    EXPECT_EQ(block(readHeader(nikon), "MakerNote"), "ISO\t100\n");
}

TEST(TiffReader, LimitsBoundAPass)
{
    // 300 Exif links to 300 different empty directories.
    TiffBuilder links(ByteOrder::Little);
    std::vector<Entry> entries{ascii(0x0110, "X")};
    for (int i = 0; i < 300; ++i)
        entries.push_back(link(0x8769, links.directory({})));
    links.setIfd0(links.directory(entries));
    const auto walked = occurrences(readHeader(links), "<---ExifIFD start");
    EXPECT_GE(walked, 10u);
    EXPECT_LT(walked, 100u);

    // Lines longer than the text can hold are cut at its capacity.
    TiffBuilder longText(ByteOrder::Little);
    std::vector<Entry> models;
    for (char c = 'a'; c < 'i'; ++c)
        models.push_back(ascii(0x0110, std::string(3000, c)));
    longText.setIfd0(longText.directory(models));
    const std::string text = readHeader(longText);
    EXPECT_EQ(text.size(), MetadataText::kCapacity - 1);
    EXPECT_EQ(text.substr(0, 8), "Model\taa");
}

// Damaged copies of structures with every kind of link: the reader stays
// inside what it read (the sanitizer build checks) and ends.
TEST(TiffReader, DamagedStructuresEndCleanly)
{
    TiffBuilder tiff(ByteOrder::Big, 12);
    const auto note = tiff.directory({shorts(0x0002, {0, 100}), link(0x0011, 0), undefined(0x0084, std::string(32, '\1'))});
    tiff.setField(note, 1, tiff.directory({longs(0x0201, {7})}));
    const auto sub0 = tiff.directory({longs(0x0201, {3000})});
    const auto exif = tiff.directory({rational(0x829A, 1, 60), undefined(0x9000, "0230"), srational(0x9204, 1, 3),
                                      shorts(0x9207, {1}), placed(0x927C, 7, 60, note), ascii(0xA434, "lens")});
    const auto ifd1 = tiff.directory({longs(0x0201, {1})});
    tiff.setIfd0(tiff.directory({ascii(0x010F, "NIKON"), shorts(0x0112, {1}), longs(0x014A, {sub0, 0}),
                                 link(0x8769, exif)},
                                ifd1));
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = tiff.bytes();
        for (auto flips = 1 + random() % 8; flips > 0; --flips)
            damaged[random() % damaged.size()] = static_cast<std::byte>(random());
        if (round % 5 == 0)
            damaged.resize(random() % damaged.size());
        EXPECT_LT(readHeader(damaged, 12).size(), MetadataText::kCapacity);
    }
}

// ---- Real files -----------------------------------------------------------

struct ExifFile {
    Bytes file;
    std::size_t data = 0;   // file offset of the APP1 data ("Exif\0\0")
    std::size_t length = 0; // its length
};

// The JPEG route in brief: walk the markers to the Exif APP1 segment.
std::optional<ExifFile> findExif(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    ExifFile found;
    std::transform(std::istreambuf_iterator<char>(in), {}, std::back_inserter(found.file),
                   [](char c) { return static_cast<std::byte>(c); });
    const auto at = [&](std::size_t i) { return std::to_integer<std::size_t>(found.file[i]); };
    for (std::size_t pos = 2; pos + 10 <= found.file.size() && at(pos) == 0xFF && at(pos + 1) != 0xDA;
         pos += 2 + (at(pos + 2) << 8 | at(pos + 3))) {
        if (at(pos + 1) == 0xE1 && at(pos + 4) == 'E' && at(pos + 5) == 'x' && at(pos + 8) == 0) {
            found.data = pos + 4;
            found.length = std::min((at(pos + 2) << 8 | at(pos + 3)) - 2, found.file.size() - found.data);
            return found;
        }
    }
    return std::nullopt;
}

std::string readJpeg(const std::filesystem::path& path)
{
    const auto exif = findExif(path);
    if (!exif)
        return {};
    io::MemorySource source(exif->file);
    MetadataText text;
    TiffReader reader(source, text);
    reader.setFileIsJpeg(true);
    reader.readTiffHeader({std::span(exif->file).subspan(exif->data, exif->length), exif->data}, 6, exif->data + 6);
    return std::string(text.bytes());
}

void expectLines(const std::string& text, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        EXPECT_NE(text.find(line + "\n"), std::string::npos) << "missing: " << line << "\nin:\n" << text;
}

TEST(TiffReaderSamples, CanonDigitalIxus400)
{
    const std::string text = readJpeg(test::samplesDir() / "exif-samples/Canon_DIGITAL_IXUS_400.jpg");
    expectLines(text, {"Maker\tCanon", "Model\tCanon DIGITAL IXUS 400",
                       "ExposureTime\t1/200", "FNumber\tF10", // 1/200, 100/10
                       "ExifVer\t02", "DateTime\t2004:08:27 13:52:55",
                       "ExposureBias\t" + kPlusMinusZero, "PhotometryMode\t" + kPattern, // 0/3, 5
                       "Flash\tOff", "FocalLength\t15mm",                             // 24, 494/32
                       "Width2\t100", "Height2\t75", "ExposureMode\t" + kAuto, "WhiteBalance\t" + kAutoWhite,
                       "cg2ofs\t1462", "cg2size\t1805",
                       // The firmware text lies at file offset 0x44E; its offset counts from the
                       // TIFF header at 30 and the note is walked with base 0, so the text is
                       // found 30 bytes into its window.
                       "Fw\t30"});
}

TEST(TiffReaderSamples, NikonCoolpixP1)
{
    const std::string text = readJpeg(test::samplesDir() / "exif-samples/Nikon_COOLPIX_P1.jpg");
    expectLines(text, {"Maker\tNIKON", "Model\tCOOLPIX P1", "Direction\t1\nFlipI84", // value bytes at 0x54
                       "ExposureTime\t1/219", "FNumber\tF6", "ExposureProg\t" + kProgramAe, // 10/2187, 60/10, 2
                       "ISO\t50", "ExifVer\t02", "DateTime\t2008:03:07 09:55:46",
                       "ExposureBias\t" + kPlusMinusZero, "Flash\tOff", "FocalLength\t8mm", // 0/10, 24, 75/10
                       "Width2\t100", "FL35mm\t36mm", "cg2ofs\t3178", "cg2size\t1639"});
    EXPECT_EQ(block(text, "MakerNote").substr(0, 6), "ISO\t0\n"); // the note's ISO entry holds 0 0
}

// Broken and hostile files of the shared samples end cleanly, whatever they hold.
TEST(TiffReaderSamples, MalformedFilesEndCleanly)
{
    int walked = 0;
    for (const char* folder : {"malformed", "exif-samples/invalid"}) {
        for (const auto& item : std::filesystem::directory_iterator(test::samplesDir() / folder)) {
            if (item.is_regular_file() && item.file_size() < 4 * 1024 * 1024 && findExif(item.path())) {
                EXPECT_LT(readJpeg(item.path()).size(), MetadataText::kCapacity);
                ++walked;
            }
        }
    }
    EXPECT_GT(walked, 0);
}

} // namespace
} // namespace qlx::metadata
