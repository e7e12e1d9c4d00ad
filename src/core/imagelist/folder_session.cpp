#include "imagelist/folder_session.h"

#include "imagelist/collection_reader.h"
#include "library/collection_path.h"
#include "library/collection_store.h"
#include "cache/cache_file.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include <sys/stat.h>

namespace qlx::imagelist {

namespace {

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

ListReadOutcome readListOf(const ListReadJob& job)
{
    ListReadOutcome outcome;
    outcome.cache = job.cache;
    if (!outcome.cache && job.cacheFile) {
        if (auto file = cache::CacheFile::load(*job.cacheFile, nullptr, &outcome.cacheLoad))
            outcome.cache = std::make_shared<const cache::CacheFile>(std::move(*file));
    }
    if (!job.collection)
        outcome.result = readFolder(outcome.list, job.folder, outcome.cache, job.options);
    else if (job.content)
        outcome.result = readCollection(outcome.list, *job.content, outcome.cache, job.options,
                                        job.options.checkCachedFilesExist);
    return outcome;
}

FolderSession::FolderSession(cache::ThumbnailCache& cache, MemoryReserve& reserve,
                             FolderReadOptionsSource options, library::CollectionStore* collections,
                             FolderSessionHooks hooks)
    : m_cache(cache), m_reserve(reserve), m_options(std::move(options)), m_collections(collections),
      m_hooks(std::move(hooks))
{
}

LoadOutcome FolderSession::load(const LoadRequest& request)
{
    ListReadJob job;
    const LoadOutcome outcome = beginLoad(request, job);
    if (outcome == LoadOutcome::Loaded && reading())
        finishLoad(readListOf(job));
    return outcome;
}

LoadOutcome FolderSession::beginLoad(const LoadRequest& request, ListReadJob& job)
{
    if (m_loading)
        return LoadOutcome::AlreadyLoading;
    if (!request.force && request.folder == m_previous && request.collection == m_previousIsCollection)
        return LoadOutcome::Unchanged;
    if (reading() || (m_hooks.blockingOperationRunning && m_hooks.blockingOperationRunning())) {
        if (request.mode == LoadMode::Refresh)
            return LoadOutcome::Dropped;
        m_pending = request; // a newer request replaces an older one
        return LoadOutcome::Deferred;
    }
    m_loading = true;
    call(m_hooks.beginLoad);
    Reading load;
    load.request = request;
    if (m_keepCheckMarks)
        load.checked = checkedPaths();
    const bool reuseCacheInMemory = m_keepCheckMarks || request.mode == LoadMode::Refresh;
    call(m_hooks.stopWorkers);
    m_reserve.reset();

    // What to show afterwards, and whether the focus moved since the cache
    // was written.
    load.shownPosition = m_list.empty() ? 0 : std::max<std::int64_t>(m_list.currentPosition(), 0);
    const auto shownEntry = m_list.entryAt(load.shownPosition);
    load.shownPath = shownEntry ? m_list.entry(*shownEntry).path() : std::u16string{};
    if (request.mode == LoadMode::Refresh)
        markEntriesChanged();
    if (!m_list.empty() && m_list.currentPosition() != m_savedFocus)
        markFocusChanged();

    leaveCollection(request);
    saveLeavingList();
    m_watcher.close();
    m_applier.reset();
    m_current = request.folder;
    m_currentIsCollection = request.collection;

    if (!m_current.empty()) {
        m_keepCheckMarks = false;
        job = prepareRead(request, reuseCacheInMemory);
        m_previous = m_current;
        m_previousIsCollection = m_currentIsCollection;
        m_reading = std::move(load);
        m_loading = false;
        return LoadOutcome::Loaded;
    }
    // No list: the image prepared for the list left is written now, not at
    // some later load, so that a close right after keeps it.
    m_list.clear();
    m_cache.release();
    m_cache.write();
    m_previous.clear();
    m_previousIsCollection = false;
    call(m_hooks.startListInformation);
    call(m_hooks.endLoad);
    m_loading = false;
    return LoadOutcome::Loaded;
}

void FolderSession::finishLoad(ListReadOutcome outcome)
{
    if (!m_reading)
        return;
    m_loading = true;
    const Reading load = std::move(*m_reading);
    m_reading.reset();
    m_list = std::move(outcome.list);
    m_lastRead = outcome.result;
    m_cache.adopt(std::move(outcome.cache));
    m_lastCacheLoad = outcome.cacheLoad;
    if (m_lastRead.cacheChanged)
        markEntriesChanged();
    if (!load.request.collection)
        watchFolder(m_options ? m_options() : FolderReadOptions{});
    restoreCheckMarks(load.checked);
    placeFocus(load.request, load.shownPosition, load.shownPath);
    call(m_hooks.startListInformation);
    call(m_hooks.endLoad);
    m_loading = false;
}

void FolderSession::abandonLoad()
{
    if (!m_reading)
        return;
    m_reading.reset();
    if (m_currentIsCollection && m_collections != nullptr) {
        // Its list was never shown: there is no order to keep.
        m_collections->skipNextOrderKeep();
        m_collections->leaveCollectionMode({});
    }
    m_list.clear();
    m_cache.release();
    m_changes = 0;
    m_current.clear();
    m_currentIsCollection = false;
    m_previous.clear();
    m_previousIsCollection = false;
}

std::optional<LoadRequest> FolderSession::takePendingRequest()
{
    auto pending = std::move(m_pending);
    m_pending.reset();
    return pending;
}

std::vector<std::u16string> FolderSession::checkedPaths() const
{
    std::vector<std::u16string> paths;
    for (std::size_t index = 0; index < m_list.size(); ++index)
        if (m_list.entry(index).checked())
            paths.push_back(m_list.entry(index).path());
    return paths;
}

void FolderSession::restoreCheckMarks(const std::vector<std::u16string>& paths)
{
    if (paths.empty())
        return;
    const std::unordered_set<std::u16string> wanted(paths.begin(), paths.end());
    for (std::size_t index = 0; index < m_list.size(); ++index)
        if (wanted.contains(m_list.entry(index).path()))
            m_list.entry(index).setChecked(true);
}

void FolderSession::leaveCollection(const LoadRequest& next)
{
    if (!m_currentIsCollection || m_collections == nullptr)
        return;
    if (next.collection && next.folder == m_current)
        return; // the same collection again
    // The collection keeps the order the list was left in (when nothing was
    // added or lost meanwhile).
    std::vector<std::u16string> order;
    for (const std::uint16_t index : m_list.order())
        order.push_back(m_list.entry(index).path());
    m_collections->leaveCollectionMode(order);
}

cache::CacheSaveRequest FolderSession::saveRequest(std::span<const cache::CacheEntryImage> images) const
{
    cache::CacheSaveRequest save;
    save.list = {m_current, m_currentIsCollection};
    save.focusedPosition = std::max<std::int64_t>(m_list.currentPosition(), 0);
    save.changes = m_changes;
    save.entries = images;
    return save;
}

bool FolderSession::currentListGone() const
{
    if (m_currentIsCollection)
        return m_collections == nullptr || !m_collections->find(m_current);
    const auto folder = library::toFilePath(m_current);
    struct stat status{};
    return folder && ::stat(folder->c_str(), &status) != 0 && errno == ENOENT;
}

void FolderSession::saveLeavingList()
{
    if (m_current.empty())
        return;
    // A collection deleted or renamed, a folder removed: writing its cache
    // would bring back a file that was just deleted, or leave one for a
    // name that no longer exists.
    if (currentListGone()) {
        m_changes = 0;
        return;
    }
    const std::vector<cache::CacheEntryImage> images = m_list.cacheImages();
    m_cache.prepareSave(saveRequest(images));
    m_changes = 0;
}

cache::CacheSaveOutcome FolderSession::saveCache()
{
    // A list still being read has nothing to save (and must not delete its
    // cache file as an empty list would).
    if (m_current.empty() || reading() || currentListGone())
        return cache::CacheSaveOutcome::Skipped;
    const std::vector<cache::CacheEntryImage> images = m_list.cacheImages();
    const cache::CacheSaveOutcome outcome = m_cache.prepareSave(saveRequest(images));
    if (outcome == cache::CacheSaveOutcome::Prepared)
        m_cache.write();
    m_changes = 0;
    m_savedFocus = m_list.currentPosition();
    return outcome;
}

ListReadJob FolderSession::prepareRead(const LoadRequest& request, bool reuseCacheInMemory)
{
    const cache::CacheList list{request.folder, request.collection};
    // The old list's entries may still view the old cache: they go first.
    m_list.clear();
    m_cache.release();
    m_lastCacheLoad = {};
    ListReadJob job;
    if (reuseCacheInMemory && request.folder == m_previous && request.collection == m_previousIsCollection) {
        // An image taken over was never written: the next save must.
        if (m_cache.hasPreparedImage())
            markEntriesChanged();
        m_cache.takeOverOrLoad(list);
        job.cache = m_cache.loadedShared();
    } else {
        m_cache.write();
        job.cacheFile = m_cache.fileOf(list);
    }
    job.folder = request.folder;
    job.collection = request.collection;
    job.options = m_options ? m_options() : FolderReadOptions{};
    if (request.collection && m_collections != nullptr) {
        if (const auto index = m_collections->find(request.folder)) {
            m_collections->showCollection(*index);
            job.content = m_collections->at(*index);
        }
    }
    return job;
}

void FolderSession::watchFolder(const FolderReadOptions& options)
{
    if (const auto folder = library::toFilePath(m_current))
        m_watcher.open(*folder);
    FolderChangeOptions follow;
    follow.folderText = m_current;
    follow.targetMask = options.targetMask;
    follow.videos = options.videos;
    follow.videoVolumeSetting = options.videoVolumeSetting;
    follow.startEnlargedVideo = options.startEnlargedVideo;
    m_applier.emplace(std::move(follow));
}

void FolderSession::placeFocus(const LoadRequest& request, std::int64_t shownPosition, const std::u16string& shownPath)
{
    std::int64_t position = 0;
    if (request.mode == LoadMode::Refresh) {
        if (request.position == RefreshPosition::SamePosition) {
            position = shownPosition;
        } else if (request.position == RefreshPosition::SameEntry) {
            for (std::size_t at = 0; at < m_list.order().size(); ++at)
                if (m_list.entry(m_list.order()[at]).path() == shownPath)
                    position = static_cast<std::int64_t>(at);
        }
    } else {
        position = m_cache.focusToRestore();
    }
    const auto count = static_cast<std::int64_t>(m_list.size());
    position = count == 0 ? -1 : std::clamp<std::int64_t>(position, 0, count - 1);
    m_list.setCurrentPosition(position);
    m_savedFocus = position;
}

SortState::Order FolderSession::clickColumn(int column, const ColumnText& text)
{
    const SortState::Order order = m_sort.click(column);
    sortList(m_list, order.column, order.direction, text);
    markEntriesChanged();
    return order;
}

FolderChangeEffects FolderSession::followChanges(bool watchEnabled, bool ownRenames)
{
    if (!m_applier || !m_watcher.isOpen())
        return {};
    // With the watch switched off the events are read and let go, so that
    // switching it on again does not replay old changes.
    std::vector<FolderChange> changes = m_watcher.poll();
    if (!watchEnabled || ownRenames)
        return {};
    FolderChangeEffects effects = m_applier->apply(m_list, changes);
    FolderChangeEffects held = m_applier->retryHeld(m_list);
    effects.appendedEntries.insert(effects.appendedEntries.end(), held.appendedEntries.begin(),
                                   held.appendedEntries.end());
    if (!effects.appendedEntries.empty() || !effects.renames.empty() || !effects.changedEntries.empty())
        markEntriesChanged();
    return effects;
}

} // namespace qlx::imagelist
