#pragma once
// The thumbnail cache of the open list (a folder or a collection): load,
// prepare save, write, take over, free.
//
// The folder loader drives it on the user-interface thread. Leaving a list
// for another one:
//
//     store.prepareSave(requestForTheOldList);
//     store.release();                 // the old list's loaded cache
//     store.write();                   // evicts, then writes the prepared image
//     store.load(newList);
//
// Reading the same list again (a refresh) takes the prepared image over
// instead of writing it and reading it back:
//
//     store.prepareSave(request);
//     store.release();
//     store.takeOverOrLoad(sameList);
//
// What a save does follows the list's changes value: bit 1 (entries changed)
// writes the whole file; bit 0 alone (only the focus moved) rewrites the
// focused position in the existing file; 0 only renews the file's time, so
// that eviction sees it as recently used. Both short cases fall back to a
// whole write when the file is missing or its header is not ours.
//
// Every write of a whole file goes through io::writeFileAtomically: a full
// disk, a crash or a killed process leaves the previous cache as it was.
// The focused-position rewrite changes four bytes in place; why that is safe
// is told at rewriteFocusedPosition in the source.
//
// Failures never reach the user: a cache that cannot be read is no cache,
// a cache that cannot be written is not written.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cache/cache_file.h"
#include "cache/cache_writer.h"

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::cache {

// The settings that steer the cache, taken once from the settings record.
struct CacheSettings {
    std::filesystem::path directory;
    std::uint32_t limitMiB = 0;   // 0..999,999
    bool autoDelete = false;      // evict old files; enforce the limit
    bool keepCollections = false; // never evict "Lib：" files
    bool resetCursor = false;     // do not restore the stored focus

    static constexpr std::uint32_t kMaxLimitMiB = 999'999;

    static CacheSettings fromSettings(const settings::SettingsRecord& record,
                                      const std::filesystem::path& programFolder);
    std::uint64_t limitBytes() const { return std::uint64_t{limitMiB} * 1'048'576u; }
    // A limit of 0 with auto-delete on switches saving off.
    bool savingOff() const { return autoDelete && limitMiB == 0; }
};

// Which list a cache belongs to.
struct CacheList {
    std::u16string text;       // the folder's absolute path, or the collection's name
    bool isCollection = false;
    friend bool operator==(const CacheList&, const CacheList&) = default;
};

// The changes value of a list.
inline constexpr std::uint32_t kCacheFocusChanged = 0x1;
inline constexpr std::uint32_t kCacheEntriesChanged = 0x2;

struct CacheSaveRequest {
    CacheList list;
    // The header's folder text; empty means folderHeaderText(list.text) for
    // a folder, and the collection's cache name for a collection.
    std::u16string headerFolder;
    std::int64_t focusedPosition = 0;
    std::uint32_t changes = 0;
    // The list's entries in display order.
    std::span<const CacheEntryImage> entries;
};

enum class CacheSaveOutcome : std::uint8_t {
    Skipped,          // the one-shot skip, or saving switched off
    NoFile,           // the list has no usable cache name (too long)
    DeletedEmpty,     // the list was empty: its cache file was deleted
    TimeRenewed,      // nothing changed: the file's time was renewed
    HeaderRewritten,  // only the focused position was rewritten in place
    Prepared,         // a whole image is ready for write() or takeOverOrLoad()
    OverLimit,        // the image is larger than the size limit: not saved
    Failed,           // the image could not be built or the directory made
};

enum class CacheWriteOutcome : std::uint8_t {
    NothingPrepared,
    Written,
    Failed, // the old file, if any, is as it was
};

class ThumbnailCache {
public:
    explicit ThumbnailCache(CacheSettings settings);

    const CacheSettings& settings() const { return m_settings; }
    void setSettings(CacheSettings settings) { m_settings = std::move(settings); }

    // The cache file of a list; nullopt when its name is too long.
    std::optional<std::filesystem::path> fileOf(const CacheList& list) const;

    // ---- Reading ---------------------------------------------------------
    // Reads and validates the list's cache file. True when a cache is
    // available; `problem` (when given) says why not.
    bool load(const CacheList& list, CacheProblem* problem = nullptr, CacheLoadTimes* times = nullptr);
    // Uses the image prepared for the same list, without writing and reading
    // it; loads the file when no such image is waiting.
    bool takeOverOrLoad(const CacheList& list, CacheProblem* problem = nullptr);
    // The loaded cache, or nullptr. The list's entries keep the shared one
    // alive while they show its thumbnail blocks, past release().
    const CacheFile* loaded() const { return m_loaded.get(); }
    std::shared_ptr<const CacheFile> loadedShared() const { return m_loaded; }
    // The position to focus: the stored one (clamped to 0..N), or 0 with the
    // cursor-reset setting or without a cache.
    std::uint32_t focusToRestore() const;
    // Frees the loaded cache.
    void release() { m_loaded.reset(); }
    // Takes a cache file read elsewhere (by the folder read, on its thread)
    // as the loaded one.
    void adopt(std::shared_ptr<const CacheFile> loaded) { m_loaded = std::move(loaded); }

    // ---- Saving ----------------------------------------------------------
    // Lets the next save pass without saving (after the open folder's cache
    // file was deleted); the following write() clears it.
    void skipNextSave() { m_skipNextSave = true; }
    CacheSaveOutcome prepareSave(const CacheSaveRequest& request);
    bool hasPreparedImage() const { return m_prepared.has_value(); }
    // Evicts old files (with auto-delete on), then writes the prepared
    // image and frees it. `error` receives a reason for logs and tests.
    CacheWriteOutcome write(std::string* error = nullptr);

private:
    struct Prepared {
        CacheList list;
        std::filesystem::path file;
        std::vector<std::byte> image;
    };

    CacheSettings m_settings;
    std::shared_ptr<const CacheFile> m_loaded;
    std::optional<Prepared> m_prepared;
    bool m_skipNextSave = false;
};

// Rewrites the focused position of an existing cache file in place, clamped
// to 0..N of that file. False, with the file untouched, when it cannot be
// opened or its header is not a valid cache header.
bool rewriteFocusedPosition(const std::filesystem::path& file, std::int64_t focusedPosition);

// Sets the file's last-write time to now. False when that fails.
bool renewFileTime(const std::filesystem::path& file);

} // namespace qlx::cache
