#include "thumbs/view_histogram.h"

#include <algorithm>

namespace qlx::thumbs {

namespace {

using RawCounts = std::array<std::array<std::uint64_t, 256>, 3>;

void countWords(const QImage& picture, RawCounts& raw)
{
    const auto width = static_cast<std::size_t>(picture.width());
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (std::size_t x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            ++raw[0][(pixel >> 16) & 0xFFu];
            ++raw[1][(pixel >> 8) & 0xFFu];
            ++raw[2][pixel & 0xFFu];
        }
    }
}

void countBytes(const QImage& picture, RawCounts& raw)
{
    const auto width = static_cast<std::size_t>(picture.width());
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* line = picture.constScanLine(y);
        for (std::size_t x = 0; x < width; ++x) {
            ++raw[0][line[3 * x]];
            ++raw[1][line[3 * x + 1]];
            ++raw[2][line[3 * x + 2]];
        }
    }
}

// `colour` over `destination`, both non-premultiplied ARGB, rounded to the
// nearest value. Over an opaque destination this is the list histogram's
// blend: (src × a + dst × (255 − a) + 127) / 255.
QRgb over(QRgb destination, QRgb colour)
{
    const std::uint32_t as = qAlpha(colour);
    const std::uint32_t ad = qAlpha(destination);
    const std::uint32_t alpha = as * 255 + ad * (255 - as); // the result's alpha × 255
    if (alpha == 0)
        return 0;
    const auto channel = [&](std::uint32_t source, std::uint32_t below) {
        return static_cast<int>((source * as * 255 + below * ad * (255 - as) + alpha / 2) / alpha);
    };
    return qRgba(channel(qRed(colour), qRed(destination)), channel(qGreen(colour), qGreen(destination)),
                 channel(qBlue(colour), qBlue(destination)), static_cast<int>((alpha + 127) / 255));
}

void fillRect(QImage& picture, int left, int top, int width, int height, QRgb colour)
{
    for (int y = top; y < top + height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        std::fill(line + left, line + left + width, colour);
    }
}

} // namespace

ViewHistogramCounts countViewHistogram(const QImage& picture)
{
    ViewHistogramCounts counts;
    if (picture.isNull())
        return counts;
    RawCounts raw{};
    const auto format = picture.format();
    if (format == QImage::Format_RGB888)
        countBytes(picture, raw);
    else if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32)
        countWords(picture, raw);
    else
        countWords(picture.convertToFormat(QImage::Format_RGB32), raw);
    // In 64 bits: a bin of a picture over a megapixel times 4096 no longer
    // fits in 32. A count is at most the pixel count, which no picture in
    // memory takes anywhere near 2^52, so the product cannot overflow.
    const auto pixels = static_cast<std::uint64_t>(picture.width()) * static_cast<std::uint64_t>(picture.height());
    for (std::size_t channel = 0; channel < raw.size(); ++channel)
        for (std::size_t bin = 0; bin < 256; ++bin)
            counts.bins[channel][bin] = static_cast<std::uint32_t>(raw[channel][bin] * kViewHistogramScale / pixels);
    return counts;
}

QImage drawViewHistogram(const ViewHistogramCounts& counts, std::uint32_t backgroundArgb)
{
    QImage picture(kViewHistogramWidth, kViewHistogramHeight, QImage::Format_ARGB32);
    if (picture.isNull())
        return picture;
    picture.fill(backgroundArgb);
    // The list's channel colours and order (histogram.h).
    constexpr std::array<QRgb, 3> kColours{0xFFFF'0000u, 0x8000'FF00u, 0x4000'00FFu};
    constexpr int bottom = kViewHistogramPlotTop + kViewHistogramPlotHeight; // first row below the plot
    for (std::size_t channel = 0; channel < kColours.size(); ++channel) {
        for (int bin = 0; bin < 256; ++bin) {
            const auto height = static_cast<int>(std::min<std::uint32_t>(
                counts.bins[channel][static_cast<std::size_t>(bin)], kViewHistogramPlotHeight));
            const int x = bin + kViewHistogramPlotLeft;
            for (int y = bottom - height; y < bottom; ++y) {
                auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
                line[x] = over(line[x], kColours[channel]);
            }
        }
    }
    fillRect(picture, 3, 3, 256, 1, kViewHistogramFrame);
    fillRect(picture, 3, 67, 257, 1, kViewHistogramFrame);
    fillRect(picture, 3, 3, 1, 64, kViewHistogramFrame);
    fillRect(picture, 259, 3, 1, 65, kViewHistogramFrame);
    return picture;
}

QImage makeViewHistogram(const QImage& picture, std::uint32_t backgroundArgb)
{
    return drawViewHistogram(countViewHistogram(picture), backgroundArgb);
}

} // namespace qlx::thumbs
