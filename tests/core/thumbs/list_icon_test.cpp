// List icons: the fitting rule, the rotation, and the unsharp mask on a
// synthetic edge with values worked out by hand from its formula.

#include "thumbs/list_icon.h"

#include <gtest/gtest.h>

#include <vector>

namespace qlx::thumbs {
namespace {

TEST(IconFitting, ByThePictureSizeAndTheRotation)
{
    // sx = 88 / 3000 = 0.029333, sy = 60 / 2000 = 0.03: sx < sy, so
    // height = trunc(60 × (0.97778 + 0.01)) = 59, top = trunc(0.5) = 0.
    EXPECT_EQ(iconPictureRect({88, 60}, {3000, 2000}, {88, 60}, 0, false), QRect(0, 0, 88, 59));
    EXPECT_EQ(iconPictureRect({88, 60}, {3000, 2000}, {88, 60}, 2, false), QRect(0, 0, 88, 59));
    // 4:3 in a square: height = trunc(88 × (0.75 + 0.01)) = 66, top 11.
    EXPECT_EQ(iconPictureRect({88, 88}, {600, 450}, {88, 60}, 0, false), QRect(0, 11, 88, 66));
    // Tall: sx = 0.044, sy = 0.02, width = trunc(88 × (0.45455 + 0.01)) = 40,
    // left = trunc(48 × 0.5) = 24. (A picture turned a quarter, and the fill
    // setting, are drawn in the list pane's own test.)
    EXPECT_EQ(iconPictureRect({88, 60}, {2000, 3000}, {88, 60}, 0, false), QRect(24, 0, 40, 60));
    // The 0.01 would make 201 of 200: clamped, then centred at 0.
    EXPECT_EQ(iconPictureRect({200, 100}, {400, 201}, {88, 60}, 0, false), QRect(0, 0, 200, 100));
    // Without a picture size the thumbnail's own 88 × 60: trunc(60 × 1.01) = 60.
    EXPECT_EQ(iconPictureRect({88, 60}, {0, 0}, {88, 60}, 0, false), QRect(0, 0, 88, 60));
}

QImage edge(int rows)
{
    QImage image(8, rows, QImage::Format_RGB32);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, x < 4 ? qRgb(100, 100, 100) : qRgb(200, 200, 200));
    return image;
}

std::vector<int> redRow(const QImage& image, int y)
{
    std::vector<int> values;
    for (int x = 0; x < image.width(); ++x)
        values.push_back(qRed(image.pixel(x, y)));
    return values;
}

// Weights for r = 1: 1, 1, e^-2 = 0.135335, e^-4 = 0.018316 at d = 0..3.
// Blur of 100 100 100 100 200 200 200 200 along the row, each value the
// weighted mean over the neighbours inside the picture, truncated:
//   x = 1: (100·(3 + e^-2) + 200·e^-4) / (3 + e^-2 + e^-4)        = 100.58 → 100
//   x = 2: (100·(3 + e^-2) + 200·(e^-2 + e^-4)) / (3 + 2e^-2 + e^-4) = 104.67 → 104
//   x = 3: (100·(2 + e^-2 + e^-4) + 200·(1 + e^-2 + e^-4)) / (3 + 2e^-2 + 2e^-4)
//                                                                  = 134.88 → 134
//   x = 4, 5, 6 mirror them: 165.12 → 165, 195.33 → 195, 199.42 → 199;
//   x = 0 and 7 see one value: 100 and 200.
// A single row blurs to itself down the columns, and so does a picture whose
// rows are all alike.
// Amount a: v + trunc((v − blurred) × a), within 0..255:
//   a = 0.5: 100, 100, 100 − 2, 100 − 17, 200 + trunc(17.5), 200 + trunc(2.5), 200 + 0, 200;
//   a = 1: 100, 100, 96, 66, 235, 205, 201, 200;
//   a = 3: 100, 100, 88, 100 − 102 → 0, 200 + 105 → 255, 215, 203, 200.
// Radii outside 1..30 leave the picture alone.
TEST(UnsharpMask, EdgeByHand)
{
    const std::pair<double, std::vector<int>> amounts[] = {
        {0.5, {100, 100, 98, 83, 217, 202, 200, 200}},
        {1.0, {100, 100, 96, 66, 235, 205, 201, 200}},
        {3.0, {100, 100, 88, 0, 255, 215, 203, 200}},
    };
    for (const int rows : {1, 3})
        for (const auto& [amount, expected] : amounts) {
            QImage picture = edge(rows);
            unsharpMask(picture, 1, amount);
            for (int y = 0; y < rows; ++y)
                EXPECT_EQ(redRow(picture, y), expected) << rows << " rows, amount " << amount;
        }
    for (const int radius : {0, -1, 31}) {
        QImage same = edge(2);
        unsharpMask(same, radius, 1.0);
        EXPECT_EQ(same, edge(2)) << radius;
    }
}

// A 40 × 40 icon of an 88 × 60 picture: height = trunc(40 × (0.68182 + 0.01))
// = 27, top = trunc(13 × 0.5) = 6.
TEST(UnsharpMask, IconsKeepTheirTransparency)
{
    QImage thumbnail(88, 60, QImage::Format_RGB32);
    thumbnail.fill(qRgb(250, 250, 250));
    const QImage icon = drawListIcon(thumbnail, {88, 60}, 0, {QSize(40, 40), false, 10});
    EXPECT_EQ(icon.pixel(20, 5), 0u); // outside the picture: still transparent
    EXPECT_EQ(icon.pixel(20, 33), 0u);
    EXPECT_EQ(qAlpha(icon.pixel(20, 20)), 255);
    EXPECT_EQ(qRed(icon.pixel(20, 20)), 250); // a flat area is left as it is
    // Next to the transparent band, the mask sees black and brightens.
    EXPECT_EQ(qRed(icon.pixel(20, 6)), 255);
    EXPECT_EQ(qAlpha(drawListIcon(QImage(), {88, 60}, 0, {QSize(40, 40), false, 0}).pixel(20, 20)), 0);
}

} // namespace
} // namespace qlx::thumbs
