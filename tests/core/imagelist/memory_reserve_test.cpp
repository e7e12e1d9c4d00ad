// The memory reserve's question before a picture is allocated: answers and
// raises for a reported amount of free memory, worked out by hand.

#include "imagelist/memory_reserve.h"

#include <gtest/gtest.h>

#include <optional>

namespace qlx::imagelist {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(MemoryReserve, AffordsWhatLeavesTheReserveFreeAndRaisesItOtherwise)
{
    struct Case {
        int raisedBefore; // failures before the question: 0 is 64 MiB, 3 is 512 MiB
        std::optional<std::uint64_t> availableMiB;
        std::uint64_t askedMiB;
        bool affords;
        std::uint32_t reserveAfterMiB;
        int resets, reports;
    };
    const Case cases[] = {
        {0, 100, 50, false, 128, 1, 0},   // 50 left, under 64
        {0, 100, 36, true, 64, 0, 0},     // exactly 64 left
        {0, 100, 37, false, 128, 1, 0},   // 63 left
        {0, 30, 50, false, 128, 1, 0},    // more than there is
        {3, 2000, 1600, false, 1024, 1, 1}, // 400 left, under 512: the last step
        {4, 1100, 200, false, 1024, 0, 0},  // already at 1 GiB: said once before
        {4, 4096, 100, true, 1024, 0, 0},
        {0, std::nullopt, 1 << 20, true, 64, 0, 0}, // the system does not say
    };
    for (const Case& c : cases) {
        int resets = 0;
        int reports = 0;
        const std::optional<std::uint64_t> available =
            c.availableMiB ? std::optional(*c.availableMiB * kMiB) : std::nullopt;
        MemoryReserve reserve({[&] { ++resets; }, [&] { ++reports; }}, [&] { return available; });
        for (int i = 0; i < c.raisedBefore; ++i)
            reserve.raiseAfterFailure();
        resets = 0;
        reports = 0;
        EXPECT_EQ(reserve.affords(c.askedMiB * kMiB), c.affords) << c.raisedBefore << " " << c.askedMiB;
        EXPECT_EQ(reserve.bytes(), c.reserveAfterMiB * kMiB) << c.raisedBefore << " " << c.askedMiB;
        EXPECT_EQ(resets, c.resets) << c.raisedBefore << " " << c.askedMiB;
        EXPECT_EQ(reports, c.reports) << c.raisedBefore << " " << c.askedMiB;
    }
}

TEST(MemoryReserve, SaysMemoryIsShortOncePerFolderLoad)
{
    int reports = 0;
    MemoryReserve reserve({{}, [&] { ++reports; }}, [] { return std::optional<std::uint64_t>(100 * kMiB); });
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(reserve.affords(90 * kMiB));
    EXPECT_EQ(reports, 1);
    reserve.reset(); // the next folder load
    EXPECT_TRUE(reserve.affords(30 * kMiB));
    for (int i = 0; i < 6; ++i)
        reserve.affords(90 * kMiB);
    EXPECT_EQ(reports, 2);
}

} // namespace
} // namespace qlx::imagelist
