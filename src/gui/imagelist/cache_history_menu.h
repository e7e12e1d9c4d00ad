#pragma once
// The thumbnail caches as the folder pane shows them: "clear the cache"
// (after asking) and the cache history, the run-time list of the folders
// that have a cache file, which this fills each time it opens and whose
// entries it names.

#include <QObject>
#include <QStringList>

#include <filesystem>

namespace qlx::gui {

class MenuBuilder;
class FolderPaneDialogs;

class CacheHistoryMenu : public QObject {
    Q_OBJECT
public:
    CacheHistoryMenu(std::filesystem::path cacheDirectory, MenuBuilder& menus, FolderPaneDialogs& dialogs,
                     QObject* parent = nullptr);

    // Deletes every cache file after asking.
    bool clearCache();
    // Fills the menus' list with the cached folders as they are now.
    void refresh();
    // The folder entry `entry` of the list showed; empty for no entry.
    QString folderAt(int entry) const { return m_entries.value(entry); }

Q_SIGNALS:
    // Every cache file was deleted.
    void cachesCleared();

private:
    std::filesystem::path m_cacheDirectory;
    MenuBuilder& m_menus;
    FolderPaneDialogs& m_dialogs;
    // What the list showed when it was last filled: entry numbers index it.
    QStringList m_entries;
};

} // namespace qlx::gui
