#pragma once
// Emptying the trash ("ゴミ箱を空にする"): every item of the user's trash
// folders (the home trash and the user's trash on each mounted volume that
// has one) is deleted for good, its file (or folder) first and then its
// info file.
//
// Deleting never follows a symbolic link: a link in the trash is removed
// itself, and folders are walked through file descriptors opened without
// following links, so nothing outside the trash can be reached. Depth and
// item counts are bounded. Items that cannot be deleted stay, and are
// counted.
//
// Thread model: blocking POSIX calls on the caller's thread.

#include <cstddef>
#include <filesystem>
#include <vector>

namespace qlx::actions {

// The user's trash folders that exist now (each holding files/ and info/):
// the home trash first, then one per mounted volume.
std::vector<std::filesystem::path> userTrashFolders();

struct TrashEmptyingResult {
    std::size_t removed = 0; // items deleted with their info files
    std::size_t failed = 0;  // items (or orphaned info files) that stay
};

TrashEmptyingResult emptyTrashFolders(const std::vector<std::filesystem::path>& trashFolders);

} // namespace qlx::actions
