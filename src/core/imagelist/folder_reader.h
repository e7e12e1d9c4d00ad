#pragma once
// Read folder: fills the image list of a folder from the records of its
// loaded thumbnail cache and from the directory.
//
// The cached records come first, in the order the cache keeps them (the
// display order the folder was left in), each as an entry not yet seen on
// disk. The directory is then listed once: a file whose name, size and
// last-write time match a record takes that record over as it stands (its
// metadata, shooting data, thumbnail and history); a changed file's record
// is cleared and filled afresh; new files are appended in the name column's
// ascending order (digit-aware, so a first visit lists IMG_2 before IMG_10).
// Records whose file was not seen stay in the list, greyed out (presence 0).
//
// Runs on the user-interface thread with the workers stopped.

#include "imagelist/file_stability.h"
#include "imagelist/image_list.h"
#include "imagelist/video_extensions.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace qlx::cache {
class CacheFile;
}

namespace qlx::imagelist {

struct FolderReadOptions {
    std::uint32_t targetMask = 0;
    const VideoExtensions* videos = nullptr; // the default list when null
    bool checkCachedFilesExist = false;      // drop records whose file is gone
    bool fullReload = false;                 // every thumbnail is made again
    bool mamiyaByDevelopment = false;
    std::int32_t videoThumbnailSeconds = 1; // where a video's thumbnail frame is taken
    std::int32_t videoVolumeSetting = ImageEntry::kDefaultVideoVolume;
    bool startEnlargedVideo = false;
    StableWait lastFileWait{};
    // Called after every directory item that was listed or looked at (on
    // the thread that reads); false ends the listing there, when the read
    // is no longer wanted.
    std::function<bool(std::size_t itemsSeen)> onItem;
};

struct FolderReadResult {
    bool listed = false;              // the directory could be enumerated
    std::size_t fromCache = 0;        // entries made from cache records
    std::size_t unchanged = 0;        // of those, files found unchanged
    std::size_t refilled = 0;         // of those, files that changed: read afresh
    std::size_t added = 0;            // new files
    std::size_t droppedRecords = 0;   // masked kinds, empty paths, gone files
    std::size_t overLimit = 0;        // files left out past 65,534 entries
    std::size_t unlistable = 0;       // names that are not UTF-8, paths over 259 units
    bool cacheChanged = false;        // the cache must be written back
    bool lastFileSettled = true;      // false when the wait for it ran out
    std::chrono::nanoseconds recordTime{}; // making entries of the cache records
    std::chrono::nanoseconds scanTime{};   // listing and matching the directory
    std::chrono::nanoseconds waitTime{};   // waiting for the last file
};

// `folderText` is the folder's absolute path in UTF-16 without a trailing
// "/" ("/" alone for the root); `cache` the cache loaded for it, or null.
// The list is cleared first and keeps `cache` alive for its thumbnails.
FolderReadResult readFolder(ImageList& list, std::u16string_view folderText,
                            std::shared_ptr<const cache::CacheFile> cache, const FolderReadOptions& options);

// Appends an entry taken over from cache record `number` (already read from
// it and found usable) with the rules every taken-over record follows: the
// flags of the session that wrote it are cleared, the cache index set, the
// history and (unless the thumbnail is to be made again) the thumbnail
// block attached, and the presence set to 0 until the file is seen.
// `cacheChanged` is set when a rule changed the record. False when the list
// is full.
bool appendCachedRecord(ImageList& list, const cache::CacheFile& cache, std::size_t number,
                        std::unique_ptr<ImageEntry> entry, const FolderReadOptions& options, bool& cacheChanged);

// The facts of a fresh entry for the regular file at `path` (which must
// outlive the facts): its size and last-write time from the file system,
// `kind`, and the new-video settings. Nothing when it is not a regular file
// that can be looked at.
std::optional<ImageEntry::FreshFacts> freshFactsOfFile(std::u16string_view path, std::uint32_t kind,
                                                       std::int32_t videoVolumeSetting, bool startEnlargedVideo);

// "%s/%s" of a folder text and a name, without doubling the root's "/".
std::u16string joinPath(std::u16string_view folderText, std::u16string_view name);

} // namespace qlx::imagelist
