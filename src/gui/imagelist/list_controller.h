#pragma once
// The browser's side of the image list: it owns the folder session (list,
// cache, watcher), the memory reserve, the folder-read worker and the
// list-information worker, opens folders, merges the workers' results into
// the list on the user-interface thread, and follows the folder watcher.
// The panes show what it announces; they never touch a worker.
//
// A load runs in three steps: the session's first half (workers stopped,
// the list left is saved, the new cache loaded) on this thread; the
// directory read on the folder-read worker, while the window goes on;
// the second half (the list read is put in place, the folder watched) back
// on this thread, and then a list-information pass. A request while the
// read runs waits as the session's pending request and supersedes the
// read: the read is asked to stop and the request is served when it has
// ended.

#include "imagelist/folder_session.h"
#include "imagelist/list_read_worker.h"
#include "imagelist/memory_reserve.h"
#include "imagelist/video_extensions.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "cache/cache_store.h"
#include "thumbs/list_information_worker.h"
#include "thumbs/thumbnail_failures.h"

#include <QList>
#include <QObject>

#include <set>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class QSocketNotifier;
class QTimer;

namespace qlx::settings {
class SettingsRecord;
}
namespace qlx::library {
class CollectionStore;
}

namespace qlx::gui {

class ListController : public QObject {
    Q_OBJECT
public:
    // `collections` may be null (the settings name no usable user folder):
    // a collection then shows an empty list.
    ListController(settings::SettingsRecord& settings, const std::filesystem::path& programFolder,
                   const metadata::CameraTable& cameras, const metadata::LensTables& lenses,
                   QByteArray placeholderPicture, library::CollectionStore* collections,
                   QObject* parent = nullptr);
    ~ListController() override;

    imagelist::FolderSession& session() { return *m_session; }
    const imagelist::ImageList& list() const { return m_session->list(); }
    const metadata::CameraTable& cameras() const { return m_cameras; }

    // Opens a folder ("Load folder"); the result says what happened to the
    // request: Loaded when the list now belongs to it (its read may still
    // run), Deferred when it waits for the read in work.
    imagelist::LoadOutcome openFolder(const std::u16string& folder, bool force = false,
                                      imagelist::LoadMode mode = imagelist::LoadMode::Open,
                                      imagelist::RefreshPosition position = imagelist::RefreshPosition::First);
    imagelist::LoadOutcome open(const imagelist::LoadRequest& request);
    imagelist::LoadOutcome openCollection(const std::u16string& name, bool force = false);
    // The refresh command: the same folder again, check marks kept.
    void refresh();
    // The focus moved to `position`: the worker goes on from there.
    void focusMoved(int position);
    // Whether the worker has visited the whole list (sorting waits for it).
    bool listReady() const { return m_listReady; }
    int entriesRead() const { return static_cast<int>(m_read); }
    // The open folder's cache file is gone (the folder was deleted, or every
    // cache cleared): leaving the folder must not write it again.
    void skipNextCacheSave() { m_cache.skipNextSave(); }
    const cache::CacheSettings& cacheSettings() const { return m_cache.settings(); }
    // The memory reserve of the open list, for the other image loaders. Its
    // hooks are this controller's memoryShort and readAheadShrinkRequested.
    imagelist::MemoryReserve& memoryReserve() { return m_reserve; }
    // Stops the workers and writes the open folder's cache (leaving the
    // program).
    void shutDown();

    // An action runs over the list's entries: nothing may free them under
    // it. Loads asked for meanwhile wait as the pending request and are
    // served when it ends; the folder watcher is followed afterwards.
    void beginBlockingOperation();
    void endBlockingOperation();
    bool blockingOperationRunning() const { return m_blocking > 0; }
    // A rename run is ending: the folder's changes so far are its own and
    // are let go rather than followed.
    void dropOwnRenames();
    // An action changed the entry (moved, trashed or rotated its file): what
    // the list information worker read of it before is dropped, and the
    // entry is read again when `reread` (its file changed in place).
    void noteEntryChangedByAction(std::size_t entry, bool reread);

Q_SIGNALS:
    void loadStarted();
    // The list now belongs to `text`: a folder, a collection's name, or
    // empty for no list. Its read follows.
    void listOpened(const QString& text, bool collection);
    // The folder read has looked at `itemsSeen` directory items.
    void readProgress(int itemsSeen);
    void listLoaded();
    // Entries (numbers in the list) whose record or thumbnail changed.
    void entriesUpdated(const QList<qsizetype>& entries);
    void entriesAppended();
    // Another program renamed a listed file; the entry follows the new name.
    void renamedByOtherProgram(const QString& previousPath, const QString& path);
    // "%03d/%03d" of the status bar and the progress band.
    void progressChanged(int read, int count);
    void listReadyChanged(bool ready);
    // The RAW engine could not develop a thumbnail of this list (a stopped
    // development is no failure).
    void developmentFailed();
    // A picture could not be had and the memory reserve has reached its
    // 1 GiB ceiling: at most once per list load ("メモリ不足です。").
    void memoryShort();
    // A picture could not be had and the reserve was raised: whoever reads
    // ahead measures its window again, keeping the new reserve free.
    void readAheadShrinkRequested();

private:
    void stopForLoad();
    void stopWorker();
    void readEnded();
    void showList();
    void startPass();
    void drainResults();
    void watchFolder();
    void followChanges();
    void requeueChangedEntries();
    imagelist::FolderReadOptions readOptions() const;

    settings::SettingsRecord& m_settings;
    const metadata::CameraTable& m_cameras;
    const metadata::LensTables& m_lenses;
    QByteArray m_placeholder;
    imagelist::VideoExtensions m_videos;
    cache::ThumbnailCache m_cache;
    imagelist::MemoryReserve m_reserve;
    std::unique_ptr<imagelist::FolderSession> m_session;
    // Written by the folder-read worker, read here.
    std::atomic<std::size_t> m_readSeen{0};
    std::atomic<bool> m_progressPosted{false};
    std::unique_ptr<imagelist::ListReadWorker> m_reader;
    std::unique_ptr<thumbs::ListInformationWorker> m_worker;
    thumbs::ThumbnailFailures m_failures;
    std::uint64_t m_generation = 0;
    std::size_t m_read = 0;
    bool m_listReady = false;
    bool m_stopping = false;      // the worker is being stopped (events are pumped)
    bool m_loadAnnounced = false; // loadStarted went out; listLoaded ends it
    bool m_shuttingDown = false;
    QSocketNotifier* m_watchNotifier = nullptr;
    QTimer* m_heldFilesTimer = nullptr;
    int m_blocking = 0;
    bool m_changesWhileBlocked = false;
    // Entries an action changed since the information pass started.
    std::set<std::size_t> m_changedByAction;
    bool m_requeueChanged = false;
};

} // namespace qlx::gui
