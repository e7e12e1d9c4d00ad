#pragma once
// The favourite folders of the folder pane: registering a folder, after the
// three-button question that also offers the settings page of favourites
// (while the program has its settings pages),
// and the favourites' run-time list in the menus, which this fills and
// whose entries it names. The favourites themselves live in the settings
// record (imagelist/favourite_folders.h): newest first, unique under the
// path equality test, at most 128.

#include <QObject>
#include <QStringList>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::gui {

class MenuBuilder;
class FolderPaneDialogs;

class FavouritesMenu : public QObject {
    Q_OBJECT
public:
    // The settings page that "check the settings" opens.
    static constexpr int kSettingsPage = 11;

    FavouritesMenu(settings::SettingsRecord& settings, MenuBuilder& menus, FolderPaneDialogs& dialogs,
                   QObject* parent = nullptr);

    QStringList favourites() const;
    bool registerFolder(const QString& folder);
    // Fills the menus' list with the favourites as they are now.
    void refresh();
    // The folder entry `entry` of the list showed; empty for no entry.
    QString folderAt(int entry) const { return m_entries.value(entry); }

Q_SIGNALS:
    void favouritesChanged();
    void settingsPageRequested(int page);

private:
    settings::SettingsRecord& m_settings;
    MenuBuilder& m_menus;
    FolderPaneDialogs& m_dialogs;
    // What the list showed when it was last filled: entry numbers index it.
    QStringList m_entries;
};

} // namespace qlx::gui
