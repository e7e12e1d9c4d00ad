#include "imagelist/file_kind.h"

#include <gtest/gtest.h>

namespace qlx::imagelist {
namespace {

std::uint32_t kindOf(std::u16string_view name, std::uint32_t mask = 0x83FFFFFF)
{
    return classify(name, mask, defaultVideoExtensions());
}

TEST(FileKind, JpegFollowsTheMaskExceptForTheFourLetterEnding)
{
    EXPECT_EQ(kindOf(u"IMG_0001.JPG"), 0x2u);
    EXPECT_EQ(kindOf(u"IMG_0001.JPG", 0x83FFFFFF & ~0x2u), 0u);
    EXPECT_EQ(kindOf(u"IMG_0001.JPEG", 0), 0x2u);
    EXPECT_EQ(kindOf(u"scan.TIFF", 0), 0x10u);
    EXPECT_EQ(kindOf(u"scan.tif", 0x83FFFFFF & ~0x10u), 0u);
    // The four-letter test looks at the last four characters only.
    EXPECT_EQ(kindOf(u"notjpeg", 0), 0x2u);
}

TEST(FileKind, TwoExtensionsMayShareAKindAndOddNamesAndMasksHaveNone)
{
    // Hasselblad's FFF and 3FR are one kind, named after 3FR.
    EXPECT_EQ(kindOf(u"B0001234.FFF"), kindOf(u"B0001234.3fr"));
    EXPECT_EQ(formatName(kindOf(u"B0001234.FFF")), "3FR");
    EXPECT_EQ(kindOf(u"B0001234.fff", 0x83FFFFFF & ~0x800000u), 0u);
    for (const std::u16string_view odd : {u"photo.jp", u"notes.txt", u"a.j", u"", u".", u"jpg"})
        EXPECT_EQ(kindOf(odd), 0u) << ::testing::PrintToString(std::u16string(odd));
    // Only A to Z are lowered: full-width letters never name a kind.
    EXPECT_EQ(kindOf(u"IMG_0001.\uFF2A\uFF30\uFF27"), 0u);
    EXPECT_EQ(formatName(0x2 | 0x80), "JPG"); // the lowest bit names a mixed mask
    EXPECT_EQ(formatName(0), "");
    EXPECT_EQ(formatName(0x4000000), "");
    EXPECT_EQ(menuLabel(0x3), "");
    EXPECT_EQ(kindOfMenuCommand(155), 0u);
}

TEST(FileKind, VideoNeedsTheVideoBitAndTheList)
{
    EXPECT_EQ(kindOf(u"00001.MTS"), 0x1000000u);
    EXPECT_EQ(kindOf(u"00001.MTS", 0x83FFFFFF & ~0x1000000u), 0u);
    EXPECT_EQ(formatName(kindOf(u"clip.mov")), "MPG");
    EXPECT_EQ(kindOf(u"clip.mkv"), 0u);
    EXPECT_EQ(isVideo(u"clip.M2TS", defaultVideoExtensions()), 0x1000000u);
    EXPECT_EQ(isVideo(u"clip.mp4.txt", defaultVideoExtensions()), 0u);
    EXPECT_EQ(isVideo(u"mp4", defaultVideoExtensions()), 0u);
    EXPECT_EQ(classify(u"clip.mts", 0x83FFFFFF, VideoExtensions{}), 0u);
}

TEST(FileKind, RawKinds)
{
    EXPECT_TRUE(isRawKind(0x80000000));
    EXPECT_TRUE(isRawKind(0x2000000));
    EXPECT_FALSE(isRawKind(0x200000)); // PSD
    EXPECT_FALSE(isRawKind(0x1000000));
}

} // namespace
} // namespace qlx::imagelist
