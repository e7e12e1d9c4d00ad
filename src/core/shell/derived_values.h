#pragma once
// Values computed once at start-up for the painting code of the panes.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>

namespace qlx::shell {

// Highlight colours a shade darker (x0.8) and lighter (x1.2) than the
// system's, as 0x00RRGGBB words; each channel truncated toward zero and
// clamped to 0..255 in single precision.
struct HighlightShades {
    std::uint32_t dark = 0;
    std::uint32_t light = 0;
};
HighlightShades highlightShades(std::uint32_t highlightRgb);

struct UnitPoint {
    float x = 0;
    float y = 0;
};

// N points around the unit circle at steps of 2π/(N − 1), the last equal to
// the first, each as (sin θ / 2 + 0.5, 0.5 − cos θ / 2): a round marker
// drawn as a polygon inside a unit square, starting at the top.
template <std::size_t N>
std::array<UnitPoint, N> unitCirclePoints()
{
    static_assert(N >= 2);
    std::array<UnitPoint, N> points{};
    for (std::size_t i = 0; i < N; ++i) {
        const float angle = static_cast<float>(i) * (2.0f * std::numbers::pi_v<float> / static_cast<float>(N - 1));
        points[i] = {std::sin(angle) / 2.0f + 0.5f, 0.5f - std::cos(angle) / 2.0f};
    }
    return points;
}

} // namespace qlx::shell
