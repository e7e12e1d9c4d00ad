// The value formatter and the formatters of the Exif tables, element by
// element. Walk-level cases (lines as they appear in the text) are in
// tiff_reader_test.cpp.

#include "metadata/value_format.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace qlx::metadata {
namespace {

using io::ByteOrder;

// Value bytes: 16- and 32-bit words in one byte order.
struct Value {
    ByteOrder order = ByteOrder::Little;
    std::vector<std::byte> bytes;
    Value& word(std::uint64_t v, int size)
    {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::byte>(v >> (order == ByteOrder::Little ? 8 * i : 8 * (size - 1 - i))));
        return *this;
    }
    Value& u8(std::uint8_t v) { return word(v, 1); }
    Value& u16(std::uint16_t v) { return word(v, 2); }
    Value& u32(std::uint32_t v) { return word(v, 4); }
    Value& pair(std::int64_t n, std::int64_t d) { return u32(static_cast<std::uint32_t>(n)).u32(static_cast<std::uint32_t>(d)); }
};

Value big()
{
    return Value{ByteOrder::Big, {}};
}

std::string element(const Value& value, std::uint16_t type, RationalMode mode = RationalMode::Fraction)
{
    io::ByteReader reader(value.bytes, value.order);
    return formatElement(reader, 0, type, mode);
}

std::string run(Formatter formatter, const Value& value, PassValues pass = {}, std::uint64_t fileOffset = 0,
                std::uint16_t type = kTypeRational)
{
    pass.byteOrder = value.order;
    FormatInput input{"Key", type, 1, io::ByteReader(value.bytes, value.order), fileOffset, &pass};
    return formatter(input);
}

TEST(ValueFormat, TypeSizes)
{
    const std::uint32_t expected[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4, 0, 0};
    for (std::uint32_t type = 0; type < 16; ++type)
        EXPECT_EQ(typeSize(type), expected[type]) << type;
}

TEST(ValueFormat, IntegerAndFloatElements)
{
    EXPECT_EQ(element(Value().u8(200), kTypeByte), "200");
    EXPECT_EQ(element(Value().u8(200), kTypeUndefined), "200");
    EXPECT_EQ(element(Value().u8(0xFF), kTypeSByte), "-1");
    EXPECT_EQ(element(big().u16(0x0102), kTypeShort), "258");
    EXPECT_EQ(element(Value().u16(0xFFFE), kTypeSShort), "-2");
    EXPECT_EQ(element(Value().u32(4000000000u), kTypeLong), "4000000000");
    EXPECT_EQ(element(big().u32(0xFFFFFFFBu), kTypeSLong), "-5");
    EXPECT_EQ(element(Value().u32(0x3FC00000u), kTypeFloat), "1.500000");
    EXPECT_EQ(element(Value().u32(0).u32(0x40020000u), kTypeDouble), "2.250000");
    EXPECT_EQ(element(Value().u32(8), kTypeIfd), "");
    EXPECT_EQ(element(Value().u8(1), kTypeShort), "0"); // bytes that are not there read as 0
}

TEST(ValueFormat, Rationals)
{
    EXPECT_EQ(element(Value().pair(1, 250), kTypeRational), "1/250");
    EXPECT_EQ(element(Value().pair(10, 3), kTypeRational), "10/3");
    EXPECT_EQ(element(Value().pair(300, 10), kTypeRational), "30");
    EXPECT_EQ(element(big().pair(2, 4), kTypeRational), "1/2");
    EXPECT_EQ(element(Value().pair(0, 5), kTypeRational), "0");
    EXPECT_EQ(element(Value().pair(5, 0), kTypeRational), "");
    EXPECT_EQ(element(Value().u32(5), kTypeRational), ""); // half a rational
    EXPECT_EQ(element(Value().pair(71, 10), kTypeRational, RationalMode::Decimal), "7.1");
    EXPECT_EQ(element(Value().pair(8, 1), kTypeRational, RationalMode::Decimal), "8");

    EXPECT_EQ(element(Value().pair(-2, 3), kTypeSRational), "-0.7");
    EXPECT_EQ(element(Value().pair(-4, 2), kTypeSRational), "-2");
    EXPECT_EQ(element(Value().pair(1, 0), kTypeSRational), "");
    EXPECT_EQ(element(Value().pair(-2, 3), kTypeSRational, RationalMode::Decimal), "-0.67");
    EXPECT_EQ(element(Value().pair(std::numeric_limits<std::int32_t>::min(), -1), kTypeSRational), "2147483648");
}

TEST(ValueFormat, FormattersWithoutAValue)
{
    // Zero denominators have no value; they are written empty, never as infinity.
    EXPECT_EQ(run(formatExposureTime, Value().pair(1, 0)), "\n");
    EXPECT_EQ(run(formatExposureTime, Value().pair(0, 1)), "0.0\n");
    EXPECT_EQ(run(formatBias, Value().pair(1, 0)), "\n");
    EXPECT_EQ(run(formatFocalLength, Value().pair(1, 0)), "\n");
    EXPECT_EQ(run(formatFNumber, Value().u32(28)), "F\n");
    EXPECT_EQ(run(formatBias, Value().pair(std::numeric_limits<std::int32_t>::max(), 1)), "+2147483648\n");
    EXPECT_EQ(run(formatExposureTime, Value().pair(10, 2187)), "1/219\n");
}

TEST(ValueFormat, VersionStopsAtAZeroByte)
{
    PassValues pass;
    const Value value = Value().u8('0').u8(0);
    FormatInput input{"ExifVer", kTypeUndefined, 2, io::ByteReader(value.bytes), 0, &pass};
    EXPECT_EQ(formatVersion(input), "0\n");
}

TEST(ValueFormat, OrientationAndAbsoluteOffsets)
{
    EXPECT_EQ(run(formatOrientation, Value().u16(6), {}, 72, kTypeShort), "6\nFlipI72\n");
    EXPECT_EQ(run(formatOrientation, big().u16(8), {}, 5000, kTypeShort), "8\nFlipM5000\n");
    PassValues pass;
    pass.thumbnailShift = 100;
    pass.tiffBase = 12;
    pass.nikonPreviewBase = 0x30A;
    EXPECT_EQ(run(formatThumbnailOffset, Value().u32(1000), pass), "1112\n");
    EXPECT_EQ(run(formatThumbnailOffset, Value().u32(0xFFFFFFFFu), pass), "4294967407\n");
    EXPECT_EQ(run(formatNikonOffset, Value().u32(0x10), pass), "794\n");
}

} // namespace
} // namespace qlx::metadata
