#include "imagelist/folder_pane.h"

#include "actions/file_operations.h"
#include "imagelist/favourite_folders.h"
#include "imagelist/folder_commands.h"
#include "imagelist/folder_pane_dialogs.h"
#include "imagelist/folder_pane_messages.h"
#include "imagelist/folder_tree.h"
#include "imagelist/folder_tree_view.h"
#include "imagelist/pane_sizing_bar.h"
#include "library/collection_messages.h"
#include "library/collection_store.h"
#include "shell/menu_builder.h"
#include "shell/program_info.h"
#include "shell/qt_text.h"
#include "shell/settings_record.h"
#include "cache/cache_directory.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <utility>
#include <vector>

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

// The settings page "お気に入り設定", which "設定確認" opens.
constexpr int kFavouritesSettingsPage = 11;

QString fill(std::u16string_view text, const QString& value)
{
    return toQString(msg::fillText(text, u"%s", u16View(value)));
}

QString normalFolder(const QString& folder)
{
    const auto normal = imagelist::normalFolderPath(u16View(folder));
    return normal ? toQString(*normal) : QString();
}

QString lastPart(const QString& folder)
{
    const QString name = folder.section(u'/', -1);
    return name.isEmpty() ? folder : name;
}

// While files are copied or moved on the GUI thread, between files the
// pane lets queued events through to see whether Escape was pressed. Every
// other key and mouse input is held back meanwhile, so that nothing starts
// another command (or opens another folder) in the middle of the walk; the
// questions the walk asks run as modal boxes and get their input as usual.
class EscapeWatch : public QObject {
public:
    EscapeWatch() { qApp->installEventFilter(this); }
    ~EscapeWatch() override { qApp->removeEventFilter(this); }
    EscapeWatch(const EscapeWatch&) = delete;
    EscapeWatch& operator=(const EscapeWatch&) = delete;

    bool takePressed() { return std::exchange(m_pressed, false); }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (QApplication::activeModalWidget() != nullptr)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                m_pressed = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

private:
    bool m_pressed = false;
};

// The wait cursor of a transfer steps aside while a box asks something.
class CursorPause {
public:
    CursorPause() : m_had(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_had)
            QGuiApplication::restoreOverrideCursor();
    }
    ~CursorPause()
    {
        if (m_had)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    CursorPause(const CursorPause&) = delete;
    CursorPause& operator=(const CursorPause&) = delete;

private:
    bool m_had;
};

} // namespace

FolderPane::FolderPane(QWidget* parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
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
    m_collectionTree = new QTreeWidget(m_tabs);
    m_collectionTree->setHeaderHidden(true);
    m_collectionTree->setColumnCount(1);
    m_collectionTree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tabs->addTab(m_folderTree, toQString(msg::kFolderTab));
    m_tabs->addTab(m_collectionTree, toQString(msg::kCollectionTab));
    m_sizingBar = new PaneSizingBar([this] { return m_width; }, [this](int width) { setPaneWidth(width); }, this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_sizingBar);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_silent == 0)
            Q_EMIT modeChanged(index == 1);
    });
    connect(m_folderTree, &FolderTreeView::folderSelected, this, &FolderPane::onFolderSelected);
    connect(m_folderTree, &FolderTreeView::renameRequested, this, &FolderPane::onFolderRenameRequested);
    connect(m_folderTree, &QWidget::customContextMenuRequested, this, &FolderPane::onFolderContextMenu);
    connect(m_collectionTree, &QTreeWidget::currentItemChanged, this, &FolderPane::onCollectionItemChanged);
    connect(m_collectionTree, &QWidget::customContextMenuRequested, this, &FolderPane::onCollectionContextMenu);

    setPaneWidth(imagelist::kDefaultFolderPaneWidth);
    m_folderTree->rebuild(QString());
    rebuildCollectionTree();
}

FolderPane::~FolderPane() = default;

// ---- Wiring ------------------------------------------------------------------------------------

void FolderPane::setSettings(settings::SettingsRecord* record)
{
    m_settings = record;
    if (record == nullptr)
        return;
    setPaneWidth(imagelist::storedFolderPaneWidth(record->get(settings::kFolderPaneWidth)));
    updateFavouritesMenu();
}

void FolderPane::setCollectionStore(library::CollectionStore* store)
{
    m_collections = store;
    rebuildCollectionTree();
}

void FolderPane::setCacheDirectory(std::filesystem::path directory)
{
    m_cacheDirectory = std::move(directory);
    updateCacheHistoryMenu();
}

void FolderPane::setMenuBuilder(MenuBuilder* builder)
{
    if (m_menus != nullptr)
        disconnect(m_menus, nullptr, this, nullptr);
    m_menus = builder;
    if (builder == nullptr)
        return;
    connect(builder, &MenuBuilder::commandTriggered, this, &FolderPane::onMenuCommand);
    connect(builder, &MenuBuilder::listEntryTriggered, this, [this](int menu, int entry) {
        const auto id = static_cast<MenuId>(menu);
        if (id == MenuId::Favourites || id == MenuId::CacheHistory)
            chooseListEntry(id, entry);
    });
    if (QMenu* history = builder->menu(MenuId::CacheHistory))
        connect(history, &QMenu::aboutToShow, this, &FolderPane::updateCacheHistoryMenu);
    updateFavouritesMenu();
    updateCacheHistoryMenu();
}

void FolderPane::setSelectionSource(std::function<QStringList()> selectedPaths)
{
    m_selectionSource = std::move(selectedPaths);
}

void FolderPane::setBusyCheck(std::function<bool()> busy)
{
    m_busy = std::move(busy);
}

void FolderPane::setHooks(FolderPaneHooks hooks)
{
    m_hooks = std::move(hooks);
}

void FolderPane::setHomeFolder(const QString& home)
{
    m_folderTree->setHomeFolder(home);
    reloadFolderTree();
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

void FolderPane::showFolder(const QString& path)
{
    const QString folder = normalFolder(path);
    if (folder.isEmpty())
        return;
    setCollectionTab(false);
    m_currentFolder = folder;
    m_folderTree->expandTo(folder);
}

void FolderPane::showCollection(const QString& name)
{
    setCollectionTab(true);
    if (QTreeWidgetItem* item = collectionItem(name))
        selectCollectionSilently(item);
}

// ---- Folder tree -------------------------------------------------------------------------------

void FolderPane::reloadFolderTree()
{
    m_folderTree->rebuild(m_currentFolder);
}

void FolderPane::onFolderSelected(const QString& folder)
{
    m_currentFolder = folder;
    Q_EMIT folderChosen(folder);
}

void FolderPane::onFolderRenameRequested(const QString& folder, const QString& newName)
{
    renameFolder(folder, newName);
}

bool FolderPane::startRename(const QString& folder)
{
    if (imagelist::isTreeRoot(u16View(folder), u16View(m_folderTree->homeFolder())))
        return false;
    return m_folderTree->editFolderName(folder);
}

bool FolderPane::renameFolder(const QString& folder, const QString& newName)
{
    if (folder.isEmpty() || imagelist::isTreeRoot(u16View(folder), u16View(m_folderTree->homeFolder())))
        return false;
    const auto result = imagelist::renameFolder(u16View(folder), u16View(newName), m_cacheDirectory);
    switch (result.status) {
    case imagelist::FolderRenameStatus::Renamed:
        break;
    case imagelist::FolderRenameStatus::Failed:
        showError(fill(msg::kRenameFolderFailed, lastPart(folder)));
        return false;
    default: // unchanged, an existing target, a name that may not be made: nothing happens
        return false;
    }
    const QString renamed = toQString(result.folder);
    if (imagelist::isSameOrInside(u16View(m_currentFolder), u16View(folder)))
        m_currentFolder = renamed + m_currentFolder.mid(folder.size());
    reloadFolderTree();
    Q_EMIT folderRenamed(folder, renamed);
    return true;
}

bool FolderPane::createFolder(const QString& parent, const QString& name)
{
    if (parent.isEmpty())
        return false;
    const auto result = imagelist::createFolder(u16View(parent), u16View(name));
    switch (result.status) {
    case imagelist::FolderCreateStatus::Created:
        reloadFolderTree();
        return true;
    case imagelist::FolderCreateStatus::Failed:
        showError(fill(msg::kCreateFolderFailed, name));
        return false;
    case imagelist::FolderCreateStatus::AlreadyThere:
    case imagelist::FolderCreateStatus::InvalidName:
        return false;
    }
    return false;
}

bool FolderPane::askNewFolder()
{
    if (m_currentFolder.isEmpty())
        return false;
    const auto name = askName(toQString(msg::kNewFolderTitle), QString(), FolderPaneHooks::NameKind::Folder);
    return name && createFolder(m_currentFolder, *name);
}

bool FolderPane::deleteFolder(const QString& folder)
{
    if (folder.isEmpty() || imagelist::isTreeRoot(u16View(folder), u16View(m_folderTree->homeFolder())))
        return false;
    if (!ask(fill(msg::kTrashFolderQuestion, lastPart(folder))))
        return false;
    switch (imagelist::trashFolder(u16View(folder), m_cacheDirectory)) {
    case imagelist::FolderTrashStatus::Trashed:
        break;
    case imagelist::FolderTrashStatus::Failed:
        showError(fill(msg::kTrashFolderFailed, lastPart(folder)));
        return false;
    case imagelist::FolderTrashStatus::Missing:
        reloadFolderTree();
        return false;
    }
    const bool wasShown = imagelist::isSameOrInside(u16View(m_currentFolder), u16View(folder));
    Q_EMIT folderDeleted(folder);
    if (wasShown)
        m_currentFolder = toQString(imagelist::parentFolderPath(u16View(folder)));
    reloadFolderTree();
    if (wasShown)
        Q_EMIT folderChosen(m_currentFolder);
    return true;
}

void FolderPane::openInFileManager(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QUrl url = QUrl::fromLocalFile(folder);
    const bool opened = m_hooks.openUrl ? m_hooks.openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        showError(fill(msg::kOpenFolderFailed, folder));
}

void FolderPane::showProperties(const QString& folder)
{
    if (folder.isEmpty())
        return;
    if (m_hooks.showProperties) {
        m_hooks.showProperties(folder);
        return;
    }
    FolderPropertiesDialog dialog(folder, this);
    dialog.exec();
}

// ---- Favourites and the cache ----------------------------------------------------------------

QStringList FolderPane::favourites() const
{
    QStringList folders;
    if (m_settings != nullptr) {
        for (const std::u16string& folder : imagelist::favouriteFolders(*m_settings))
            folders.append(toQString(folder));
    }
    return folders;
}

bool FolderPane::registerFavourite(const QString& folder)
{
    if (m_settings == nullptr || folder.isEmpty())
        return false;
    switch (askSettings(toQString(msg::registerFavouriteQuestion(u16View(folder))))) {
    case SettingsAnswer::CheckSettings:
        Q_EMIT settingsPageRequested(kFavouritesSettingsPage);
        return false;
    case SettingsAnswer::No:
        return false;
    case SettingsAnswer::Yes:
        break;
    }
    if (imagelist::registerFavourite(*m_settings, u16View(folder)) != imagelist::FavouriteResult::Registered)
        return false;
    updateFavouritesMenu();
    Q_EMIT favouritesChanged();
    return true;
}

bool FolderPane::clearCache()
{
    if (m_cacheDirectory.empty() || !ask(toQString(msg::kClearCacheQuestion)))
        return false;
    cache::deleteAllCaches(m_cacheDirectory);
    updateCacheHistoryMenu();
    Q_EMIT cachesCleared();
    return true;
}

void FolderPane::updateFavouritesMenu()
{
    m_favouriteEntries = favourites();
    if (m_menus != nullptr)
        m_menus->setListEntries(MenuId::Favourites, m_favouriteEntries);
}

void FolderPane::updateCacheHistoryMenu()
{
    m_cacheHistoryEntries.clear();
    if (!m_cacheDirectory.empty()) {
        for (const cache::CachedFolder& folder : cache::cachedFolders(m_cacheDirectory))
            m_cacheHistoryEntries.append(toQString(folder.path));
    }
    if (m_menus != nullptr)
        m_menus->setListEntries(MenuId::CacheHistory, m_cacheHistoryEntries);
}

void FolderPane::chooseListEntry(MenuId menu, int entry)
{
    const QStringList* entries = nullptr;
    if (menu == MenuId::Favourites)
        entries = &m_favouriteEntries;
    else if (menu == MenuId::CacheHistory)
        entries = &m_cacheHistoryEntries;
    if (entries == nullptr || entry < 0 || entry >= entries->size())
        return;
    openFolderOfEntry(entries->at(entry));
}

void FolderPane::openFolderOfEntry(const QString& folder)
{
    setCollectionTab(false);
    const QString reached = m_folderTree->expandTo(folder);
    if (reached.isEmpty())
        return;
    m_currentFolder = reached;
    Q_EMIT folderChosen(reached);
}

// ---- Copy and move -----------------------------------------------------------------------------

int FolderPane::transferSelectedFiles(bool move)
{
    if (!m_selectionSource || m_currentFolder.isEmpty())
        return 0;
    const QStringList files = m_selectionSource();
    if (files.isEmpty())
        return 0;
    EscapeWatch escape;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    int transferred = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i > 0) {
            QCoreApplication::processEvents();
            if (escape.takePressed()
                && ask(toQString(move ? msg::kAbortMoveQuestion : msg::kAbortCopyQuestion)))
                break;
        }
        if (transferOne(files[i], move))
            ++transferred;
    }
    QGuiApplication::restoreOverrideCursor();
    return transferred;
}

bool FolderPane::transferOne(const QString& file, bool move)
{
    const std::filesystem::path source = pathFromQString(file);
    const std::filesystem::path folder = pathFromQString(m_currentFolder);
    auto run = [&](actions::TransferOptions options) {
        return move ? actions::moveFile(source, folder, options) : actions::copyFile(source, folder, options);
    };
    const QString name = QFileInfo(file).fileName();
    actions::TransferResult result = run({});
    if (result.outcome == actions::TransferOutcome::TargetExists) {
        if (!ask(fill(msg::kReplaceFileQuestion, name)))
            return false;
        result = run({actions::ExistingTarget::Replace});
    }
    if (result.outcome == actions::TransferOutcome::SameFile)
        return false; // already where it is to go
    if (!result.done()) {
        showError(fill(move ? msg::kMoveFailed : msg::kCopyFailed, name));
        return false;
    }
    Q_EMIT fileTransferred(file, pathToQString(result.target), move);
    return true;
}

// ---- Dropped files ---------------------------------------------------------------------------

void FolderPane::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void FolderPane::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    dropPaths(paths);
}

void FolderPane::dropPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (!collectionMode()) {
        // A path without a tree path (not absolute) is ignored; a dropped
        // file stands for the folder it is in.
        QString folder = normalFolder(paths.front());
        if (folder.isEmpty())
            return;
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir())
            folder = toQString(imagelist::parentFolderPath(u16View(folder)));
        const QString reached = m_folderTree->rebuild(folder);
        if (reached.isEmpty())
            return;
        m_currentFolder = reached;
        Q_EMIT folderChosen(reached);
        return;
    }
    if (m_collections == nullptr)
        return;
    const int current = m_collections->currentIndex();
    if (current < 0 || static_cast<std::size_t>(current) >= m_collections->count())
        return;
    int added = 0;
    for (const QString& path : paths) {
        const QString file = normalFolder(path);
        if (file.isEmpty())
            continue;
        if (m_collections->addPath(static_cast<std::size_t>(current), u16View(file)) == library::AppendResult::Appended)
            ++added;
    }
    if (added > 0)
        Q_EMIT collectionContentChanged();
}

// ---- Menus and commands ------------------------------------------------------------------------

void FolderPane::onFolderContextMenu(const QPoint& position)
{
    if (m_busy && m_busy())
        return;
    // The commands work on the current folder: a right click on another
    // folder makes it the current one first, so that the menu never acts on
    // a folder other than the one under the mouse.
    QTreeWidgetItem* item = m_folderTree->itemAt(position);
    if (item != nullptr && item != m_folderTree->currentItem())
        m_folderTree->setCurrentItem(item);
    if (m_menus == nullptr)
        return;
    updateFavouritesMenu();
    updateCacheHistoryMenu();
    if (QMenu* menu = m_menus->menu(MenuId::Folder))
        menu->popup(m_folderTree->viewport()->mapToGlobal(position));
}

void FolderPane::onCollectionContextMenu(const QPoint& position)
{
    if (m_busy && m_busy())
        return;
    QTreeWidgetItem* item = m_collectionTree->itemAt(position);
    if (item != nullptr && item != m_collectionTree->currentItem())
        m_collectionTree->setCurrentItem(item);
    if (m_menus == nullptr)
        return;
    if (QMenu* menu = m_menus->menu(MenuId::Collections))
        menu->popup(m_collectionTree->viewport()->mapToGlobal(position));
}

void FolderPane::onMenuCommand(int command)
{
    const MenuId origin = m_menus->lastShownMenu();
    if (origin != MenuId::Folder && origin != MenuId::Collections)
        return;
    const shell::Route route = shell::routeCommand(command, origin);
    if (route.handler == shell::Handler::FolderPane)
        runCommand(route.command);
}

bool FolderPane::runCommand(int command)
{
    switch (command) {
    case kReloadTree:
        reloadFolderTree();
        return true;
    case kOpenInFileManager:
        openInFileManager(m_currentFolder);
        return true;
    case kFolderProperties:
        showProperties(m_currentFolder);
        return true;
    case kDeleteFolder:
        deleteFolder(m_currentFolder);
        return true;
    case kCreateFolder:
        askNewFolder();
        return true;
    case kRenameFolder:
        startRename(m_currentFolder);
        return true;
    case kCopySelectedHere:
    case kMoveSelectedHere:
        transferSelectedFiles(command == kMoveSelectedHere);
        return true;
    case kRegisterFavourite:
        registerFavourite(m_currentFolder);
        return true;
    case kClearCache:
        clearCache();
        return true;
    case kNewCollection:
        newCollection();
        return true;
    case kReloadCollections:
        rebuildCollectionTree();
        return true;
    case kDeleteCollection:
        deleteSelectedCollection();
        return true;
    case kRenameCollection:
        renameSelectedCollection();
        return true;
    case kDeleteSearchResults:
        deleteAllSearchResults();
        return true;
    default:
        return false;
    }
}

// ---- Width ---------------------------------------------------------------------------------------

int FolderPane::clientWidth() const
{
    const QWidget* frame = window();
    return frame != this ? frame->width() : 0;
}

void FolderPane::setPaneWidth(int width)
{
    const int clamped = imagelist::clampFolderPaneWidth(width, clientWidth());
    if (m_settings != nullptr)
        m_settings->set(settings::kFolderPaneWidth, static_cast<std::int32_t>(clamped));
    if (clamped == m_width)
        return;
    m_width = clamped;
    updateGeometry();
    Q_EMIT paneWidthChanged(clamped);
}

void FolderPane::setSizingBarShown(bool shown)
{
    m_sizingBar->setVisible(shown);
}

QSize FolderPane::sizeHint() const
{
    return {m_width, QWidget::sizeHint().height()};
}

// ---- Questions -----------------------------------------------------------------------------------

bool FolderPane::ask(const QString& text)
{
    const CursorPause pause;
    if (m_hooks.askYesNo)
        return m_hooks.askYesNo(text);
    return askYesNo(shell::kProductName, u16View(text), this);
}

SettingsAnswer FolderPane::askSettings(const QString& text)
{
    const CursorPause pause;
    if (m_hooks.askWithSettings)
        return m_hooks.askWithSettings(text);
    return askWithSettings(shell::kProductName, u16View(text), this);
}

void FolderPane::inform(const QString& text)
{
    const CursorPause pause;
    if (m_hooks.inform)
        m_hooks.inform(text);
    else
        showInformationBox(shell::kProductName, u16View(text), this);
}

void FolderPane::showError(const QString& text)
{
    const CursorPause pause;
    if (m_hooks.showError)
        m_hooks.showError(text);
    else
        showErrorBox(shell::kProductName, u16View(text), this);
}

std::optional<QString> FolderPane::askName(const QString& title, const QString& initial,
                                           FolderPaneHooks::NameKind kind)
{
    const CursorPause pause;
    if (m_hooks.askName)
        return m_hooks.askName(title, initial, kind);
    if (kind == FolderPaneHooks::NameKind::Collection) {
        return NameDialog::ask(title, initial, static_cast<int>(library::kNameDialogMaxChars),
                               [](const QString& name) {
                                   return library::checkCollectionName(u16View(name)) == library::NameCheck::Valid;
                               },
                               this);
    }
    return NameDialog::ask(title, initial, static_cast<int>(imagelist::kMaxFolderNameBytes),
                           [](const QString& name) {
                               return imagelist::checkFolderName(u16View(name)) == imagelist::FolderNameCheck::Valid;
                           },
                           this);
}

} // namespace qlx::gui
