#include "thumbs/histogram.h"

#include "thumbs/area_stretch.h"
#include "cache/thumbnail_block.h"

#include <algorithm>

namespace qlx::thumbs {

static_assert(kHistogramBins == cache::kHistogramWidth, "one column per bin");

namespace {

int blend(int source, int destination, int alpha)
{
    return (source * alpha + destination * (255 - alpha) + 127) / 255;
}

QRgb blendOver(QRgb destination, std::uint32_t colour)
{
    const int alpha = qAlpha(colour);
    return qRgb(blend(qRed(colour), qRed(destination), alpha), blend(qGreen(colour), qGreen(destination), alpha),
                blend(qBlue(colour), qBlue(destination), alpha));
}

} // namespace

HistogramCounts countHistogram(const QImage& picture)
{
    HistogramCounts counts;
    if (picture.isNull())
        return counts;
    QImage source = picture;
    const auto format = source.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 && format != QImage::Format_RGB888)
        source.convertTo(QImage::Format_RGB32);
    QImage sample(kHistogramSampleWidth, kHistogramSampleHeight, QImage::Format_RGB32);
    if (sample.isNull() || !stretchArea(source, source.rect(), sample))
        return counts;
    for (int y = 0; y < sample.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(sample.constScanLine(y));
        for (int x = 0; x < sample.width(); ++x) {
            ++counts.bins[0][static_cast<std::size_t>(qRed(line[x]) >> 3)];
            ++counts.bins[1][static_cast<std::size_t>(qGreen(line[x]) >> 3)];
            ++counts.bins[2][static_cast<std::size_t>(qBlue(line[x]) >> 3)];
        }
    }
    for (auto& channel : counts.bins)
        for (int& count : channel)
            count /= 2;
    return counts;
}

QImage drawHistogram(const HistogramCounts& counts, std::uint32_t background)
{
    QImage picture(cache::kHistogramWidth, cache::kHistogramHeight, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.fill(blendOver(qRgb(0, 0, 0), background));
    constexpr std::array<std::uint32_t, 3> kColours{kHistogramRed, kHistogramGreen, kHistogramBlue};
    for (std::size_t channel = 0; channel < kColours.size(); ++channel) {
        for (int x = 0; x < kHistogramBins; ++x) {
            const int count = counts.bins[channel][static_cast<std::size_t>(x)];
            const int top = std::max(cache::kHistogramHeight - count, 0);
            for (int y = top; y < cache::kHistogramHeight; ++y) {
                auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
                line[x] = blendOver(line[x], kColours[channel]);
            }
        }
    }
    return picture;
}

std::uint32_t histogramBackgroundArgb(std::uint32_t setting)
{
    const std::uint32_t red = setting & 0xFFu;
    const std::uint32_t green = (setting >> 8) & 0xFFu;
    const std::uint32_t blue = (setting >> 16) & 0xFFu;
    return (setting & 0xFF00'0000u) | (red << 16) | (green << 8) | blue;
}

QImage makeHistogramPicture(const QImage& picture, std::uint32_t background)
{
    return drawHistogram(countHistogram(picture), background);
}

} // namespace qlx::thumbs
