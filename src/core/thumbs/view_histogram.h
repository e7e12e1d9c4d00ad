#pragma once
// The view's histogram overlay: a 262 × 70 picture drawn in the corner of
// the pane that shows the current entry, made from the picture the view
// shows (its preview or development).
//
// Every pixel's red, green and blue value counts in its channel's bin
// (3 × 256 bins); every bin is scaled by 4096 ÷ (width × height), truncated,
// so that the bins of one channel add up to about 4096. The picture is
// cleared with the histogram background colour, keeping its opacity; bin b
// is a one-pixel bar at x = b + 3 rising from the bottom of the 256 × 64
// plot whose top-left corner is (3, 3). A bar never grows past the plot: a
// uniform picture has one bin of 4096, drawn 64 pixels high. The channels
// are drawn as the list's small histogram draws them (histogram.h): red,
// then green, then blue, each blended over what is there. A frame of
// opaque white lines goes on top: top (3, 3, 256 × 1), bottom (3, 67,
// 257 × 1), left (3, 3, 1 × 64), right (259, 3, 1 × 65).
//
// Thread model: pure functions; any thread. The view makes it on a worker:
// a 24-megapixel picture is one pass over its rows.

#include <QImage>

#include <array>
#include <cstdint>

namespace qlx::thumbs {

inline constexpr int kViewHistogramWidth = 262;
inline constexpr int kViewHistogramHeight = 70;
inline constexpr int kViewHistogramPlotLeft = 3;
inline constexpr int kViewHistogramPlotTop = 3;
inline constexpr int kViewHistogramPlotHeight = 64;
// What one channel's bins add up to, about, after scaling.
inline constexpr std::uint64_t kViewHistogramScale = 4096;
inline constexpr std::uint32_t kViewHistogramFrame = 0xFFFF'FFFFu;

// Scaled bins per channel (red, green, blue) and value.
struct ViewHistogramCounts {
    std::array<std::array<std::uint32_t, 256>, 3> bins{};
};

// The scaled counts of `picture`; a null picture counts nothing.
ViewHistogramCounts countViewHistogram(const QImage& picture);

// The 262 × 70 Format_ARGB32 picture of the counts on `backgroundArgb`
// (0xAARRGGBB: histogramBackgroundArgb of the histogram background setting).
QImage drawViewHistogram(const ViewHistogramCounts& counts, std::uint32_t backgroundArgb);

// Both steps. A null picture gives the empty plot on the background.
QImage makeViewHistogram(const QImage& picture, std::uint32_t backgroundArgb);

} // namespace qlx::thumbs
