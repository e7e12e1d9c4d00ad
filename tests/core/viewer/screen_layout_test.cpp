// The screen layout, worked out by hand. Unless a row says otherwise the
// window is 1200 × 800 with a 40-pixel rebar, a 20-pixel status bar and a
// 200-pixel folder pane, so the content height is 800 − 40 − 20 = 740 and the
// list pane is (1200 − 200) × 740 = 1000 × 740.

#include "viewer/screen_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace qlx::viewer {
namespace {

using In = ScreenLayoutInput;

// The named windows of a layout as "x,y,w,h" each, "-" for one that shows
// nothing (hidden or of no size); "edges" says whether view panes have theirs.
std::string describe(const ScreenLayout& out, const std::string& names)
{
    const auto rect = [](const QRect& r, bool shown = true) {
        return !shown || r.isEmpty() ? std::string("-")
                                     : std::to_string(r.x()) + ',' + std::to_string(r.y()) + ','
                                           + std::to_string(r.width()) + ',' + std::to_string(r.height());
    };
    const auto placed = [&rect](const Placement& p) { return rect(p.rect, p.visible); };
    const std::map<std::string, std::string> shown = {
        {"rebar", placed(out.rebar)}, {"status", placed(out.statusBar)}, {"folderPane", placed(out.folderPane)},
        {"listPane", placed(out.listPane)}, {"tabs", placed(out.tabs)}, {"tree", placed(out.folderTree)},
        {"collections", placed(out.collectionTree)}, {"small", placed(out.smallThumbnailWindow)},
        {"splitter", rect(out.folderSplitter)}, {"listView", placed(out.listView)}, {"splitBar", rect(out.splitBar)},
        {"view0", placed(out.viewPanes[0])}, {"view1", placed(out.viewPanes[1])}, {"view2", placed(out.viewPanes[2])},
        {"view3", placed(out.viewPanes[3])}, {"videoBar", placed(out.videoBar)}, {"edges", out.viewPaneEdges ? "yes" : "no"}};
    std::istringstream in(names);
    std::string text;
    for (std::string name; in >> name;)
        text += (text.empty() ? "" : " ") + shown.at(name);
    return text;
}

In window(QSize client = {1200, 800})
{
    In in;
    in.client = client;
    in.rebarHeight = 40;
    in.statusBarHeight = 20;
    return in;
}

void viewsFullScreen(In& in)
{
    in.screenMode = ScreenMode::ViewsOnly;
    in.fullScreen = true;
}

TEST(ScreenLayoutTest, EveryWindowWhereTheRulesPutIt)
{
    const struct {
        void (*setup)(In&);
        const char* names;
        const char* expected;
    } cases[] = {
        // Bars at the edges, the folder pane at the left, the list pane the rest.
        // In the folder pane, tabs 12 × 1 + 10 = 22 high and 200 − 4 = 196 wide,
        // the tree 740 − 22 = 718 high.
        {[](In&) {}, "rebar status folderPane listPane tabs tree splitter collections small",
         "0,0,1200,40 0,780,1200,20 0,40,200,740 200,40,1000,740 0,0,196,22 0,22,196,718 196,0,4,740 - -"},
        {[](In& in) { in.screenMode = ScreenMode::ListOnly; }, "listView view0 view1 splitBar", "0,0,1000,740 - - -"},
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; }, "listView view0 splitBar edges", "- 0,0,1000,740 - yes"},
        // Split at L = 300: the upper part 300 − 4 = 296 high, the lower from 300, 740 − 300 = 440 high.
        {[](In& in) { in.listHeight = 300; }, "listView splitBar view0", "0,0,1000,296 0,296,1000,4 0,300,1000,440"},
        {[](In& in) { in.listHeight = 300; in.splitPosition = SplitPosition::ViewsAbove; }, "listView splitBar view0",
         "0,300,1000,440 0,296,1000,4 0,0,1000,296"},
        // K = 300 at the right: the list view 296 wide from 1000 − 300 + 4; the views 1000 − 300 wide.
        {[](In& in) { in.listWidth = 300; in.splitPosition = SplitPosition::ListRight; }, "listView splitBar view0",
         "704,0,296,740 700,0,4,740 0,0,700,740"},
        // K = 300 at the left: the list view the whole 300, the views from 304, 1000 − 304 wide.
        {[](In& in) { in.listWidth = 300; in.splitPosition = SplitPosition::ListLeft; }, "listView splitBar view0",
         "0,0,300,740 300,0,4,740 304,0,696,740"},
        // The video bar, 23 high, takes the bottom of the views: 740 − 23 = 717 for the
        // panes, stacked ones in halves of 358; with the list alone it has no place.
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; in.videoBarHeight = 23; }, "view0 videoBar",
         "0,0,1000,717 0,717,1000,23"},
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; in.videoBarHeight = 23; in.multiScreenMode = MultiScreenMode::Stacked; },
         "view0 view1 videoBar", "0,0,1000,358 0,358,1000,358 0,717,1000,23"},
        {[](In& in) { in.listHeight = 300; in.videoBarHeight = 23; }, "view0 videoBar", "0,300,1000,417 0,717,1000,23"},
        {[](In& in) { in.screenMode = ScreenMode::ListOnly; in.videoBarHeight = 23; }, "videoBar", "-"},
        // A hidden tree leaves the width to the list pane.
        {[](In& in) { in.folderTreeHidden = true; }, "folderPane tree listPane", "- - 0,40,1200,740"},
        // Full screen with the views alone: the bars only while the pointer is near their edge.
        {[](In& in) { viewsFullScreen(in); }, "rebar status listPane edges", "- - 200,0,1000,800 no"},
        {[](In& in) { viewsFullScreen(in); in.pointer = QPoint(600, 39); },
         "rebar status listPane", "0,0,1200,40 - 200,40,1000,760"},
        {[](In& in) { viewsFullScreen(in); in.pointer = QPoint(600, 40); }, "rebar", "-"},
        // The last 16 rows: 800 − 16 = 784.
        {[](In& in) { viewsFullScreen(in); in.pointer = QPoint(600, 784); },
         "status listPane", "0,780,1200,20 200,0,1000,780"},
        {[](In& in) { viewsFullScreen(in); in.pointer = QPoint(600, 783); }, "status", "-"},
        {[](In& in) { viewsFullScreen(in); in.pointer = QPoint(-1, 790); }, "status", "-"}, // on another screen
        // A thin rebar is still revealed over 16 rows.
        {[](In& in) { viewsFullScreen(in); in.rebarHeight = 10; in.pointer = QPoint(0, 15); }, "rebar", "0,0,1200,10"},
        // Other modes keep both bars; only a single view pane loses its edge.
        {[](In& in) { in.fullScreen = true; }, "rebar status listPane edges",
         "0,0,1200,40 0,780,1200,20 200,40,1000,740 yes"},
        // More than one view keeps its edges, full screen too: 1000 × 800 in halves of 500.
        {[](In& in) { viewsFullScreen(in); in.multiScreenMode = MultiScreenMode::SideBySide; }, "view0 view1 view2 edges",
         "0,0,500,800 500,0,500,800 - yes"},
        // Views alone in 1000 × 740: halves of 370, thirds of 1000 / 3 = 333
        // at 0, 333 and 666 (column 999 stays empty), quarters in reading order.
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; in.multiScreenMode = MultiScreenMode::Stacked; },
         "view0 view1 view2", "0,0,1000,370 0,370,1000,370 -"},
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; in.multiScreenMode = MultiScreenMode::Three; },
         "view0 view1 view2 view3", "0,0,333,740 333,0,333,740 666,0,333,740 -"},
        {[](In& in) { in.screenMode = ScreenMode::ViewsOnly; in.multiScreenMode = MultiScreenMode::Grid; },
         "view0 view1 view2 view3", "0,0,500,370 500,0,500,370 0,370,500,370 500,370,500,370"},
        {[](In& in) { in.smallThumbnailWindow = true; }, "small", "-"}, // one of the two settings is not enough
        // The small thumbnail window: the tree 740 − 22 − 280 = 438 high, the window at 460.
        {[](In& in) { in.smallThumbnailWindow = in.smallThumbnailWindowShown = true; }, "tree small",
         "0,22,196,438 0,460,196,280"},
        // Large icons: 12 × 2 + 10 = 34; 740 − 34 − 280 = 426.
        {[](In& in) { in.smallThumbnailWindow = in.smallThumbnailWindowShown = in.largeIcons = in.collectionMode = true; },
         "collections tree", "0,34,196,426 -"},
        // 100 × 50 with bars of 40 + 20: the content is 0 high.
        {[](In& in) { in.client = {100, 50}; }, "status folderPane listPane", "0,30,100,20 - -"},
        // Pane and list sizes: 0 is unset (200); the folder pane at least 64 and
        // at most the client, the list at least its gap of 4 and at most the pane.
        {[](In& in) { in.folderPaneWidth = in.listHeight = 0; }, "listPane listView view0",
         "200,40,1000,740 0,0,1000,196 0,200,1000,540"},
        {[](In& in) { in.folderPaneWidth = 10; in.listHeight = 2; }, "listPane listView view0",
         "64,40,1136,740 - 0,4,1136,736"},
        {[](In& in) { in.folderPaneWidth = 5000; }, "listPane splitter", "- 1196,0,4,740"},
        {[](In& in) { in.listHeight = 10000; in.splitPosition = SplitPosition::ViewsAbove; }, "view0 listView",
         "0,0,1000,736 -"},
        {[](In& in) { in.listWidth = 10000; in.splitPosition = SplitPosition::ListRight; }, "listView view0",
         "4,0,996,740 -"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        In in = window();
        cases[i].setup(in);
        EXPECT_EQ(describe(screenLayout(in), cases[i].names), cases[i].expected) << "row " << i;
    }
    // Stored values outside the known range read as the first mode.
    EXPECT_EQ(multiScreenModeFromSetting(5), MultiScreenMode::Single);
    EXPECT_EQ(multiScreenModeFromSetting(-1), MultiScreenMode::Single);
    EXPECT_EQ(splitPositionFromSetting(4), SplitPosition::ListAbove);
}

// Windows made smaller than their panes, in every mode: no size is ever
// negative and every view pane stays inside the list pane.
TEST(ScreenLayoutTest, NoSizeIsEverNegativeAndViewsStayInTheirPane)
{
    for (int width : {-1, 0, 1, 3, 4, 5, 63, 64, 65, 230})
        for (int height : {-1, 0, 1, 21, 60, 61, 83, 400})
            for (int modes = 0; modes < 3 * 4 * 5; ++modes) { // screen mode, split position, multi-screen mode
                In in = window({width, height});
                in.screenMode = static_cast<ScreenMode>(1 + modes / 20);
                in.splitPosition = static_cast<SplitPosition>(modes / 5 % 4);
                in.multiScreenMode = static_cast<MultiScreenMode>(modes % 5);
                in.smallThumbnailWindow = in.smallThumbnailWindowShown = true;
                const auto out = screenLayout(in);
                const QRect pane(QPoint(0, 0), out.listPane.rect.size());
                for (const QRect& r : {out.listPane.rect, out.folderPane.rect, out.listView.rect, out.folderTree.rect,
                                       out.tabs.rect, out.folderSplitter, out.viewPanes[0].rect, out.viewPanes[1].rect,
                                       out.viewPanes[2].rect, out.viewPanes[3].rect})
                    EXPECT_TRUE(r.width() >= 0 && r.height() >= 0);
                for (const auto& view : out.viewPanes)
                    EXPECT_TRUE(view.rect.isEmpty() || pane.contains(view.rect)) << width << "x" << height << " " << modes;
            }
}

} // namespace
} // namespace qlx::viewer
