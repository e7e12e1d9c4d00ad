// The maker registry, the probes and layouts, and the maker-note formatters.
// Maker notes walked inside whole structures are in tiff_reader_test.cpp.

#include "metadata/maker_notes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

std::vector<std::byte> bytesOf(std::string_view text)
{
    std::vector<std::byte> bytes;
    for (const char c : text)
        bytes.push_back(static_cast<std::byte>(c));
    return bytes;
}

std::string_view makerName(std::string_view makerText)
{
    const MakerNoteRules* rules = findMaker(bytesOf(makerText));
    return rules != nullptr ? rules->name : "none";
}

std::optional<MakerNoteLayout> layout(std::string_view maker, std::string_view note, bool jpeg = false)
{
    return layoutMakerNote(*findMaker(bytesOf(maker)), bytesOf(note), 1000, jpeg);
}

// A formatter run on little-endian value bytes.
std::string run(Formatter formatter, std::vector<std::uint8_t> bytes, PassValues& pass)
{
    std::vector<std::byte> value;
    for (const auto b : bytes)
        value.push_back(std::byte{b});
    FormatInput input{"Key", kTypeUndefined, 1, io::ByteReader(value), 0, &pass};
    return formatter(input);
}

std::string run(Formatter formatter, std::vector<std::uint8_t> bytes)
{
    PassValues pass;
    return run(formatter, std::move(bytes), pass);
}

TEST(MakerNotes, MakerTextChoosesRulesByCaseSensitivePrefix)
{
    EXPECT_EQ(makerName("Canon"), "Canon");
    EXPECT_EQ(makerName("NIKON CORPORATION"), "Nikon");
    EXPECT_EQ(makerName("PENTAX Corporation"), "Pentax");
    EXPECT_EQ(makerName("SONY"), "Sony");
    EXPECT_EQ(makerName("Minolta Co., Ltd."), "Minolta");
    EXPECT_EQ(makerName("Konica Minolta Camera, Inc."), "Minolta");
    EXPECT_EQ(makerName("OLYMPUS OPTICAL CO.,LTD"), "Olympus");
    EXPECT_EQ(makerName("OM Digital Solutions"), "Olympus");
    EXPECT_EQ(makerName("Panasonic"), "Panasonic");
    EXPECT_EQ(makerName("Nikon"), "none"); // the row is upper case
    EXPECT_EQ(makerName("Cano"), "none");  // shorter than the row text
    EXPECT_EQ(makerName("FUJIFILM"), "none");
}

TEST(MakerNotes, ProbesChooseTheVariant)
{
    const auto nikon = layout("NIKON", std::string_view("Nikon\0\x02\x10\0\0MM", 12));
    EXPECT_EQ(nikon->variant, 0);
    EXPECT_EQ(nikon->directory, 1018u);
    EXPECT_EQ(nikon->base, 1010u); // the note's own TIFF header
    EXPECT_EQ(nikon->makerShift, 0u);
    const auto bareNikon = layout("NIKON", "Nikon2");
    EXPECT_EQ(bareNikon->variant, 1);
    EXPECT_EQ(bareNikon->directory, 1000u);
    EXPECT_EQ(bareNikon->base, 0u);

    EXPECT_EQ(layout("OLYMPUS CORPORATION", std::string_view("OLYMP\0\x01\0", 8))->directory, 1008u);
    EXPECT_EQ(layout("OLYMPUS CORPORATION", std::string_view("OLYMP\0\x01\0", 8))->makerShift, 0u);
    const auto olympus = layout("OLYMPUS CORPORATION", std::string_view("OLYMPUS\0II\x03\0", 12));
    EXPECT_EQ(olympus->directory, 1012u);
    EXPECT_EQ(olympus->makerShift, 1000u); // offsets count from the note
    const auto om = layout("OM Digital Solutions", std::string_view("OM SYSTEM\0\0\0II\x04\0", 16));
    EXPECT_EQ(om->variant, 2);
    EXPECT_EQ(om->directory, 1016u);
    EXPECT_FALSE(layout("OLYMPUS CORPORATION", "OLYMPUS", true)); // a JPEG's note is not walked

    EXPECT_EQ(layout("SONY", std::string_view("SONY DSC \0\0\0", 12))->directory, 1012u);
    EXPECT_EQ(layout("SONY", "SONY CAM")->directory, 1000u);
}

TEST(MakerNotes, FixedLayouts)
{
    const auto canon = layout("Canon", "", true);
    EXPECT_EQ(canon->directory, 1000u);
    EXPECT_EQ(canon->base, 0u);
    EXPECT_FALSE(canon->makerShift); // whatever the firmware rule set stays
    EXPECT_EQ(canon->table, TableId::CanonMakerNote);
    EXPECT_EQ(layout("PENTAX", "AOC")->directory, 1006u);
    EXPECT_EQ(layout("KONICA MINOLTA", "")->directory, 1000u);
    EXPECT_EQ(layout("Panasonic", "Panasonic")->directory, 1012u);
    EXPECT_EQ(layout("Panasonic", "Panasonic")->base, 12u);
    EXPECT_EQ(findRow(makerTagTable(TableId::OlympusMakerNote), 0x2020)->link, TableId::OlympusCameraSettings);
    EXPECT_TRUE(makerTagTable(TableId::ExifIfd).empty());
}

TEST(MakerNotes, NikonLensText)
{
    EXPECT_EQ(nikonLensText(50, 50, 1.4f, 1.4f), "50mm F1.4\n");
    EXPECT_EQ(nikonLensText(70, 200, 2.8f, 2.8f), "70-200mm F2.8\n");
    EXPECT_EQ(nikonLensText(18, 55, 3.5f, 5.6f), "18-55mm F3.5-5.6\n");
    EXPECT_EQ(nikonLensText(105, 105, 2, 2), "105mm F2\n");
    EXPECT_EQ(nikonLensText(10.5f, 10.5f, 2.8f, 2.8f), "10.5mm F2.8\n");
    EXPECT_EQ(run(formatNikonLens, {50, 0, 0, 0, 1, 0, 0, 0, 50, 0, 0, 0, 1, 0, 0, 0,
                                    14, 0, 0, 0, 10, 0, 0, 0, 14, 0, 0, 0, 10, 0, 0, 0}),
              "50mm F1.4\n");
}

TEST(MakerNotes, CanonFirmwarePositionBecomesTheMakerShift)
{
    PassValues pass;
    const auto text = [](std::string_view s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    EXPECT_EQ(run(formatCanonFirmware, text("Firmware Version 1.00"), pass), "0\n");
    EXPECT_EQ(pass.makerShift, 0u);
    EXPECT_EQ(run(formatCanonFirmware, text("  Firmware 1.0"), pass), "2\n");
    EXPECT_EQ(pass.makerShift, 2u);
    EXPECT_EQ(run(formatCanonFirmware, text(std::string(31, ' ') + "Firmware"), pass), "31\n");
    EXPECT_EQ(run(formatCanonFirmware, text(std::string(32, ' ') + "Firmware"), pass), "32\n");
    EXPECT_EQ(run(formatCanonFirmware, text("Firmwar"), pass), "32\n");
    EXPECT_EQ(pass.makerShift, 32u);
}

TEST(MakerNotes, SmallFormatters)
{
    std::vector<std::uint8_t> settings(50, 0);
    settings[44] = 0xFF, settings[45] = 0xFF, settings[46] = 0xC7, settings[47] = 0x02, settings[48] = 237;
    EXPECT_EQ(run(formatCanonCameraSettings, settings), "65535\nLex2\t711\nLex1\t237\n");
    EXPECT_EQ(run(formatCanonLensByte, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 39}), "39\n");
    EXPECT_EQ(run(formatSecondShort, {0, 0, 0x90, 0x01}), "400\n");
    EXPECT_EQ(run(formatNikonLensLetter, {0x21}), "B\n"); // 0x21 & 31 = 1
    EXPECT_EQ(run(formatFirstByteHex, {0x0E}), "0E\n");
    EXPECT_EQ(run(formatFirstByteHex, {0xAB}), "AB\n");
    EXPECT_EQ(run(formatFirstShort, {0xD2, 0x04}), "1234\n");
    EXPECT_EQ(run(formatFirstLong, {0xFF, 0xFF, 0, 0}), "65535\n");
    EXPECT_EQ(run(formatSixBytesHex, {0, 1, 0x10, 0xab, 0, 0xFF}), "000110AB00FF\n");
    PassValues pass;
    pass.minoltaHeaderOffset = 48;
    pass.makerShift = 4000;
    EXPECT_EQ(run(formatMinoltaPreviewOffset, {0xE8, 0x03, 0, 0}, pass), "1048\n");
    EXPECT_EQ(run(formatOlympusPreviewOffset, {0xE8, 0x03, 0, 0}, pass), "5000\n");
}

} // namespace
} // namespace qlx::metadata
