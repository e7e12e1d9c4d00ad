#pragma once
// Operations on the cache directory as a whole: the listing of its cache
// files, eviction of the oldest ones, the cached-folders list (the cache
// history) and deleting every cache file.
//
// Only regular files whose names end in ".cac" are cache files; nothing else
// in the directory is ever touched, except the leftovers of our own
// interrupted writes (see deleteAllCaches).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qlx::cache {

struct CacheFileInfo {
    std::filesystem::path path;
    std::u16string name;
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0; // FILETIME
};

// The cache files of `directory` in the order the directory lists them;
// empty when it cannot be read.
std::vector<CacheFileInfo> listCacheFiles(const std::filesystem::path& directory);

// Deletes the least recently written cache files until all of them together
// take at most `roomBytes`. Files written at the same time go in listing
// order. With `keepCollections`, collection caches ("Lib：…") are never
// deleted, but their sizes still count. Stops when no candidate is left.
//
// `replacing` names the file about to be written: it is neither counted nor
// deleted. Its room comes back when the new file is renamed over it, and
// deleting it first would lose the old cache if the write then failed.
// Returns how many files were deleted.
std::size_t evictCaches(const std::filesystem::path& directory, std::uint64_t roomBytes, bool keepCollections,
                        const std::filesystem::path& replacing = {});

// The cache history: the folders that have a cache file, newest first.
inline constexpr std::size_t kMaxCachedFolders = 128;

struct CachedFolder {
    std::u16string path;
    std::uint64_t lastWriteTime = 0; // FILETIME
    friend bool operator==(const CachedFolder&, const CachedFolder&) = default;
};

// The folders of the newest 128 folder caches (collection caches are not
// listed), newest first; among equal times the order is the listing's.
std::vector<CachedFolder> cachedFolders(const std::filesystem::path& directory);

// Deletes every cache file of `directory`, and the temporary files that an
// interrupted cache write may have left behind. Returns how many cache files
// were deleted.
std::size_t deleteAllCaches(const std::filesystem::path& directory);

} // namespace qlx::cache
