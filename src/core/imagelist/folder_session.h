#pragma once
// The open list of the browser: which folder is open, its image list, its
// thumbnail cache, its sort state and its folder watcher, and the one way
// to open a folder (load folder) with every step in its order.
//
// The window supplies what only it can do (the wait cursor and the
// "Loading" text, stopping and starting the workers, the title and the
// counters) as hooks; the command-line tool runs the same load without any.
//
// A load runs whole (load()) or in two halves around its read
// (beginLoad(), finishLoad()): the window reads the directory on a thread
// of its own so that a large folder does not stop the event loop (see
// ListReadWorker). While that read runs, a further request waits as the
// pending request, and the window abandons the read and serves it.
//
// Runs on the user-interface thread.

#include "imagelist/folder_changes.h"
#include "imagelist/folder_reader.h"
#include "imagelist/folder_watcher.h"
#include "imagelist/image_list.h"
#include "imagelist/memory_reserve.h"
#include "imagelist/sort_order.h"
#include "library/collection.h"
#include "cache/cache_store.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

// What the read of a load works with: plain values, so that any thread may
// read (the cache file is shared and never changes, the collection is a
// copy).
struct ListReadJob {
    std::u16string folder; // the folder, or the collection's name
    bool collection = false;
    std::optional<library::Collection> content; // a collection's files; none: no such collection
    // The cache already in memory (a refresh takes the image it prepared
    // over), or else the cache file to read first (a large folder's is
    // hundreds of megabytes).
    std::shared_ptr<const cache::CacheFile> cache;
    std::optional<std::filesystem::path> cacheFile;
    FolderReadOptions options;
};

struct ListReadOutcome {
    ImageList list;
    FolderReadResult result;
    std::shared_ptr<const cache::CacheFile> cache; // the cache the list was read against
    cache::CacheLoadTimes cacheLoad;
};

// Reads the cache file when the job names one, then the folder's directory,
// or the collection's files, against the cache.
ListReadOutcome readListOf(const ListReadJob& job);

class FolderSession {
public:
    // `collections`: the collections a collection request reads; without
    // them (no usable user folder) a collection shows an empty list.
    FolderSession(cache::ThumbnailCache& cache, MemoryReserve& reserve, FolderReadOptionsSource options,
                  library::CollectionStore* collections = nullptr, FolderSessionHooks hooks = {});

    // The whole load, its read on the calling thread.
    LoadOutcome load(const LoadRequest& request);
    // The load up to its read: Loaded means the list now belongs to the
    // request; when reading() it is empty until finishLoad() brings what
    // `job` read (otherwise the load is already over: the list was
    // emptied).
    LoadOutcome beginLoad(const LoadRequest& request, ListReadJob& job);
    void finishLoad(ListReadOutcome outcome);
    // Drops the load whose read runs (a newer request came): nothing of it
    // is shown or saved, and the session shows no list until the next load.
    void abandonLoad();
    bool reading() const { return m_reading.has_value(); }

    bool showsCollection() const { return m_currentIsCollection; }
    // The request held back while a read or a blocking operation ran,
    // handed out once.
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
    // `watchEnabled` is the watch setting. `ownRenames`: the changes waiting
    // are a rename run's own (the list already holds the new names); they
    // are read and let go, since replayed they could give one entry's old
    // name to another that took it meanwhile.
    FolderChangeEffects followChanges(bool watchEnabled, bool ownRenames);
    // New files that are still being written wait to be looked at again.
    bool followingHeldFiles() const { return m_applier && m_applier->holding(); }

private:
    // What a load begun remembers for its end.
    struct Reading {
        LoadRequest request;
        std::vector<std::u16string> checked;
        std::int64_t shownPosition = 0;
        std::u16string shownPath;
    };

    std::vector<std::u16string> checkedPaths() const;
    void restoreCheckMarks(const std::vector<std::u16string>& paths);
    cache::CacheSaveRequest saveRequest(std::span<const cache::CacheEntryImage> images) const;
    bool currentListGone() const;
    void saveLeavingList();
    void leaveCollection(const LoadRequest& next);
    ListReadJob prepareRead(const LoadRequest& request, bool reuseCacheInMemory);
    void watchFolder(const FolderReadOptions& options);
    void placeFocus(const LoadRequest& request, std::int64_t shownPosition, const std::u16string& shownPath);

    cache::ThumbnailCache& m_cache;
    MemoryReserve& m_reserve;
    FolderReadOptionsSource m_options;
    library::CollectionStore* m_collections;
    FolderSessionHooks m_hooks;

    ImageList m_list;
    std::u16string m_current;
    std::u16string m_previous;
    bool m_currentIsCollection = false;
    bool m_previousIsCollection = false;
    bool m_loading = false; // inside beginLoad or finishLoad
    std::optional<Reading> m_reading;
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
