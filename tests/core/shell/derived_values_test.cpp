#include "shell/derived_values.h"

#include <gtest/gtest.h>

namespace qlx::shell {
namespace {

TEST(HighlightShades, EightyAndHundredTwentyPercentClamped)
{
    // 0x3399FF: 51*0.8 = 40.8 -> 40, 153*0.8 = 122.4 -> 122, 255*0.8 = 204;
    // 51*1.2 = 61.2 -> 61, 153*1.2 = 183.6 -> 183, 255*1.2 -> clamped 255.
    const auto shades = highlightShades(0x3399FF);
    EXPECT_EQ(shades.dark, 0x287ACCu);
    EXPECT_EQ(shades.light, 0x3DB7FFu);
    EXPECT_EQ(highlightShades(0).light, 0u);
}

TEST(UnitCircle, NineAndSeventeenPointsStartAtTheTop)
{
    const auto eight = unitCirclePoints<9>();
    EXPECT_FLOAT_EQ(eight[0].x, 0.5f);
    EXPECT_FLOAT_EQ(eight[0].y, 0.0f);
    EXPECT_NEAR(eight[2].x, 1.0f, 1e-6);  // a quarter turn: right edge
    EXPECT_NEAR(eight[2].y, 0.5f, 1e-6);
    EXPECT_NEAR(eight[4].y, 1.0f, 1e-6);  // half a turn: bottom
    EXPECT_NEAR(eight[8].x, eight[0].x, 1e-6);
    const auto sixteen = unitCirclePoints<17>();
    EXPECT_NEAR(sixteen[4].x, 1.0f, 1e-6);
    EXPECT_NEAR(sixteen[12].x, 0.0f, 1e-6);
}

} // namespace
} // namespace qlx::shell
