#include "viewer/screen_layout.h"

#include <algorithm>
#include <cstddef>

namespace qlx::viewer {
namespace {

// The gap between the list view and the views in the split screen; the
// stored list height and width include it.
constexpr int kSplitGap = 4;
// The folder pane's right-hand sizing bar.
constexpr int kFolderSplitterWidth = 4;
// A stored pane size of 0 means "never set" and stands for this.
constexpr int kDefaultPaneSize = 200;
// The folder pane's narrowest width, the same limit its splitter drags to.
constexpr int kMinFolderPaneWidth = 64;
// The small thumbnail window under the tree: fixed height, whatever the pane.
constexpr int kSmallThumbnailWindowHeight = 280;
// Full screen with the views alone: the status bar comes up while the
// pointer is this close to the bottom edge. The rebar comes up while the
// pointer is over the place it would take, but never in a band thinner than
// this, so that a thin rebar is as easy to reach as the status bar.
constexpr int kRevealBand = 16;
// The tab control's height at icon scale s is kTabTextHeight x s + kTabPadding.
constexpr int kTabTextHeight = 12;
constexpr int kTabPadding = 10;

// Sizes worked out from a window that has become smaller than its panes come
// out negative; such a window is given no size at all.
int nonNegative(int value)
{
    return std::max(value, 0);
}

QRect sized(int x, int y, int width, int height)
{
    return {x, y, nonNegative(width), nonNegative(height)};
}

int storedPaneSize(int stored)
{
    return stored == 0 ? kDefaultPaneSize : stored;
}

// The folder pane as stored, at least 64 pixels, and never wider than the
// client: after the window has been made narrower than the pane, its
// splitter must still be there to drag.
int folderPaneWidth(int stored, int clientWidth)
{
    return std::min(std::max(storedPaneSize(stored), kMinFolderPaneWidth), clientWidth);
}

// The list height or width: never less than its own gap, and never more than
// the list pane it divides, so that neither the list view nor the views are
// placed outside the pane when the window has been made smaller.
int listExtent(int stored, int paneExtent)
{
    return std::min(std::max(storedPaneSize(stored), kSplitGap), paneExtent);
}

struct Bars {
    bool rebar = true;
    bool statusBar = true;
};

Bars barsShown(const ScreenLayoutInput& in, int clientWidth, int clientHeight)
{
    if (!in.fullScreen || in.screenMode != ScreenMode::ViewsOnly)
        return {};
    if (!in.pointer || !QRect(0, 0, clientWidth, clientHeight).contains(*in.pointer))
        return {false, false};
    const int y = in.pointer->y();
    return {y < std::max(in.rebarHeight, kRevealBand), y >= clientHeight - kRevealBand};
}

// Halves by arithmetic shift, as the panes have always been divided; on the
// non-negative sizes used here it is integer division by 2.
int half(int value)
{
    return value >> 1;
}

std::array<QRect, kMaxViewPanes> divideViewArea(const QRect& area, MultiScreenMode mode)
{
    const int x = area.x();
    const int y = area.y();
    const int a = area.width();
    const int b = area.height();
    switch (mode) {
    case MultiScreenMode::Single:
        return {area};
    case MultiScreenMode::SideBySide:
        return {QRect(x, y, half(a), b), QRect(x + half(a), y, half(a), b)};
    case MultiScreenMode::Stacked:
        return {QRect(x, y, a, half(b)), QRect(x, y + half(b), a, half(b))};
    case MultiScreenMode::Three: {
        // The remainder of the division stays empty at the right-hand side.
        const int third = a / 3;
        return {QRect(x, y, third, b), QRect(x + third, y, third, b), QRect(x + 2 * third, y, third, b)};
    }
    case MultiScreenMode::Grid:
        // Reading order: top left, top right, bottom left, bottom right.
        return {QRect(x, y, half(a), half(b)), QRect(x + half(a), y, half(a), half(b)),
                QRect(x, y + half(b), half(a), half(b)), QRect(x + half(a), y + half(b), half(a), half(b))};
    }
    return {area};
}

// The list view, the view area and the gap between them, in list-pane
// coordinates; `statusBarBottom` is H − S, the height the hidden list view
// keeps while the views fill the pane.
void placeListPaneInterior(const ScreenLayoutInput& in, int w, int h, int statusBarBottom, ScreenLayout& out)
{
    out.listView.visible = in.screenMode != ScreenMode::ViewsOnly;
    switch (in.screenMode) {
    case ScreenMode::ListOnly:
        out.listView.rect = sized(0, 0, w, h);
        return;
    case ScreenMode::ViewsOnly:
        out.listView.rect = sized(0, 0, w, statusBarBottom);
        out.viewArea = sized(0, 0, w, h);
        return;
    case ScreenMode::Split:
        break;
    }
    const int listHeight = listExtent(in.listHeight, h);
    const int listWidth = listExtent(in.listWidth, w);
    switch (in.splitPosition) {
    case SplitPosition::ListAbove:
        out.listView.rect = sized(0, 0, w, listHeight - kSplitGap);
        out.splitBar = sized(0, listHeight - kSplitGap, w, kSplitGap);
        out.viewArea = sized(0, listHeight, w, h - listHeight);
        return;
    case SplitPosition::ViewsAbove:
        out.viewArea = sized(0, 0, w, listHeight - kSplitGap);
        out.splitBar = sized(0, listHeight - kSplitGap, w, kSplitGap);
        out.listView.rect = sized(0, listHeight, w, h - listHeight);
        return;
    case SplitPosition::ListRight:
        out.listView.rect = sized(w - listWidth + kSplitGap, 0, listWidth - kSplitGap, h);
        out.splitBar = sized(w - listWidth, 0, kSplitGap, h);
        out.viewArea = sized(0, 0, w - listWidth, h);
        return;
    case SplitPosition::ListLeft:
        // Here the list view is the whole list width and the gap lies beyond
        // it, so list and gap take K + 4 pixels, not K as in the other three
        // positions. The program has always placed it so; stored widths rely
        // on it.
        out.listView.rect = sized(0, 0, listWidth, h);
        out.splitBar = sized(listWidth, 0, kSplitGap, h);
        out.viewArea = sized(listWidth + kSplitGap, 0, w - listWidth - kSplitGap, h);
        return;
    }
}

void placeViewPanes(const ScreenLayoutInput& in, ScreenLayout& out)
{
    out.viewPaneCount = viewPaneCount(in.multiScreenMode);
    out.viewPaneEdges = !(in.fullScreen && in.screenMode == ScreenMode::ViewsOnly
                          && in.multiScreenMode == MultiScreenMode::Single);
    if (in.screenMode == ScreenMode::ListOnly)
        return;
    const int barHeight = std::min(nonNegative(in.videoBarHeight), out.viewArea.height());
    if (barHeight > 0) {
        const QRect& area = out.viewArea;
        out.videoBar = {QRect(area.x(), area.y() + area.height() - barHeight, area.width(), barHeight), true};
        out.viewArea.setHeight(area.height() - barHeight);
    }
    const auto rects = divideViewArea(out.viewArea, in.multiScreenMode);
    for (int i = 0; i < out.viewPaneCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        out.viewPanes[slot] = {rects[slot], true};
    }
}

// The tab control on top, the tree below it, the small thumbnail window
// under the tree when it is on, the splitter at the right edge; in
// folder-pane coordinates, `width` wide and `height` high.
void placeFolderPaneInterior(const ScreenLayoutInput& in, int width, int height, ScreenLayout& out)
{
    const int tabHeight = kTabTextHeight * (in.largeIcons ? 2 : 1) + kTabPadding;
    const bool thumbnailWindowOn = in.smallThumbnailWindow && in.smallThumbnailWindowShown;
    const int thumbnailWindowHeight = thumbnailWindowOn ? kSmallThumbnailWindowHeight : 0;
    const int innerWidth = width - kFolderSplitterWidth;

    out.tabs = {sized(0, 0, innerWidth, tabHeight), true};
    const QRect tree = sized(0, tabHeight, innerWidth, height - tabHeight - thumbnailWindowHeight);
    out.folderTree = {tree, !in.collectionMode};
    out.collectionTree = {tree, in.collectionMode};
    if (thumbnailWindowOn)
        out.smallThumbnailWindow = {sized(0, tabHeight + tree.height(), innerWidth, kSmallThumbnailWindowHeight), true};
    out.folderSplitter = sized(nonNegative(innerWidth), 0, std::min(width, kFolderSplitterWidth), height);
}

} // namespace

MultiScreenMode multiScreenModeFromSetting(std::int32_t stored)
{
    if (stored < 0 || stored > static_cast<std::int32_t>(MultiScreenMode::Grid))
        return MultiScreenMode::Single;
    return static_cast<MultiScreenMode>(stored);
}

SplitPosition splitPositionFromSetting(std::int32_t stored)
{
    if (stored < 0 || stored > static_cast<std::int32_t>(SplitPosition::ListLeft))
        return SplitPosition::ListAbove;
    return static_cast<SplitPosition>(stored);
}

int viewPaneCount(MultiScreenMode mode)
{
    switch (mode) {
    case MultiScreenMode::Single:
        return 1;
    case MultiScreenMode::SideBySide:
    case MultiScreenMode::Stacked:
        return 2;
    case MultiScreenMode::Three:
        return 3;
    case MultiScreenMode::Grid:
        return 4;
    }
    return 1;
}

ScreenLayout screenLayout(const ScreenLayoutInput& in)
{
    ScreenLayout out;
    const int clientWidth = nonNegative(in.client.width());
    const int clientHeight = nonNegative(in.client.height());

    const Bars bars = barsShown(in, clientWidth, clientHeight);
    const int rebarHeight = bars.rebar ? nonNegative(in.rebarHeight) : 0;
    const int statusBarHeight = bars.statusBar ? nonNegative(in.statusBarHeight) : 0;
    if (rebarHeight > 0)
        out.rebar = {QRect(0, 0, clientWidth, rebarHeight), true};
    if (statusBarHeight > 0)
        out.statusBar = {QRect(0, clientHeight - statusBarHeight, clientWidth, statusBarHeight), true};

    const int contentHeight = nonNegative(clientHeight - rebarHeight - statusBarHeight);
    const int paneWidth = folderPaneWidth(in.folderPaneWidth, clientWidth);
    if (in.folderTreeHidden) {
        out.folderPane = {QRect(0, rebarHeight, 0, 0), true};
        out.listPane = {QRect(0, rebarHeight, clientWidth, contentHeight), true};
    } else {
        out.folderPane = {QRect(0, rebarHeight, paneWidth, contentHeight), true};
        out.listPane = {QRect(paneWidth, rebarHeight, clientWidth - paneWidth, contentHeight), true};
    }
    placeFolderPaneInterior(in, out.folderPane.rect.width(), contentHeight, out);

    const int w = out.listPane.rect.width();
    const int h = out.listPane.rect.height();
    placeListPaneInterior(in, w, h, nonNegative(clientHeight - statusBarHeight), out);
    placeViewPanes(in, out);
    return out;
}

} // namespace qlx::viewer
