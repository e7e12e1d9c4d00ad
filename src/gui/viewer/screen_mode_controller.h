#pragma once
// The list pane's screens as the user switches them: Enter between the main
// screen and the thumbnail screen, F11 (and command 218) the thumbnail split
// of the main screen, Shift+F11 the split position, Tab the folder tree
// (core/viewer/screen_modes.h has the rules). The choice goes into the
// settings as it changes and comes back from them at start; the browser
// area places the panes. The tool box's two-state buttons for Enter, Tab and
// Esc show the label and picture of what they do next.
//
// Thread model: user-interface thread only.

#include "viewer/screen_modes.h"

#include <QObject>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class BrowserArea;
class MenuBuilder;

class ScreenModeController : public QObject {
    Q_OBJECT
public:
    // Shows the screen the settings keep.
    ScreenModeController(BrowserArea& area, settings::SettingsRecord& settings, MenuBuilder& menus,
                         QObject* parent = nullptr);

    void switchScreens();     // Enter
    void toggleSplit();       // F11, command 218
    void nextSplitPosition(); // Shift+F11
    void toggleFolderTree();  // Tab

    const viewer::ScreenChoice& choice() const { return m_choice; }
    // The views fill the list pane: Space changes what they show over the
    // picture instead of the list's display style.
    bool viewsAlone() const { return m_choice.mode() == viewer::ScreenMode::ViewsOnly; }

private:
    void show(const viewer::ScreenChoice& choice);
    void updateButtons();

    BrowserArea& m_area;
    settings::SettingsRecord& m_settings;
    MenuBuilder& m_menus;
    viewer::ScreenChoice m_choice;
};

} // namespace qlx::gui
