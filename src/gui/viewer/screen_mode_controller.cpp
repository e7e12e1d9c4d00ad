#include "viewer/screen_mode_controller.h"

#include "shell/menu_builder.h"
#include "viewer/browser_area.h"

namespace qlx::gui {

ScreenModeController::ScreenModeController(BrowserArea& area, settings::SettingsRecord& settings,
                                           MenuBuilder& menus, QObject* parent)
    : QObject(parent)
    , m_area(area)
    , m_settings(settings)
    , m_menus(menus)
{
    connect(&m_area, &BrowserArea::modesChanged, this, &ScreenModeController::updateButtons);
    show(viewer::storedScreenChoice(settings));
}

void ScreenModeController::switchScreens()
{
    show(viewer::switchScreens(m_choice));
}

void ScreenModeController::toggleSplit()
{
    show(viewer::toggleSplit(m_choice));
}

void ScreenModeController::nextSplitPosition()
{
    show(viewer::nextSplitPosition(m_choice));
}

void ScreenModeController::toggleFolderTree()
{
    m_area.toggleFolderTree();
}

void ScreenModeController::show(const viewer::ScreenChoice& choice)
{
    m_choice = choice;
    // The area reads the split position from the settings.
    viewer::storeScreenChoice(m_settings, choice);
    m_area.setScreenMode(choice.mode());
}

void ScreenModeController::updateButtons()
{
    m_menus.setToolButtonState(shell::ToolKey::Enter, m_choice.thumbnailScreen);
    m_menus.setToolButtonState(shell::ToolKey::Tab, m_area.folderTreeHidden());
    m_menus.setToolButtonState(shell::ToolKey::Escape, m_area.fullScreen());
}

} // namespace qlx::gui
