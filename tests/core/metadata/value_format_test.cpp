// The value formatter and the formatters of the Exif tables, element by
// element. Walk-level cases (lines as they appear in the text) are in
// tiff_reader_test.cpp.

#include "metadata/value_format.h"

#include "support/container_bytes.h"

#include <cstdint>
#include <limits>
#include <string>

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

TEST(ValueFormat, Elements)
{
    constexpr auto kFraction = RationalMode::Fraction;
    constexpr auto kDecimal = RationalMode::Decimal;
    const struct {
        std::string bytes;
        std::uint16_t type;
        RationalMode mode;
        ByteOrder order;
        std::string text;
    } cases[] = {
        {le(200, 1), kTypeByte, kFraction, ByteOrder::Little, "200"},
        {le(200, 1), kTypeUndefined, kFraction, ByteOrder::Little, "200"},
        {le(0xFF, 1), kTypeSByte, kFraction, ByteOrder::Little, "-1"},
        {test::be(0x0102, 2), kTypeShort, kFraction, ByteOrder::Big, "258"},
        {le(0xFFFE, 2), kTypeSShort, kFraction, ByteOrder::Little, "-2"},
        {le(4000000000u, 4), kTypeLong, kFraction, ByteOrder::Little, "4000000000"},
        {test::be(0xFFFFFFFBu, 4), kTypeSLong, kFraction, ByteOrder::Big, "-5"},
        {le(0x3FC00000u, 4), kTypeFloat, kFraction, ByteOrder::Little, "1.500000"},
        {le(0x4002000000000000u, 8), kTypeDouble, kFraction, ByteOrder::Little, "2.250000"},
        {le(8, 4), kTypeIfd, kFraction, ByteOrder::Little, ""},
        {le(1, 1), kTypeShort, kFraction, ByteOrder::Little, "0"}, // bytes that are not there read as 0
        {pair(1, 250), kTypeRational, kFraction, ByteOrder::Little, "1/250"},
        {pair(10, 3), kTypeRational, kFraction, ByteOrder::Little, "10/3"},
        {pair(300, 10), kTypeRational, kFraction, ByteOrder::Little, "30"},
        {test::be(2, 4) + test::be(4, 4), kTypeRational, kFraction, ByteOrder::Big, "1/2"},
        {pair(0, 5), kTypeRational, kFraction, ByteOrder::Little, "0"},
        {pair(5, 0), kTypeRational, kFraction, ByteOrder::Little, ""},
        {le(5, 4), kTypeRational, kFraction, ByteOrder::Little, ""}, // half a rational
        {pair(71, 10), kTypeRational, kDecimal, ByteOrder::Little, "7.1"},
        {pair(8, 1), kTypeRational, kDecimal, ByteOrder::Little, "8"},
        {pair(-2, 3), kTypeSRational, kFraction, ByteOrder::Little, "-0.7"},
        {pair(-4, 2), kTypeSRational, kFraction, ByteOrder::Little, "-2"},
        {pair(1, 0), kTypeSRational, kFraction, ByteOrder::Little, ""},
        {pair(-2, 3), kTypeSRational, kDecimal, ByteOrder::Little, "-0.67"},
        {pair(std::numeric_limits<std::int32_t>::min(), -1), kTypeSRational, kFraction, ByteOrder::Little, "2147483648"},
    };
    for (const auto& c : cases) {
        io::ByteReader reader(test::bytesOf(c.bytes), c.order);
        EXPECT_EQ(formatElement(reader, 0, c.type, c.mode), c.text) << c.type << " " << c.text;
    }
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
