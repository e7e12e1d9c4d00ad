#include "io/byte_reader.h"

#include <array>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace qlx::io {
namespace {

constexpr std::array<std::byte, 8> kBytes{std::byte{0x12}, std::byte{0x34}, std::byte{0x56}, std::byte{0x78},
                                          std::byte{0x9A}, std::byte{0xBC}, std::byte{0xDE}, std::byte{0xF0}};

TEST(ByteReader, ReadsBothByteOrdersSequentiallyAndAtOffsets)
{
    ByteReader little(kBytes);
    EXPECT_EQ(little.u8(), 0x12);
    EXPECT_EQ(little.u16(), 0x5634);
    EXPECT_EQ(little.position(), 3u);
    EXPECT_EQ(little.remaining(), 5u);
    EXPECT_EQ(little.u32At(0), 0x78563412u);
    EXPECT_EQ(little.u64At(0), 0xF0DEBC9A78563412u);
    EXPECT_EQ(little.i16At(6), static_cast<std::int16_t>(0xF0DE));
    EXPECT_EQ(little.i32At(4), static_cast<std::int32_t>(0xF0DEBC9Au));

    ByteReader big(kBytes, ByteOrder::Big);
    EXPECT_EQ(big.u16(), 0x1234);
    EXPECT_EQ(big.u32(), 0x56789ABCu);
    EXPECT_EQ(big.i16(), static_cast<std::int16_t>(0xDEF0));
    big.setByteOrder(ByteOrder::Little);
    EXPECT_EQ(big.u16At(0), 0x3412);
    EXPECT_EQ(big.read<std::uint16_t>(ByteOrder::Big), 0);  // at the end
    EXPECT_TRUE(big.failed());
    EXPECT_EQ(little.readAt<std::uint32_t>(4, ByteOrder::Big), 0x9ABCDEF0u);
    EXPECT_TRUE(little.ok());
}

TEST(ByteReader, LastByteReadsAndOnePastFailsStickily)
{
    ByteReader reader(kBytes);
    EXPECT_EQ(reader.u8At(7), 0xF0);
    EXPECT_TRUE(reader.ok());
    EXPECT_EQ(reader.u8At(8), 0);
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.u8(), 0x12);  // later reads in range still work ...
    EXPECT_TRUE(reader.failed());  // ... but the failure stays

    ByteReader tail(kBytes);
    ASSERT_TRUE(tail.seek(6));
    EXPECT_EQ(tail.u32(), 0u);  // two bytes left
    EXPECT_EQ(tail.position(), 6u);
    EXPECT_EQ(tail.u16(), 0xF0DE);
    EXPECT_EQ(tail.remaining(), 0u);
}

TEST(ByteReader, OffsetsNearTheTopOfTheRangeFail)
{
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    for (const std::uint64_t offset : {kMax, kMax - 3, std::uint64_t{5}}) {
        ByteReader reader(kBytes);
        EXPECT_EQ(reader.u32At(offset), 0u) << offset;
        EXPECT_TRUE(reader.failed()) << offset;
    }
    ByteReader reader(kBytes);
    EXPECT_FALSE(reader.holds(1, kMax));
    EXPECT_TRUE(reader.holds(8, 0));
    EXPECT_TRUE(reader.bytesAt(2, kMax).empty());
    EXPECT_FALSE(reader.skip(kMax));
    EXPECT_FALSE(reader.seek(9));
    EXPECT_EQ(reader.position(), 0u);
    EXPECT_TRUE(reader.seek(5));
    EXPECT_EQ(reader.bytes(3)[0], std::byte{0xBC});
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(ByteReader, SubReadersAreBoundedAndFailOnTheirOwn)
{
    ByteReader parent(kBytes, ByteOrder::Big);
    ByteReader child = parent.sub(2, 4);
    EXPECT_EQ(child.size(), 4u);
    EXPECT_EQ(child.byteOrder(), ByteOrder::Big);
    EXPECT_EQ(child.u16(), 0x5678);
    EXPECT_EQ(child.u32(), 0u);  // would need bytes 4..7 of the child
    EXPECT_TRUE(child.failed());
    EXPECT_TRUE(parent.ok());

    ByteReader empty = parent.sub(7, 2);
    EXPECT_TRUE(empty.failed());
    EXPECT_EQ(empty.size(), 0u);
    EXPECT_TRUE(parent.failed());

    ByteReader at(kBytes);
    at.skip(6);
    EXPECT_EQ(at.rest().u16(), 0xF0DE);
    EXPECT_TRUE(at.sub(std::numeric_limits<std::uint64_t>::max(), 0).failed());
}

TEST(ByteReader, PrefixTestsNeverFail)
{
    constexpr std::array<std::byte, 6> kExif{std::byte{'E'}, std::byte{'x'}, std::byte{'i'},
                                             std::byte{'f'}, std::byte{0}, std::byte{0}};
    ByteReader reader(kExif);
    EXPECT_TRUE(reader.hasPrefix(std::string_view("Exif\0\0", 6)));
    EXPECT_FALSE(reader.hasPrefix(std::string_view("Exif\0\0\0", 7)));
    EXPECT_TRUE(reader.hasPrefixAt(4, std::span(kExif).subspan(4)));
    EXPECT_FALSE(reader.hasPrefixAt(std::numeric_limits<std::uint64_t>::max(), "E"));
    reader.skip(1);
    EXPECT_TRUE(reader.hasPrefix("xif"));
    EXPECT_TRUE(reader.ok());
}

TEST(ByteReader, CheckedArithmeticReportsOverflow)
{
    constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(checkedMul(0x1'0000'0000u, 0xFFFF'FFFFu), 0xFFFF'FFFF'0000'0000u);
    EXPECT_FALSE(checkedMul(0x1'0000'0000u, 0x1'0000'0000u));
    EXPECT_FALSE(checkedMul(kMax / 12 + 1, 12));
    EXPECT_EQ(checkedMul(kMax, 0), 0u);
    EXPECT_EQ(checkedAdd(kMax - 1, 1), kMax);
    EXPECT_FALSE(checkedAdd(kMax, 1));
    EXPECT_TRUE(rangeFits(0, 0, 0));
    EXPECT_TRUE(rangeFits(10, 6, 16));
    EXPECT_FALSE(rangeFits(10, 7, 16));
    EXPECT_FALSE(rangeFits(17, 0, 16));
    EXPECT_FALSE(rangeFits(2, kMax, 16));
}

} // namespace
} // namespace qlx::io
