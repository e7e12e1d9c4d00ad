// The screen layout, worked out by hand. Unless a test says otherwise the
// window is 1200 x 800 with a 40-pixel rebar, a 20-pixel status bar and a
// 200-pixel folder pane, so the content height is 800 - 40 - 20 = 740 and the
// list pane is w x h = (1200 - 200) x 740 = 1000 x 740.

#include "viewer/screen_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace qlx::viewer {
namespace {

// (x, y, width, height), as rectangles are written in the comments.
using Box = std::array<int, 4>;

Box box(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

ScreenLayoutInput window(ScreenMode screen = ScreenMode::Split)
{
    ScreenLayoutInput in;
    in.client = {1200, 800};
    in.rebarHeight = 40;
    in.statusBarHeight = 20;
    in.folderPaneWidth = 200;
    in.screenMode = screen;
    return in;
}

ScreenLayoutInput split(SplitPosition position, int listSize)
{
    auto in = window();
    in.splitPosition = position;
    in.listHeight = listSize;
    in.listWidth = listSize;
    return in;
}

TEST(ScreenLayoutAreas, BarsAtTheEdgesFolderPaneLeftListPaneRest)
{
    const auto out = screenLayout(window());
    EXPECT_EQ(box(out.rebar.rect), (Box{0, 0, 1200, 40}));
    EXPECT_EQ(box(out.statusBar.rect), (Box{0, 780, 1200, 20}));   // y = 800 - 20
    EXPECT_EQ(box(out.folderPane.rect), (Box{0, 40, 200, 740}));
    EXPECT_EQ(box(out.listPane.rect), (Box{200, 40, 1000, 740}));
    EXPECT_TRUE(out.rebar.visible && out.statusBar.visible && out.folderPane.visible && out.listPane.visible);
}

TEST(ScreenLayoutScreenMode, ListAloneOrViewsAlone)
{
    auto out = screenLayout(window(ScreenMode::ListOnly));
    EXPECT_EQ(box(out.listView.rect), (Box{0, 0, 1000, 740}));
    EXPECT_TRUE(out.listView.visible);
    for (const auto& pane : out.viewPanes)
        EXPECT_FALSE(pane.visible);

    // The views fill the pane; the hidden list view reaches H - S = 780 down.
    out = screenLayout(window(ScreenMode::ViewsOnly));
    EXPECT_EQ(box(out.viewPanes[0].rect), (Box{0, 0, 1000, 740}));
    EXPECT_EQ(box(out.listView.rect), (Box{0, 0, 1000, 780}));
    EXPECT_FALSE(out.listView.visible);
    EXPECT_TRUE(out.viewPanes[0].visible && out.splitBar.isEmpty());
}

TEST(ScreenLayoutSplit, EachPositionWithAListSizeOf300)
{
    struct Case {
        SplitPosition position;
        Box list, bar, views;
    };
    const Case cases[] = {
        // L = 300: upper part 300 - 4 = 296 high, lower part from 300, 740 - 300 = 440 high.
        {SplitPosition::ListAbove, {0, 0, 1000, 296}, {0, 296, 1000, 4}, {0, 300, 1000, 440}},
        {SplitPosition::ViewsAbove, {0, 300, 1000, 440}, {0, 296, 1000, 4}, {0, 0, 1000, 296}},
        // K = 300 at the right: list view 296 wide from 1000 - 300 + 4 = 704, that is
        // 296 pixels from the right edge; views 1000 - 300 = 700 wide.
        {SplitPosition::ListRight, {704, 0, 296, 740}, {700, 0, 4, 740}, {0, 0, 700, 740}},
        // K = 300 at the left: list view the whole 300, views from 304, 1000 - 304 = 696 wide.
        {SplitPosition::ListLeft, {0, 0, 300, 740}, {300, 0, 4, 740}, {304, 0, 696, 740}},
    };
    for (const auto& c : cases) {
        const auto out = screenLayout(split(c.position, 300));
        EXPECT_EQ(box(out.listView.rect), c.list);
        EXPECT_EQ(box(out.splitBar), c.bar);
        EXPECT_EQ(box(out.viewPanes[0].rect), c.views);
        EXPECT_TRUE(out.listView.visible && out.viewPanes[0].visible);
    }
}

TEST(ScreenLayoutMultiScreen, EachModeDividesA1000By740Area)
{
    // Views alone, 1000 wide without the folder tree: halves 500 and 370,
    // thirds 1000 / 3 = 333 at 0, 333 and 666 (column 999 stays empty).
    const std::vector<std::vector<Box>> expected = {
        {{0, 0, 1000, 740}},
        {{0, 0, 500, 740}, {500, 0, 500, 740}},
        {{0, 0, 1000, 370}, {0, 370, 1000, 370}},
        {{0, 0, 333, 740}, {333, 0, 333, 740}, {666, 0, 333, 740}},
        {{0, 0, 500, 370}, {500, 0, 500, 370}, {0, 370, 500, 370}, {500, 370, 500, 370}},
    };
    for (int mode = 0; mode < 5; ++mode) {
        auto in = window(ScreenMode::ViewsOnly);
        in.client = {1000, 800};
        in.folderTreeHidden = true;
        in.multiScreenMode = multiScreenModeFromSetting(mode);
        const auto out = screenLayout(in);
        const auto& panes = expected[static_cast<std::size_t>(mode)];
        EXPECT_EQ(out.viewPaneCount, static_cast<int>(panes.size()));
        for (std::size_t i = 0; i < kMaxViewPanes; ++i) {
            EXPECT_EQ(out.viewPanes[i].visible, i < panes.size()) << mode << " " << i;
            if (i < panes.size()) {
                EXPECT_EQ(box(out.viewPanes[i].rect), panes[i]) << mode << " " << i;
            }
        }
    }
}

TEST(ScreenLayoutMultiScreen, PanesLieInsideTheViewAreaAndBadModesReadAsOne)
{
    // List above with L = 300: view area (0, 300, 1000, 440) in halves of 500.
    auto in = split(SplitPosition::ListAbove, 300);
    in.multiScreenMode = MultiScreenMode::SideBySide;
    const auto out = screenLayout(in);
    EXPECT_EQ(box(out.viewPanes[1].rect), (Box{500, 300, 500, 440}));

    EXPECT_EQ(multiScreenModeFromSetting(5), MultiScreenMode::Single);
    EXPECT_EQ(multiScreenModeFromSetting(-1), MultiScreenMode::Single);
    EXPECT_EQ(splitPositionFromSetting(4), SplitPosition::ListAbove);
}

TEST(ScreenLayoutHiddenTree, ListPaneTakesTheWidthAndShowingRestoresTheStoredWidth)
{
    auto in = window();
    in.folderTreeHidden = true;
    auto out = screenLayout(in);
    EXPECT_EQ(box(out.listPane.rect), (Box{0, 40, 1200, 740}));
    EXPECT_TRUE(out.folderPane.rect.isEmpty() && out.folderTree.rect.isEmpty());

    in.folderTreeHidden = false;
    out = screenLayout(in);
    EXPECT_EQ(box(out.folderPane.rect), (Box{0, 40, 200, 740}));
    EXPECT_EQ(box(out.listPane.rect), (Box{200, 40, 1000, 740}));
}

TEST(ScreenLayoutFullScreen, ViewsAloneShowTheBarsOnlyNearTheirEdges)
{
    auto in = window(ScreenMode::ViewsOnly);
    in.fullScreen = true;
    auto out = screenLayout(in);                       // no pointer: no bars, R = S = 0
    EXPECT_FALSE(out.rebar.visible || out.statusBar.visible);
    EXPECT_EQ(box(out.listPane.rect), (Box{200, 0, 1000, 800}));

    in.pointer = QPoint(600, 39);                      // over the 40-pixel rebar
    out = screenLayout(in);
    EXPECT_TRUE(out.rebar.visible && !out.statusBar.visible);
    EXPECT_EQ(box(out.listPane.rect), (Box{200, 40, 1000, 760}));
    in.pointer = QPoint(600, 40);
    EXPECT_FALSE(screenLayout(in).rebar.visible);

    in.pointer = QPoint(600, 784);                     // 800 - 16: the last 16 rows
    out = screenLayout(in);
    EXPECT_TRUE(out.statusBar.visible);
    EXPECT_EQ(box(out.listPane.rect), (Box{200, 0, 1000, 780}));
    in.pointer = QPoint(600, 783);
    EXPECT_FALSE(screenLayout(in).statusBar.visible);
    in.pointer = QPoint(-1, 790);                      // on another screen
    EXPECT_FALSE(screenLayout(in).statusBar.visible);

    in.rebarHeight = 10;                               // a thin rebar still has 16 rows
    in.pointer = QPoint(0, 15);
    EXPECT_TRUE(screenLayout(in).rebar.visible);
}

TEST(ScreenLayoutFullScreen, OtherModesKeepBothBarsAndOnlyASingleViewLosesItsEdge)
{
    for (auto mode : {ScreenMode::ListOnly, ScreenMode::Split}) {
        auto in = window(mode);
        in.fullScreen = true;
        const auto out = screenLayout(in);
        EXPECT_TRUE(out.rebar.visible && out.statusBar.visible && out.viewPaneEdges);
        EXPECT_EQ(box(out.listPane.rect), (Box{200, 40, 1000, 740}));
    }
    auto in = window(ScreenMode::ViewsOnly);
    EXPECT_TRUE(screenLayout(in).viewPaneEdges);
    in.fullScreen = true;
    EXPECT_FALSE(screenLayout(in).viewPaneEdges);
    in.multiScreenMode = MultiScreenMode::SideBySide;
    EXPECT_TRUE(screenLayout(in).viewPaneEdges);
}

TEST(ScreenLayoutFolderPane, TabsTreeSplitterAndSmallThumbnailWindow)
{
    // Tab control 12 x 1 + 10 = 22 high and 200 - 4 = 196 wide; tree 740 - 22 = 718 high.
    auto in = window();
    auto out = screenLayout(in);
    EXPECT_EQ(box(out.tabs.rect), (Box{0, 0, 196, 22}));
    EXPECT_EQ(box(out.folderTree.rect), (Box{0, 22, 196, 718}));
    EXPECT_EQ(box(out.folderSplitter), (Box{196, 0, 4, 740}));
    EXPECT_TRUE(out.folderTree.visible);
    EXPECT_FALSE(out.collectionTree.visible || out.smallThumbnailWindow.visible);

    in.smallThumbnailWindow = true;                    // one of the two settings is not enough
    EXPECT_FALSE(screenLayout(in).smallThumbnailWindow.visible);
    in.smallThumbnailWindowShown = true;               // tree 740 - 22 - 280 = 438, window at 460
    out = screenLayout(in);
    EXPECT_EQ(box(out.folderTree.rect), (Box{0, 22, 196, 438}));
    EXPECT_EQ(box(out.smallThumbnailWindow.rect), (Box{0, 460, 196, 280}));
    EXPECT_TRUE(out.smallThumbnailWindow.visible);

    in.largeIcons = true;                              // 12 x 2 + 10 = 34; 740 - 34 - 280 = 426
    in.collectionMode = true;
    out = screenLayout(in);
    EXPECT_EQ(box(out.collectionTree.rect), (Box{0, 34, 196, 426}));
    EXPECT_TRUE(out.collectionTree.visible && !out.folderTree.visible);
}

TEST(ScreenLayoutTiny, ABarsOnlyWindowHasAnEmptyContentArea)
{
    // 100 x 50 with bars of 40 + 20: 50 - 60 < 0, so the content is 0 high; the
    // 200-pixel folder pane is cut to the 100-pixel client.
    auto in = window();
    in.client = {100, 50};
    const auto out = screenLayout(in);
    EXPECT_EQ(box(out.statusBar.rect), (Box{0, 30, 100, 20}));
    EXPECT_EQ(box(out.folderPane.rect), (Box{0, 40, 100, 0}));
    EXPECT_EQ(box(out.listPane.rect), (Box{100, 40, 0, 0}));
}

TEST(ScreenLayoutTiny, NoSizeIsEverNegativeAndViewsStayInTheirPane)
{
    for (int width : {-1, 0, 1, 3, 4, 5, 63, 64, 65, 230})
        for (int height : {-1, 0, 1, 21, 60, 61, 83, 400})
            for (int mode = 0; mode < 5; ++mode)
                for (int position = 0; position < 4; ++position)
                    for (auto screen : {ScreenMode::ListOnly, ScreenMode::ViewsOnly, ScreenMode::Split}) {
                        auto in = split(splitPositionFromSetting(position), 200);
                        in.client = {width, height};
                        in.screenMode = screen;
                        in.multiScreenMode = multiScreenModeFromSetting(mode);
                        in.smallThumbnailWindow = in.smallThumbnailWindowShown = true;
                        const auto out = screenLayout(in);
                        const QRect pane(QPoint(0, 0), out.listPane.rect.size());
                        for (const QRect& r : {out.listPane.rect, out.folderPane.rect, out.listView.rect,
                                               out.folderTree.rect, out.tabs.rect, out.folderSplitter})
                            EXPECT_TRUE(r.width() >= 0 && r.height() >= 0);
                        for (const auto& view : out.viewPanes) {
                            EXPECT_TRUE(view.rect.width() >= 0 && view.rect.height() >= 0);
                            EXPECT_TRUE(view.rect.isEmpty() || pane.contains(view.rect)) << width << "x" << height;
                        }
                    }
}

TEST(ScreenLayoutClamping, FolderPaneWidthDefaultMinimumAndClient)
{
    auto in = window();
    for (auto [stored, placed] : {std::pair{0, 200}, std::pair{10, 64}, std::pair{-5, 64}, std::pair{5000, 1200}}) {
        in.folderPaneWidth = stored;
        EXPECT_EQ(box(screenLayout(in).listPane.rect), (Box{placed, 40, 1200 - placed, 740})) << stored;
    }
    EXPECT_EQ(box(screenLayout(in).folderSplitter), (Box{1196, 0, 4, 740}));
}

TEST(ScreenLayoutClamping, ListSizesStayBetweenTheGapAndThePane)
{
    // Not set (0) is 200: list view 196 high, views from 200, 740 - 200 = 540 high.
    auto out = screenLayout(split(SplitPosition::ListAbove, 0));
    EXPECT_EQ(box(out.listView.rect), (Box{0, 0, 1000, 196}));
    EXPECT_EQ(box(out.viewPanes[0].rect), (Box{0, 200, 1000, 540}));
    // 2 is raised to the gap of 4: no list view, views from 4, 736 high.
    out = screenLayout(split(SplitPosition::ListAbove, 2));
    EXPECT_EQ(box(out.listView.rect), (Box{0, 0, 1000, 0}));
    EXPECT_EQ(box(out.viewPanes[0].rect), (Box{0, 4, 1000, 736}));
    // 10000 is cut to the pane's 740: views 736 high, the list view left with nothing.
    out = screenLayout(split(SplitPosition::ViewsAbove, 10000));
    EXPECT_EQ(box(out.viewPanes[0].rect), (Box{0, 0, 1000, 736}));
    EXPECT_EQ(box(out.listView.rect), (Box{0, 740, 1000, 0}));
    // K = 10000 at the right is cut to 1000: list view from 4, 996 wide; views 0 wide.
    out = screenLayout(split(SplitPosition::ListRight, 10000));
    EXPECT_EQ(box(out.listView.rect), (Box{4, 0, 996, 740}));
    EXPECT_EQ(out.viewPanes[0].rect.width(), 0);
}

} // namespace
} // namespace qlx::viewer
