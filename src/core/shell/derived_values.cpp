#include "shell/derived_values.h"

#include <algorithm>

namespace qlx::shell {

namespace {

std::uint32_t scaled(std::uint32_t rgb, float factor)
{
    std::uint32_t result = 0;
    for (int shift : {16, 8, 0}) {
        const float channel = static_cast<float>((rgb >> shift) & 0xFF) * factor;
        const auto value = static_cast<std::uint32_t>(std::clamp(static_cast<int>(channel), 0, 255));
        result |= value << shift;
    }
    return result;
}

} // namespace

HighlightShades highlightShades(std::uint32_t highlightRgb)
{
    return {scaled(highlightRgb, 0.8f), scaled(highlightRgb, 1.2f)};
}

} // namespace qlx::shell
