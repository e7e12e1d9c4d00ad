#include "cache/thumbnail_block.h"

#include "cache/cache_layout.h"

namespace qlx::cache {

namespace {

using Layout = ThumbnailBlockLayout;

// The cache file keeps these blocks as they stand.
static_assert(Layout::kSize == layout::kThumbnailBlockSize);
static_assert(Layout::kThumbnailBytes == layout::kThumbnailBytes);
static_assert(Layout::kHistogramBytes == layout::kSmallPictureBytes);

bool storable(const QImage& image, int width, int height)
{
    const auto format = image.format();
    return image.width() == width && image.height() == height
           && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
               || format == QImage::Format_RGB888);
}

// Writes the picture's rows as blue, green, red bytes from `out`'s start.
void storeBgr(const QImage& image, std::span<std::byte> out)
{
    const bool fourBytes = image.format() != QImage::Format_RGB888;
    const int width = image.width();
    const int height = image.height();
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            int r = 0, g = 0, b = 0;
            if (fourBytes) {
                const QRgb value = reinterpret_cast<const QRgb*>(line)[x];
                r = qRed(value);
                g = qGreen(value);
                b = qBlue(value);
            } else {
                const uchar* p = line + static_cast<std::size_t>(x) * 3;
                r = p[0];
                g = p[1];
                b = p[2];
            }
            out[at++] = static_cast<std::byte>(b);
            out[at++] = static_cast<std::byte>(g);
            out[at++] = static_cast<std::byte>(r);
        }
    }
}

QImage loadBgr(std::span<const std::byte> bytes, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const auto b = std::to_integer<int>(bytes[at]);
            const auto g = std::to_integer<int>(bytes[at + 1]);
            const auto r = std::to_integer<int>(bytes[at + 2]);
            line[x] = qRgb(r, g, b);
            at += 3;
        }
    }
    return image;
}

} // namespace

bool storeThumbnailBlock(const QImage& thumbnail, const QImage& histogram, std::span<std::byte, Layout::kSize> out)
{
    if (!storable(thumbnail, kThumbnailWidth, kThumbnailHeight)
        || !storable(histogram, kHistogramWidth, kHistogramHeight))
        return false;
    storeBgr(thumbnail, out.subspan(Layout::kThumbnailOffset, Layout::kThumbnailBytes));
    storeBgr(histogram, out.subspan(Layout::kHistogramOffset, Layout::kHistogramBytes));
    return true;
}

std::vector<std::byte> makeThumbnailBlock(const QImage& thumbnail, const QImage& histogram)
{
    std::vector<std::byte> block(Layout::kSize);
    if (!storeThumbnailBlock(thumbnail, histogram, std::span<std::byte, Layout::kSize>(block.data(), Layout::kSize)))
        block.clear();
    return block;
}

BlockPictures readThumbnailBlock(std::span<const std::byte, Layout::kSize> block)
{
    return {loadBgr(block.subspan(Layout::kThumbnailOffset, Layout::kThumbnailBytes), kThumbnailWidth,
                    kThumbnailHeight),
            loadBgr(block.subspan(Layout::kHistogramOffset, Layout::kHistogramBytes), kHistogramWidth,
                    kHistogramHeight)};
}

} // namespace qlx::cache
