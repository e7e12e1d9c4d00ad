#include "imagelist/folder_pane.h"

#include "imagelist/cache_history_menu.h"
#include "imagelist/collection_commands.h"
#include "imagelist/collection_tree_view.h"
#include "imagelist/favourites_menu.h"
#include "imagelist/file_transfer.h"
#include "imagelist/folder_pane_width.h"
#include "imagelist/folder_tree_commands.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/imagelist_messages.h"
#include "imagelist/local_file_drops.h"
#include "imagelist/pane_sizing_bar.h"
#include "imagelist/pane_text.h"
#include "shell/menu_builder.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QTabWidget>

#include <utility>

namespace qlx::gui {

namespace {

namespace msg = imagelist::messages;
using shell::MenuId;

// The commands the pane carries out.
constexpr int kReloadTree = shell::command::kReloadFolderTree;
constexpr int kOpenInFileManager = 156;
constexpr int kFolderProperties = 157;
constexpr int kDeleteFolder = 159;
constexpr int kCreateFolder = 160;
constexpr int kRenameFolder = 161;
constexpr int kCopySelectedHere = 162;
constexpr int kMoveSelectedHere = 163;
constexpr int kRegisterFavourite = 164;
constexpr int kClearCache = 185;
constexpr int kNewCollection = 267;
constexpr int kReloadCollections = 268;
constexpr int kDeleteCollection = 271;
constexpr int kRenameCollection = 272;
constexpr int kDeleteSearchResults = 299;

} // namespace

FolderPane::FolderPane(settings::SettingsRecord& settings, library::CollectionStore* collections,
                       std::filesystem::path cacheDirectory, MenuBuilder& menus,
                       std::function<QStringList()> selectedPaths, QWidget* parent)
    : QWidget(parent)
    , m_menus(menus)
{
    buildWidgets(collections);
    m_folders = new FolderTreeCommands(*m_folderTree, cacheDirectory, m_dialogs, this);
    m_favourites = new FavouritesMenu(settings, menus, m_dialogs, this);
    m_cacheHistory = new CacheHistoryMenu(std::move(cacheDirectory), menus, m_dialogs, this);
    m_transfer = new FileTransfer(std::move(selectedPaths), m_dialogs, this);
    m_collections = new CollectionCommands(collections, *m_collectionTree, m_dialogs, this);
    m_width = new FolderPaneWidth(settings, *this);
    connectParts(menus);
    m_folders->reload();
}

FolderPane::~FolderPane() = default;

void FolderPane::buildWidgets(library::CollectionStore* collections)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabs = new QTabWidget(this);
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setDocumentMode(true);
    // The pane may be dragged down to 64 pixels; its tabs and trees must not
    // hold it wider (they scroll and elide instead).
    m_tabs->setMinimumWidth(1);
    m_folderTree = new FolderTreeView(m_tabs);
    m_collectionTree = new CollectionTreeView(collections, m_tabs);
    m_tabs->addTab(m_folderTree, toQString(msg::kFolderTab));
    m_tabs->addTab(m_collectionTree, toQString(msg::kCollectionTab));
    m_sizingBar = new PaneSizingBar([this] { return paneWidth(); }, [this](int width) { setPaneWidth(width); }, this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_sizingBar);
}

void FolderPane::connectParts(MenuBuilder& menus)
{
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_silent == 0)
            Q_EMIT modeChanged(index == 1);
    });
    connect(m_folderTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { popUpMenu(MenuId::Folder, *m_folderTree, position); });
    connect(m_collectionTree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { popUpMenu(MenuId::Collections, *m_collectionTree, position); });
    connect(&menus, &MenuBuilder::commandTriggered, this, &FolderPane::onMenuCommand);
    connect(&menus, &MenuBuilder::listEntryTriggered, this, [this](int menu, int entry) {
        chooseListEntry(static_cast<MenuId>(menu), entry);
    });
    connect(new LocalFileDrops(*this), &LocalFileDrops::dropped, this, &FolderPane::dropPaths);
    connect(m_width, &FolderPaneWidth::changed, this, [this](int width) {
        updateGeometry();
        Q_EMIT paneWidthChanged(width);
    });

    connect(m_folders, &FolderTreeCommands::folderChosen, this, &FolderPane::folderChosen);
    connect(m_folders, &FolderTreeCommands::folderRenamed, this, &FolderPane::folderRenamed);
    connect(m_folders, &FolderTreeCommands::folderDeleted, this, &FolderPane::folderDeleted);
    connect(m_favourites, &FavouritesMenu::favouritesChanged, this, &FolderPane::favouritesChanged);
    connect(m_favourites, &FavouritesMenu::settingsPageRequested, this, &FolderPane::settingsPageRequested);
    connect(m_cacheHistory, &CacheHistoryMenu::cachesCleared, this, &FolderPane::cachesCleared);
    connect(m_transfer, &FileTransfer::fileTransferred, this, &FolderPane::fileTransferred);
    connect(m_transfer, &FileTransfer::transferFailed, this, &FolderPane::transferFailed);
    connect(m_collectionTree, &CollectionTreeView::collectionChosen, this, &FolderPane::collectionChosen);
    connect(m_collectionTree, &CollectionTreeView::listClearRequested, this, &FolderPane::listClearRequested);
    connect(m_collections, &CollectionCommands::collectionRenamed, this, &FolderPane::collectionRenamed);
    connect(m_collections, &CollectionCommands::listClearRequested, this, &FolderPane::listClearRequested);
    connect(m_collections, &CollectionCommands::collectionContentChanged, this,
            &FolderPane::collectionContentChanged);
}

void FolderPane::setHomeFolder(const QString& home)
{
    m_folderTree->setHomeFolder(home);
    m_folders->reload();
}

// ---- What the list shows -------------------------------------------------------------------

void FolderPane::setCollectionTab(bool collections)
{
    ++m_silent;
    m_tabs->setCurrentIndex(collections ? 1 : 0);
    --m_silent;
}

bool FolderPane::collectionMode() const
{
    return m_tabs->currentIndex() == 1;
}

QString FolderPane::currentFolder() const
{
    return m_folders->currentFolder();
}

void FolderPane::showFolder(const QString& path)
{
    const QString folder = normalFolder(path);
    if (folder.isEmpty())
        return;
    setCollectionTab(false);
    m_folders->follow(folder);
}

void FolderPane::showCollection(const QString& name)
{
    setCollectionTab(true);
    m_collectionTree->showCollection(name);
}

// ---- Favourites, the cache history and drops -----------------------------------------------

void FolderPane::chooseListEntry(MenuId menu, int entry)
{
    if (menu == MenuId::Favourites)
        openEntryFolder(m_favourites->folderAt(entry));
    else if (menu == MenuId::CacheHistory)
        openEntryFolder(m_cacheHistory->folderAt(entry));
}

void FolderPane::openEntryFolder(const QString& folder)
{
    if (folder.isEmpty())
        return;
    setCollectionTab(false);
    m_folders->choose(folder, false);
}

void FolderPane::dropPaths(const QStringList& paths)
{
    if (collectionMode()) {
        m_collections->addFiles(paths);
        return;
    }
    // Only the first path counts; one without a tree path (not absolute) is
    // ignored, and a dropped file stands for the folder it is in.
    QString folder = normalFolder(paths.front());
    if (folder.isEmpty())
        return;
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        folder = toQString(imagelist::parentFolderPath(u16View(folder)));
    m_folders->choose(folder, true);
}

// ---- Menus and commands ------------------------------------------------------------------------

void FolderPane::popUpMenu(MenuId id, QTreeWidget& tree, const QPoint& position)
{
    // The commands work on the current item: a right click on another item
    // makes it the current one first, so that the menu never acts on an item
    // other than the one under the mouse. The folder becoming current opens
    // it in the list: the files to copy or move here are the ones selected
    // before.
    if (id == MenuId::Folder)
        m_transfer->rememberSelection();
    QTreeWidgetItem* item = tree.itemAt(position);
    if (item != nullptr && item != tree.currentItem())
        tree.setCurrentItem(item);
    if (id == MenuId::Folder) {
        m_favourites->refresh();
        m_cacheHistory->refresh();
    }
    if (QMenu* menu = m_menus.menu(id))
        menu->popup(tree.viewport()->mapToGlobal(position));
}

void FolderPane::onMenuCommand(int command)
{
    const MenuId origin = m_menus.lastShownMenu();
    if (origin != MenuId::Folder && origin != MenuId::Collections)
        return;
    const shell::Route route = shell::routeCommand(command, origin);
    if (route.handler == shell::Handler::FolderPane)
        runCommand(route.command);
}

bool FolderPane::runCommand(int command)
{
    const QString folder = m_folders->currentFolder();
    switch (command) {
    case kReloadTree:
        m_folders->reload();
        return true;
    case kOpenInFileManager:
        m_folders->openInFileManager(folder);
        return true;
    case kFolderProperties:
        m_folders->showProperties(folder);
        return true;
    case kDeleteFolder:
        m_folders->trash(folder);
        return true;
    case kCreateFolder:
        m_folders->askNewFolder();
        return true;
    case kRenameFolder:
        m_folders->startRename(folder);
        return true;
    case kCopySelectedHere:
    case kMoveSelectedHere:
        if (m_transfer->transferSelected(folder, command == kMoveSelectedHere) > 0)
            Q_EMIT filesArrived(folder);
        return true;
    case kRegisterFavourite:
        m_favourites->registerFolder(folder);
        return true;
    case kClearCache:
        m_cacheHistory->clearCache();
        return true;
    case kNewCollection:
        m_collections->create();
        return true;
    case kReloadCollections:
        m_collectionTree->rebuild();
        return true;
    case kDeleteCollection:
        m_collections->deleteSelected(collectionMode());
        return true;
    case kRenameCollection:
        m_collections->renameSelected();
        return true;
    case kDeleteSearchResults:
        m_collections->deleteAllSearchResults(collectionMode());
        return true;
    default:
        return false;
    }
}

// ---- Width ---------------------------------------------------------------------------------------

int FolderPane::paneWidth() const
{
    return m_width->width();
}

void FolderPane::setPaneWidth(int width)
{
    m_width->set(width);
}

void FolderPane::setSizingBarShown(bool shown)
{
    m_sizingBar->setVisible(shown);
}

QSize FolderPane::sizeHint() const
{
    return {paneWidth(), QWidget::sizeHint().height()};
}

} // namespace qlx::gui
