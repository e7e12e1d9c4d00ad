#include "viewer/view_geometry.h"

#include <algorithm>
#include <cstdint>

namespace qlx::viewer {
namespace {

// The wheel reports 120 a notch; finer devices report less. A message that
// moves less than this is noise from a resting finger and does nothing.
constexpr int kWheelDivisor = 20;
// The brightness adjustment per exposure step shown in the "Ev:" text: 96
// is one stop, so the limit of 192 is two.
constexpr double kBrightnessPerStop = 96.0;
// The histogram overlay keeps this far from the pane's right and bottom
// edges: 272 − 262 = 10 and 80 − 70 = 10 pixels.
constexpr int kHistogramOverlayRightInset = 272;
constexpr int kHistogramOverlayBottomInset = 80;

int truncated(double value)
{
    return static_cast<int>(value);
}

} // namespace

PaneContent paneContent(const PaneFacts& facts)
{
    if (!facts.hasEntry)
        return PaneContent::Question;
    if (facts.unrenderable)
        return PaneContent::NoCodec;
    if (!facts.present)
        return PaneContent::Blank;
    if (facts.hasPreview)
        return PaneContent::Preview;
    if (facts.hasThumbnail)
        return PaneContent::Thumbnail;
    return PaneContent::NotReady;
}

PaintResult paintResultOf(PaneContent content)
{
    switch (content) {
    case PaneContent::Preview:
        return PaintResult::Drawn;
    case PaneContent::Thumbnail:
        return PaintResult::ThumbnailOnly;
    case PaneContent::NotReady:
        return PaintResult::NotReady;
    case PaneContent::Question:
    case PaneContent::NoCodec:
    case PaneContent::Blank:
        break;
    }
    return PaintResult::Nothing;
}

QRect fitRect(QSize picture, QSize pane)
{
    if (picture.isEmpty() || pane.isEmpty())
        return {};
    const int w = pane.width();
    const int h = pane.height();
    // Single precision, as the ratios have always been kept: a picture of
    // the pane's own shape then lands on whole pixels the same way.
    const float rw = static_cast<float>(picture.width()) / static_cast<float>(w);
    const float rh = static_cast<float>(picture.height()) / static_cast<float>(h);
    if (rh > rw) {
        const int dw = static_cast<int>(static_cast<float>(w) * rw / rh);
        return {(w - dw) / 2, 0, dw, h};
    }
    const int dh = static_cast<int>(static_cast<float>(h) * rh / rw);
    return {0, (h - dh) / 2, w, dh};
}

QSize turnedSize(QSize size, int quarterTurns)
{
    return (quarterTurns & 1) != 0 ? size.transposed() : size;
}

int limitZoomOffset(int base, int offset)
{
    return std::clamp(offset, kMinZoomLevel - base, kMaxZoomLevel - base);
}

int zoomLevel(int base, int offset)
{
    return std::clamp(base + limitZoomOffset(base, offset), kMinZoomLevel, kMaxZoomLevel);
}

double zoomFactor(int level, bool doubled)
{
    const double factor = level * 0.1;
    return doubled ? factor * 2.0 : factor;
}

int zoomWindowExtent(int paneExtent, int divisor, double factor)
{
    if (divisor < 1 || factor <= 0.0)
        return 0;
    return truncated(paneExtent / (divisor * factor));
}

int zoomWindowStart(int pictureExtent, int windowExtent, int divisor, bool dragging, int mouse, ZoomAxis& axis)
{
    if (pictureExtent < windowExtent)
        return (pictureExtent - windowExtent) / 2;
    if (dragging)
        axis.centre += static_cast<float>(axis.lastMouse - mouse) / static_cast<float>(std::max(divisor, 1));
    const int half = windowExtent / 2;
    axis.centre = std::clamp(axis.centre, static_cast<float>(half), static_cast<float>(pictureExtent - half));
    axis.lastMouse = mouse;
    return std::clamp(static_cast<int>(axis.centre - static_cast<float>(half)), 0, pictureExtent - windowExtent);
}

Span zoomDrawnSpan(int paneExtent, int windowStart, double factor)
{
    if (windowStart >= 0)
        return {0, paneExtent};
    return {truncated(-windowStart * factor), truncated(paneExtent + windowStart * factor * 2.0)};
}

int loupeExtraRadius(int level, bool doubled, int radiusSetting)
{
    const int extra = 4 * level - 40;
    return doubled ? extra + radiusSetting / 2 : extra;
}

QPoint loupePicturePoint(QPoint mouse, QRect fit, QSize picture)
{
    if (fit.isEmpty())
        return {};
    const auto axis = [](int m, int origin, int pictureExtent, int fitExtent) {
        return static_cast<int>(std::int64_t{m - origin} * pictureExtent / fitExtent);
    };
    return {axis(mouse.x(), fit.x(), picture.width(), fit.width()),
            axis(mouse.y(), fit.y(), picture.height(), fit.height())};
}

WheelOutcome wheelOutcome(int delta, bool zoomActive, const WheelSettings& settings)
{
    if (delta / kWheelDivisor == 0)
        return {};
    const int awayFromUser = delta > 0 ? 1 : -1;
    if (zoomActive && !settings.neverZooms)
        return {0, settings.reverseZoom ? awayFromUser : -awayFromUser};
    return {settings.reverseBrowse ? awayFromUser : -awayFromUser, 0};
}

int stepBrightness(int adjustment, int direction)
{
    const int step = direction > 0 ? kBrightnessStep : direction < 0 ? -kBrightnessStep : 0;
    return std::clamp(adjustment + step, -kBrightnessLimit, kBrightnessLimit);
}

QString brightnessText(int adjustment)
{
    if (adjustment == 0)
        return {};
    const QString value = QString::number(adjustment / kBrightnessPerStop, 'f', 1);
    return adjustment > 0 ? QStringLiteral("Ev:+") + value : QStringLiteral("Ev:") + value;
}

QRect histogramOverlayRect(QSize pane)
{
    return {QPoint(pane.width() - kHistogramOverlayRightInset, pane.height() - kHistogramOverlayBottomInset),
            kHistogramOverlaySize};
}

QString fileLineText(const QString& fileName, int position, int count)
{
    return QStringLiteral("File:") + fileName + QStringLiteral("　(") + QString::number(position + 1)
           + QLatin1Char('/') + QString::number(count) + QLatin1Char(')');
}

QString fitModeStatusText()
{
    return QStringLiteral("\tFIT MODE");
}

QString zoomStatusText(double factor)
{
    return QStringLiteral("\tZOOM ×") + QString::number(factor, 'f', 2);
}

QString loupeStatusText()
{
    return QStringLiteral("\tLOOPE MODE");
}

} // namespace qlx::viewer
