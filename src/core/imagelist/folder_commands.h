#pragma once
// The folder commands of the folder pane that change the file system:
// create a folder, rename one, move one to the trash. Each keeps the
// folder's thumbnail-cache file with the folder: a renamed folder's cache
// file is renamed to the new folder's cache name (the cache reader then
// finds the records under the new path), and a folder that went to the
// trash loses its cache file.
//
// Only the folder's own cache file follows it; the caches of folders inside
// it keep their names and are evicted in time like any unused cache.
//
// Folders are given as absolute UTF-16 paths in their plain form
// (normalFolderPath); a path that cannot be encoded as a file name fails.

#include <filesystem>
#include <string>
#include <string_view>

namespace qlx::imagelist {

enum class FolderCreateStatus {
    Created,
    AlreadyThere, // a folder of that name exists: nothing to do
    InvalidName,  // see checkFolderName
    Failed,       // the file system refused (permission, a file of that name, ...)
};

struct FolderCreateResult {
    FolderCreateStatus status = FolderCreateStatus::Failed;
    std::u16string folder; // the new folder's path
    int error = 0;         // errno when Failed
};

// Creates "<parent>/<name>".
FolderCreateResult createFolder(std::u16string_view parent, std::u16string_view name);

enum class FolderRenameStatus {
    Renamed,
    Unchanged,    // the new name is empty or the folder's own name
    InvalidName,  // see checkFolderName
    TargetExists, // a file or folder of the new name exists: nothing happens
    Failed,       // the file system refused; nothing changed
};

struct FolderRenameResult {
    FolderRenameStatus status = FolderRenameStatus::Failed;
    std::u16string folder; // the folder's new path when Renamed
    int error = 0;
};

// Renames `folder` to `newName` in the same parent folder, never onto an
// existing name, and renames its cache file in `cacheDirectory` along.
FolderRenameResult renameFolder(std::u16string_view folder, std::u16string_view newName,
                                const std::filesystem::path& cacheDirectory);

enum class FolderTrashStatus {
    Trashed,
    Missing, // the folder was not there
    Failed,  // no trash could take it; the folder stays
};

// Moves `folder` to the desktop's trash (the freedesktop.org trash, which
// the desktop's own trash shows and can restore from). When the folder is
// gone afterwards, its cache file in `cacheDirectory` is deleted.
FolderTrashStatus trashFolder(std::u16string_view folder, const std::filesystem::path& cacheDirectory);

// The cache file of a folder in `cacheDirectory`; empty when the folder's
// cache name does not fit a file name.
std::filesystem::path folderCacheFile(const std::filesystem::path& cacheDirectory, std::u16string_view folder);

} // namespace qlx::imagelist
