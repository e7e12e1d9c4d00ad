#pragma once
// The main window's placement: how a stored placement is brought back onto
// the desktop, and what the settings record keeps of the window.
//
// The record keeps left, top, width and height of the window in its normal
// (neither maximised nor full-screen) state, plus two flags. Left and top are
// the position of the window's frame, width and height the size of its
// contents, which is what Qt's move() and resize() take; a placement stored
// by one run therefore comes back unchanged in the next.

#include "shell/settings_record.h"

#include <QSize>

class QWidget;

namespace qlx::gui {

struct WindowPlacement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// The smallest window the program opens, and how far a stored position is
// kept away from the right and bottom edges of the desktop so that some of
// the window can always be grabbed.
inline constexpr int kMinimumWindowWidth = 43;
inline constexpr int kMinimumWindowHeight = 100;
inline constexpr int kVisibleEdge = 64;
// Without a stored size the window opens at (50, 50), 100 pixels smaller
// than the desktop in each direction.
inline constexpr int kFirstStartOffset = 50;
inline constexpr int kFirstStartMargin = 100;

// The placement to open the window with. A stored placement counts when its
// width and height are both non-zero: left is clamped to 0 .. desktop width
// - 64 and top to 0 .. desktop height - 64, and a width below 43 or a height
// below 100 is raised to it. Without one: (50, 50) and the desktop size less
// 100, with the same minimums.
WindowPlacement restoredPlacement(const WindowPlacement& stored, QSize desktop);

WindowPlacement storedPlacement(const settings::SettingsRecord& record);

// What a save records of the window.
struct WindowStateSnapshot {
    bool maximised = false;
    bool fullScreen = false;
    WindowPlacement normal;
};

WindowStateSnapshot snapshotOf(const QWidget& window);

// Stores both flags; the placement only when the window is neither maximised
// nor full-screen (otherwise the last normal placement stays as stored).
void storeWindowState(settings::SettingsRecord& record, const WindowStateSnapshot& state);

} // namespace qlx::gui
