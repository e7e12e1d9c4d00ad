// One view pane's rules, with numbers worked out by hand.

#include "viewer/view_geometry.h"
#include "viewer/view_settings.h"

#include <gtest/gtest.h>

namespace qlx::viewer {
namespace {

// Each content alone is painted in the view's own tests; here the two
// orders it cannot show: no codec wins over a gone file, a preview over the
// thumbnail.
TEST(PaneContentTest, ChecksComeInPaintingOrder)
{
    EXPECT_EQ(paneContent({true, true, false, true, true}), PaneContent::NoCodec);
    EXPECT_EQ(paneContent({true, false, true, true, true}), PaneContent::Preview);
}

TEST(FitRectTest, TheRelativelyLongerSideFillsThePaneAndTheLoupeFollowsIt)
{
    const struct {
        QSize picture, pane;
        QRect fit;
    } cases[] = {
        // Wide, tall, turned and enlarged pictures are drawn by the view's own
        // tests; here the rounding and the sizes it cannot show. rw = 2/5, rh = 1:
        // dw = trunc(5 × (2/5) / 1) = 2 at x = trunc(3 / 2) = 1.
        {{2, 4}, {5, 4}, {1, 0, 2, 4}},
        {{2400, 2000}, {1200, 1000}, {0, 0, 1200, 1000}},
        {{0, 100}, {1200, 1000}, {}},
        {{100, 100}, {0, 10}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitRect(c.picture, c.pane), c.fit) << c.picture.width() << "x" << c.picture.height();
    // The loupe's picture point: 6000 × 4000 fitted at (0, 100, 1200, 800) is
    // 5 picture pixels a pane pixel.
    EXPECT_EQ(loupePicturePoint({600, 500}, {0, 100, 1200, 800}, {6000, 4000}), QPoint(3000, 2000));
    EXPECT_EQ(loupePicturePoint({1, 101}, {0, 100, 1200, 800}, {6000, 4000}), QPoint(5, 5));
}

TEST(ZoomTest, TheWheelWalksTheLevelsAndDraggingTheCentre)
{
    // Wheel up twice while zooming, default settings: level 8, ×0.80.
    int offset = 0;
    for (int i = 0; i < 2; ++i)
        offset = limitZoomOffset(kZoomBaseLevel, offset + wheelOutcome(120, true, {}).zoomOffset);
    EXPECT_EQ(zoomLevel(kZoomBaseLevel, offset), 8);
    EXPECT_EQ(zoomStatusText(zoomFactor(zoomLevel(kZoomBaseLevel, offset), false)), QStringLiteral("\tZOOM ×0.80"));
    // 75 steps down stop at level 80, ×8.00, or ×16.00 doubled.
    for (int i = 0; i < 75; ++i)
        offset = limitZoomOffset(kZoomBaseLevel, offset + wheelOutcome(-120, true, {}).zoomOffset);
    EXPECT_EQ(offset, 70);
    EXPECT_EQ(zoomStatusText(zoomFactor(zoomLevel(kZoomBaseLevel, offset), true)), QStringLiteral("\tZOOM ×16.00"));
    EXPECT_EQ(zoomLevel(10, -20), 1);

    // Dragging moves the centre within the picture.
    ZoomAxis axis{3000.0f, 0};
    // Not dragged: the window 1200 wide around 3000 starts at 2400.
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 500, axis), 2400);
    EXPECT_EQ(axis.lastMouse, 500);
    // Dragged 100 pixels left: the centre moves 100 right; a half-size
    // picture moves half as far (60 / 2).
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, true, 400, axis), 2500);
    EXPECT_EQ(zoomWindowStart(6000, 1200, 2, true, 340, axis), 2530);
    // The centre stops at 600 and 5400, so the window stays inside 0 … 4800.
    axis.centre = 100.0f;
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 0, axis), 0);
    EXPECT_FLOAT_EQ(axis.centre, 600.0f);
    axis.centre = 5900.0f;
    EXPECT_EQ(zoomWindowStart(6000, 1200, 1, false, 0, axis), 4800);

    // 1000 pixels at ×0.5 in a 1200 pane: the window is 1200 / 0.5 = 2400
    // wide and starts (1000 − 2400) / 2 = −700; the picture is drawn 500
    // wide at 350.
    const int start = zoomWindowStart(1000, zoomWindowExtent(1200, 1, 0.5), 1, true, 300, axis);
    EXPECT_EQ(start, -700);
    EXPECT_EQ(zoomDrawnSpan(1200, start, 0.5).start, 350);
    EXPECT_EQ(zoomDrawnSpan(1200, start, 0.5).extent, 500);
    EXPECT_EQ(zoomDrawnSpan(1200, 0, 0.5).extent, 1200);
}

TEST(WheelTest, BrowsesOrZoomsAsTheSettingsSay)
{
    const WheelSettings plain, reverseBrowse{true, false, false}, reverseZoom{false, true, false},
        never{false, false, true};
    const struct {
        int delta;
        bool zooming;
        const WheelSettings& settings;
        int step, zoomOffset;
    } cases[] = {
        // Browsing by -120, 120 and 19 (19 / 20 = 0), plain and reversed, is the view's own test.
        {-20, false, plain, 1, 0},  {-19, true, plain, 0, 0},       {20, true, plain, 0, -1},
        {120, false, reverseBrowse, 1, 0}, {120, true, reverseZoom, 0, 1}, {-120, true, never, 1, 0},
    };
    for (const auto& c : cases) {
        const WheelOutcome outcome = wheelOutcome(c.delta, c.zooming, c.settings);
        EXPECT_EQ(std::pair(outcome.step, outcome.zoomOffset), std::pair(c.step, c.zoomOffset)) << c.delta << c.zooming;
    }
}

TEST(BrightnessTest, StepsOfASixthStopUpToTwoStops)
{
    // A stop is 96, a sixth of it 16; two stops, 192, are the limit.
    EXPECT_EQ(stepBrightness(0, -1), -16);
    EXPECT_EQ(stepBrightness(176, +1), 192);
    EXPECT_EQ(stepBrightness(192, +1), 192);
    EXPECT_EQ(stepBrightness(-192, -1), -192);
    EXPECT_EQ(brightnessText(192), QStringLiteral("Ev:+2.0"));
    EXPECT_EQ(brightnessText(-48), QStringLiteral("Ev:-0.5"));
    EXPECT_TRUE(brightnessText(0).isEmpty());
}

TEST(ViewTextsTest, FileLineAndSettings)
{
    EXPECT_EQ(fileLineText(QStringLiteral("IMG_0001.JPG"), 4, 120), QStringLiteral("File:IMG_0001.JPG　(5/120)"));
    // A name is shown as it is, percent signs and all.
    EXPECT_EQ(fileLineText(QStringLiteral("写真%1.jpg"), 0, 1), QStringLiteral("File:写真%1.jpg　(1/1)"));

    settings::SettingsRecord record;
    record.set(settings::kViewBackgroundColour, 0x0033'6699u);
    record.set(settings::kShowHistogramOverlay, std::uint8_t{1});
    record.set(settings::kReverseWheelBrowse, std::uint8_t{1});
    record.set(settings::kOverlayFontSizes, 1, 14);
    const ViewSettings v = ViewSettings::fromRecord(record);
    EXPECT_EQ(v.backgroundColour, 0x0033'6699u);
    EXPECT_TRUE(v.showHistogram && !v.showFileName && v.wheel.reverseBrowse);
    // A zero size keeps its default; a set size is taken.
    EXPECT_EQ(v.overlayFontSizes, (std::array{12, 14}));
    // 0x00BBGGRR: red 0x99, green 0x66, blue 0x33; the top byte is ignored.
    EXPECT_EQ(opaqueArgb(0x0033'6699u), 0xFF99'6633u);
    EXPECT_EQ(opaqueArgb(0xFF00'0000u), 0xFF00'0000u);
}

} // namespace
} // namespace qlx::viewer
