// The value formatter and the formatters of the Exif tables, element by
// element. Walk-level cases (lines as they appear in the text) are in
// tiff_reader_test.cpp.

#include "metadata/value_format.h"

#include "support/container_bytes.h"

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

using io::ByteOrder;
using test::le;

// A rational or signed rational, little-endian.
std::string pair(std::int64_t n, std::int64_t d) { return le(static_cast<std::uint32_t>(n), 4) + le(static_cast<std::uint32_t>(d), 4); }

std::string run(Formatter formatter, const std::string& value, PassValues pass = {}, std::uint64_t fileOffset = 0,
                std::uint16_t type = kTypeRational)
{
    FormatInput input{"Key", type, 1, io::ByteReader(test::bytesOf(value), pass.byteOrder), fileOffset, &pass};
    return formatter(input);
}

std::string element(const std::string& bytes, std::uint16_t type, RationalMode mode = RationalMode::Fraction,
                    ByteOrder order = ByteOrder::Little)
{
    io::ByteReader reader(test::bytesOf(bytes), order);
    return formatElement(reader, 0, type, mode);
}

TEST(ValueFormat, Elements)
{
    const std::tuple<std::string, std::uint16_t, std::string> littleEndian[] = {
        {le(200, 1), kTypeByte, "200"},
        {le(200, 1), kTypeUndefined, "200"},
        {le(0xFF, 1), kTypeSByte, "-1"},
        {le(0xFFFE, 2), kTypeSShort, "-2"},
        {le(4000000000u, 4), kTypeLong, "4000000000"},
        {le(0x3FC00000u, 4), kTypeFloat, "1.500000"},
        {le(0x4002000000000000u, 8), kTypeDouble, "2.250000"},
        {le(8, 4), kTypeIfd, ""},
        {le(1, 1), kTypeShort, "0"}, // bytes that are not there read as 0
        {pair(1, 250), kTypeRational, "1/250"},
        {pair(10, 3), kTypeRational, "10/3"},
        {pair(300, 10), kTypeRational, "30"},
        {pair(0, 5), kTypeRational, "0"},
        {pair(5, 0), kTypeRational, ""},
        {le(5, 4), kTypeRational, ""}, // half a rational
        {pair(-2, 3), kTypeSRational, "-0.7"},
        {pair(-4, 2), kTypeSRational, "-2"},
        {pair(1, 0), kTypeSRational, ""},
        {pair(std::numeric_limits<std::int32_t>::min(), -1), kTypeSRational, "2147483648"},
    };
    for (const auto& [bytes, type, text] : littleEndian)
        EXPECT_EQ(element(bytes, type), text) << type << " " << text;
    EXPECT_EQ(element(test::be(0x0102, 2), kTypeShort, RationalMode::Fraction, ByteOrder::Big), "258");
    EXPECT_EQ(element(test::be(0xFFFFFFFBu, 4), kTypeSLong, RationalMode::Fraction, ByteOrder::Big), "-5");
    EXPECT_EQ(element(test::be(2, 4) + test::be(4, 4), kTypeRational, RationalMode::Fraction, ByteOrder::Big), "1/2");
    EXPECT_EQ(element(pair(71, 10), kTypeRational, RationalMode::Decimal), "7.1");
    EXPECT_EQ(element(pair(8, 1), kTypeRational, RationalMode::Decimal), "8");
    EXPECT_EQ(element(pair(-2, 3), kTypeSRational, RationalMode::Decimal), "-0.67");
}

TEST(ValueFormat, FormattersWithoutAValue)
{
    // Zero denominators have no value; they are written empty, never as infinity.
    EXPECT_EQ(run(formatExposureTime, pair(1, 0)), "\n");
    EXPECT_EQ(run(formatExposureTime, pair(0, 1)), "0.0\n");
    EXPECT_EQ(run(formatBias, pair(1, 0)), "\n");
    EXPECT_EQ(run(formatFocalLength, pair(1, 0)), "\n");
    EXPECT_EQ(run(formatFNumber, le(28, 4)), "F\n");
    EXPECT_EQ(run(formatBias, pair(std::numeric_limits<std::int32_t>::max(), 1)), "+2147483648\n");
    EXPECT_EQ(run(formatExposureTime, pair(10, 2187)), "1/219\n");
    PassValues pass;
    const std::string zeroEnded("0\0", 2);
    FormatInput version{"ExifVer", kTypeUndefined, 2, io::ByteReader(test::bytesOf(zeroEnded)), 0, &pass};
    EXPECT_EQ(formatVersion(version), "0\n"); // a version stops at a zero byte
    // A thumbnail offset near 4 GiB plus the TIFF base and the shift does not wrap.
    pass.thumbnailShift = 100;
    pass.tiffBase = 12;
    EXPECT_EQ(run(formatThumbnailOffset, le(0xFFFFFFFFu, 4), pass), "4294967407\n");
}

} // namespace
} // namespace qlx::metadata
