#pragma once
// The thumbnail block of a cache file: an entry's 88 × 60 list thumbnail and
// its 32 × 16 histogram picture as raw 24-bit pixels, 17,376 bytes.
//
// Each picture is stored as rows top to bottom, three bytes a pixel in the
// order blue, green, red, with no padding (88 × 3 = 264 and 32 × 3 = 96 are
// already multiples of four). The thumbnail comes first, the histogram right
// after its 15,840 bytes. The thumbnail is stored in the file's own
// orientation; rotation is applied when it is drawn.
//
// In memory both pictures are QImage::Format_RGB32.

#include <QImage>

#include <cstddef>
#include <span>
#include <vector>

namespace qlx::cache {

inline constexpr int kThumbnailWidth = 88;
inline constexpr int kThumbnailHeight = 60;
inline constexpr int kHistogramWidth = 32;
inline constexpr int kHistogramHeight = 16;

struct ThumbnailBlockLayout {
    static constexpr std::size_t kBytesPerPixel = 3;
    static constexpr std::size_t kThumbnailRowBytes = kThumbnailWidth * kBytesPerPixel;
    static constexpr std::size_t kThumbnailOffset = 0;
    static constexpr std::size_t kThumbnailBytes = kThumbnailRowBytes * kThumbnailHeight;
    static constexpr std::size_t kHistogramRowBytes = kHistogramWidth * kBytesPerPixel;
    static constexpr std::size_t kHistogramOffset = kThumbnailOffset + kThumbnailBytes;
    static constexpr std::size_t kHistogramBytes = kHistogramRowBytes * kHistogramHeight;
    static constexpr std::size_t kSize = kHistogramOffset + kHistogramBytes;
};
static_assert(ThumbnailBlockLayout::kThumbnailRowBytes == 264);
static_assert(ThumbnailBlockLayout::kThumbnailBytes == 15'840);
static_assert(ThumbnailBlockLayout::kHistogramRowBytes == 96);
static_assert(ThumbnailBlockLayout::kHistogramOffset == 15'840);
static_assert(ThumbnailBlockLayout::kHistogramBytes == 1'536);
static_assert(ThumbnailBlockLayout::kSize == 17'376);

// Writes the block of a thumbnail and a histogram picture (each
// Format_RGB32, Format_ARGB32 with the alpha ignored, or Format_RGB888, of
// exactly its size) into `out`, which is where it will be stored (a cache
// file's buffer). False, with `out` untouched, when a picture has another
// size or format.
bool storeThumbnailBlock(const QImage& thumbnail, const QImage& histogram,
                         std::span<std::byte, ThumbnailBlockLayout::kSize> out);

// The same block in a buffer of its own; empty when storeThumbnailBlock
// would refuse the pictures.
std::vector<std::byte> makeThumbnailBlock(const QImage& thumbnail, const QImage& histogram);

struct BlockPictures {
    QImage thumbnail; // 88 × 60, Format_RGB32
    QImage histogram; // 32 × 16, Format_RGB32
};

// The two pictures of a stored block.
BlockPictures readThumbnailBlock(std::span<const std::byte, ThumbnailBlockLayout::kSize> block);

} // namespace qlx::cache
