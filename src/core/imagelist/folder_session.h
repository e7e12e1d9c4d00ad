#pragma once
// The open list of the browser: which folder is open, its image list, its
// thumbnail cache, its sort state and its folder watcher, and the one way
// to open a folder (load folder) with every step in its order.
//
// The window supplies what only it can do (the wait cursor and the
// "Loading" text, stopping and starting the workers, the title and the
// counters) as hooks; the command-line tool runs the same load without any.
//
// Runs on the user-interface thread.

#include "imagelist/folder_changes.h"
#include "imagelist/folder_reader.h"
#include "imagelist/folder_watcher.h"
#include "imagelist/image_list.h"
#include "imagelist/memory_reserve.h"
#include "imagelist/sort_order.h"
#include "cache/cache_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qlx::library {
class CollectionStore;
}

namespace qlx::imagelist {

enum class LoadMode : std::uint8_t {
    Open = 0,    // another folder, or the same one asked for with force
    Refresh = 1, // the same folder again: the cache in memory is reused
};

// Where the focus goes after a refresh.
enum class RefreshPosition : std::uint8_t { First = 0, SameEntry = 1, SamePosition = 2 };

struct LoadRequest {
    // The folder (absolute, without a trailing "/"), or the collection's
    // name; empty for none.
    std::u16string folder;
    bool force = false;
    LoadMode mode = LoadMode::Open;
    RefreshPosition position = RefreshPosition::First;
    bool collection = false;
};

enum class LoadOutcome : std::uint8_t {
    Loaded,
    AlreadyLoading, // a load runs: the request is dropped
    Unchanged,      // the same folder without force
    Deferred,       // a blocking operation runs: kept as the pending request
    Dropped,        // a refresh while a blocking operation runs
};

struct FolderSessionHooks {
    std::function<bool()> blockingOperationRunning;
    std::function<void()> beginLoad;            // wait cursor, "Loading", list hidden
    std::function<void()> stopWorkers;          // development, list information, prefetch and view
    std::function<void()> startListInformation;
    std::function<void()> endLoad;              // title, layout, counters, slider, cursor
};

// The settings a load reads, taken fresh for every load.
using FolderReadOptionsSource = std::function<FolderReadOptions()>;

class FolderSession {
public:
    FolderSession(cache::ThumbnailCache& cache, MemoryReserve& reserve, FolderReadOptionsSource options,
                  FolderSessionHooks hooks = {});

    LoadOutcome load(const LoadRequest& request);
    // The collections a collection request reads; without them a collection
    // shows an empty list.
    void setCollectionStore(library::CollectionStore* store) { m_collections = store; }
    bool showsCollection() const { return m_currentIsCollection; }
    // The request a blocking operation held back, handed out once.
    std::optional<LoadRequest> takePendingRequest();
    // The refresh command: the next load keeps the check marks.
    void keepCheckMarksOnNextLoad() { m_keepCheckMarks = true; }

    // Writes the open list's cache (leaving the program, or before the
    // cache folder is cleared).
    cache::CacheSaveOutcome saveCache();

    ImageList& list() { return m_list; }
    const ImageList& list() const { return m_list; }
    const std::u16string& currentFolder() const { return m_current; }
    bool loading() const { return m_loading; }
    const FolderReadResult& lastRead() const { return m_lastRead; }
    // The last load's cache file read and check (zero when it was taken
    // over from memory or there was none).
    const cache::CacheLoadTimes& lastCacheLoad() const { return m_lastCacheLoad; }

    // The cache's changes value (bit 0 focus, bit 1 entries).
    void markEntriesChanged() { m_changes |= cache::kCacheEntriesChanged; }
    void markFocusChanged() { m_changes |= cache::kCacheFocusChanged; }
    std::uint32_t cacheChanges() const { return m_changes; }

    // Sorting by a column click; marks the cache to be written.
    SortState::Order clickColumn(int column, const ColumnText& text = {});
    const SortState& sortState() const { return m_sort; }

    // ---- Watching --------------------------------------------------------
    FolderWatcher& watcher() { return m_watcher; }
    // Takes the watcher's changes (and the held new files) into the list.
    // `watchEnabled` is the watch setting; `renameRunning` a rename run,
    // whose own renames must not be taken for another program's.
    FolderChangeEffects followChanges(bool watchEnabled, bool renameRunning);
    // New files that are still being written wait to be looked at again.
    bool followingHeldFiles() const { return m_applier && m_applier->holding(); }

private:
    std::vector<std::u16string> checkedPaths() const;
    void restoreCheckMarks(const std::vector<std::u16string>& paths);
    cache::CacheSaveRequest saveRequest(std::span<const cache::CacheEntryImage> images) const;
    void saveLeavingList();
    void leaveCollection(const LoadRequest& next);
    void readList(const LoadRequest& request, const FolderReadOptions& options);
    void readNewList(const LoadRequest& request, bool reuseCacheInMemory);
    void placeFocus(const LoadRequest& request, std::int64_t shownPosition, const std::u16string& shownPath);

    cache::ThumbnailCache& m_cache;
    MemoryReserve& m_reserve;
    FolderReadOptionsSource m_options;
    FolderSessionHooks m_hooks;

    ImageList m_list;
    std::u16string m_current;
    std::u16string m_previous;
    bool m_currentIsCollection = false;
    bool m_previousIsCollection = false;
    library::CollectionStore* m_collections = nullptr;
    bool m_loading = false;
    bool m_keepCheckMarks = false;
    std::optional<LoadRequest> m_pending;
    std::uint32_t m_changes = 0;
    std::int64_t m_savedFocus = -1; // the focus the cache holds
    SortState m_sort;
    FolderReadResult m_lastRead;
    cache::CacheLoadTimes m_lastCacheLoad;
    FolderWatcher m_watcher;
    std::optional<FolderChangeApplier> m_applier;
};

} // namespace qlx::imagelist
