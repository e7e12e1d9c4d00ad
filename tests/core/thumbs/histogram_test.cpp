// The 32 × 16 histogram picture: counts of a synthetic picture, and the
// columns drawn over the background, values worked out by hand.

#include "thumbs/histogram.h"

#include <gtest/gtest.h>

namespace qlx::thumbs {
namespace {

QImage uniform(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(HistogramCounts, SampledAtSixteenByTwelve)
{
    // Left half red 0, right half red 100: 88 / 16 = 5.5 columns a sample,
    // so samples 0..7 see only the left and 8..15 only the right half. Each
    // channel counts in bin value >> 3: 100 in 12, 250 in 31, 0 in 0; the
    // 16 × 12 = 192 samples are halved.
    QImage picture = uniform(88, 60, qRgb(0, 250, 0));
    for (int y = 0; y < 60; ++y)
        for (int x = 44; x < 88; ++x)
            picture.setPixel(x, y, qRgb(100, 250, 0));
    const HistogramCounts counts = countHistogram(picture);
    EXPECT_EQ(counts.bins[0][0], 48);  // 96 samples, halved
    EXPECT_EQ(counts.bins[0][12], 48); // 100 >> 3
    EXPECT_EQ(counts.bins[1][31], 96);
    EXPECT_EQ(counts.bins[2][0], 96);

    // Halving rounds down: 5 samples of 255 give 2.
    QImage sample = uniform(16, 12, qRgb(0, 0, 0));
    for (int x = 0; x < 5; ++x)
        sample.setPixel(x, 3, qRgb(255, 0, 0));
    const HistogramCounts odd = countHistogram(sample);
    EXPECT_EQ(odd.bins[0][31], 2);
    EXPECT_EQ(odd.bins[0][0], 93); // 187 / 2

    EXPECT_EQ(countHistogram(QImage()).bins[0][0], 0);
}

TEST(HistogramPicture, ColumnsOverTheBackgroundAndItsOpacity)
{
    HistogramCounts counts;
    counts.bins[0][0] = 3;  // red column of three pixels at x = 0
    counts.bins[1][1] = 2;  // green column of two at x = 1
    counts.bins[0][2] = 1;  // all three at x = 2
    counts.bins[1][2] = 1;
    counts.bins[2][2] = 1;
    counts.bins[2][31] = 96; // taller than the picture: from the top
    const QImage picture = drawHistogram(counts, 0xFF10'2030u);
    ASSERT_EQ(picture.size(), QSize(32, 16));
    const QRgb background = qRgb(0x10, 0x20, 0x30);
    EXPECT_EQ(picture.pixel(0, 12), background);
    EXPECT_EQ(picture.pixel(0, 13), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(0, 15), qRgb(255, 0, 0));
    // Green at opacity 128 over (16, 32, 48):
    // (0·128 + 16·127 + 127) / 255 = 8, (255·128 + 32·127 + 127) / 255 = 144,
    // (0·128 + 48·127 + 127) / 255 = 24.
    EXPECT_EQ(picture.pixel(1, 13), background);
    EXPECT_EQ(picture.pixel(1, 14), qRgb(8, 144, 24));
    // Red, then green over red: (127, 128, 0); then blue at opacity 64:
    // (127·191 + 127) / 255 = 95, (128·191 + 127) / 255 = 96,
    // (255·64 + 127) / 255 = 64.
    EXPECT_EQ(picture.pixel(2, 15), qRgb(95, 96, 64));
    EXPECT_EQ(picture.pixel(2, 14), background);
    // Blue at opacity 64 over the background, from the first row down.
    // (0·64 + 16·191 + 127) / 255 = 12, (32·191 + 127) / 255 = 24,
    // (255·64 + 48·191 + 127) / 255 = 100.
    EXPECT_EQ(picture.pixel(31, 0), qRgb(12, 24, 100));
    EXPECT_EQ(picture.pixel(31, 15), qRgb(12, 24, 100));
    EXPECT_EQ(picture.pixel(30, 15), background);

    // The background setting keeps 0x00BBGGRR with the opacity on top; a
    // 24-bit picture shows the colour as over black: 255 at opacity 128 is
    // (255·128 + 127) / 255 = 128.
    EXPECT_EQ(histogramBackgroundArgb(0x8030'2010u), 0x8010'2030u);
    EXPECT_EQ(drawHistogram({}, histogramBackgroundArgb(0x8000'00FFu)).pixel(5, 5), qRgb(128, 0, 0));
}

} // namespace
} // namespace qlx::thumbs
