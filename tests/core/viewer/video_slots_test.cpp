// The playback slot table and the numbers of the control bar. Expected
// values are worked out by hand from the rules: k = 1 / (length / 30000) at
// least 1, the gain 10^(level × 0.3 / 20), steps of length / 30.

#include "viewer/video_frame_image.h"
#include "viewer/video_slots.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace qlx::viewer {
namespace {

using imagelist::ImageEntry;

std::vector<ImageEntry> videoEntries(int count)
{
    std::vector<ImageEntry> entries(static_cast<std::size_t>(count));
    for (ImageEntry& entry : entries)
        entry.setVideoSlot(-1);
    return entries;
}

TEST(VideoSlotsTest, EightSlotsThenTheNinthStaysClosed)
{
    VideoSlots slots;
    auto entries = videoEntries(9);
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(slots.reserve(entries[static_cast<std::size_t>(i)], i), i);
        slots.confirm(entries[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(slots.used(), 8);
    EXPECT_EQ(slots.reserve(entries[8], 8), std::nullopt);
    EXPECT_EQ(entries[8].videoSlot(), -1);
    EXPECT_EQ(entries[8].flags() & ImageEntry::kFlagPlaybackOpen, 0);
    // Closing the fourth frees its slot for the ninth.
    slots.close(entries[3]);
    EXPECT_EQ(slots.reserve(entries[8], 8), 3);
    EXPECT_EQ(slots.entryOf(3), 8);
}

TEST(VideoSlotsTest, AFailedOpenIsTakenBackWhole)
{
    VideoSlots slots;
    auto entries = videoEntries(2);
    ASSERT_EQ(slots.reserve(entries[0], 0), 0);
    EXPECT_EQ(entries[0].videoSlot(), 0);
    slots.undo(entries[0]);
    EXPECT_EQ(slots.used(), 0);
    EXPECT_EQ(slots.entryOf(0), -1);
    EXPECT_EQ(entries[0].videoSlot(), -1);
    EXPECT_EQ(entries[0].flags() & ImageEntry::kFlagPlaybackOpen, 0);
    // Eight failures in a row leave all eight slots free.
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(slots.reserve(entries[1], 1));
        slots.undo(entries[1]);
    }
    EXPECT_EQ(slots.used(), 0);
}

TEST(VideoSlotsTest, NoSecondSlotAndNoneForAFileThatDoesNotRender)
{
    VideoSlots slots;
    auto entries = videoEntries(2);
    ASSERT_TRUE(slots.reserve(entries[0], 0));
    EXPECT_FALSE(slots.reserve(entries[0], 0)); // still being opened
    slots.confirm(entries[0]);
    EXPECT_FALSE(slots.reserve(entries[0], 0)); // open
    entries[1].setFlags(ImageEntry::kFlagUnrenderable);
    EXPECT_FALSE(slots.reserve(entries[1], 1));
    EXPECT_EQ(slots.used(), 1);
}

TEST(VideoSlotsTest, CloseKeepsThePositionAndTheModeAndClearAllForgetsTheList)
{
    VideoSlots slots;
    auto entries = videoEntries(3);
    entries[0].setFlags(ImageEntry::kFlagPlaybackMode);
    entries[0].setVideoPosition(12.5);
    ASSERT_TRUE(slots.reserve(entries[0], 0));
    slots.confirm(entries[0]);
    entries[0].setFlags(static_cast<std::uint16_t>(entries[0].flags() | ImageEntry::kFlagPaused));
    slots.close(entries[0]);
    EXPECT_EQ(entries[0].flags(), ImageEntry::kFlagPlaybackMode);
    EXPECT_EQ(entries[0].videoPosition(), 12.5);
    ASSERT_TRUE(slots.reserve(entries[1], 1));
    ASSERT_TRUE(slots.reserve(entries[2], 2));
    // Entry 1 takes the slot entry 0 left.
    EXPECT_EQ(slots.entries(), (std::vector<int>{1, 2}));
    slots.clear();
    EXPECT_EQ(slots.used(), 0);
    EXPECT_EQ(slots.slotOf(1), -1);
}

TEST(VideoSlotsTest, VolumeGain)
{
    const struct { int level; double gain; } cases[] = {
        {0, 1.0}, {-40, 0.251189}, {-126, 0.012882}, {-127, 0.0}, {-20, 0.501187},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(volumeGain(c.level), c.gain, 1e-6) << c.level;
}

TEST(VideoSlotsTest, SliderScale)
{
    const struct { int length; int factor; int maximum; bool enabled; } cases[] = {
        {60, 500, 30000, true}, {36000, 1, 36000, true}, {30, 1000, 30000, true},
        {7, 4285, 29995, true}, {0, 1, 0, false}, {-1, 1, 0, false},
    };
    for (const auto& c : cases) {
        const SliderScale scale = sliderScale(c.length);
        EXPECT_EQ(scale.factor, c.factor) << c.length;
        EXPECT_EQ(scale.maximum, c.maximum) << c.length;
        EXPECT_EQ(scale.enabled, c.enabled) << c.length;
    }
    EXPECT_EQ(sliderScale(60).positionOf(12.34), 6170);
    EXPECT_EQ(sliderScale(60).positionOf(99.0), 30000);
    EXPECT_DOUBLE_EQ(sliderScale(60).secondsOf(15000), 30.0);
}

TEST(VideoSlotsTest, TimeLabels)
{
    const struct { double seconds; const char* text; } cases[] = {
        {0.0, "0:00:00"}, {0.81, "0:00:00"}, {30.0, "0:00:30"}, {3661.9, "1:01:01"}, {36000, "10:00:00"}, {-3, "0:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(timeLabel(c.seconds), c.text) << c.seconds;
}

TEST(VideoSlotsTest, StepsOfOneThirtiethStopAtTheEnds)
{
    const struct { double from; int length; int direction; double to; } cases[] = {
        {10.0, 30, 1, 11.0}, {10.0, 30, -1, 9.0}, {29.5, 30, 1, 30.0}, {0.5, 30, -1, 0.0},
        {0.0, 60, 1, 2.0}, {0.4, 0, 1, 0.4}, {0.4, 0, -1, 0.4},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(stepTarget(c.from, c.length, c.direction), c.to) << c.from << " " << c.direction;
}

TEST(VideoSlotsTest, ControlButtons)
{
    constexpr std::uint16_t mode = ImageEntry::kFlagPlaybackMode, open = ImageEntry::kFlagPlaybackOpen,
                            paused = ImageEntry::kFlagPaused, big = ImageEntry::kFlagEnlargedVideo;
    const struct {
        VideoControl control;
        std::uint16_t before, after;
        bool pause, run, close, redraw;
    } cases[] = {
        {VideoControl::Pause, 0, mode, false, false, false, true},
        {VideoControl::Pause, mode | open, mode | open | paused, true, false, false, false},
        {VideoControl::Play, 0, mode, false, false, false, true},
        {VideoControl::Play, mode | open | paused, mode | open, false, true, false, false},
        {VideoControl::Leave, mode | open, open, false, false, true, true},
        {VideoControl::Leave, 0, 0, false, false, false, false},
        {VideoControl::Enlarge, mode, mode | big, false, false, false, true},
        {VideoControl::Shrink, mode | big, mode, false, false, false, true},
    };
    for (const auto& c : cases) {
        const ControlEffect effect = controlEffect(c.control, c.before);
        EXPECT_EQ(effect.flags, c.after) << static_cast<int>(c.control) << " from " << c.before;
        EXPECT_EQ((std::array{effect.pause, effect.run, effect.close, effect.redraw}),
                  (std::array{c.pause, c.run, c.close, c.redraw}))
            << static_cast<int>(c.control) << " from " << c.before;
    }
}

TEST(VideoSlotsTest, FramePlaceInThePane)
{
    const struct { QSize frame; bool enlarged; QRect place; } cases[] = {
        {{480, 270}, false, {260, 165, 480, 270}},  // own size, centred in 1000 × 600
        {{480, 270}, true, {0, 19, 1000, 562}},     // fitted: 1000 wide, 270 × 1000 / 480 = 562 high, (600 − 562) / 2 down
        {{1920, 1080}, false, {0, 19, 1000, 562}},  // too large: shrunk as when enlarged
        {{0, 0}, true, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(videoRect(c.frame, {1000, 600}, c.enlarged), c.place) << c.frame.width() << " " << c.enlarged;
}

TEST(VideoFrameImageTest, PlanesAreConvertedOrRefused)
{
    // 2 × 2 frames: Y 235 with neutral chroma is white, Y 16 black.
    const std::array<std::byte, 4> white{std::byte{235}, std::byte{235}, std::byte{235}, std::byte{235}};
    const std::array<std::byte, 4> black{std::byte{16}, std::byte{16}, std::byte{16}, std::byte{16}};
    const std::array<std::byte, 2> neutral{std::byte{128}, std::byte{128}};
    const FramePlane y420[] = {{white, 2}, {std::span(neutral).first(1), 1}, {std::span(neutral).first(1), 1}};
    const QImage picture = frameImage(FramePlanes::Yuv420, 2, 2, y420);
    ASSERT_EQ(picture.size(), QSize(2, 2));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(255, 255, 255));
    const FramePlane y422[] = {{black, 2}, {neutral, 1}, {neutral, 1}};
    EXPECT_EQ(frameImage(FramePlanes::Yuv422, 2, 2, y422).pixel(0, 1), qRgb(0, 0, 0));
    // Chroma planes of a 4:2:0 frame handed as 4:2:2: one row short, refused.
    EXPECT_TRUE(frameImage(FramePlanes::Yuv422, 2, 2, y420).isNull());
    // A luma plane shorter than its stride says, a stride below the width, no size at all.
    EXPECT_TRUE(frameImage(FramePlanes::Yuv420, 2, 3, y420).isNull());
    const FramePlane narrow[] = {{white, 1}, y420[1], y420[2]};
    EXPECT_TRUE(frameImage(FramePlanes::Yuv420, 2, 2, narrow).isNull());
    EXPECT_TRUE(frameImage(FramePlanes::Yuv420, 0, 2, y420).isNull());
    const FramePlane rgb[] = {{white, 4}};
    EXPECT_EQ(frameImage(FramePlanes::Xrgb32, 1, 1, rgb).size(), QSize(1, 1));
    EXPECT_TRUE(frameImage(FramePlanes::Xrgb32, 2, 1, rgb).isNull());
}

} // namespace
} // namespace qlx::viewer
