#pragma once
// The settings a view pane paints with, taken out of the settings record in
// one go, so that the pane holds plain values and never reads the record
// while the settings dialog writes it.

#include "shell/settings_record.h"
#include "viewer/view_geometry.h"

#include <array>
#include <cstdint>
#include <string>

namespace qlx::viewer {

struct ViewSettings {
    std::uint32_t backgroundColour = 0;  // 0x00BBGGRR, black
    bool keepZoomWhileFlipping = false;
    bool showHistogram = true;
    bool showFileName = true;
    WheelSettings wheel;
    bool fastDrawing = true;             // no smoothing, low-quality scaling
    std::array<int, 2> overlayFontSizes{12, 10};
    std::u16string overlayFontFace = u"ＭＳ Ｐゴシック";
    bool overlayFontBold = false;
    bool loupeMode = false;
    int loupeRadius = 100;
    bool latchedZoom = false;

    static ViewSettings fromRecord(const settings::SettingsRecord& record);
};

// A colour setting (0x00BBGGRR) as an opaque ARGB value (0xFFRRGGBB); the
// view background is always drawn opaque, whatever the top byte holds.
std::uint32_t opaqueArgb(std::uint32_t colourSetting);

} // namespace qlx::viewer
