#include "viewer/view_settings.h"

#include <cstddef>
#include <utility>

namespace qlx::viewer {

ViewSettings ViewSettings::fromRecord(const settings::SettingsRecord& record)
{
    namespace s = settings;
    ViewSettings v;
    v.backgroundColour = record.get(s::kViewBackgroundColour);
    v.keepZoomWhileFlipping = record.get(s::kKeepZoomWhileFlipping) != 0;
    v.showHistogram = record.get(s::kShowHistogramOverlay) != 0;
    v.showFileName = record.get(s::kShowFileNameOverlay) != 0;
    v.wheel.reverseBrowse = record.get(s::kReverseWheelBrowse) != 0;
    v.wheel.reverseZoom = record.get(s::kReverseWheelZoom) != 0;
    v.wheel.neverZooms = record.get(s::kWheelNeverZooms) != 0;
    v.fastDrawing = record.get(s::kFastDrawing) != 0;
    // A damaged or cleared record keeps the default fonts rather than
    // painting with an empty face or a size of nothing.
    for (std::size_t i = 0; i < v.overlayFontSizes.size(); ++i) {
        const std::int32_t size = record.get(s::kOverlayFontSizes, i);
        if (size > 0)
            v.overlayFontSizes[i] = size;
    }
    if (std::u16string face = record.text(s::kOverlayFontFace); !face.empty())
        v.overlayFontFace = std::move(face);
    v.overlayFontBold = record.get(s::kOverlayFontBold) != 0;
    v.loupeMode = record.get(s::kLoupeMode) != 0;
    v.loupeRadius = record.get(s::kLoupeRadius);
    v.latchedZoom = record.get(s::kLatchedZoom) != 0;
    return v;
}

std::uint32_t opaqueArgb(std::uint32_t colourSetting)
{
    const std::uint32_t red = colourSetting & 0xFFu;
    const std::uint32_t green = (colourSetting >> 8) & 0xFFu;
    const std::uint32_t blue = (colourSetting >> 16) & 0xFFu;
    return 0xFF00'0000u | (red << 16) | (green << 8) | blue;
}

} // namespace qlx::viewer
