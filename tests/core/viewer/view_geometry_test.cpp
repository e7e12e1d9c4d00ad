// One view pane's arithmetic, worked out by hand. Unless a test says
// otherwise the pane is 1200 x 1000.

#include "viewer/view_geometry.h"
#include "viewer/view_settings.h"

#include <gtest/gtest.h>

#include <array>

namespace qlx::viewer {
namespace {

constexpr QSize kPane{1200, 1000};

using Box = std::array<int, 4>;

Box box(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

TEST(PaneContentTest, ChecksComeInPaintingOrder)
{
    EXPECT_EQ(paneContent({}), PaneContent::Question);
    // No codec wins over a gone file and over any picture.
    EXPECT_EQ(paneContent({true, true, false, true, true}), PaneContent::NoCodec);
    EXPECT_EQ(paneContent({true, false, false, true, true}), PaneContent::Blank);
    EXPECT_EQ(paneContent({true, false, true, true, true}), PaneContent::Preview);
    EXPECT_EQ(paneContent({true, false, true, false, true}), PaneContent::Thumbnail);
    EXPECT_EQ(paneContent({true, false, true, false, false}), PaneContent::NotReady);

    EXPECT_EQ(static_cast<int>(paintResultOf(PaneContent::Preview)), 1);
    EXPECT_EQ(static_cast<int>(paintResultOf(PaneContent::Thumbnail)), 0);
    EXPECT_EQ(static_cast<int>(paintResultOf(PaneContent::NotReady)), -1);
    EXPECT_EQ(static_cast<int>(paintResultOf(PaneContent::Question)), -2);
    EXPECT_EQ(static_cast<int>(paintResultOf(PaneContent::NoCodec)), -2);
}

TEST(FitRectTest, WidePictureFillsTheWidth)
{
    // rw = 5, rh = 4: dh = trunc(1000 x 4 / 5) = 800 at y = (1000 - 800) / 2.
    EXPECT_EQ(box(fitRect({6000, 4000}, kPane)), (Box{0, 100, 1200, 800}));
}

TEST(FitRectTest, SmallPictureIsEnlarged)
{
    // rw = 0.25, rh = 0.2: the same shape as above, so the same rectangle.
    EXPECT_EQ(box(fitRect({300, 200}, kPane)), (Box{0, 100, 1200, 800}));
}

TEST(FitRectTest, TallPictureFillsTheHeight)
{
    // rw = 2.5, rh = 4: dw = trunc(1200 x 2.5 / 4) = 750 at x = (1200 - 750) / 2.
    EXPECT_EQ(box(fitRect({3000, 4000}, kPane)), (Box{225, 0, 750, 1000}));
    // rw = 0.4, rh = 1: dw = 2 in a pane 5 wide, x = 3 / 2 = 1 (integer division).
    EXPECT_EQ(box(fitRect({2, 4}, {5, 4})), (Box{1, 0, 2, 4}));
}

TEST(FitRectTest, PaneShapedPictureFillsThePane)
{
    EXPECT_EQ(box(fitRect({2400, 2000}, kPane)), (Box{0, 0, 1200, 1000}));
    EXPECT_TRUE(fitRect({0, 100}, kPane).isEmpty());
    EXPECT_TRUE(fitRect({100, 100}, {0, 10}).isEmpty());
}

TEST(FitRectTest, QuarterTurnsSwapTheSides)
{
    EXPECT_EQ(turnedSize({6000, 4000}, 1), QSize(4000, 6000));
    EXPECT_EQ(turnedSize({6000, 4000}, 2), QSize(6000, 4000));
    EXPECT_EQ(turnedSize({6000, 4000}, 3), QSize(4000, 6000));
    // Turned, the wide picture is tall: rw = 10 / 3, rh = 6; dw = trunc(1200 x (10/3) / 6) = 666.
    EXPECT_EQ(box(fitRect(turnedSize({6000, 4000}, 1), kPane)), (Box{267, 0, 666, 1000}));
}

TEST(ZoomTest, WheelWhileZoomingWalksTheLevels)
{
    // Wheel up twice while holding Alt with default settings: level 8, 0.80.
    int offset = 0;
    for (int i = 0; i < 2; ++i)
        offset = limitZoomOffset(kZoomBaseLevel, offset + wheelOutcome(120, true, {}).zoomOffset);
    EXPECT_EQ(zoomLevel(kZoomBaseLevel, offset), 8);
    EXPECT_EQ(zoomStatusText(zoomFactor(zoomLevel(kZoomBaseLevel, offset), false)), QStringLiteral("\tZOOM ×0.80"));
    // 75 further steps down stop at level 80, 8.00.
    for (int i = 0; i < 75; ++i)
        offset = limitZoomOffset(kZoomBaseLevel, offset + wheelOutcome(-120, true, {}).zoomOffset);
    EXPECT_EQ(offset, 70);
    EXPECT_EQ(zoomLevel(kZoomBaseLevel, offset), 80);
    EXPECT_EQ(zoomStatusText(zoomFactor(80, false)), QStringLiteral("\tZOOM ×8.00"));
}

TEST(ZoomTest, LevelsStayWithinOneAndEighty)
{
    EXPECT_EQ(limitZoomOffset(10, -20), -9);
    EXPECT_EQ(zoomLevel(10, -20), 1);
    EXPECT_EQ(zoomLevel(10, 100), 80);
    EXPECT_DOUBLE_EQ(zoomFactor(10, false), 1.0);
    EXPECT_DOUBLE_EQ(zoomFactor(10, true), 2.0);
    EXPECT_DOUBLE_EQ(zoomFactor(1, false), 0.1);
}

TEST(ZoomTest, SourceWindowFollowsTheFactorAndDivisor)
{
    EXPECT_EQ(zoomWindowExtent(1200, 1, 1.0), 1200);
    EXPECT_EQ(zoomWindowExtent(1200, 1, 0.5), 2400);
    EXPECT_EQ(zoomWindowExtent(1200, 2, 1.0), 600);   // a half-size picture
    EXPECT_EQ(zoomWindowExtent(1000, 1, 2.0), 500);
    EXPECT_EQ(zoomWindowExtent(1000, 1, 0.3), 3333);  // trunc(3333.3)
}

TEST(ZoomTest, DraggingMovesTheCentreWithinThePicture)
{
    ZoomAxis axis{3000.0f, 0};
    // Not dragged: the window 1200 wide around 3000 starts at 2400.
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 500, axis), 2400);
    EXPECT_EQ(axis.lastMouse, 500);
    // Dragged 100 pixels left: the centre moves 100 right.
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, true, 400, axis), 2500);
    // A half-size picture moves half as far: 60 / 2.
    EXPECT_EQ(zoomWindowStart(6000, 1200, 2, true, 340, axis), 2530);
    // The centre stops at 600 and 5400, so the window stays inside 0 … 4800.
    axis.centre = 100.0f;
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 0, axis), 0);
    EXPECT_FLOAT_EQ(axis.centre, 600.0f);
    axis.centre = 5900.0f;
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 0, axis), 4800);
}

TEST(ZoomTest, NarrowPictureIsCentredWithMarginsOnBothSides)
{
    // 1000 pixels at 0.5 in a 1200 pane: the window is 2400 wide and
    // starts (1000 - 2400) / 2 = -700; the picture is drawn 500 wide at 350.
    ZoomAxis axis{500.0f, 0};
    const int start = zoomWindowStart(1000, zoomWindowExtent(1200, 1, 0.5), 1, true, 300, axis);
    EXPECT_EQ(start, -700);
    const Span drawn = zoomDrawnSpan(1200, start, 0.5);
    EXPECT_EQ(drawn.start, 350);
    EXPECT_EQ(drawn.extent, 500);
    const Span whole = zoomDrawnSpan(1200, 0, 0.5);
    EXPECT_EQ(whole.start, 0);
    EXPECT_EQ(whole.extent, 1200);
}

TEST(LoupeTest, RadiusAndPicturePoint)
{
    // At level 10 with radius 100 the circle is 200 pixels across.
    EXPECT_EQ(100 + loupeExtraRadius(10, false, 100), 100);
    EXPECT_EQ(loupeExtraRadius(12, false, 100), 8);
    EXPECT_EQ(loupeExtraRadius(12, true, 100), 58);
    // 6000 x 4000 fitted at (0, 100, 1200, 800): the pane's centre is the
    // picture's (600 x 5, 400 x 5).
    EXPECT_EQ(loupePicturePoint({600, 500}, {0, 100, 1200, 800}, {6000, 4000}), QPoint(3000, 2000));
    EXPECT_EQ(loupePicturePoint({1, 101}, {0, 100, 1200, 800}, {6000, 4000}), QPoint(5, 5));
}

TEST(WheelTest, BrowsesWhenNotZooming)
{
    EXPECT_EQ(wheelOutcome(-120, false, {}).step, 1);
    EXPECT_EQ(wheelOutcome(120, false, {}).step, -1);
    EXPECT_EQ(wheelOutcome(120, false, {}).zoomOffset, 0);
    WheelSettings reversed;
    reversed.reverseBrowse = true;
    EXPECT_EQ(wheelOutcome(-120, false, reversed).step, -1);
    EXPECT_EQ(wheelOutcome(120, false, reversed).step, 1);
}

TEST(WheelTest, SmallDeltasDoNothing)
{
    // 19 / 20 = 0; 20 / 20 = 1.
    for (const int delta : {0, 19, -19}) {
        const WheelOutcome outcome = wheelOutcome(delta, false, {});
        EXPECT_EQ(outcome.step, 0) << delta;
        EXPECT_EQ(outcome.zoomOffset, 0) << delta;
    }
    EXPECT_EQ(wheelOutcome(-20, false, {}).step, 1);
    EXPECT_EQ(wheelOutcome(20, true, {}).zoomOffset, -1);
}

TEST(WheelTest, ZoomDirectionAndNeverZoom)
{
    WheelSettings reverse;
    reverse.reverseZoom = true;
    EXPECT_EQ(wheelOutcome(120, true, reverse).zoomOffset, 1);
    EXPECT_EQ(wheelOutcome(-120, true, reverse).zoomOffset, -1);
    WheelSettings never;
    never.neverZooms = true;
    EXPECT_EQ(wheelOutcome(-120, true, never).zoomOffset, 0);
    EXPECT_EQ(wheelOutcome(-120, true, never).step, 1);
}

TEST(BrightnessTest, StepsStopAtTwoStops)
{
    int a = 0;
    for (int i = 0; i < 13; ++i)
        a = stepBrightness(a, +1);
    EXPECT_EQ(a, 192);
    EXPECT_EQ(brightnessText(a), QStringLiteral("Ev:+2.0"));
    a = 0;
    for (int i = 0; i < 3; ++i)
        a = stepBrightness(a, -1);
    EXPECT_EQ(a, -48);
    EXPECT_EQ(brightnessText(a), QStringLiteral("Ev:-0.5"));
    EXPECT_EQ(stepBrightness(-192, -1), -192);
    EXPECT_TRUE(brightnessText(0).isEmpty());
}

TEST(OverlayTest, HistogramSitsAtTheLowerRight)
{
    EXPECT_EQ(box(histogramOverlayRect(kPane)), (Box{928, 920, 262, 70}));
    EXPECT_EQ(box(histogramOverlayRect({640, 480})), (Box{368, 400, 262, 70}));
}

TEST(OverlayTest, FileLineAndStatusTexts)
{
    EXPECT_EQ(fileLineText(QStringLiteral("IMG_0001.JPG"), 4, 120), QStringLiteral("File:IMG_0001.JPG　(5/120)"));
    // A name is shown as it is, percent signs and all.
    EXPECT_EQ(fileLineText(QStringLiteral("写真%1.jpg"), 0, 1), QStringLiteral("File:写真%1.jpg　(1/1)"));
    EXPECT_EQ(fitModeStatusText(), QStringLiteral("\tFIT MODE"));
    EXPECT_EQ(loupeStatusText(), QStringLiteral("\tLOOPE MODE"));
    EXPECT_EQ(zoomStatusText(2.0), QStringLiteral("\tZOOM ×2.00"));
}

TEST(ViewSettingsTest, ReadsTheRecordAndKeepsUsableFonts)
{
    settings::SettingsRecord record;
    record.set(settings::kViewBackgroundColour, 0x0033'6699u);
    record.set(settings::kShowHistogramOverlay, std::uint8_t{1});
    record.set(settings::kReverseWheelBrowse, std::uint8_t{1});
    record.set(settings::kOverlayFontSizes, 1, 14);
    const ViewSettings v = ViewSettings::fromRecord(record);
    EXPECT_EQ(v.backgroundColour, 0x0033'6699u);
    EXPECT_TRUE(v.showHistogram);
    EXPECT_FALSE(v.showFileName);
    EXPECT_TRUE(v.wheel.reverseBrowse);
    // A zero size and an empty face keep the defaults; a set size is taken.
    EXPECT_EQ(v.overlayFontSizes[0], 12);
    EXPECT_EQ(v.overlayFontSizes[1], 14);
    EXPECT_EQ(v.overlayFontFace, u"ＭＳ Ｐゴシック");
    // 0x00BBGGRR: red 0x99, green 0x66, blue 0x33.
    EXPECT_EQ(opaqueArgb(0x0033'6699u), 0xFF99'6633u);
    EXPECT_EQ(opaqueArgb(0xFF00'0000u), 0xFF00'0000u);
}

} // namespace
} // namespace qlx::viewer
