#include "imagelist/favourites_menu.h"

#include "imagelist/favourite_folders.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/imagelist_messages.h"
#include "shell/menu_builder.h"
#include "shell/qt_text.h"

namespace qlx::gui {

FavouritesMenu::FavouritesMenu(settings::SettingsRecord& settings, MenuBuilder& menus, FolderPaneDialogs& dialogs,
                               QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_menus(menus)
    , m_dialogs(dialogs)
{
    refresh();
}

QStringList FavouritesMenu::favourites() const
{
    QStringList folders;
    for (const std::u16string& folder : imagelist::favouriteFolders(m_settings))
        folders.append(toQString(folder));
    return folders;
}

bool FavouritesMenu::registerFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    // "Check the settings" is offered once the settings pages are there.
    const bool settingsButton = m_menus.available().contains(shell::Availability::Settings);
    switch (m_dialogs.askSettings(toQString(imagelist::messages::registerFavouriteQuestion(u16View(folder))),
                                  settingsButton)) {
    case SettingsAnswer::CheckSettings:
        Q_EMIT settingsPageRequested(kSettingsPage);
        return false;
    case SettingsAnswer::No:
        return false;
    case SettingsAnswer::Yes:
        break;
    }
    if (imagelist::registerFavourite(m_settings, u16View(folder)) != imagelist::FavouriteResult::Registered)
        return false;
    refresh();
    Q_EMIT favouritesChanged();
    return true;
}

void FavouritesMenu::refresh()
{
    m_entries = favourites();
    m_menus.setListEntries(shell::MenuId::Favourites, m_entries);
}

} // namespace qlx::gui
