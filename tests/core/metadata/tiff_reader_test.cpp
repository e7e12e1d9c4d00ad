// The TIFF/Exif reader on structures built in memory: value formats in both
// byte orders, the links it follows, the maker notes whose rules the golden
// files of real cameras do not reach, limits and damaged input. (Whole Exif
// blocks of real JPEGs, SubIFDs, RW2's IFD0, the Canon notes with their
// firmware shift, the Nikon and Pentax notes are the golden files' part.)

#include "metadata/tiff_reader.h"

#include "support/container_bytes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

using io::ByteOrder;
using namespace qlx::test;
using namespace std::string_literals;

// The JPEG route: the whole buffer is the segment, the TIFF header at `lead`.
std::string readHeader(const std::string& file, std::size_t lead, bool* ok = nullptr)
{
    io::MemorySource source(bytesOf(file));
    MetadataText text;
    TiffReader reader(source, text);
    const bool result = reader.readTiffHeader(Segment{bytesOf(file), 0}, lead, lead);
    if (ok != nullptr)
        *ok = result;
    return std::string(text.bytes());
}

std::string readHeader(const TiffBuilder& tiff) { return readHeader(tiff.bytes(), tiff.lead()); }

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

// Values the golden files of real cameras do not show (their F-numbers,
// exposure times, biases and focal lengths are checked there).
TEST(TiffReader, ExifValuesInBothByteOrders)
{
    const std::vector<std::pair<TiffEntry, std::string>> cases = {
        {undefined(0x9000, "0230"), "ExifVer\t02\n"},
        {shorts(0x8827, {100, 200}), "ISO\t100, 200\n"},
        {shorts(0x8827, {100, 200, 400}), "ISO\t100, 200\n"},
        {rational(0x829A, 10, 25), "ExposureTime\t1/2.5\n"},
        {shorts(0x9209, {0x10}), "Flash\tOff\n"},
        {shorts(0x9209, {0x19}), "Flash\tOn\n"},
        {shorts(0x9207, {0}), "PhotometryMode\tunknown\n"},
        {shorts(0x9207, {7}), "PhotometryMode\t0x00000007\n"},
        // Value names in code page 932, written out by hand: 分割測光, ﾌﾟﾛｸﾞﾗﾑAE, ｵｰﾄ, ｵｰﾄ ﾎﾜｲﾄﾊﾞﾗﾝｽ.
        {shorts(0x9207, {5, 0}), "PhotometryMode\t\x95\xAA\x8A\x84\x91\xAA\x8C\xF5unknown\n"},
        {shorts(0x8822, {2}), "ExposureProg\t\xCC\xDF\xDB\xB8\xDE\xD7\xD1" "AE\n"},
        {shorts(0xA402, {0}), "ExposureMode\t\xB5\xB0\xC4\n"},
        {shorts(0xA403, {0}), "WhiteBalance\t\xB5\xB0\xC4 \xCE\xDC\xB2\xC4\xCA\xDE\xD7\xDD\xBD\n"},
        {placed(0x8827, 3, 0, 0), "ISO\t(oops! data length is 0)\n"},
        {placed(0x8827, 15, 1, 0), ""},                     // types above 14 write nothing
        {placed(0x8827, 14, 1, 0), "ISO\t\n"},             // type 14 has no number text
        {undefined(0x927C, "abc"), "MakerNote\t\n"},       // a maker note inside its entry is a line
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
    EXPECT_EQ(readHeader(tiff), "Model\tX\n" + start("1st IFD") + "cg2ofs\t1012\ncg2size\t2000\n" + end("1st IFD") +
                                    start("2nd IFD") + "cg4ofs\t5012\ncg4size\t600\n" + end("2nd IFD"));

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
    std::string file = tiff.bytes();
    file[ifd0] = 40;
    io::MemorySource source(bytesOf(file));
    MetadataText text;
    TiffReader reader(source, text);
    EXPECT_TRUE(reader.readTiffHeader(Segment{bytesOf(file).first(ifd0 + 2 + 2 * 12), 0}, 0, 0));
    EXPECT_EQ(text.bytes(), "Maker\tCanon\nModel\tEOS\n");

    // An Exif IFD at the end of the file declares 258 entries.
    TiffBuilder cut(ByteOrder::Little);
    const auto ifd0b = cut.directory({ascii(0x0110, "X"), link(0x8769, 0)});
    const auto exif = cut.directory({shorts(0x8827, {100}), shorts(0x9209, {1})});
    cut.setField(ifd0b, 1, exif);
    cut.setIfd0(ifd0b);
    std::string shortFile = cut.bytes();
    shortFile[exif + 1] = 0x01; // 258 entries
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

}

TEST(TiffReader, BadHeadersFailAndWriteNothing)
{
    for (const std::string& head : {"XX\x2A\0\x08\0\0\0"s, "II\x2B\0\x08\0\0\0"s, "MM\0\x2A\0"s, "I"s}) {
        bool ok = true;
        EXPECT_EQ(readHeader(head, 0, &ok), "");
        EXPECT_FALSE(ok);
    }
    bool ok = false;
    EXPECT_EQ(readHeader("MM\0\x2A\xFF\xFF\xFF\xF0"s, 0, &ok), "");
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
    std::vector<TiffEntry> entries{ascii(0x0110, "X")};
    for (int i = 0; i < 300; ++i)
        entries.push_back(link(0x8769, links.directory({})));
    links.setIfd0(links.directory(entries));
    const auto walked = occurrences(readHeader(links), "<---ExifIFD start");
    EXPECT_GE(walked, 10u);
    EXPECT_LT(walked, 100u);

    // Lines longer than the text can hold are cut at its capacity.
    TiffBuilder longText(ByteOrder::Little);
    std::vector<TiffEntry> models;
    for (char c = 'a'; c < 'i'; ++c)
        models.push_back(ascii(0x0110, std::string(3000, c)));
    longText.setIfd0(longText.directory(models));
    const std::string text = readHeader(longText);
    EXPECT_EQ(text.size(), MetadataText::kCapacity - 1);
    EXPECT_EQ(text.substr(0, 8), "Model\taa");
}

} // namespace
} // namespace qlx::metadata
