// The maker registry, the note layouts and the maker-note formatters that
// the golden files of real cameras do not reach (their Canon, Nikon, Pentax
// and Minolta notes are walked there). Notes walked inside whole structures
// are in tiff_reader_test.cpp.

#include "metadata/maker_notes.h"

#include "support/container_bytes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

const MakerNoteRules* rulesOf(const std::string& makerText) { return findMaker(test::bytesOf(makerText)); }

// A formatter run on little-endian value bytes, in `pass` when given.
std::string run(Formatter formatter, const std::string& bytes, PassValues* pass = nullptr)
{
    PassValues fresh;
    FormatInput input{"Key", kTypeUndefined, 1, io::ByteReader(test::bytesOf(bytes)), 0, pass ? pass : &fresh};
    return formatter(input);
}

TEST(MakerNotes, MakerTextChoosesRulesByCaseSensitivePrefix)
{
    const std::pair<std::string, std::string_view> cases[] = {
        {"OLYMPUS OPTICAL CO.,LTD", "Olympus"}, {"OM Digital Solutions", "Olympus"},
        {"Konica Minolta Camera, Inc.", "Minolta"}, {"SONY", "Sony"}, {"Panasonic", "Panasonic"},
        {"Nikon", "none"}, // the row is upper case
        {"Cano", "none"},  // shorter than the row text
        {"FUJIFILM", "none"},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(rulesOf(text) ? rulesOf(text)->name : "none", name) << text;
}

TEST(MakerNotes, ProbesChooseTheLayout)
{
    // The note's value lies at 1000; directories and bases are file offsets.
    const auto layout = [](const std::string& maker, const std::string& note, bool jpeg = false) {
        return layoutMakerNote(*rulesOf(maker), test::bytesOf(note), 1000, jpeg);
    };
    const auto bareNikon = layout("NIKON", "Nikon2");
    EXPECT_EQ(bareNikon->variant, 1);
    EXPECT_EQ(bareNikon->directory, 1000u);
    EXPECT_EQ(bareNikon->base, 0u);
    const auto olymp = layout("OLYMPUS CORPORATION", std::string("OLYMP\0\x01\0", 8));
    EXPECT_EQ(olymp->directory, 1008u);
    EXPECT_EQ(olymp->makerShift, 0u);
    const auto olympus = layout("OLYMPUS CORPORATION", std::string("OLYMPUS\0II\x03\0", 12));
    EXPECT_EQ(olympus->directory, 1012u);
    EXPECT_EQ(olympus->makerShift, 1000u); // offsets count from the note
    const auto om = layout("OM Digital Solutions", std::string("OM SYSTEM\0\0\0II\x04\0", 16));
    EXPECT_EQ(om->variant, 2);
    EXPECT_EQ(om->directory, 1016u);
    EXPECT_FALSE(layout("OLYMPUS CORPORATION", "OLYMPUS", true)); // a JPEG's note is not walked
    EXPECT_EQ(layout("SONY", std::string("SONY DSC \0\0\0", 12))->directory, 1012u);
    EXPECT_EQ(layout("SONY", "SONY CAM")->directory, 1000u);
    EXPECT_EQ(layout("Panasonic", "Panasonic")->directory, 1012u);
    EXPECT_EQ(layout("Panasonic", "Panasonic")->base, 12u);
}

TEST(MakerNotes, NikonLensText)
{
    // (A prime of fractional aperture and a zoom of two are in the golden files.)
    EXPECT_EQ(nikonLensText(70, 200, 2.8f, 2.8f), "70-200mm F2.8\n");
    EXPECT_EQ(nikonLensText(105, 105, 2, 2), "105mm F2\n");
    EXPECT_EQ(nikonLensText(10.5f, 10.5f, 2.8f, 2.8f), "10.5mm F2.8\n");
}

TEST(MakerNotes, CanonFirmwarePositionBecomesTheMakerShift)
{
    PassValues pass;
    const std::pair<std::string, std::string> cases[] = {
        {"Firmware Version 1.00", "0\n"}, {"  Firmware 1.0", "2\n"}, {std::string(31, ' ') + "Firmware", "31\n"},
        {std::string(32, ' ') + "Firmware", "32\n"}, {"Firmwar", "32\n"},
    };
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(run(formatCanonFirmware, text, &pass), line) << text;
        EXPECT_EQ(pass.makerShift, std::stoul(line)) << text;
    }
}

TEST(MakerNotes, SmallFormatters)
{
    // Camera settings words 22..24 (LensType, MaxFocalLength, MinFocalLength).
    EXPECT_EQ(run(formatCanonCameraSettings, std::string(44, '\0') + "\xFF\xFF\xC7\x02\xED" + std::string(5, '\0')),
              "65535\nLex2\t711\nLex1\t237\n");
    EXPECT_EQ(run(formatCanonLensByte, "0123456789012\x27"), "39\n");
    EXPECT_EQ(run(formatFirstByteHex, "\xAB"), "AB\n");
    EXPECT_EQ(run(formatFirstLong, std::string("\xFF\xFF\0\0", 4)), "65535\n");
}

} // namespace
} // namespace qlx::metadata
