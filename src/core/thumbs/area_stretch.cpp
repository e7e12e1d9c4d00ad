#include "thumbs/area_stretch.h"

#include <QSysInfo>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace qlx::thumbs {

namespace {

// The source pixels that one target pixel covers along one axis, with their
// weights. Lengths are measured in units of 1 / targetLength of a source
// pixel, so every weight is a whole number and the weights of one target
// pixel add up to sourceLength.
struct AxisTaps {
    std::vector<int> first;              // first source index of each target index
    std::vector<int> count;              // taps of each target index
    std::vector<std::uint32_t> weights;  // all taps, target index after target index
    std::vector<std::size_t> start;      // where each target index's taps begin
};

AxisTaps axisTaps(int sourceLength, int targetLength)
{
    AxisTaps taps;
    const auto n = static_cast<std::size_t>(targetLength);
    taps.first.resize(n);
    taps.count.resize(n);
    taps.start.resize(n);
    const std::int64_t src = sourceLength;
    const std::int64_t dst = targetLength;
    for (std::int64_t o = 0; o < dst; ++o) {
        const std::int64_t begin = o * src;
        const std::int64_t end = begin + src;
        const std::int64_t first = begin / dst;
        const std::int64_t last = (end + dst - 1) / dst - 1;
        const auto i = static_cast<std::size_t>(o);
        taps.first[i] = static_cast<int>(first);
        taps.count[i] = static_cast<int>(last - first + 1);
        taps.start[i] = taps.weights.size();
        for (std::int64_t s = first; s <= last; ++s) {
            const std::int64_t overlap = std::min(end, (s + 1) * dst) - std::max(begin, s * dst);
            taps.weights.push_back(static_cast<std::uint32_t>(overlap));
        }
    }
    return taps;
}

// Byte positions of red, green and blue in a pixel of the source format.
struct PixelBytes {
    std::size_t size;
    std::size_t red, green, blue;
};

constexpr PixelBytes kRgb32Bytes = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PixelBytes{4, 2, 1, 0}
                                                                                   : PixelBytes{4, 1, 2, 3};
constexpr PixelBytes kRgb888Bytes{3, 0, 1, 2};

// Rows first, then columns. For each target row the weighted sum of its
// source rows is taken over every byte of the row (a plain loop over
// contiguous bytes, which the compiler vectorises; each sum is at most
// rectHeight × 255), then each target pixel sums its columns of that. `Sum`
// must hold rectWidth × rectHeight × 255.
template <typename Sum>
void stretch(const QImage& source, const QRect& rect, QImage& target, PixelBytes pixel)
{
    const int targetWidth = target.width();
    const int targetHeight = target.height();
    const AxisTaps across = axisTaps(rect.width(), targetWidth);
    const AxisTaps down = axisTaps(rect.height(), targetHeight);
    const auto total = static_cast<Sum>(rect.width()) * static_cast<Sum>(rect.height());
    const std::size_t rowBytes = static_cast<std::size_t>(rect.width()) * pixel.size;
    const std::size_t leftByte = static_cast<std::size_t>(rect.left()) * pixel.size;
    std::vector<std::uint32_t> rows(rowBytes);
    for (int y = 0; y < targetHeight; ++y) {
        const auto i = static_cast<std::size_t>(y);
        std::fill(rows.begin(), rows.end(), 0u);
        for (int k = 0; k < down.count[i]; ++k) {
            const uchar* line = source.constScanLine(rect.top() + down.first[i] + k) + leftByte;
            const std::uint32_t weight = down.weights[down.start[i] + static_cast<std::size_t>(k)];
            std::uint32_t* sums = rows.data();
            for (std::size_t b = 0; b < rowBytes; ++b)
                sums[b] += weight * line[b];
        }
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < targetWidth; ++x) {
            const auto j = static_cast<std::size_t>(x);
            Sum r = 0, g = 0, b = 0;
            const std::uint32_t* weight = across.weights.data() + across.start[j];
            const std::uint32_t* sums = rows.data() + static_cast<std::size_t>(across.first[j]) * pixel.size;
            for (int k = 0; k < across.count[j]; ++k, sums += pixel.size) {
                const Sum w = weight[k];
                r += w * sums[pixel.red];
                g += w * sums[pixel.green];
                b += w * sums[pixel.blue];
            }
            const auto channel = [total](Sum sum) { return static_cast<int>((sum + total / 2) / total); };
            out[x] = qRgb(channel(r), channel(g), channel(b));
        }
    }
}

template <typename... Args>
void stretchWithSums(const QRect& rect, Args&&... args)
{
    // 32-bit sums do while width × height × 255 fits them.
    const std::uint64_t area = static_cast<std::uint64_t>(rect.width()) * static_cast<std::uint64_t>(rect.height());
    if (area <= 0xFFFF'FFFFu / 255)
        stretch<std::uint32_t>(std::forward<Args>(args)...);
    else
        stretch<std::uint64_t>(std::forward<Args>(args)...);
}

} // namespace

bool stretchArea(const QImage& source, const QRect& rect, QImage& target)
{
    if (rect.isEmpty() || !source.rect().contains(rect) || target.isNull()
        || target.format() != QImage::Format_RGB32)
        return false;
    switch (source.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        stretchWithSums(rect, source, rect, target, kRgb32Bytes);
        return true;
    case QImage::Format_RGB888:
        stretchWithSums(rect, source, rect, target, kRgb888Bytes);
        return true;
    default:
        return false;
    }
}

} // namespace qlx::thumbs
