// The thumbnail block of a cache file, byte for byte (other programs read
// it): blue, green, red; the thumbnail's 264-byte rows, then the histogram's
// 96-byte rows from byte 15,840.

#include "cache/thumbnail_block.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace qlx::cache {
namespace {

TEST(ThumbnailBlock, LayoutByteForByte)
{
    QImage thumbnail(88, 60, QImage::Format_RGB32), histogram(32, 16, QImage::Format_RGB32);
    thumbnail.fill(qRgb(0, 0, 0));
    histogram.fill(qRgb(0, 0, 0));
    // Pixel i is red 3i + 1, green 3i + 2, blue 3i + 3, stored at `offset`.
    const struct {
        QImage* picture;
        int x, y;
        std::size_t offset;
    } pixels[] = {{&thumbnail, 0, 0, 0},        {&thumbnail, 87, 0, 87 * 3},           {&thumbnail, 0, 1, 264},
                  {&thumbnail, 87, 59, 59 * 264 + 87 * 3}, {&histogram, 0, 0, 15'840}, {&histogram, 1, 1, 15'840 + 96 + 3},
                  {&histogram, 31, 15, 17'376 - 3}};
    for (int i = 0; i < 7; ++i)
        pixels[i].picture->setPixel(pixels[i].x, pixels[i].y, qRgb(3 * i + 1, 3 * i + 2, 3 * i + 3));

    const std::vector<std::byte> block = makeThumbnailBlock(thumbnail, histogram);
    ASSERT_EQ(block.size(), 17'376u);
    for (int i = 0; i < 7; ++i) {
        const std::size_t at = pixels[i].offset;
        EXPECT_EQ((std::array{block[at], block[at + 1], block[at + 2]}),
                  (std::array{std::byte(3 * i + 3), std::byte(3 * i + 2), std::byte(3 * i + 1)}))
            << at;
    }
    const auto back = readThumbnailBlock(std::span<const std::byte, ThumbnailBlockLayout::kSize>(block));
    EXPECT_EQ(back.thumbnail, thumbnail);
    EXPECT_EQ(back.histogram, histogram);
    // 24-bit pictures are stored the same way; wrong sizes are refused.
    EXPECT_EQ(makeThumbnailBlock(thumbnail.convertToFormat(QImage::Format_RGB888),
                                 histogram.convertToFormat(QImage::Format_RGB888)),
              block);
    EXPECT_TRUE(makeThumbnailBlock(thumbnail.copy(0, 0, 60, 88), histogram).empty());
    EXPECT_TRUE(makeThumbnailBlock(thumbnail, QImage()).empty());
}

} // namespace
} // namespace qlx::cache
