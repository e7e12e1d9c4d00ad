#include "thumbs/list_icon.h"

#include <QPainter>
#include <QSysInfo>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace qlx::thumbs {

namespace {

// The blur divides sums of inexact weights; a region of one value must blur
// to that value, not to one less, so the quotient is nudged by this much
// before it is truncated.
constexpr double kQuotientSlack = 1e-9;

std::vector<double> kernelWeights(int radius)
{
    std::vector<double> weights(static_cast<std::size_t>(3 * radius + 1));
    const int twoRadiusSquared = 2 * radius * radius;
    for (int d = 0; d <= 3 * radius; ++d)
        weights[static_cast<std::size_t>(d)] = std::exp(static_cast<double>(-(d * d) / twoRadiusSquared));
    return weights;
}

std::uint8_t blurredValue(double sum, double weight)
{
    const double value = std::clamp(sum / weight + kQuotientSlack, 0.0, 255.0);
    return static_cast<std::uint8_t>(value);
}

// One pass of the blur over `count` values `stride` apart, from `in` to
// `out`.
void blurLine(const std::uint8_t* in, std::uint8_t* out, int count, std::size_t stride,
              const std::vector<double>& weights)
{
    const int reach = static_cast<int>(weights.size()) - 1;
    for (int i = 0; i < count; ++i) {
        double sum = 0;
        double weight = 0;
        const int first = std::max(i - reach, 0);
        const int last = std::min(i + reach, count - 1);
        for (int j = first; j <= last; ++j) {
            const double w = weights[static_cast<std::size_t>(std::abs(j - i))];
            sum += w * in[static_cast<std::size_t>(j) * stride];
            weight += w;
        }
        out[static_cast<std::size_t>(i) * stride] = blurredValue(sum, weight);
    }
}

struct ChannelLayout {
    int bytesPerPixel;
    std::array<int, 3> colour; // byte positions of the three colour channels
    int alpha;                 // byte position of alpha, -1 when it has none
};

std::optional<ChannelLayout> channelLayout(QImage::Format format)
{
    constexpr bool kLittle = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    switch (format) {
    case QImage::Format_RGB32:
        return ChannelLayout{4, kLittle ? std::array{2, 1, 0} : std::array{1, 2, 3}, -1};
    case QImage::Format_ARGB32_Premultiplied:
        return ChannelLayout{4, kLittle ? std::array{2, 1, 0} : std::array{1, 2, 3}, kLittle ? 3 : 0};
    case QImage::Format_RGB888:
        return ChannelLayout{3, {0, 1, 2}, -1};
    default:
        return std::nullopt;
    }
}

} // namespace

QImage rotatedQuarterTurns(const QImage& picture, int quarterTurns)
{
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0 || picture.isNull())
        return picture;
    return picture.transformed(QTransform().rotate(90.0 * turns));
}

QRect iconPictureRect(QSize icon, QSize pictureSize, QSize thumbnailSize, int rotationTotal, bool fill)
{
    const int iconWidth = icon.width();
    const int iconHeight = icon.height();
    if (fill)
        return {0, 0, iconWidth, iconHeight};
    QSize picture = pictureSize.width() > 0 && pictureSize.height() > 0 ? pictureSize : thumbnailSize;
    if (picture.width() <= 0 || picture.height() <= 0)
        return {0, 0, iconWidth, iconHeight};
    if (rotationTotal % 2 != 0)
        picture.transpose();
    const double sx = static_cast<double>(iconWidth) / picture.width();
    const double sy = static_cast<double>(iconHeight) / picture.height();
    if (sx > sy) {
        const int width = std::clamp(static_cast<int>(iconWidth * (sy / sx + 0.01)), 0, iconWidth);
        const int left = static_cast<int>((iconWidth - width) * 0.5);
        return {left, 0, width, iconHeight};
    }
    const int height = std::clamp(static_cast<int>(iconHeight * (sx / sy + 0.01)), 0, iconHeight);
    const int top = static_cast<int>((iconHeight - height) * 0.5);
    return {0, top, iconWidth, height};
}

double iconSharpenAmount(int sharpness)
{
    return sharpness * 10 / 100.0;
}

QImage drawListIcon(const QImage& thumbnail, QSize pictureSize, int rotationTotal, const IconRequest& request)
{
    QImage icon(request.size, QImage::Format_ARGB32_Premultiplied);
    if (icon.isNull())
        return icon;
    icon.fill(Qt::transparent);
    if (thumbnail.isNull())
        return icon;
    const QRect rect = iconPictureRect(request.size, pictureSize, thumbnail.size(), rotationTotal, request.fill);
    if (!rect.isEmpty()) {
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(rect, rotatedQuarterTurns(thumbnail, rotationTotal));
    }
    if (request.sharpness != 0)
        unsharpMask(icon, kIconSharpenRadius, iconSharpenAmount(request.sharpness));
    return icon;
}

QImage drawHistogramIcon(const QImage& histogram, QSize icon)
{
    QImage picture(icon, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return picture;
    picture.fill(Qt::transparent);
    if (!histogram.isNull()) {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(picture.rect(), histogram);
    }
    return picture;
}

void unsharpMask(QImage& picture, int radius, double amount)
{
    if (radius < kMinSharpenRadius || radius > kMaxSharpenRadius || picture.isNull())
        return;
    const auto layout = channelLayout(picture.format());
    if (!layout)
        return;
    const int width = picture.width();
    const int height = picture.height();
    const std::vector<double> weights = kernelWeights(radius);
    const auto plane = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> source(plane), across(plane), blurred(plane);
    for (const int channel : layout->colour) {
        for (int y = 0; y < height; ++y) {
            const uchar* line = picture.constScanLine(y);
            for (int x = 0; x < width; ++x)
                source[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                    line[static_cast<std::size_t>(x) * static_cast<std::size_t>(layout->bytesPerPixel)
                         + static_cast<std::size_t>(channel)];
        }
        for (int y = 0; y < height; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            blurLine(source.data() + row, across.data() + row, width, 1, weights);
        }
        for (int x = 0; x < width; ++x)
            blurLine(across.data() + x, blurred.data() + x, height, static_cast<std::size_t>(width), weights);
        for (int y = 0; y < height; ++y) {
            uchar* line = picture.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
                uchar* pixel = line + static_cast<std::size_t>(x) * static_cast<std::size_t>(layout->bytesPerPixel);
                const int value = source[i];
                const int sharpened = value + static_cast<int>((value - blurred[i]) * amount);
                const int ceiling = layout->alpha >= 0 ? pixel[layout->alpha] : 255;
                pixel[channel] = static_cast<uchar>(std::clamp(sharpened, 0, ceiling));
            }
        }
    }
}

} // namespace qlx::thumbs
