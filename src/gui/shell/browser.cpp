#include "shell/browser.h"

#include "actions/file_operations.h"
#include "imagelist/list_controller.h"
#include "imagelist/list_pane.h"
#include "metadata/camera_lens_dialog.h"
#include "imagelist/file_kind.h"
#include "imagelist/folder_pane.h"
#include "library/collection_path.h"
#include "cache/cache_name.h"
#include "shell/command_table.h"
#include "shell/main_window.h"
#include "shell/menu_builder.h"
#include "shell/program_info.h"
#include "shell/window_title.h"
#include "shell/qt_text.h"
#include "shell/rebar.h"
#include "shell/settings_layout.h"
#include "shell/shared_state.h"
#include "shell/status_bar.h"
#include "cache/thumbnail_block.h"
#include "viewer/browser_area.h"
#include "viewer/image_view.h"
#include "viewer/preview_decoder.h"
#include "viewer/view_settings.h"
#include "viewer/view_subject.h"

#include <QApplication>
#include <algorithm>
#include <QCursor>
#include <QDir>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>

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
constexpr int kVersionInformation = 132;
constexpr int kCameraLensList = 605;

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
                                                .with(shell::Availability::Collections));
    m_menus->setTargetFormatMask(settings.get(settings::kTargetFormatMask));
    m_menus->setMultiScreenMode(settings.get(settings::kMultiScreenMode));
    connect(m_menus.get(), &MenuBuilder::commandTriggered, this, &Browser::runCommand);
    connect(m_menus.get(), &MenuBuilder::toolButtonTriggered, this, [this](int button) {
        const auto buttons = shell::toolBoxButtons();
        if (button >= 0 && static_cast<std::size_t>(button) < buttons.size() && buttons[static_cast<std::size_t>(button)].command >= 0)
            runCommand(buttons[static_cast<std::size_t>(button)].command);
    });

    m_rebar = new Rebar(window, *m_menus, settings);
    m_statusBar = new StatusBar(&window);
    window.setStatusBar(m_statusBar);
    m_area = new BrowserArea(settings, &window);
    window.setCentralWidget(m_area);

    const std::filesystem::path cacheDirectory = cache::CacheSettings::fromSettings(settings, state.programFolder).directory;
    if (const auto directory = library::collectionDirectory(state.programFolder, settings.text(settings::kUserFolder))) {
        m_collections = std::make_unique<library::CollectionStore>(*directory,
                                                                   library::collectionCacheLocator(cacheDirectory));
        m_collections->loadAll();
    }
    m_controller = new ListController(settings, state.programFolder, *state.cameras, *state.lenses,
                                      state.placeholderPicture, m_collections.get(), this);
    buildPanes();
    connectController();
    installKeys();
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
    m_listPane = new ListPane(m_controller->session(), settings, *m_state.cameras, nullptr, m_area);
    connect(m_listPane, &ListPane::currentChanged, this, &Browser::onCurrentChanged);
    connect(m_listPane, &ListPane::selectionChanged, this, &Browser::updateCounters);
    connect(m_listPane, &ListPane::activated, this, [this](int) {
        m_area->toggleListAndViews();
        showCurrentInViews();
    });

    const viewer::ViewSettings viewSettings = viewer::ViewSettings::fromRecord(settings);
    for (ImageView*& view : m_views) {
        view = new ImageView(m_area);
        view->setSettings(viewSettings);
        connect(view, &ImageView::stepRequested, this, [this](int delta) {
            const int count = static_cast<int>(m_controller->list().size());
            const int next = m_listPane->currentPosition() + delta;
            if (next >= 0 && next < count)
                m_listPane->setCurrentPosition(next);
        });
        connect(view, &ImageView::statusTextChanged, this,
                [this](int part, const QString& text) { m_statusBar->setPartText(part, text); });
    }
    m_decoder = new PreviewDecoder(m_state.placeholderPicture, settings.get(settings::kDrawingPriority), this);
    connect(m_decoder, &PreviewDecoder::previewReady, this, [this](quint64 generation, int position, const QImage& picture) {
        for (ImageView* view : m_views)
            view->setPreview(generation, position, picture);
    });
    buildFolderPane();
    m_area->setPanes(m_folderPane, m_listPane, {m_views[0], m_views[1], m_views[2], m_views[3]});
}

void Browser::buildFolderPane()
{
    settings::SettingsRecord& settings = m_state.settings;
    const std::filesystem::path cacheDirectory = m_controller->cacheSettings().directory;
    m_folderPane = new FolderPane(settings, m_collections.get(), cacheDirectory, *m_menus,
                                  [this] { return selectedPaths(); }, m_area);
    m_folderPane->setHomeFolder(QDir::homePath());
    // The browser area draws the pane's edge and drags it.
    m_folderPane->setSizingBarShown(false);
    connect(m_folderPane, &FolderPane::folderChosen, this, [this](const QString& path) { openFolder(toU16(path)); });
    connect(m_folderPane, &FolderPane::modeChanged, this, [this](bool collectionMode) {
        m_area->setCollectionMode(collectionMode);
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
    connect(m_menus.get(), &MenuBuilder::listEntryTriggered, this, [this](int menu, int entry) {
        m_folderPane->chooseListEntry(static_cast<shell::MenuId>(menu), entry);
    });
}

QStringList Browser::selectedPaths() const
{
    QStringList paths;
    const imagelist::ImageList& list = m_controller->list();
    for (const std::size_t entry : m_listPane->selectedEntries())
        paths.push_back(toQString(list.entry(entry).path()));
    return paths;
}

void Browser::connectController()
{
    connect(m_controller, &ListController::loadStarted, this, [this] {
        m_statusBar->setPartText(kPartActivity, QStringLiteral("Loading"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    });
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
    connect(m_controller, &ListController::listReadyChanged, this, [this](bool ready) {
        m_listPane->setListReady(ready);
    });
}

void Browser::installKeys()
{
    const auto key = [this](QKeySequence sequence, auto action) {
        auto* shortcut = new QShortcut(sequence, &m_window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence(Qt::Key_Tab), [this] { m_area->toggleFolderTree(); });
    const auto switchScreens = [this] {
        m_area->toggleListAndViews();
        showCurrentInViews();
    };
    key(QKeySequence(Qt::Key_Return), switchScreens);
    key(QKeySequence(Qt::Key_Enter), switchScreens);
    key(QKeySequence(Qt::Key_F5), [this] { runCommand(shell::command::kRefresh); });
    key(QKeySequence(Qt::Key_F2), [this] { runCommand(list_command::kCheckSelected); });
    key(QKeySequence(Qt::Key_F3), [this] { runCommand(list_command::kUncheckSelected); });
    key(QKeySequence(Qt::Key_F4), [this] { m_listPane->jumpToNextChecked(m_area->screenMode() != viewer::ScreenMode::ListOnly); });
    key(QKeySequence(Qt::Key_Space), [this] { runCommand(list_command::kChangeDisplayStyle); });
    key(QKeySequence(Qt::Key_F12), [this] {
        const int mode = (m_state.settings.get(settings::kMultiScreenMode) + 1) % shell::command::kMultiScreenModes;
        runCommand(shell::command::kFirstMultiScreen + mode);
    });
    key(QKeySequence(Qt::Key_Escape), [this] {
        const bool full = !m_window.isFullScreen();
        full ? m_window.showFullScreen() : m_window.showNormal();
        m_area->setFullScreen(full);
    });
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
    } else {
        m_state.currentCollection.clear(); // the list emptied; the last folder stays the one to reopen
    }
    Q_EMIT folderChanged(text);
}

void Browser::onListLoaded()
{
    QApplication::restoreOverrideCursor();
    ++m_viewGeneration;
    m_listPane->resetList();
    const imagelist::ImageList& list = m_controller->list();
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
    const imagelist::ImageList& list = m_controller->list();
    const int count = static_cast<int>(list.size());
    const int panes = viewer::viewPaneCount(viewer::multiScreenModeFromSetting(m_state.settings.get(settings::kMultiScreenMode)));
    const int current = m_listPane->currentPosition();
    // Pane p shows the entry p places after the current one.
    for (int pane = 0; pane < static_cast<int>(m_views.size()); ++pane) {
        const int position = current >= 0 && pane < panes && current + pane < count ? current + pane : -1;
        const auto entry = list.entryAt(position);
        if (!entry) {
            ViewSubject none;
            none.generation = m_viewGeneration;
            none.count = count;
            m_views[static_cast<std::size_t>(pane)]->showSubject(none);
            continue;
        }
        const imagelist::ListItem& item = list.item(*entry);
        QImage thumbnail;
        QImage histogram;
        if (item.thumbnail().size() == cache::ThumbnailBlockLayout::kSize) {
            const auto pictures = cache::readThumbnailBlock(
                std::span<const std::byte, cache::ThumbnailBlockLayout::kSize>(item.thumbnail().data(), cache::ThumbnailBlockLayout::kSize));
            thumbnail = pictures.thumbnail;
            histogram = pictures.histogram;
        }
        ImageView* view = m_views[static_cast<std::size_t>(pane)];
        view->showSubject(ViewSubject::fromEntry(m_viewGeneration, position, count, *item.entry, thumbnail, histogram));
        if (!view->isVisible() || item.entry->hasFlag(imagelist::ImageEntry::kFlagUnrenderable) || !item.entry->isPresent())
            continue;
        const metadata::CameraRecord* known = m_state.cameras->recordAtRow(item.entry->cameraIndex());
        PreviewRequest request = PreviewRequest::forEntry(m_viewGeneration, position, *item.entry,
                                                          known ? *known : metadata::CameraRecord{}, view->previewCover());
        if (pane == 0)
            m_decoder->request(std::move(request));
        else
            m_decoder->prefetch(std::move(request));
    }
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

void Browser::toggleTargetFormat(std::uint32_t bit)
{
    settings::SettingsRecord& settings = m_state.settings;
    const std::uint32_t mask = settings.get(settings::kTargetFormatMask) ^ bit;
    settings.set(settings::kTargetFormatMask, mask);
    m_menus->setTargetFormatMask(mask);
    openFolder(m_state.currentFolder, true);
}

void Browser::runCommand(int command)
{
    const shell::Route route = shell::routeCommand(command, m_menus->lastShownMenu());
    switch (route.handler) {
    case shell::Handler::MainWindow:
        runMainWindowCommand(route.command);
        return;
    case shell::Handler::SettingsDialog:
        return; // the settings dialog comes with its own pages
    case shell::Handler::FolderPane:
        return; // the folder pane carries out its own menus' commands itself
    case shell::Handler::ListPane:
        break;
    }
    const int listCommand = route.command;
    // Favourites, the cache, the folder's place and properties and a new
    // collection are the folder pane's, from whichever menu they come.
    if (m_folderPane->runCommand(listCommand))
        return;
    if (listCommand == shell::command::kRefresh) {
        m_controller->refresh();
        return;
    }
    if (const std::uint32_t bit = imagelist::kindOfMenuCommand(listCommand); bit != 0) {
        toggleTargetFormat(bit);
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
    default:
        return false;
    }
}

void Browser::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_decoder)
        m_decoder->stop();
    m_controller->shutDown();
    // Collections live in memory while the program runs; this is where they
    // reach their files.
    if (m_collections)
        m_collections->saveAll();
}

} // namespace qlx::gui
