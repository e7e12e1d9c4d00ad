#pragma once
// The small histogram picture of an entry: 32 × 16 pixels, kept with the
// entry, stored in the cache after its thumbnail and drawn stretched into
// the Exif list's histogram column.
//
// The counts come from the picture reduced to 16 × 12 = 192 pixels; each
// channel value adds one to its channel's bin value >> 3 (0..31), and every
// bin is halved. The picture is cleared with the histogram background
// colour, then each bin x gets a one-pixel column from y = 16 − count (0
// when negative) to the bottom: first red (ARGB 0xFFFF0000), then green
// (0x8000FF00), then blue (0x400000FF), each blended over what is there.
//
// The picture is a 24-bit one (it has no alpha of its own): the background
// colour, which carries an opacity, shows as it does over black, and the
// blends round to the nearest value: (src × a + dst × (255 − a) + 127) / 255.
//
// Thread model: pure functions; any thread.

#include <QImage>

#include <array>
#include <cstdint>

namespace qlx::thumbs {

inline constexpr int kHistogramBins = 32;
inline constexpr int kHistogramSampleWidth = 16;
inline constexpr int kHistogramSampleHeight = 12;

inline constexpr std::uint32_t kHistogramRed = 0xFFFF'0000u;
inline constexpr std::uint32_t kHistogramGreen = 0x8000'FF00u;
inline constexpr std::uint32_t kHistogramBlue = 0x4000'00FFu;

// Halved counts per channel (red, green, blue) and bin; each at most 96.
struct HistogramCounts {
    std::array<std::array<int, kHistogramBins>, 3> bins{};
};

// The counts of any picture (the 88 × 60 thumbnail, or a preview). A null
// picture counts nothing.
HistogramCounts countHistogram(const QImage& picture);

// The 32 × 16 Format_RGB32 picture of the counts on `background`, an ARGB
// colour (0xAARRGGBB, the histogram background setting).
QImage drawHistogram(const HistogramCounts& counts, std::uint32_t background);

// The ARGB colour (0xAARRGGBB) of the histogram background setting, which
// keeps a colour value 0x00BBGGRR with the opacity in its top byte.
std::uint32_t histogramBackgroundArgb(std::uint32_t setting);

// Both steps: the histogram picture of `picture`.
QImage makeHistogramPicture(const QImage& picture, std::uint32_t background);

} // namespace qlx::thumbs
