#include "metadata/lens_text.h"

#include "imagelist/file_kind.h"
#include "io/record_bytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace qlx::metadata {
namespace {

using namespace imagelist;
using Record = std::span<std::byte>;

// One lens table; `write` fills each record at the offsets of the file format.
shell::TableData table(std::size_t size, std::size_t count, const std::function<void(Record, std::size_t)>& write)
{
    shell::TableData data{std::vector<std::byte>(size * count), size};
    for (std::size_t i = 0; i < count; ++i)
        write(Record(data.bytes).subspan(i * size, size), i);
    return data;
}

void text(Record r, std::size_t offset, std::size_t bytes, std::u16string_view value)
{
    io::storeUtf16(r, io::Utf16Field{offset, bytes / 2}, value);
}

std::array<shell::TableData, 6> sampleTables()
{
    return {
        table(328, 3, [](Record r, std::size_t i) {
            const std::uint32_t keys[] = {105u * 65536 + 24, 24u * 65536 + 105, 24u * 65536 + 105};
            const std::uint16_t types[] = {61, 60, 61};
            const std::u16string_view names[] = {u"swapped", u"type 60", u"EF24-105mm f/4L IS USM"};
            io::storeLe<std::uint32_t>(r, 0, keys[i]);
            io::storeLe<std::uint16_t>(r, 4, types[i]);
            text(r, 70, 256, names[i]);
        }),
        table(368, 2, [](Record r, std::size_t i) {
            text(r, 0, 40, u"50mm F1.4");
            text(r, 40, 8, i == 0 ? u"50" : u"62");
            text(r, 48, 64, u"Nikon");
            text(r, 112, 256, i == 0 ? u"other f-stops" : u"AF-S NIKKOR 50mm f/1.4G");
        }),
        table(324, 1, [](Record r, std::size_t) {
            io::storeLe<std::uint32_t>(r, 0, 1234);
            text(r, 68, 256, u"smc PENTAX-DA 35mm F2.4 AL");
        }),
        table(338, 2, [](Record r, std::size_t i) {
            text(r, 0, 18, i == 0 ? u"00010200" : u"00ab0300");
            text(r, 82, 256, i == 0 ? u"ED 12-40mm F2.8 PRO" : u"lower-case key");
        }),
        table(338, 1, [](Record r, std::size_t) {
            text(r, 0, 18, u"00040000");
            text(r, 82, 256, u"MC-14");
        }),
        table(324, 2, [](Record r, std::size_t i) {
            io::storeLe<std::uint32_t>(r, 0, i == 0 ? 0 : 32790);
            text(r, 68, 256, i == 0 ? u"code zero" : u"FE 24-70mm F4 ZA OSS");
        }),
    };
}

const LensTables& tables()
{
    static const LensTables kTables{sampleTables()};
    return kTables;
}

// `note` is the maker note's lines, `exif` what follows the note.
std::optional<std::u16string> lens(std::uint32_t kind, std::u16string_view note, std::u16string_view maker = u"",
                                   std::u16string_view current = u"", std::u16string_view exif = u"")
{
    const std::u16string text =
        u"Model\tX\n\n<---MakerNote start --->\n" + std::u16string(note) + u"<---MakerNote end --->\n\n" + std::u16string(exif);
    return lensText(kind, text, maker, tables(), current);
}

TEST(LensText, TablesStayInsideTheirRecords)
{
    EXPECT_EQ(tables().lens(LensTableId::Nikon, 1).maker, u"Nikon");
    std::array<shell::TableData, 6> tables = sampleTables();
    tables[0].bytes.resize(328 * 2 + 100); // the third record is cut off
    tables[2].recordSize = 328;             // not lens_pentax.bin's record
    for (std::size_t i = 0; i < 9; ++i)     // an Olympus key without terminator
        io::storeLe<std::uint16_t>(tables[3].bytes, 2 * i, u'0');
    const LensTables cut(tables);
    EXPECT_EQ(cut.rowCount(LensTableId::Canon), 2u);
    EXPECT_EQ(cut.rowCount(LensTableId::Pentax), 0u);
    EXPECT_EQ(cut.olympus()[0].key, u"000000000");
    EXPECT_EQ(cut.findOlympus(u"000000000000"), nullptr);
}

TEST(LensText, CanonTypeAndFocalLengthsNameACr2Lens)
{
    EXPECT_EQ(lens(kKindCr2, u"Lex3\t0\nLex2\t105\nLex1\t24\nLex4\t61\n"), u"EF24-105mm f/4L IS USM");
    EXPECT_EQ(lens(kKindCr2, u"Lex3\t60\nLex2\t105\nLex1\t24\nLex4\t61\n"), u"type 60");
    // A missing line or no matching row leaves the field as it was.
    EXPECT_EQ(lens(kKindCr2, u"Lex3\t0\nLex2\t105\nLex1\t24\n", u"Canon", u"old"), u"old");
    EXPECT_EQ(lens(kKindCr2, u"Lex3\t61\nLex2\t50\nLex1\t50\n", u"Canon", u"old"), u"old");
    EXPECT_EQ(lens(kKindCr2, u"Lens\tRF50mm F1.8 STM\nLex3\t61\nLex2\t105\nLex1\t24\n"), u"RF50mm F1.8 STM");
    EXPECT_EQ(lens(kKindCr3, u"Lex3\t61\nLex2\t105\nLex1\t24\n"), std::nullopt);
}

TEST(LensText, NikonLensTextAndFStops)
{
    EXPECT_EQ(lens(kKindNef, u"Lex1\tN\nLens\t50mm F1.4\nLex3\t62\n"), u"AF-S NIKKOR 50mm f/1.4G");
    EXPECT_EQ(lens(kKindNef, u"Lens\t50mm F1.4\nLex3\t62\n"), u"50mm F1.4");
    EXPECT_EQ(lens(kKindNef, u"Lex1\tN\nLens\t50mm F1.4\nLex3\t99\n"), u"50mm F1.4");
    // JPEG and TIFF files take their maker's lookup by its first four letters.
    EXPECT_EQ(lens(kKindJpeg, u"Lex1\tN\nLens\t50mm F1.4\nLex3\t62\n", u"NIKON CORPORATION"),
              u"AF-S NIKKOR 50mm f/1.4G");
    EXPECT_EQ(lens(kKindTiff, u"Lens\t1234\n", u"pentax"), u"smc PENTAX-DA 35mm F2.4 AL");
    EXPECT_EQ(lens(kKindJpeg, u"Lens\t32790\n", u"KONICA MINOLTA"), u"FE 24-70mm F4 ZA OSS");
    EXPECT_EQ(lens(kKindJpeg, u"Lens\tXF35mmF1.4 R\n", u"FUJIFILM"), u"XF35mmF1.4 R");
    EXPECT_EQ(lens(kKindJpeg, u"Lens\t1234\n", u"PEN"), u"1234");
}

TEST(LensText, SonyPentaxAndOlympusCodes)
{
    // After the no-code value the Exif lens model is the text; no lookup
    // is made (code 0 would name the first row).
    EXPECT_EQ(lens(kKindArw, u"Lens\t65535\nLens\tFE 24-70mm F2.8 GM\n"), u"FE 24-70mm F2.8 GM");
    EXPECT_EQ(lens(kKindArw, u"Lens\t32790\n"), u"FE 24-70mm F4 ZA OSS");
    EXPECT_EQ(lens(kKindMrw, u"Lens\t99\n"), u"99");
    EXPECT_EQ(lens(kKindArw, u"Lens\t65535\n"), std::nullopt);
    EXPECT_EQ(lens(kKindPef, u"Lens\t1234\n"), u"smc PENTAX-DA 35mm F2.4 AL");
    EXPECT_EQ(lens(kKindPef, u"Lens\t4321\n"), u"4321");
    EXPECT_EQ(olympusKey(u"00ab03000000"), u"00AB0300");
    EXPECT_EQ(lens(kKindOrf, u"Lens\t000102000000\nExt\t000400000000\n"), u"ED 12-40mm F2.8 PRO +MC-14");
    EXPECT_EQ(lens(kKindOrf, u"Lens\t00AB03000000\nExt\t000000000000\n"), u"lower-case key");
    EXPECT_EQ(lens(kKindOrf, u"Lens\t00FF00000000\nExt\t000400000000\n"), u"00FF00000000 +MC-14");
}

TEST(LensText, KindsWithoutLensTextAndEmptyValues)
{
    for (const std::uint32_t kind : {kKindBmp, kKindPng, kKindGif, kKindCrw, kKindDng, kKindMef, kKindX3f,
                                     kKindPsd, kKindSrw, kKind3fr, kKindVideo, kKindSr2, kKindRaf, kKindNrw,
                                     kKindRaw, kKindRwl})
        EXPECT_EQ(lens(kind, u"Lens\tSomething\n"), std::nullopt) << kind;
    for (const std::uint32_t kind : {kKindCr3, kKindRw2, kKindDcr})
        EXPECT_EQ(lens(kind, u"Lens\tSomething\n"), u"Something") << kind;
    // An empty value ends the search, even for a CR2 with its lens lines.
    EXPECT_EQ(lens(kKindCr2, u"Lens\t\nLens\tLater\nLex3\t61\nLex2\t105\nLex1\t24\n"), std::nullopt);
}

// Where the makers' rules give no lens, or only a code no row names, the
// Exif lens model outside the note is the text, trimmed; a blank one is none.
TEST(LensText, TheExifLensModelStandsInWhereTheMakersRulesGiveNone)
{
    using Text = std::optional<std::u16string>;
    const std::u16string model = u"HD PENTAX-D FA 28-105mm F3.5-5.6 ED DC WR", pentax = u"smc PENTAX-DA 35mm F2.4 AL";
    // Kind, maker-note lines, the text with that lens model, with a blank one.
    const std::tuple<std::uint32_t, std::u16string_view, Text, Text> cases[] = {
        {kKindRaf, u"", model, std::nullopt},         {kKindCr2, u"Lens\t\n", model, std::nullopt},
        {kKindPef, u"Lens\t4321\n", model, u"4321"},   {kKindPef, u"Lens\t1234\n", pentax, pentax},
        {kKindNef, u"Lens\t50mm F1.4\n", u"50mm F1.4", u"50mm F1.4"}, // Nikon's own lens text
    };
    for (const auto& [kind, note, named, blank] : cases) {
        EXPECT_EQ(lens(kind, note, u"", u"", u"Lens\t  " + model + u"  \n"), named) << kind;
        EXPECT_EQ(lens(kind, note, u"", u"", u"Lens\t   \n"), blank) << kind;
    }
}

} // namespace
} // namespace qlx::metadata
