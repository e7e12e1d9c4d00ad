#include "viewer/video_frame_image.h"

#include <algorithm>
#include <cstdint>

namespace qlx::viewer {
namespace {

// Frames larger than this on a side are refused: no camera clip comes near
// it and it keeps width × height × 4 far from overflowing.
constexpr int kMaxFrameSide = 16384;

// Whether `plane` holds `rows` lines of `lineBytes` each at its stride,
// counted in 64 bits.
bool covers(const FramePlane& plane, int lineBytes, int rows)
{
    if (plane.stride < lineBytes || rows <= 0)
        return false;
    const std::uint64_t needed = static_cast<std::uint64_t>(plane.stride) * static_cast<std::uint64_t>(rows - 1)
        + static_cast<std::uint64_t>(lineBytes);
    return needed <= plane.bytes.size();
}

std::uint8_t clampByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

QImage planarYuv(int width, int height, std::span<const FramePlane> planes, int chromaRowShift)
{
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = chromaRowShift != 0 ? (height + 1) / 2 : height;
    if (planes.size() < 3 || !covers(planes[0], width, height) || !covers(planes[1], chromaWidth, chromaHeight)
        || !covers(planes[2], chromaWidth, chromaHeight))
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    const auto at = [](const FramePlane& plane, int x, int y) {
        return static_cast<int>(plane.bytes[static_cast<std::size_t>(y) * static_cast<std::size_t>(plane.stride)
                                            + static_cast<std::size_t>(x)]);
    };
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const int cy = y >> chromaRowShift;
        for (int x = 0; x < width; ++x) {
            const int c = 298 * (at(planes[0], x, y) - 16);
            const int d = at(planes[1], x / 2, cy) - 128;
            const int e = at(planes[2], x / 2, cy) - 128;
            line[x] = qRgb(clampByte((c + 409 * e + 128) >> 8), clampByte((c - 100 * d - 208 * e + 128) >> 8),
                           clampByte((c + 516 * d + 128) >> 8));
        }
    }
    return out;
}

} // namespace

QImage frameImage(FramePlanes layout, int width, int height, std::span<const FramePlane> planes)
{
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide || planes.empty())
        return {};
    switch (layout) {
    case FramePlanes::Yuv420:
        return planarYuv(width, height, planes, 1);
    case FramePlanes::Yuv422:
        return planarYuv(width, height, planes, 0);
    case FramePlanes::Xrgb32: {
        if (!covers(planes[0], width * 4, height))
            return {};
        QImage out(width, height, QImage::Format_RGB32);
        if (out.isNull())
            return {};
        for (int y = 0; y < height; ++y)
            std::copy_n(planes[0].bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(planes[0].stride),
                        static_cast<std::size_t>(width) * 4, reinterpret_cast<std::byte*>(out.scanLine(y)));
        return out;
    }
    }
    return {};
}

} // namespace qlx::viewer
