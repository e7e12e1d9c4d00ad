#include "viewer/prefetch_plan.h"

#include <algorithm>

namespace qlx::viewer {

int minimumRadius(int panes)
{
    return std::max(1, panes / 2);
}

int maximumRadius(int panes, int readAheadLevel)
{
    return std::max(minimumRadius(panes), std::clamp(readAheadLevel, 0, 9) + std::max(panes, 1) + 1);
}

int nextRadius(const RadiusFacts& facts)
{
    const int lowest = minimumRadius(facts.panes);
    const int highest = maximumRadius(facts.panes, facts.readAheadLevel);
    int radius = facts.radius;
    if (facts.freeBytes) {
        if (*facts.freeBytes < facts.reserveBytes)
            radius = std::min(radius - 1, kMaxShrunkRadius);
        else if (*facts.freeBytes > std::max(kGrowthFloorBytes, facts.reserveBytes))
            radius = radius + 1;
    }
    return std::clamp(radius, lowest, highest);
}

namespace {

struct Window {
    int first = 0;
    int size = 0;
};

Window windowOf(int current, int count, int radius)
{
    if (count <= 0 || current < 0 || current >= count)
        return {};
    const int wanted = 2 * std::max(radius, 0) + 1;
    const int size = std::min(wanted, count);
    const int first = std::clamp(current - std::max(radius, 0), 0, count - size);
    return {first, size};
}

} // namespace

std::vector<int> windowPositions(int current, int count, int radius)
{
    const Window window = windowOf(current, count, radius);
    std::vector<int> positions(static_cast<std::size_t>(window.size));
    for (int i = 0; i < window.size; ++i)
        positions[static_cast<std::size_t>(i)] = window.first + i;
    return positions;
}

std::vector<int> fillOrder(int current, int count, int radius)
{
    const Window window = windowOf(current, count, radius);
    if (window.size == 0)
        return {};
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(window.size));
    std::vector<bool> taken(static_cast<std::size_t>(window.size), false);
    const auto take = [&](int offset) {
        // Counted round within the window.
        const int index = ((offset % window.size) + window.size) % window.size;
        if (!taken[static_cast<std::size_t>(index)]) {
            taken[static_cast<std::size_t>(index)] = true;
            order.push_back(window.first + index);
        }
    };
    const int here = current - window.first;
    take(here);
    for (int k = 1; static_cast<int>(order.size()) < window.size; ++k) {
        take(here + k);
        take(here - k);
    }
    return order;
}

RawPreviewType rawPreviewTypeFromSetting(int value)
{
    switch (value) {
    case 1:
        return RawPreviewType::WhenSmallerThanView;
    case 2:
        return RawPreviewType::Always;
    default:
        return RawPreviewType::EmbeddedOnly;
    }
}

bool developsForView(const DevelopmentFacts& facts)
{
    if (!facts.engineDevelops)
        return false;
    switch (facts.request) {
    case DevelopmentRequest::None:
        return false;
    case DevelopmentRequest::ConversionKey:
    case DevelopmentRequest::Always:
        return true;
    case DevelopmentRequest::Automatic:
        break;
    }
    switch (facts.previewType) {
    case RawPreviewType::EmbeddedOnly:
        return false;
    case RawPreviewType::WhenSmallerThanView:
        return facts.preview.width() < facts.viewArea.width() || facts.preview.height() < facts.viewArea.height();
    case RawPreviewType::Always:
        return true;
    }
    return false;
}

} // namespace qlx::viewer
