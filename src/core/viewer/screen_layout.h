#pragma once
// The screen layout: where the main window puts the rebar, the status bar,
// the folder pane and the list pane, and inside the list pane the list view
// and up to four view panes. One pure function of the window's size and its
// display modes; the main window calls it on every resize and after every
// change of a mode, and moves its widgets to what it answers.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <optional>

namespace qlx::viewer {

// What the list pane shows (the Enter and F11 commands switch it).
enum class ScreenMode { ListOnly = 1, ViewsOnly = 2, Split = 3 };

// Where the list view sits beside the views in ScreenMode::Split.
enum class SplitPosition { ListAbove = 0, ViewsAbove = 1, ListRight = 2, ListLeft = 3 };

// How the view area is divided (commands 435 to 439, key F12).
enum class MultiScreenMode { Single = 0, SideBySide = 1, Stacked = 2, Three = 3, Grid = 4 };

inline constexpr int kMaxViewPanes = 4;

// The stored settings `kMultiScreenMode` and `kSplitPosition` as modes; a
// value outside the known range reads as the first mode, so that a damaged
// settings file still gives a usable window.
MultiScreenMode multiScreenModeFromSetting(std::int32_t stored);
SplitPosition splitPositionFromSetting(std::int32_t stored);

// 1, 2, 2, 3 and 4 panes for the five modes.
int viewPaneCount(MultiScreenMode mode);

struct ScreenLayoutInput {
    QSize client;                 // the main window's client area, W x H
    int rebarHeight = 0;          // R, the rebar's own height; 0 when it is switched off
    int statusBarHeight = 0;      // S, likewise
    ScreenMode screenMode = ScreenMode::Split;
    SplitPosition splitPosition = SplitPosition::ListAbove;
    int listHeight = 200;         // L: list view and the 4-pixel gap, positions 0 and 1
    int listWidth = 200;          // K: the same across, positions 2 and 3
    MultiScreenMode multiScreenMode = MultiScreenMode::Single;
    int folderPaneWidth = 200;    // F as stored (`kFolderPaneWidth`); 0 means not set
    bool largeIcons = false;      // `kLargeIcons`: icon scale 2 instead of 1
    bool folderTreeHidden = false;                // the Tab key
    bool fullScreen = false;                      // the Esc key
    bool collectionMode = false;                  // which tree the folder pane shows
    bool smallThumbnailWindow = false;            // `kSmallThumbnailWindow`
    bool smallThumbnailWindowShown = false;       // `kSmallThumbnailWindowShown`
    // The pointer in client coordinates, nothing when it is elsewhere. Only
    // full screen with the views alone looks at it.
    std::optional<QPoint> pointer;
    // The video control bar's height while it is shown (the current entry
    // is a video), else 0: it takes that strip off the bottom of the views.
    int videoBarHeight = 0;
};

// One window's place and whether it is shown after the layout. A shown
// window of zero size shows nothing; that is how the hidden folder tree
// looks.
struct Placement {
    QRect rect;
    bool visible = false;
};

struct ScreenLayout {
    // In client coordinates.
    Placement rebar;
    Placement statusBar;
    Placement folderPane;
    Placement listPane;

    // In folder-pane coordinates. Both trees get the same rectangle; the one
    // of the current mode is shown.
    Placement tabs;
    Placement folderTree;
    Placement collectionTree;
    Placement smallThumbnailWindow;
    QRect folderSplitter;         // the pane's right-hand 4 pixels

    // In list-pane coordinates.
    Placement listView;
    QRect viewArea;               // what the view panes divide among them
    QRect splitBar;               // the 4-pixel gap in ScreenMode::Split, else empty
    std::array<Placement, kMaxViewPanes> viewPanes{};
    Placement videoBar;           // under the view panes, across their width
    int viewPaneCount = 1;
    bool viewPaneEdges = true;    // the thin static edge around each view pane
};

ScreenLayout screenLayout(const ScreenLayoutInput& input);

} // namespace qlx::viewer
