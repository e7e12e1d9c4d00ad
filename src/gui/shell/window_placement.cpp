#include "shell/window_placement.h"

#include <QWidget>

#include <algorithm>

namespace qlx::gui {

namespace {

int clampPosition(int value, int desktopExtent)
{
    // A desktop smaller than the visible edge leaves no room: position 0.
    const int highest = std::max(0, desktopExtent - kVisibleEdge);
    return std::clamp(value, 0, highest);
}

} // namespace

WindowPlacement restoredPlacement(const WindowPlacement& stored, QSize desktop)
{
    WindowPlacement placement;
    if (stored.width != 0 && stored.height != 0) {
        placement.left = clampPosition(stored.left, desktop.width());
        placement.top = clampPosition(stored.top, desktop.height());
        placement.width = stored.width;
        placement.height = stored.height;
    } else {
        placement.left = kFirstStartOffset;
        placement.top = kFirstStartOffset;
        placement.width = desktop.width() - kFirstStartMargin;
        placement.height = desktop.height() - kFirstStartMargin;
    }
    placement.width = std::max(placement.width, kMinimumWindowWidth);
    placement.height = std::max(placement.height, kMinimumWindowHeight);
    return placement;
}

WindowPlacement storedPlacement(const settings::SettingsRecord& record)
{
    using settings::kWindowPlacement;
    return {record.get(kWindowPlacement, 0), record.get(kWindowPlacement, 1),
            record.get(kWindowPlacement, 2), record.get(kWindowPlacement, 3)};
}

WindowStateSnapshot snapshotOf(const QWidget& window)
{
    WindowStateSnapshot state;
    state.maximised = window.isMaximized();
    state.fullScreen = window.isFullScreen();
    state.normal = {window.x(), window.y(), window.width(), window.height()};
    return state;
}

void storeWindowState(settings::SettingsRecord& record, const WindowStateSnapshot& state)
{
    using namespace settings;
    record.set(kWasMaximised, static_cast<std::uint8_t>(state.maximised ? 1 : 0));
    record.set(kWasFullScreen, static_cast<std::uint8_t>(state.fullScreen ? 1 : 0));
    if (state.maximised || state.fullScreen)
        return;
    record.set(kWindowPlacement, 0, state.normal.left);
    record.set(kWindowPlacement, 1, state.normal.top);
    record.set(kWindowPlacement, 2, state.normal.width);
    record.set(kWindowPlacement, 3, state.normal.height);
}

} // namespace qlx::gui
