// The read-ahead window's radius, positions and filling order, and the rule
// that decides when the view develops a camera file. Expected values are
// worked out by hand from the rules in prefetch_plan.h.

#include "viewer/prefetch_plan.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qlx::viewer;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct RadiusCase {
    const char* what;
    RadiusFacts facts;
    int expected;
};

TEST(PrefetchPlan, TheRadiusFollowsFreeMemoryWithinItsLimits)
{
    const RadiusCase cases[] = {
        {"grows with plenty free", {.radius = 1, .freeBytes = 2048 * kMiB, .reserveBytes = 64 * kMiB}, 2},
        {"stops at level + panes + 1", {.radius = 4, .freeBytes = 2048 * kMiB, .reserveBytes = 64 * kMiB}, 4},
        {"the level widens it", {.radius = 11, .freeBytes = 2048 * kMiB, .reserveBytes = 64 * kMiB, .panes = 1, .readAheadLevel = 9}, 11},
        {"stays between 512 MiB and the reserve", {.radius = 3, .freeBytes = 400 * kMiB, .reserveBytes = 64 * kMiB}, 3},
        {"exactly 512 MiB does not grow", {.radius = 3, .freeBytes = 512 * kMiB, .reserveBytes = 64 * kMiB}, 3},
        {"shrinks below the reserve", {.radius = 3, .freeBytes = 40 * kMiB, .reserveBytes = 64 * kMiB}, 2},
        {"never below one", {.radius = 1, .freeBytes = 40 * kMiB, .reserveBytes = 64 * kMiB}, 1},
        {"never below half the panes", {.radius = 2, .freeBytes = 40 * kMiB, .reserveBytes = 64 * kMiB, .panes = 4}, 2},
        {"a raised reserve above 512 MiB shrinks, not grows",
         {.radius = 3, .freeBytes = 700 * kMiB, .reserveBytes = 1024 * kMiB}, 2},
        {"grows past a raised reserve", {.radius = 3, .freeBytes = 1100 * kMiB, .reserveBytes = 1024 * kMiB}, 4},
        {"unknown free memory keeps it", {.radius = 3, .freeBytes = std::nullopt, .reserveBytes = 64 * kMiB}, 3},
        {"a radius from a wider layout is cut back",
         {.radius = 9, .freeBytes = 400 * kMiB, .reserveBytes = 64 * kMiB}, 4},
    };
    for (const RadiusCase& c : cases)
        EXPECT_EQ(nextRadius(c.facts), c.expected) << c.what;
}

struct WindowCase {
    int current;
    int count;
    int radius;
    std::vector<int> window;
    std::vector<int> order;
};

TEST(PrefetchPlan, TheWindowIsFilledRingByRingForwardFirst)
{
    const WindowCase cases[] = {
        {50, 100, 2, {48, 49, 50, 51, 52}, {50, 51, 49, 52, 48}},
        // At the first entry the window slides inward and its rings go on
        // at its far side: the read-ahead looks further forward.
        {0, 100, 2, {0, 1, 2, 3, 4}, {0, 1, 4, 2, 3}},
        {1, 100, 2, {0, 1, 2, 3, 4}, {1, 2, 0, 3, 4}},
        {99, 100, 2, {95, 96, 97, 98, 99}, {99, 95, 98, 96, 97}},
        {1, 3, 2, {0, 1, 2}, {1, 2, 0}},
        {0, 1, 4, {0}, {0}},
        {5, 10, 0, {5}, {5}},
        {-1, 10, 2, {}, {}},
        {10, 10, 2, {}, {}},
        {0, 0, 2, {}, {}},
    };
    for (const WindowCase& c : cases) {
        EXPECT_EQ(windowPositions(c.current, c.count, c.radius), c.window) << c.current << " of " << c.count;
        EXPECT_EQ(fillOrder(c.current, c.count, c.radius), c.order) << c.current << " of " << c.count;
    }
}

struct DevelopCase {
    const char* what;
    DevelopmentFacts facts;
    bool expected;
};

TEST(PrefetchPlan, TheViewDevelopsByTheRawPreviewType)
{
    const QSize pane{1600, 1000};
    const DevelopCase cases[] = {
        {"not an engine camera", {false, DevelopmentRequest::ConversionKey, RawPreviewType::Always, {160, 120}, pane}, false},
        {"embedded only", {true, DevelopmentRequest::Automatic, RawPreviewType::EmbeddedOnly, {160, 120}, pane}, false},
        {"small preview", {true, DevelopmentRequest::Automatic, RawPreviewType::WhenSmallerThanView, {1620, 1080}, {1700, 1000}}, true},
        {"lower preview", {true, DevelopmentRequest::Automatic, RawPreviewType::WhenSmallerThanView, {1620, 900}, pane}, true},
        {"large preview", {true, DevelopmentRequest::Automatic, RawPreviewType::WhenSmallerThanView, {1620, 1080}, pane}, false},
        {"no preview", {true, DevelopmentRequest::Automatic, RawPreviewType::WhenSmallerThanView, {}, pane}, true},
        {"always", {true, DevelopmentRequest::Automatic, RawPreviewType::Always, {6000, 4000}, pane}, true},
        {"the conversion key", {true, DevelopmentRequest::ConversionKey, RawPreviewType::EmbeddedOnly, {6000, 4000}, pane}, true},
        {"no request", {true, DevelopmentRequest::None, RawPreviewType::Always, {160, 120}, pane}, false},
    };
    for (const DevelopCase& c : cases)
        EXPECT_EQ(developsForView(c.facts), c.expected) << c.what;
    EXPECT_EQ(rawPreviewTypeFromSetting(7), RawPreviewType::EmbeddedOnly);
}

} // namespace
