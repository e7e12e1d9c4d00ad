// The view's 262 × 70 histogram overlay: scaled counts of synthetic
// pictures and the bars and frame drawn from them, values worked out by
// hand.

#include "thumbs/view_histogram.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace qlx::thumbs {
namespace {

QImage bands(int width, int height, int firstRows, QRgb first, QRgb rest, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(rest);
    QImage top(width, firstRows, format);
    top.fill(first);
    for (int y = 0; y < firstRows; ++y)
        std::memcpy(image.scanLine(y), top.constScanLine(y), static_cast<std::size_t>(top.bytesPerLine()));
    return image;
}

TEST(ViewHistogram, CountsScaledToFourThousandAndNinetySixPerChannel)
{
    QImage halves(100, 100, QImage::Format_RGB32);
    halves.fill(qRgb(255, 255, 255));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 50; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 0));
    QImage thirds(3, 1, QImage::Format_RGB32);
    thirds.fill(qRgb(0, 7, 7));
    thirds.setPixel(2, 0, qRgb(1, 7, 7));

    struct Case {
        const char* name;
        std::function<QImage()> picture;
        std::size_t channel, bin;
        std::uint32_t expected;
    };
    // 100 megapixels (24-bit rows, 300 MB): 25,000,000 pixels of one value
    // and 75,000,000 of the other; 75,000,000 × 4096 overflows 32 bits
    // (as 6,000,000 × 4096 of a 24-megapixel picture already would), the
    // scaled bin is 3072.
    const QImage largePicture = bands(10000, 10000, 2500, qRgb(1, 2, 3), qRgb(250, 251, 252), QImage::Format_RGB888);
    const auto large = [&] { return largePicture; };
    const Case cases[] = {
        {"uniform: one bin of 4096", [] { return bands(100, 50, 0, 0, qRgb(10, 20, 30)); }, 0, 10, 4096},
        {"uniform blue", [] { return bands(100, 50, 0, 0, qRgb(10, 20, 30)); }, 2, 30, 4096},
        {"uniform, another bin", [] { return bands(100, 50, 0, 0, qRgb(10, 20, 30)); }, 0, 11, 0},
        {"half black", [&] { return halves; }, 1, 0, 2048},
        {"half white", [&] { return halves; }, 2, 255, 2048},
        {"two thirds truncated", [&] { return thirds; }, 0, 0, 2730},
        {"one third truncated", [&] { return thirds; }, 0, 1, 1365},
        {"100 MP, a quarter", large, 0, 1, 1024},
        {"100 MP, three quarters", large, 2, 252, 3072},
        {"24-bit rows", [] { return bands(40, 40, 10, qRgb(9, 8, 7), qRgb(1, 2, 3), QImage::Format_RGB888); }, 1, 8,
         1024},
        {"null picture", [] { return QImage(); }, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const QImage picture = c.picture();
        const ViewHistogramCounts counts = countViewHistogram(picture);
        EXPECT_EQ(counts.bins[c.channel][c.bin], c.expected) << c.name;
    }
}

TEST(ViewHistogram, BarsClampedToThePlotUnderTheFrame)
{
    // A uniform picture: one bin of 4096 per channel, each bar 64 high
    // (rows 3..66), the top row under the frame. Background black at half
    // opacity. Green 0x80 over it: alpha 128 + 128 × 127 / 255 = 192, green
    // 255 × 128 / 191.75 = 170; blue 0x40: alpha 64 + 128 × 191 / 255 =
    // 160, blue 255 × 64 / 159.9 = 102.
    const QImage picture = makeViewHistogram(bands(100, 50, 0, 0, qRgb(10, 20, 30)), 0x8000'0000u);
    ASSERT_EQ(picture.size(), QSize(262, 70));
    ASSERT_EQ(picture.format(), QImage::Format_ARGB32);
    struct Pixel {
        int x, y;
        QRgb expected;
    };
    const Pixel pixels[] = {
        {13, 4, 0xFFFF'0000u},  {13, 66, 0xFFFF'0000u}, {23, 40, 0xC000'AA00u}, {33, 40, 0xA000'0066u},
        {13, 2, 0x8000'0000u},  {14, 40, 0x8000'0000u}, {260, 40, 0x8000'0000u}, {261, 69, 0x8000'0000u},
        {13, 3, 0xFFFF'FFFFu},  {258, 3, 0xFFFF'FFFFu}, {259, 3, 0xFFFF'FFFFu},  {3, 66, 0xFFFF'FFFFu},
        {3, 67, 0xFFFF'FFFFu},  {259, 67, 0xFFFF'FFFFu}, {260, 67, 0x8000'0000u}, {2, 40, 0x8000'0000u},
        {259, 68, 0x8000'0000u}, {13, 68, 0x8000'0000u},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(picture.pixel(p.x, p.y), p.expected) << p.x << ", " << p.y;

    // A bar of 10 over an opaque background fills rows 57..66 only.
    ViewHistogramCounts counts;
    counts.bins[0][100] = 10;
    const QImage partial = drawViewHistogram(counts, 0xFF00'0000u);
    EXPECT_EQ(partial.pixel(103, 57), 0xFFFF'0000u);
    EXPECT_EQ(partial.pixel(103, 66), 0xFFFF'0000u);
    EXPECT_EQ(partial.pixel(103, 56), 0xFF00'0000u);

    // Nothing to count: the empty plot, its frame, on the background.
    const QImage empty = makeViewHistogram(QImage(), 0x4010'2030u);
    EXPECT_EQ(empty.size(), QSize(262, 70));
    EXPECT_EQ(empty.pixel(100, 40), 0x4010'2030u);
    EXPECT_EQ(empty.pixel(100, 67), 0xFFFF'FFFFu);
}

} // namespace
} // namespace qlx::thumbs
