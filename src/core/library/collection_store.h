#pragma once
// The table of collections: loaded once at start-up from the collection
// folder, changed in memory while the program runs, saved at exit.
//
// Renames and deletions touch the files at once (the ".co" file and the
// collection's thumbnail-cache file); everything else changes only memory
// until saveAll, which writes the collections whose text changed, each
// through a temporary file and a rename.
//
// Order: loadAll lists "*.co" and orders the collections by name with the
// digit-aware comparison ("検索結果2" before "検索結果10"), so the table has
// the same order at every start whatever order the directory lists its
// files in. Collections made later are appended at the end.
//
// Nothing here ever replaces or deletes a file it did not create or load:
// a rename never moves onto an existing file, a new collection never takes
// the name of a ".co" file already on disk, and a collection whose file
// could not be read is never written (see Collection).
//
// Not thread-safe: the owner (the window's thread) calls every function;
// the search's worker hands its hits over rather than calling addPath
// itself.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "imagelist/file_kind.h"
#include "imagelist/video_extensions.h"
#include "library/collection.h"

namespace qlx::library {

inline constexpr std::size_t kMaxCollections = 256;
// The name field holds 66 units with its terminator; the name dialog
// accepts 64 characters, and a name read from a file may use the field's
// full 65.
inline constexpr std::size_t kNameFieldUnits = 66;
inline constexpr std::size_t kMaxNameUnits = kNameFieldUnits - 1;
inline constexpr std::size_t kNameDialogMaxChars = 64;
// Characters a collection name may not hold, as in file names the program
// makes, so names stay valid on the memory cards and media people copy to.
inline constexpr std::u16string_view kForbiddenNameCharacters = u":;<>?|*/\"";

enum class NameCheck {
    Valid,
    Empty,
    TooLong,   // more than kMaxNameUnits
    Forbidden, // a forbidden character, a control character or a lone surrogate
};
NameCheck checkCollectionName(std::u16string_view name);

// Where a collection's thumbnail-cache file lives: the full path of the
// cache file of the collection named `name` ("Lib：<name>.cac" in the cache
// folder), or an empty path when there is none to look after.
using CacheFileLocator = std::function<std::filesystem::path(std::u16string_view name)>;
// The locator of the thumbnail cache's naming rule in `cacheDirectory`.
CacheFileLocator collectionCacheLocator(std::filesystem::path cacheDirectory);

enum class CreateStatus {
    Created,
    NameExists, // a collection (or a ".co" file) of that exact name exists
    TableFull,  // kMaxCollections collections exist
    EmptyName,
    InvalidName, // see NameCheck
};

struct CreateResult {
    CreateStatus status = CreateStatus::EmptyName;
    std::size_t index = 0; // the new collection's index when created
    bool created() const { return status == CreateStatus::Created; }
};

enum class RenameStatus {
    Renamed,
    Unchanged,     // empty name, or a collection of that exact name exists
    InvalidName,   // see NameCheck
    TargetExists,  // a ".co" file of the new name exists on disk
    FileError,     // the ".co" file could not be renamed; nothing changed
    NoSuchCollection,
};

enum class DeleteStatus {
    Deleted,
    FileError, // the ".co" file could not be deleted; the collection stays
    NoSuchCollection,
};

struct LoadReport {
    std::size_t loaded = 0;    // collections in the table, read-only ones included
    std::size_t readOnly = 0;  // files that could not be read or were too large
    std::size_t skipped = 0;   // ".co" files left out: name not UTF-8 or too long, table full
};

struct SaveReport {
    std::size_t written = 0;
    std::size_t failed = 0;
    bool directoryCreated = true;
};

struct LeaveResult {
    bool orderKept = false; // the collection's text was replaced by the list's order
};

class CollectionStore {
public:
    explicit CollectionStore(std::filesystem::path directory, CacheFileLocator cacheFiles = {});

    const std::filesystem::path& directory() const { return m_directory; }

    // The kinds add operations accept (the target-format mask of the
    // settings and the parsed video list); all kinds and the default list
    // until set.
    void setShownKinds(std::uint32_t targetMask, const imagelist::VideoExtensions& video);

    // ---- Table ---------------------------------------------------------
    // Replaces the table with the collections of the collection folder (at
    // most kMaxCollections, by name). A missing folder gives an empty table.
    LoadReport loadAll();
    // Writes every collection that is new or changed, or whose file has gone
    // missing, creating the folder when needed. A file that cannot be
    // written is counted and left as it was; its collection stays marked as
    // changed.
    SaveReport saveAll();

    std::size_t count() const { return m_collections.size(); }
    const Collection& at(std::size_t index) const { return m_collections.at(index); }
    // The index of the collection of exactly that name.
    std::optional<std::size_t> find(std::u16string_view name) const;
    std::filesystem::path filePath(std::u16string_view name) const;

    // ---- Collections ---------------------------------------------------
    CreateResult create(std::u16string_view name);
    RenameStatus rename(std::size_t index, std::u16string_view newName);
    DeleteStatus remove(std::size_t index);

    // ---- Entries -------------------------------------------------------
    // Appends each path of a shown kind that is not listed yet (the focused
    // entry, or the selected ones, as the list's selection mode says).
    // Returns the number appended.
    std::size_t addEntries(std::size_t index, std::span<const std::u16string> paths);
    // Appends one path; a path of a kind the list does not show is refused
    // (NotShownKind). AlreadyListed counts as success (accepted()).
    AppendResult addPath(std::size_t index, std::u16string_view path);
    static bool accepted(AppendResult result)
    {
        return result == AppendResult::Appended || result == AppendResult::AlreadyListed;
    }
    // Removes every line that is one of `paths`; returns the lines removed.
    std::size_t removeEntries(std::size_t index, std::span<const std::u16string> paths);

    // ---- Collection mode -----------------------------------------------
    // The collection shown or last shown; -1 for none. After a deletion it
    // is clamped to 0..count-1 (0 for an empty table), so compare with
    // count() before use.
    int currentIndex() const { return m_current; }
    bool collectionMode() const { return m_collectionMode; }
    // Enters collection mode showing `index`. False for a bad index.
    bool showCollection(std::size_t index);
    // Leaves collection mode. Unless skipNextOrderKeep was called, the
    // current collection keeps the list's display order under the
    // same-length rule (Collection::keepOrder).
    LeaveResult leaveCollectionMode(std::span<const std::u16string> displayOrder);
    // Lets the next leave pass without keeping the order (one time).
    void skipNextOrderKeep() { m_skipOrderKeep = true; }

    // ---- Search results ------------------------------------------------
    // Creates "検索結果N" for the first N = 1, 2, … whose name is free.
    // Ends with TableFull when the table is full.
    CreateResult createSearchResult();
    // Indices of the collections whose name begins with "検索結果".
    std::vector<std::size_t> searchResults() const;
    // Deletes every search result; returns how many were deleted, and
    // whether the current collection was one of them (the list must then
    // be emptied).
    std::size_t removeAllSearchResults(bool* currentRemoved = nullptr);

    // ---- Change flag ---------------------------------------------------
    // Set by every change of the table or of a collection; the window reads
    // it to refresh its collection menu and tree.
    bool changed() const { return m_changed; }
    void clearChanged() { m_changed = false; }

private:
    Collection* writable(std::size_t index);
    bool isShownKind(std::u16string_view path) const;
    bool fileExists(std::u16string_view name) const;
    void renameCacheFile(std::u16string_view oldName, std::u16string_view newName) const;
    void removeCacheFile(std::u16string_view name) const;

    std::filesystem::path m_directory;
    CacheFileLocator m_cacheFiles;
    std::uint32_t m_targetMask = imagelist::kDefaultTargetMask;
    imagelist::VideoExtensions m_video;
    std::vector<Collection> m_collections;
    int m_current = -1;
    bool m_collectionMode = false;
    bool m_skipOrderKeep = false;
    bool m_changed = false;
};

// "検索結果N".
std::u16string searchResultName(int number);

} // namespace qlx::library
