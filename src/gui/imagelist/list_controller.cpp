#include "imagelist/list_controller.h"

#include "imagelist/list_settings.h"
#include "shell/pump.h"
#include "shell/qt_text.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"

#include <QSocketNotifier>
#include <QTimer>

#include <utility>

namespace qlx::gui {

using imagelist::ImageEntry;

namespace {

// How often files that appeared but were still being written are looked at.
constexpr int kHeldFilesPollMs = 250;

} // namespace

ListController::ListController(settings::SettingsRecord& settings, const std::filesystem::path& programFolder,
                               const metadata::CameraTable& cameras, const metadata::LensTables& lenses,
                               QByteArray placeholderPicture, library::CollectionStore* collections, QObject* parent)
    : QObject(parent), m_settings(settings), m_cameras(cameras), m_lenses(lenses),
      m_placeholder(std::move(placeholderPicture)), m_videos(imagelist::videoExtensionsOf(settings)),
      m_cache(cache::CacheSettings::fromSettings(settings, programFolder))
{
    // The reserve's hooks run on the worker whose picture could not be had;
    // the window hears of them on its own thread.
    m_reserve.setHooks({
        [this] {
            QMetaObject::invokeMethod(this, [this] { Q_EMIT readAheadShrinkRequested(); }, Qt::QueuedConnection);
        },
        [this] { QMetaObject::invokeMethod(this, [this] { Q_EMIT memoryShort(); }, Qt::QueuedConnection); },
    });
    imagelist::FolderSessionHooks hooks;
    hooks.blockingOperationRunning = [this] { return m_blocking > 0; };
    hooks.stopWorkers = [this] { stopForLoad(); };
    hooks.beginLoad = [this] {
        // Once for a load and the loads that superseded it.
        if (!std::exchange(m_loadAnnounced, true))
            Q_EMIT loadStarted();
    };
    m_session = std::make_unique<imagelist::FolderSession>(m_cache, m_reserve, [this] { return readOptions(); },
                                                           collections, std::move(hooks));
    m_reader = std::make_unique<imagelist::ListReadWorker>(
        settings.get(settings::kDrawingPriority),
        [this](std::size_t seen) {
            // One notice waits at a time and tells the latest count, however
            // fast the directory is listed: a queue of them would hold the
            // window up as long as the read it reports on.
            m_readSeen = seen;
            if (!m_progressPosted.exchange(true))
                QMetaObject::invokeMethod(this, [this] {
                    m_progressPosted = false;
                    Q_EMIT readProgress(static_cast<int>(m_readSeen.load()));
                }, Qt::QueuedConnection);
        },
        [this] { QMetaObject::invokeMethod(this, &ListController::readEnded, Qt::QueuedConnection); });
    m_heldFilesTimer = new QTimer(this);
    m_heldFilesTimer->setInterval(kHeldFilesPollMs);
    connect(m_heldFilesTimer, &QTimer::timeout, this, &ListController::followChanges);
}

ListController::~ListController()
{
    m_reader->stop();
    stopWorker();
}

imagelist::FolderReadOptions ListController::readOptions() const
{
    return imagelist::folderReadOptionsOf(m_settings, m_videos);
}

imagelist::LoadOutcome ListController::openFolder(const std::u16string& folder, bool force, imagelist::LoadMode mode,
                                                  imagelist::RefreshPosition position)
{
    return open({folder, force, mode, position, false});
}

imagelist::LoadOutcome ListController::openCollection(const std::u16string& name, bool force)
{
    return open({name, force, imagelist::LoadMode::Open, imagelist::RefreshPosition::First, true});
}

imagelist::LoadOutcome ListController::open(const imagelist::LoadRequest& request)
{
    if (m_shuttingDown)
        return imagelist::LoadOutcome::Dropped;
    imagelist::ListReadJob job;
    const imagelist::LoadOutcome outcome = m_session->beginLoad(request, job);
    if (outcome == imagelist::LoadOutcome::Deferred) {
        // The read in work is superseded; readEnded serves the request.
        m_reader->requestStop();
        return outcome;
    }
    if (outcome != imagelist::LoadOutcome::Loaded)
        return outcome;
    ++m_generation;
    m_read = 0;
    m_listReady = false; // not until the list read has been gone through
    Q_EMIT listReadyChanged(false);
    Q_EMIT listOpened(QString::fromStdU16String(request.folder), request.collection);
    if (m_session->reading())
        m_reader->start(std::move(job), m_generation);
    else
        showList(); // the list was emptied
    return outcome;
}

void ListController::readEnded()
{
    auto finished = m_reader->takeFinished();
    if (m_shuttingDown || !finished || finished->generation != m_generation || !m_session->reading())
        return;
    if (auto pending = m_session->takePendingRequest()) {
        m_session->abandonLoad();
        const imagelist::LoadOutcome outcome = open(*pending);
        if (outcome != imagelist::LoadOutcome::Loaded && outcome != imagelist::LoadOutcome::Deferred)
            showList(); // nothing to read after all: the list stays empty
        return;
    }
    m_session->finishLoad(std::move(finished->outcome));
    showList();
}

void ListController::showList()
{
    watchFolder();
    m_loadAnnounced = false;
    Q_EMIT listLoaded();
    startPass();
}

void ListController::refresh()
{
    m_session->keepCheckMarksOnNextLoad();
    open({m_session->currentFolder(), true, imagelist::LoadMode::Refresh, imagelist::RefreshPosition::SameEntry,
          m_session->showsCollection()});
}

void ListController::focusMoved(int position)
{
    if (m_worker && position >= 0)
        m_worker->focusMoved(static_cast<std::size_t>(position));
}

void ListController::shutDown()
{
    m_shuttingDown = true;
    m_heldFilesTimer->stop();
    // A list still being read was never shown: there is nothing of it to
    // save.
    m_reader->stop(pumpEvents);
    m_session->abandonLoad();
    stopWorker();
    m_session->saveCache();
}

void ListController::stopForLoad()
{
    // The watcher's descriptor closes with the load; nothing may listen on
    // it, nor look at held files, until the new list is watched.
    m_heldFilesTimer->stop();
    delete m_watchNotifier;
    m_watchNotifier = nullptr;
    stopWorker();
}

void ListController::stopWorker()
{
    if (m_worker) {
        // The window paints and the results already queued are merged while
        // the worker finishes the entry in work.
        m_stopping = true;
        m_worker->stop(pumpEvents);
        m_stopping = false;
    }
    drainResults();
}

void ListController::startPass()
{
    // The pass reads every entry as it is now.
    m_changedByAction.clear();
    m_requeueChanged = false;
    const imagelist::ImageList& list = m_session->list();
    thumbs::InformationPass pass = thumbs::planInformationPass(list, m_failures, m_generation);
    m_listReady = false;
    Q_EMIT listReadyChanged(false);
    Q_EMIT progressChanged(0, static_cast<int>(list.size()));

    if (!m_worker) {
        thumbs::ListInformationSettings settings = thumbs::listInformationSettingsOf(m_settings);
        settings.placeholder = std::as_bytes(std::span(m_placeholder.constData(), static_cast<std::size_t>(m_placeholder.size())));
        m_worker = std::make_unique<thumbs::ListInformationWorker>(
            thumbs::ListInformationTables{m_cameras, m_lenses}, settings, m_settings.get(settings::kDrawingPriority),
            &m_reserve, [this] { QMetaObject::invokeMethod(this, &ListController::drainResults, Qt::QueuedConnection); });
    }
    m_worker->start(std::move(pass));
}

void ListController::drainResults()
{
    if (!m_worker)
        return;
    std::vector<thumbs::InformationResult> results = m_worker->takeResults();
    imagelist::ImageList& list = m_session->list();
    QList<qsizetype> changed;
    bool visited = false;
    bool developFailed = false;
    for (thumbs::InformationResult& result : results) {
        if (result.generation != m_generation || result.entry >= list.size() || !result.record)
            continue; // a result of a list that is gone
        if (m_changedByAction.contains(result.entry)) {
            m_requeueChanged = true; // read before the action changed the file
            continue;
        }
        const thumbs::MergedInformation merged = thumbs::mergeInformation(list.item(result.entry), result, m_failures);
        if (merged.changed)
            changed.push_back(static_cast<qsizetype>(result.entry));
        developFailed = developFailed || merged.developFailed;
        visited = true;
        ++m_read;
    }
    // Only what changed is written back when the list is left: entries
    // that wait for a video frame, or whose development was stopped, are
    // visited on every pass and change nothing.
    if (!changed.isEmpty()) {
        m_session->markEntriesChanged();
        Q_EMIT entriesUpdated(changed);
    }
    if (visited)
        Q_EMIT progressChanged(static_cast<int>(m_read), static_cast<int>(list.size()));
    if (!m_worker->running() && !m_listReady && !m_session->reading()) {
        m_listReady = true;
        Q_EMIT listReadyChanged(true);
    }
    if (developFailed)
        Q_EMIT developmentFailed();
    if (!m_worker->running() && m_blocking == 0)
        requeueChangedEntries();
}

void ListController::requeueChangedEntries()
{
    if (!std::exchange(m_requeueChanged, false)) {
        m_changedByAction.clear();
        return;
    }
    m_changedByAction.clear();
    startPass();
}

void ListController::beginBlockingOperation()
{
    // A level-triggered notifier would fire in every modal box the action
    // opens; the changes are read once it ends.
    if (m_blocking++ == 0 && m_watchNotifier)
        m_watchNotifier->setEnabled(false);
}

void ListController::endBlockingOperation()
{
    if (m_blocking == 0 || --m_blocking > 0)
        return;
    if (m_watchNotifier) {
        m_watchNotifier->setEnabled(true);
        m_changesWhileBlocked = true;
    }
    if (auto pending = m_session->takePendingRequest(); pending && !m_session->reading()) {
        open(*pending);
        return;
    }
    if (std::exchange(m_changesWhileBlocked, false))
        followChanges();
    if (m_worker && !m_worker->running())
        requeueChangedEntries();
}

void ListController::dropOwnRenames()
{
    m_session->followChanges(imagelist::folderWatchEnabled(m_settings), true);
}

void ListController::noteEntryChangedByAction(std::size_t entry, bool reread)
{
    m_changedByAction.insert(entry);
    if (reread && (!m_worker || !m_worker->running()))
        m_requeueChanged = true;
}

void ListController::watchFolder()
{
    delete m_watchNotifier;
    m_watchNotifier = nullptr;
    const int fd = m_session->watcher().descriptor();
    if (fd < 0)
        return;
    m_watchNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_watchNotifier, &QSocketNotifier::activated, this, &ListController::followChanges);
}

void ListController::followChanges()
{
    // The held-files timer may fire while a stop pumps events; the next
    // tick looks again.
    if (m_stopping)
        return;
    if (m_blocking > 0) {
        m_changesWhileBlocked = true; // followed when the action ends
        return;
    }
    const imagelist::FolderChangeEffects effects =
        m_session->followChanges(imagelist::folderWatchEnabled(m_settings), false);
    if (effects.reloadNeeded) {
        openFolder(m_session->currentFolder(), true);
        return;
    }
    if (!effects.changedEntries.empty()) {
        QList<qsizetype> changed;
        for (const std::size_t entry : effects.changedEntries)
            changed.push_back(static_cast<qsizetype>(entry));
        Q_EMIT entriesUpdated(changed);
    }
    for (const imagelist::RenameByOtherProgram& rename : effects.renames)
        Q_EMIT renamedByOtherProgram(toQString(rename.previousPath), toQString(list().entry(rename.entry).path()));
    if (!effects.appendedEntries.empty()) {
        Q_EMIT entriesAppended();
        stopWorker();
        startPass();
    }
    if (m_session->followingHeldFiles())
        m_heldFilesTimer->start();
    else
        m_heldFilesTimer->stop();
}

} // namespace qlx::gui
