#pragma once
// The two screens of the list pane and how the keys move between them.
//
// The main screen shows the views. With the thumbnail split on (as at the
// first start) the list of thumbnails stands beside them at the split
// position; with it off the views are alone. The thumbnail screen shows the
// list alone.
//
//  - Enter switches between the two screens. The main screen comes back as
//    it was left: split, or the views alone.
//  - F11 turns the thumbnail split of the main screen on or off. From the
//    thumbnail screen it opens the main screen, split.
//  - Shift+F11 moves the list to the next split position (above the views,
//    below them, at their right, at their left, above again) and shows the
//    main screen split.
//
// The settings keep the choice: the list pane mode (1 the main screen, as
// the pane is created; any other value the thumbnail screen), the split
// switch and the split position.

#include "viewer/screen_layout.h"

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::viewer {

struct ScreenChoice {
    bool thumbnailScreen = false;
    bool split = true;
    SplitPosition position = SplitPosition::ListAbove;

    ScreenMode mode() const;
    friend bool operator==(const ScreenChoice&, const ScreenChoice&) = default;
};

ScreenChoice switchScreens(ScreenChoice choice);     // Enter
ScreenChoice toggleSplit(ScreenChoice choice);       // F11
ScreenChoice nextSplitPosition(ScreenChoice choice); // Shift+F11

ScreenChoice storedScreenChoice(const settings::SettingsRecord& record);
void storeScreenChoice(settings::SettingsRecord& record, const ScreenChoice& choice);

} // namespace qlx::viewer
