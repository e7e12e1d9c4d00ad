#pragma once
// The folder pane: the left-hand pane of the main window. It lets the user
// choose what the image list shows -- a folder, through the folder tree, or
// a collection, through the collection tree -- carries the folder and
// collection commands, accepts files dropped from other programs and owns
// the sizing bar that sets its own width.
//
// Two tabs below the trees, "フォルダ" and "コレクション", decide which tree
// is visible and whether the list is in folder mode or collection mode.
//
// What the window wires in (all optional; a command whose piece is missing
// does nothing):
//   setSettings          the settings record: favourites and the pane width
//   setCollectionStore   the collections (tree, commands, drops)
//   setCacheDirectory    the thumbnail caches (follow renamed and deleted
//                        folders, clear, the cache history)
//   setMenuBuilder       the menus: the pane opens the folder menu and the
//                        collection menu from it and carries out the
//                        commands those menus route to the folder pane
//                        (shell::routeCommand with the menu as origin), so
//                        the window's own routing leaves Handler::FolderPane
//                        alone. It also fills and answers the favourites and
//                        cache-history lists, wherever they are opened from.
//   setSelectionSource   the files selected in the image list, for "copy /
//                        move the selected files here"
//   setBusyCheck         whether a long operation of the list runs (no
//                        context menu then)
// The list pane reaches the commands it shares with the folder pane (164
// register a favourite, 185 clear the cache, 156/157 on the open folder,
// 267 new collection) through runCommand.
//
// What the pane reports: folderChosen and collectionChosen when the user
// picks one (never for showFolder / showCollection, which follow the list);
// modeChanged when the user switches tabs (the window then shows the
// current collection, or the folder again); and the signals below for what
// its commands changed. Everything runs on the GUI thread.

#include "shell/command_table.h"
#include "shell/message_box.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace qlx::settings {
class SettingsRecord;
}
namespace qlx::library {
class CollectionStore;
}

namespace qlx::gui {

class FolderTreeView;
class MenuBuilder;
class PaneSizingBar;

// What the pane asks the user and hands to the desktop; each member left
// empty keeps the program's own box or dialog. Tests put answers here.
struct FolderPaneHooks {
    enum class NameKind { Folder, Collection };

    std::function<bool(const QString& text)> askYesNo;
    std::function<SettingsAnswer(const QString& text)> askWithSettings;
    std::function<void(const QString& text)> inform;
    std::function<void(const QString& text)> showError;
    std::function<std::optional<QString>(const QString& title, const QString& initial, NameKind kind)> askName;
    std::function<bool(const QUrl& url)> openUrl;
    std::function<void(const QString& folder)> showProperties;
};

class FolderPane : public QWidget {
    Q_OBJECT
public:
    explicit FolderPane(QWidget* parent = nullptr);
    ~FolderPane() override;

    // ---- Wiring -------------------------------------------------------
    void setSettings(settings::SettingsRecord* record);
    void setCollectionStore(library::CollectionStore* store);
    void setCacheDirectory(std::filesystem::path directory);
    void setMenuBuilder(MenuBuilder* builder);
    void setSelectionSource(std::function<QStringList()> selectedPaths);
    void setBusyCheck(std::function<bool()> busy);
    void setHooks(FolderPaneHooks hooks);
    // The folder of the tree's first top-level item (the user's home).
    void setHomeFolder(const QString& home);

    // ---- What the list shows ------------------------------------------
    // Expands the folder tree along the folder's tree path and selects the
    // deepest folder found, switching to the folder tab; emits nothing.
    void showFolder(const QString& path);
    // Selects the collection in the collection tree, switching to the
    // collection tab; emits nothing.
    void showCollection(const QString& name);
    bool collectionMode() const;
    // The folder the pane's folder commands work on: the last one shown or
    // chosen.
    QString currentFolder() const { return m_currentFolder; }

    // ---- Commands -----------------------------------------------------
    // Carries out a folder-pane command (the numbers routeCommand hands the
    // folder pane, and 164, 185, 156, 157, 267 from the list menu). False
    // for a number that is not the pane's.
    bool runCommand(int command);
    // Opens entry `entry` of the favourites or the cache history.
    void chooseListEntry(shell::MenuId menu, int entry);

    // The folder commands on a given folder; the menu commands call them
    // with the current folder. Each asks where the command asks.
    bool createFolder(const QString& parent, const QString& name);
    bool renameFolder(const QString& folder, const QString& newName);
    bool deleteFolder(const QString& folder);
    bool registerFavourite(const QString& folder);
    bool clearCache();
    // Starts editing the folder's label in the tree; the edit ends in
    // renameFolder. Refused for the two top-level folders.
    bool startRename(const QString& folder);
    // Copies or moves the selected files into the current folder; returns
    // how many were transferred.
    int transferSelectedFiles(bool move);
    // Files dropped from another program (full paths): in folder mode the
    // first one's folder is shown, in collection mode all are added to the
    // current collection.
    void dropPaths(const QStringList& paths);

    // The favourites, newest first.
    QStringList favourites() const;

    // Collection commands on the collection selected in the tree.
    bool newCollection();
    bool renameSelectedCollection();
    bool deleteSelectedCollection();
    int deleteAllSearchResults();
    // Rebuilds the collection tree and selects the current collection.
    void rebuildCollectionTree();

    // ---- Width --------------------------------------------------------
    // The pane asks for its width through its size hint with a fixed
    // horizontal size policy, so a layout gives it exactly that width; the
    // sizing bar at its right edge drags it. A window that places the pane
    // itself and draws its own splitter hides the bar and resizes the pane
    // as it likes: nothing here fixes the widget's width.
    int paneWidth() const { return m_width; }
    // Sets the width, held to 64 .. the window's width - 64, and stores it
    // in the settings.
    void setPaneWidth(int width);
    void setSizingBarShown(bool shown);
    QSize sizeHint() const override;

    // ---- Parts (tests, the window's layout) ---------------------------
    FolderTreeView* folderTree() const { return m_folderTree; }
    QTreeWidget* collectionTree() const { return m_collectionTree; }
    QTabWidget* tabs() const { return m_tabs; }
    PaneSizingBar* sizingBar() const { return m_sizingBar; }

Q_SIGNALS:
    // The user chose a folder (the list is to show it, in folder mode).
    void folderChosen(const QString& path);
    // The user chose a collection (the list is to show it).
    void collectionChosen(const QString& name);
    // The user switched tabs.
    void modeChanged(bool collectionMode);
    // The image list is to be emptied: the collection root was chosen with
    // no current collection, or the collection shown was deleted.
    void listClearRequested();
    // Dropped files were added to the current collection; the list is to
    // read it again.
    void collectionContentChanged();
    void collectionRenamed(const QString& oldName, const QString& newName);
    // A folder of the tree was renamed; when the list shows it (or a folder
    // inside it), it is to follow to the new path.
    void folderRenamed(const QString& oldPath, const QString& newPath);
    // A folder went to the trash and its cache file was deleted; when it was
    // the list's folder, the list must not save its cache again, and
    // folderChosen follows with the folder above it.
    void folderDeleted(const QString& path);
    // One file of "copy / move the selected files here" arrived.
    void fileTransferred(const QString& source, const QString& target, bool moved);
    void favouritesChanged();
    // Every cache file was deleted.
    void cachesCleared();
    // "設定確認" was chosen: open the settings on this page.
    void settingsPageRequested(int page);
    void paneWidthChanged(int width);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Folder tree
    void reloadFolderTree();
    void onFolderSelected(const QString& folder);
    void onFolderRenameRequested(const QString& folder, const QString& newName);
    void openFolderOfEntry(const QString& folder);
    void openInFileManager(const QString& folder);
    void showProperties(const QString& folder);
    bool askNewFolder();
    bool transferOne(const QString& file, bool move);
    // Collection tree
    void onCollectionItemChanged(QTreeWidgetItem* current);
    std::optional<std::size_t> selectedCollection() const;
    QTreeWidgetItem* collectionItem(const QString& name) const;
    void selectCollectionSilently(QTreeWidgetItem* item);
    // Tabs, menus
    void setCollectionTab(bool collections);
    void onFolderContextMenu(const QPoint& position);
    void onCollectionContextMenu(const QPoint& position);
    void onMenuCommand(int command);
    void updateFavouritesMenu();
    void updateCacheHistoryMenu();
    int clientWidth() const;

    // The hooks with the program's own boxes where a test gave none.
    bool ask(const QString& text);
    SettingsAnswer askSettings(const QString& text);
    void inform(const QString& text);
    void showError(const QString& text);
    std::optional<QString> askName(const QString& title, const QString& initial, FolderPaneHooks::NameKind kind);

    settings::SettingsRecord* m_settings = nullptr;
    library::CollectionStore* m_collections = nullptr;
    std::filesystem::path m_cacheDirectory;
    MenuBuilder* m_menus = nullptr;
    std::function<QStringList()> m_selectionSource;
    std::function<bool()> m_busy;
    FolderPaneHooks m_hooks;

    QTabWidget* m_tabs = nullptr;
    FolderTreeView* m_folderTree = nullptr;
    QTreeWidget* m_collectionTree = nullptr;
    PaneSizingBar* m_sizingBar = nullptr;

    QString m_currentFolder;
    // What the run-time lists showed when they were last filled: the entry
    // numbers they report index these.
    QStringList m_favouriteEntries;
    QStringList m_cacheHistoryEntries;
    int m_width = 0;
    int m_silent = 0;
};

} // namespace qlx::gui
