#pragma once
// The folder pane: the left-hand pane of the main window. It lets the user
// choose what the image list shows -- a folder, through the folder tree, or
// a collection, through the collection tree -- carries the folder and
// collection commands, accepts files dropped from other programs and asks
// for its own width.
//
// Two tabs below the trees (imagelist::messages::kFolderTab and
// kCollectionTab) decide which tree is visible and whether the list is in
// folder mode or collection mode.
//
// The pane composes parts with one purpose each and routes to them:
//   FolderTreeView       the folder tree
//   FolderTreeCommands   the folder commands and the current folder
//   FavouritesMenu       registering favourites, the favourites list
//   CacheHistoryMenu     clearing the caches, the cache-history list
//   FileTransfer         copy / move the selected files here
//   CollectionTreeView   the collection tree
//   CollectionCommands   the collection commands, dropped files in
//                        collection mode
//   LocalFileDrops       files dropped from other programs
//   FolderPaneWidth      the width, kept in the settings
//   FolderPaneDialogs          the questions, notices and dialogs they open
//
// The menus: the pane opens the folder menu and the collection menu from the
// menu builder and carries out the commands those menus route to the folder
// pane (shell::routeCommand with the menu as origin), so the window's own
// routing leaves Handler::FolderPane alone. The list pane reaches the
// commands it shares with the folder pane (164 register a favourite, 185
// clear the cache, 156/157 on the open folder, 267 new collection) through
// runCommand. While files are copied or moved, no context menu opens.
//
// What the pane reports: folderChosen and collectionChosen when the user
// picks one (never for showFolder / showCollection, which follow the list);
// modeChanged when the user switches tabs (the window then shows the
// current collection, or the folder again); and the signals below for what
// its commands changed. Everything runs on the GUI thread.

#include "imagelist/folder_pane_dialogs.h"
#include "shell/command_table.h"

#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <functional>

class QTabWidget;
class QTreeWidget;

namespace qlx::settings {
class SettingsRecord;
}
namespace qlx::library {
class CollectionStore;
}

namespace qlx::gui {

class CacheHistoryMenu;
class CollectionCommands;
class CollectionTreeView;
class FavouritesMenu;
class FileTransfer;
class FolderPaneWidth;
class FolderTreeCommands;
class FolderTreeView;
class MenuBuilder;
class PaneSizingBar;

class FolderPane : public QWidget {
    Q_OBJECT
public:
    // `settings` holds the favourites and the pane width; `collections` is
    // null when the settings name no usable user folder (the collection tree
    // then holds its root alone); `cacheDirectory` holds the thumbnail
    // caches (renamed and trashed folders take their cache file along; the
    // cache history lists them); `selectedPaths` gives the files selected in
    // the image list, for "copy / move the selected files here".
    FolderPane(settings::SettingsRecord& settings, library::CollectionStore* collections,
               std::filesystem::path cacheDirectory, MenuBuilder& menus, std::function<QStringList()> selectedPaths,
               QWidget* parent = nullptr);
    ~FolderPane() override;

    // The folder of the tree's first top-level item (the user's home by
    // default).
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
    QString currentFolder() const;

    // ---- Commands -----------------------------------------------------
    // Carries out a folder-pane command (the numbers routeCommand hands the
    // folder pane, and 164, 185, 156, 157, 267 from the list menu). False
    // for a number that is not the pane's.
    bool runCommand(int command);
    // Opens entry `entry` of the favourites or the cache history.
    void chooseListEntry(shell::MenuId menu, int entry);

    // ---- Width --------------------------------------------------------
    // The pane asks for its width through its size hint with a fixed
    // horizontal size policy, so a layout gives it exactly that width; the
    // sizing bar at its right edge drags it. A window that places the pane
    // itself and draws its own splitter hides the bar and resizes the pane
    // as it likes: nothing here fixes the widget's width.
    int paneWidth() const;
    void setPaneWidth(int width);
    void setSizingBarShown(bool shown);
    QSize sizeHint() const override;

    // ---- Parts (tests, the window's layout) ---------------------------
    FolderTreeView* folderTree() const { return m_folderTree; }
    CollectionTreeView* collectionTree() const { return m_collectionTree; }
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
    void transferFailed(const QString& source, const QString& folder, bool moved);
    // "Copy / move the selected files here" ended with files in `folder`:
    // when the list shows it, it is to be read again.
    void filesArrived(const QString& folder);
    void favouritesChanged();
    // Every cache file was deleted.
    void cachesCleared();
    // The favourites question's "check the settings" was chosen: open the
    // settings on this page.
    void settingsPageRequested(int page);
    void paneWidthChanged(int width);

private:
    void buildWidgets(library::CollectionStore* collections);
    void connectParts(MenuBuilder& menus);
    void setCollectionTab(bool collections);
    void openEntryFolder(const QString& folder);
    void dropPaths(const QStringList& paths);
    void popUpMenu(shell::MenuId id, QTreeWidget& tree, const QPoint& position);
    void onMenuCommand(int command);

    MenuBuilder& m_menus;
    FolderPaneDialogs m_dialogs{*this};

    QTabWidget* m_tabs = nullptr;
    FolderTreeView* m_folderTree = nullptr;
    CollectionTreeView* m_collectionTree = nullptr;
    PaneSizingBar* m_sizingBar = nullptr;

    FolderTreeCommands* m_folders = nullptr;
    FavouritesMenu* m_favourites = nullptr;
    CacheHistoryMenu* m_cacheHistory = nullptr;
    FileTransfer* m_transfer = nullptr;
    CollectionCommands* m_collections = nullptr;
    FolderPaneWidth* m_width = nullptr;
    int m_silent = 0;
};

} // namespace qlx::gui
