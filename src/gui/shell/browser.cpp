#include "shell/browser.h"

#include "actions/action_keys.h"
#include "actions/action_log.h"
#include "actions/action_record.h"
#include "actions/action_runner.h"
#include "settings/run_time_path_dialog.h"
#include "imagelist/list_commands.h"
#include "actions/file_operations.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "metadata/camera_lens_dialog.h"
#include "imagelist/folder_pane.h"
#include "library/collection_path.h"
#include "cache/cache_name.h"
#include "shell/command_table.h"
#include "shell/help_page.h"
#include "shell/main_window.h"
#include "shell/message_box.h"
#include "shell/menu_builder.h"
#include "shell/program_info.h"
#include "shell/window_title.h"
#include "shell/qt_text.h"
#include "shell/rebar.h"
#include "shell/settings_layout.h"
#include "shell/shell_messages.h"
#include "shell/shared_state.h"
#include "shell/raw_failure_notice.h"
#include "settings/settings_window.h"
#include "shell/status_bar.h"
#include "cache/thumbnail_block.h"
#include "raw/raw_engine.h"
#include "thumbs/thumbnail_maker.h"
#include "viewer/browser_area.h"
#include "viewer/full_screen_controller.h"
#include "viewer/image_view.h"
#include "viewer/preview_decoder.h"
#include "viewer/screen_mode_controller.h"
#include "viewer/video_controller.h"
#include "viewer/view_presenter.h"
#include "viewer/view_settings.h"
#include "viewer/view_subject.h"
#include "viewer/zoom_control.h"

#include <QAbstractItemView>
#include <QApplication>
#include <algorithm>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

#include <utility>

namespace qlx::gui {

namespace {

// Status bar parts.
constexpr int kPartViewMode = 4;
constexpr int kPartActivity = 5;
constexpr int kPartSelection = 6;
constexpr int kPartSelectionSize = 7;
constexpr int kPartFilePosition = 8;
constexpr int kPartTotalSize = 9;

constexpr int kQuit = 105;
constexpr int kKeyList = 129;
constexpr int kVersionInformation = 132;
constexpr int kHelp = 133;
constexpr int kCameraLensList = 605;
constexpr int kTrashSelection = 117;   // the Delete key's command
constexpr int kRotateLosslessly = 197; // the view's turns written into the files
constexpr int kUndoSelection = 122;    // the newest action on each selected file taken back
constexpr int kMergeSubfolders = 139;
constexpr int kRenameFolder = 127;     // every file of the list renamed by pattern
constexpr int kReplaceRenameFolder = 131;

// Whole bytes below 1,024 ("500Byte"), then "%0.2fKB", "%0.2fMB" and
// "%0.2fGB" in units of 1,024, whatever the desktop's locale.
QString sizeText(std::uint64_t bytes)
{
    return toQString(actions::formatSize(bytes));
}

} // namespace

Browser::Browser(MainWindow& window, SharedState& state) : m_window(window), m_state(state)
{
    settings::SettingsRecord& settings = state.settings;
    m_menus = std::make_unique<MenuBuilder>(shell::kAvailableNow.with(shell::Availability::CameraList)
                                                .with(shell::Availability::Cache)
                                                .with(shell::Availability::Folders)
                                                .with(shell::Availability::Collections)
                                                .with(shell::Availability::Help)
                                                .with(shell::Availability::Screens)
                                                .with(shell::Availability::Raw)
                                                .with(shell::Availability::Zoom)
                                                .with(shell::Availability::Trash)
                                                .with(shell::Availability::FileActions)
                                                .with(shell::Availability::ActionSettings));
    m_menus->setTargetFormatMask(settings.get(settings::kTargetFormatMask));
    m_menus->setMultiScreenMode(settings.get(settings::kMultiScreenMode));
    connect(m_menus.get(), &MenuBuilder::commandTriggered, this, &Browser::runCommand);
    connect(m_menus.get(), &MenuBuilder::toolButtonTriggered, this, &Browser::runToolButton);

    const std::filesystem::path cacheDirectory = cache::CacheSettings::fromSettings(settings, state.programFolder).directory;
    if (const auto directory = library::collectionDirectory(state.programFolder, settings.text(settings::kUserFolder))) {
        m_collections = std::make_unique<library::CollectionStore>(*directory,
                                                                   library::collectionCacheLocator(cacheDirectory));
        m_collections->loadAll();
    }
    m_controller = new ListController(settings, state.programFolder, *state.cameras, *state.lenses,
                                      state.placeholderPicture, m_collections.get(), this);
    m_rawFailure = new RawFailureNotice(window, this);
    m_rebar = new Rebar(window, *m_menus, settings, cacheDirectory);
    m_statusBar = new StatusBar(&window);
    window.setStatusBar(m_statusBar);
    m_area = new BrowserArea(settings, &window);
    window.setCentralWidget(m_area);

    buildPanes();
    m_screens = new ScreenModeController(*m_area, settings, *m_menus, this);
    m_fullScreen = new FullScreenController(window, *m_rebar, *m_statusBar, *m_area, this);
    connect(m_area, &BrowserArea::modesChanged, this, &Browser::showCurrentInViews);
    connect(m_folderPane, &FolderPane::cachesCleared, m_rebar, &Rebar::refreshCacheHistory);
    connectController();
    installKeys();
    buildActions();
    connect(m_rebar, &Rebar::positionChosen, this, [this](int position) { m_listPane->setCurrentPosition(position); });
    connect(m_rebar, &Rebar::folderChosen, this, [this](const QString& folder) { openFolder(toU16(folder)); });
}

Browser::~Browser()
{
    shutDown();
}

void Browser::buildPanes()
{
    settings::SettingsRecord& settings = m_state.settings;
    m_listPane = new ListPane(m_controller->session(), settings, *m_state.cameras, *m_menus, m_area);
    connect(m_listPane, &ListPane::currentChanged, this, &Browser::onCurrentChanged);
    connect(m_listPane, &ListPane::selectionChanged, this, &Browser::updateCounters);
    // A double click on a thumbnail of the thumbnail screen opens the main
    // screen on it; in the main screen the views already show it.
    connect(m_listPane, &ListPane::activated, this, [this](int) {
        if (m_screens->choice().thumbnailScreen)
            m_screens->switchScreens();
    });

    const viewer::ViewSettings viewSettings = viewer::ViewSettings::fromRecord(settings);
    // The window owns it: the views use it until they go, after the browser.
    m_zoom = new ZoomControl(m_window, settings, *m_menus, &m_window);
    for (ImageView*& view : m_views) {
        view = new ImageView(*m_zoom, m_area);
        view->setSettings(viewSettings);
        connect(view, &ImageView::stepRequested, this, [this](int delta) { m_listPane->stepCurrent(delta); });
        connect(view, &ImageView::endRequested, this, [this](bool last) {
            const int count = m_listPane->model().rowCount();
            if (count > 0)
                m_listPane->setCurrentPosition(last ? count - 1 : 0);
        });
        connect(view, &ImageView::statusTextChanged, this,
                [this](int part, const QString& text) { m_statusBar->setPartText(part, text); });
    }
    m_presenter = new ViewPresenter({.views = m_views,
                                     .zoom = *m_zoom,
                                     .controller = *m_controller,
                                     .cameras = *m_state.cameras,
                                     .settings = settings,
                                     .placeholder = m_state.placeholderPicture,
                                     .statusText = [this](int part, const QString& text) {
                                         m_statusBar->setPartText(part, text);
                                     },
                                     .developmentFailed = [this] { m_rawFailure->report(); }},
                                    this);
    connect(m_presenter, &ViewPresenter::developmentShownChanged, this,
            [this](bool shown) { m_menus->setToolButtonState(shell::ToolKey::Convert, shown); });
    m_video = new VideoController({.views = m_views,
                                   .area = *m_area,
                                   .controller = *m_controller,
                                   .settings = settings,
                                   .redraw = [this] { showCurrentInViews(); }},
                                  this);
    buildFolderPane();
    m_listCommands = new ListCommands(*m_controller, *m_listPane, settings, m_collections.get(), *m_menus, this);
    m_area->setPanes(m_folderPane, m_listPane, {m_views[0], m_views[1], m_views[2], m_views[3]});
}

void Browser::buildFolderPane()
{
    settings::SettingsRecord& settings = m_state.settings;
    const std::filesystem::path cacheDirectory = m_controller->cacheSettings().directory;
    m_folderPane = new FolderPane(settings, m_collections.get(), cacheDirectory, *m_menus, [this] {
        QStringList paths;
        for (const std::u16string& path : m_listPane->selectedPaths())
            paths.push_back(toQString(path));
        return paths;
    }, m_area);
    m_folderPane->setHomeFolder(QDir::homePath());
    // The browser area draws the pane's edge and drags it.
    m_folderPane->setSizingBarShown(false);
    connect(m_folderPane, &FolderPane::folderChosen, this, [this](const QString& path) { openFolder(toU16(path)); });
    connect(m_folderPane, &FolderPane::modeChanged, this, &Browser::showMode);
    connect(m_folderPane, &FolderPane::filesArrived, this, [this](const QString& folder) {
        if (m_state.listMode == shell::ListMode::Folder && toQString(m_state.currentFolder) == folder)
            m_controller->refresh();
    });
    connect(m_folderPane, &FolderPane::collectionChosen, this, [this](const QString& name) { openCollection(toU16(name)); });
    connect(m_folderPane, &FolderPane::collectionContentChanged, this,
            [this] { openCollection(m_state.currentCollection, true); });
    connect(m_folderPane, &FolderPane::collectionRenamed, this, [this](const QString& oldName, const QString& newName) {
        if (m_state.listMode == shell::ListMode::Collection && toQString(m_state.currentCollection) == oldName)
            openCollection(toU16(newName), true);
    });
    connect(m_folderPane, &FolderPane::listClearRequested, this, [this] { m_controller->openFolder({}, true); });
    connect(m_folderPane, &FolderPane::folderRenamed, this, [this](const QString& oldPath, const QString& newPath) {
        const QString current = toQString(m_state.currentFolder);
        if (current == oldPath || current.startsWith(oldPath + u'/'))
            openFolder(toU16(newPath + current.mid(oldPath.size())), true);
    });
    connect(m_folderPane, &FolderPane::folderDeleted, this, [this](const QString& path) {
        const QString current = toQString(m_state.currentFolder);
        if (current == path || current.startsWith(path + u'/'))
            m_controller->skipNextCacheSave();
    });
    connect(m_folderPane, &FolderPane::cachesCleared, this, [this] { m_controller->skipNextCacheSave(); });
}

void Browser::showMode(bool collectionMode)
{
    // Forced: the list may have been emptied since it last showed them.
    m_area->setCollectionMode(collectionMode);
    if (!collectionMode) {
        openFolder(toU16(m_folderPane->currentFolder()), true);
        return;
    }
    const int current = m_collections ? m_collections->currentIndex() : -1;
    if (current >= 0 && static_cast<std::size_t>(current) < m_collections->count()) {
        openCollection(m_collections->at(static_cast<std::size_t>(current)).name(), true);
        return;
    }
    m_controller->openFolder({}, true);
    m_state.currentCollection.clear();
    Q_EMIT folderChanged({});
}

void Browser::connectController()
{
    connect(m_controller, &ListController::loadStarted, this, [this] {
        // The pictures of the list being left are no longer wanted, nor
        // what undo kept of its files.
        m_presenter->leaveList();
        m_video->listChanging();
        m_actions->listChanging();
        m_statusBar->setPartText(kPartActivity, QStringLiteral("Loading"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    });
    connect(m_controller, &ListController::developmentFailed, m_rawFailure, &RawFailureNotice::report);
    // Said once per load by the reserve; a box still open is not stacked.
    connect(m_controller, &ListController::memoryShort, this, [this] {
        if (!std::exchange(m_memoryBoxOpen, true)) {
            showErrorBox(shell::kProductName, shell::messages::kOutOfMemory, &m_window);
            m_memoryBoxOpen = false;
        }
    });
    // A picture refused for memory: the read-ahead keeps fewer.
    connect(m_controller, &ListController::readAheadShrinkRequested, m_presenter, &ViewPresenter::narrowReadAhead);
    connect(m_controller, &ListController::listOpened, this, &Browser::onListOpened);
    connect(m_controller, &ListController::readProgress, this, [this](int seen) {
        // The band runs round a cycle of 1,000 files while the folder is read.
        m_rebar->setProgress(seen % 1000 / 10);
    });
    connect(m_controller, &ListController::listLoaded, this, &Browser::onListLoaded);
    connect(m_controller, &ListController::entriesUpdated, this, [this](const QList<qsizetype>& entries) {
        std::vector<std::size_t> indexes(entries.begin(), entries.end());
        m_listPane->entriesChanged(indexes);
        // The current entry's metadata or thumbnail arrived: the views can
        // ask for its preview now.
        const auto current = m_controller->list().entryAt(m_listPane->currentPosition());
        if (current && std::find(indexes.begin(), indexes.end(), *current) != indexes.end())
            showCurrentInViews();
    });
    connect(m_controller, &ListController::entriesAppended, this, [this] {
        m_listPane->rowsAppended();
        updateCounters();
    });
    connect(m_controller, &ListController::progressChanged, this, &Browser::onProgress);
    connect(m_controller, &ListController::renamedByOtherProgram, this, [this](const QString& previousPath) {
        const auto line = actions::logLine(actions::kKindRename, toU16(QFileInfo(previousPath).fileName()),
                                           actions::Result::Done);
        m_rebar->addLogLine(toQString(line));
    });
    connect(m_controller, &ListController::listReadyChanged, this, [this](bool ready) {
        m_listPane->setListReady(ready);
    });
}

void Browser::installKeys()
{
    using shell::ToolKey;
    const auto key = [this](QKeySequence sequence, const std::function<void()>& action) {
        auto* shortcut = new QShortcut(sequence, &m_window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    // A key of the tool box: its button does the same.
    const auto toolKey = [this, &key](ToolKey tool, std::initializer_list<int> keys, std::function<void()> action) {
        for (const int k : keys)
            key(QKeySequence(k), action);
        m_keyActions[static_cast<std::size_t>(tool)] = std::move(action);
    };
    toolKey(ToolKey::Tab, {Qt::Key_Tab}, [this] { m_screens->toggleFolderTree(); });
    toolKey(ToolKey::Enter, {Qt::Key_Return, Qt::Key_Enter}, [this] { m_screens->switchScreens(); });
    toolKey(ToolKey::F11, {Qt::Key_F11}, [this] { m_screens->toggleSplit(); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F11), [this] { m_screens->nextSplitPosition(); });
    toolKey(ToolKey::Escape, {Qt::Key_Escape}, [this] { m_fullScreen->toggle(); });
    toolKey(ToolKey::Space, {Qt::Key_Space}, [this] { changeDisplayType(); });
    toolKey(ToolKey::Slash, {Qt::Key_Slash}, [this] { m_zoom->runCommand(ZoomControl::kLatchedZoomCommand); });
    toolKey(ToolKey::Underscore, {Qt::Key_Underscore}, [this] { m_zoom->runCommand(ZoomControl::kLoupeCommand); });
    toolKey(ToolKey::F5, {Qt::Key_F5}, [this] { runCommand(shell::command::kRefresh); });
    toolKey(ToolKey::F2, {Qt::Key_F2}, [this] { runCommand(list_command::kCheckSelected); });
    toolKey(ToolKey::F3, {Qt::Key_F3}, [this] { runCommand(list_command::kUncheckSelected); });
    toolKey(ToolKey::F4, {Qt::Key_F4}, [this] { m_listPane->jumpToNextChecked(m_area->screenMode() != viewer::ScreenMode::ListOnly); });
    toolKey(ToolKey::Convert, {Qt::Key_Henkan}, [this] { m_presenter->toggleDevelopment(); });
    toolKey(ToolKey::F6, {Qt::Key_F6}, [this] { m_actions->calculateMedia(); });
    toolKey(ToolKey::F7, {Qt::Key_F7}, [this] { m_actions->distributeMedia(); });
    toolKey(ToolKey::F8, {Qt::Key_F8}, [this] { m_actions->mergeSubfolders(); });
    toolKey(ToolKey::Greater, {Qt::Key_Greater}, [this] { turnCurrent(1); });
    toolKey(ToolKey::Less, {Qt::Key_Less}, [this] { turnCurrent(3); });
    toolKey(ToolKey::F9, {Qt::Key_F9}, [this] { openSettings(m_settingsPage); });
    toolKey(ToolKey::F10, {Qt::Key_F10}, [this] { runCommand(shell::command::kFirstSettingsPage + SettingsWindow::kActionPage); });
    toolKey(ToolKey::F12, {Qt::Key_F12}, [this] {
        const int mode = (m_state.settings.get(settings::kMultiScreenMode) + 1) % shell::command::kMultiScreenModes;
        runCommand(shell::command::kFirstMultiScreen + mode);
    });
}

void Browser::buildActions()
{
    m_actions = new ActionRunner({.state = m_state,
                                  .controller = *m_controller,
                                  .list = *m_listPane,
                                  .log = *m_rebar,
                                  .status = *m_statusBar,
                                  .window = m_window,
                                  .listHasFocus = [this] { return listHasFocus(); },
                                  .shownEntry = [this] { return shownEntry(); },
                                  .showNext = [this] { m_listPane->stepCurrent(1); },
                                  .folderTreeChanged = [this] { m_folderPane->runCommand(shell::command::kReloadFolderTree); },
                                  .releaseEntry = [this](std::size_t) { showCurrentInViews(); },
                                  .showTitlePrefix = [this](std::u16string_view prefix) {
                                      m_window.showTitle(prefix, m_state.listMode, m_state.currentFolder,
                                                         m_state.currentCollection);
                                  },
                                  .openSettings = [this](int page) {
                                      runCommand(shell::command::kFirstSettingsPage + page);
                                  }},
                                 this);
    connect(m_actions, &ActionRunner::listTotalsChanged, this, &Browser::updateCounters);
    // Queued: the rename may ask in a box, which must not open while the
    // list's editor is still closing.
    connect(&m_listPane->model(), &ImageListModel::labelEdited, m_actions, &ActionRunner::renameLabel,
            Qt::QueuedConnection);
    m_actionKeys = new ActionKeys(
        {.state = m_state,
         .runner = *m_actions,
         .window = m_window,
         .imageTargeted = [this] { return m_listPane->currentPosition() >= 0 && (listHasFocus() || shownEntry()); },
         .openSettings = [this](int page) { runCommand(shell::command::kFirstSettingsPage + page); },
         .askRunTimePath = [this](std::size_t position) {
             RunTimePathDialog dialog(actions::ActionTable(m_state.settings).at(position), &m_window);
             return dialog.exec() == 1;
         },
         .runFunction = [this](int identifier) {
             if (const auto function = builtinFunction(identifier))
                 function();
         }},
        this);
    connect(m_folderPane, &FolderPane::fileTransferred, this,
            [this](const QString& source, const QString& target, bool moved) {
                m_actions->reportTransfer(source, QFileInfo(target).path(), moved, true);
            });
    connect(m_folderPane, &FolderPane::transferFailed, this,
            [this](const QString& source, const QString& folder, bool moved) {
                m_actions->reportTransfer(source, folder, moved, false);
            });
    // The list's Delete key sends to the trash; in the folder tree it is the
    // tree's.
    auto* trashKey = new QShortcut(QKeySequence(Qt::Key_Delete), &m_window);
    connect(trashKey, &QShortcut::activated, this, [this] {
        const QWidget* focus = QApplication::focusWidget();
        if (!focus || !m_folderPane->isAncestorOf(focus))
            m_actions->trashByDeleteKey();
    });
}

void Browser::turnCurrent(int quarterTurns)
{
    const auto entry = m_controller->list().entryAt(m_listPane->currentPosition());
    if (!entry || !m_controller->list().entry(*entry).isPresent())
        return;
    imagelist::ImageEntry& turned = m_controller->session().list().entry(*entry);
    turned.setUserRotation(static_cast<std::uint8_t>((turned.userRotation() + quarterTurns) % 4));
    const std::size_t row = *entry;
    m_listPane->entriesChanged(std::span(&row, 1));
    showCurrentInViews();
}

bool Browser::listHasFocus() const
{
    if (!m_views[0]->isVisible())
        return true; // the list alone is on screen
    const QWidget* focus = QApplication::focusWidget();
    return focus && m_listPane->isAncestorOf(focus);
}

std::optional<std::size_t> Browser::shownEntry() const
{
    if (!m_views[0]->isVisible())
        return std::nullopt;
    return m_controller->list().entryAt(m_listPane->currentPosition());
}

void Browser::runToolButton(int button)
{
    const auto buttons = shell::toolBoxButtons();
    if (button < 0 || static_cast<std::size_t>(button) >= buttons.size())
        return;
    const shell::ToolBoxButton& row = buttons[static_cast<std::size_t>(button)];
    if (const auto& action = m_keyActions[static_cast<std::size_t>(row.key)])
        action();
    else if (row.command >= 0)
        runCommand(row.command);
}

void Browser::changeDisplayType()
{
    if (!m_screens->viewsAlone()) {
        runCommand(list_command::kChangeDisplayStyle);
        return;
    }
    for (ImageView* view : m_views)
        view->cycleOverlayLevel();
}

void Browser::openFolder(const std::u16string& folder, bool force)
{
    std::u16string path = folder;
    while (path.size() > 1 && path.ends_with(u'/'))
        path.pop_back();
    m_controller->openFolder(path, force);
}

void Browser::openCollection(const std::u16string& name, bool force)
{
    m_controller->openCollection(name, force);
}

void Browser::onListOpened(const QString& text, bool collection)
{
    // Also for a request served later, when the read it waited for ended.
    m_listPane->resetList();
    if (collection) {
        m_state.listMode = shell::ListMode::Collection;
        m_state.currentCollection = toU16(text);
    } else if (!text.isEmpty()) {
        m_state.currentFolder = toU16(text);
        m_state.listMode = shell::ListMode::Folder;
        m_state.currentCollection.clear();
        m_folderPane->showFolder(text);
        m_rebar->noteFolderOpened(text);
    } else {
        m_state.currentCollection.clear(); // the list emptied; the last folder stays the one to reopen
    }
    Q_EMIT folderChanged(text);
}

void Browser::onListLoaded()
{
    QApplication::restoreOverrideCursor();
    ++m_viewGeneration;
    // Before the first picture of the new list is asked for.
    m_rawFailure->arm();
    m_listPane->resetList();
    const imagelist::ImageList& list = m_controller->list();
    // The list left behind has written its cache by now.
    m_rebar->refreshCacheHistory();
    m_rebar->setSliderRange(static_cast<int>(list.size()));
    m_rebar->setSliderPosition(static_cast<int>(list.currentPosition()));
    m_statusBar->setPartText(kPartActivity, list.empty() ? QStringLiteral("***/***") : QString());
    updateCounters();
    showCurrentInViews();
}

void Browser::onProgress(int read, int count)
{
    if (count <= 0) {
        m_statusBar->setPartText(kPartActivity, QStringLiteral("***/***"));
        m_rebar->setProgress(0);
        return;
    }
    m_statusBar->setPartText(kPartActivity, QString::asprintf("%03d/%03d", read, count));
    m_rebar->setProgress(count > 1 ? read * 100 / (count - 1) : 100);
}

void Browser::onCurrentChanged(int position)
{
    m_controller->focusMoved(position);
    m_rebar->setSliderPosition(position);
    updateCounters();
    showCurrentInViews();
}

void Browser::showCurrentInViews()
{
    m_presenter->show(m_viewGeneration, m_listPane->currentPosition(), m_views[0]->isVisible());
    m_video->viewsShown(m_viewGeneration, m_listPane->currentPosition(), m_views[0]->isVisible());
}

void Browser::updateCounters()
{
    const imagelist::ImageList& list = m_controller->list();
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < list.size(); ++i)
        if ((list.entry(i).presence() & imagelist::ImageEntry::kPresenceCounted) != 0)
            total += list.entry(i).fileSize();
    std::uint64_t selectedBytes = 0;
    const auto selected = m_listPane->selectedEntries();
    for (const std::size_t entry : selected)
        selectedBytes += list.entry(entry).fileSize();
    m_statusBar->setPartText(kPartSelection, QStringLiteral("\tSEL:%1").arg(selected.size()));
    m_statusBar->setPartText(kPartSelectionSize, QStringLiteral("\tSIZE:%1").arg(sizeText(selectedBytes)));
    const int position = m_listPane->currentPosition();
    m_statusBar->setPartText(kPartFilePosition,
                             QStringLiteral("\tFILE:%1/%2").arg(position >= 0 ? position + 1 : 0).arg(list.size()));
    m_statusBar->setPartText(kPartTotalSize, QStringLiteral("\tTOTAL:%1").arg(sizeText(total)));
}

void Browser::runCommand(int command)
{
    const shell::Route route = shell::routeCommand(command, m_menus->lastShownMenu());
    switch (route.handler) {
    case shell::Handler::MainWindow:
        runMainWindowCommand(route.command);
        return;
    case shell::Handler::SettingsDialog:
        openSettings(route.command);
        return;
    case shell::Handler::FolderPane:
        return; // the folder pane carries out its own menus' commands itself
    case shell::Handler::ListPane:
        break;
    }
    const int listCommand = route.command;
    switch (listCommand) {
    case shell::command::kEmptyRecycleBin:
        m_actions->emptyTrash();
        return;
    case kTrashSelection:
        m_actions->trashByDeleteKey();
        return;
    case kRotateLosslessly:
        m_actions->rotateLosslessly();
        return;
    case kUndoSelection:
        m_actions->undoSelection();
        return;
    case kMergeSubfolders:
        m_actions->mergeSubfolders();
        return;
    case kRenameFolder:
    case kReplaceRenameFolder:
        m_actions->renameWholeList(listCommand == kReplaceRenameFolder);
        return;
    default:
        break;
    }
    // Favourites, the cache, the folder's place and properties and a new
    // collection are the folder pane's, from whichever menu they come.
    if (m_folderPane->runCommand(listCommand) || m_listCommands->run(listCommand) || m_zoom->runCommand(listCommand)
        || m_video->runCommand(listCommand))
        return;
    if (listCommand == shell::command::kToggleThumbnailSplit) {
        m_screens->toggleSplit();
        return;
    }
    if (listCommand >= shell::command::kFirstMultiScreen
        && listCommand < shell::command::kFirstMultiScreen + shell::command::kMultiScreenModes) {
        const int mode = listCommand - shell::command::kFirstMultiScreen;
        m_area->setMultiScreenMode(mode);
        m_menus->setMultiScreenMode(mode);
        showCurrentInViews();
        return;
    }
    m_listPane->executeCommand(listCommand);
    updateCounters();
}

void Browser::openSettings(int page)
{
    SettingsWindow window(m_state.settings, m_state.keyStates, [this](int id) { return canRunFunction(id); }, &m_window);
    bool coloursChanged = false;
    connect(&window, &SettingsWindow::rowColoursChanged, this, [&coloursChanged] { coloursChanged = true; });
    window.showPage(page);
    window.exec();
    m_settingsPage = window.currentPage();
    if (coloursChanged)
        for (QAbstractItemView* view : m_listPane->findChildren<QAbstractItemView*>())
            view->viewport()->update();
}

bool Browser::runMainWindowCommand(int command)
{
    switch (command) {
    case kQuit:
        m_window.close();
        return true;
    case kCameraLensList: {
        CameraLensDialog dialog(*m_state.cameras, *m_state.lenses, &m_window);
        dialog.exec();
        return true;
    }
    case kVersionInformation:
        QMessageBox::about(&m_window, toQString(shell::kProductName), toQString(shell::initialWindowTitle()));
        return true;
    case kHelp:
    case kKeyList:
        openHelpPage(m_state.programFolder, command == kHelp ? HelpSection::Contents : HelpSection::Keys, &m_window);
        return true;
    default:
        return false;
    }
}

void Browser::recordSettings()
{
    m_rebar->storeBands(m_state.settings);
}

void Browser::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_actions)
        m_actions->shutDown();
    if (m_presenter)
        m_presenter->stop();
    if (m_video)
        m_video->listChanging();
    m_controller->shutDown();
    // Collections live in memory while the program runs; this is where they
    // reach their files.
    if (m_collections)
        m_collections->saveAll();
}

} // namespace qlx::gui
