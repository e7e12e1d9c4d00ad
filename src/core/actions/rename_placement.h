#pragma once
// What the two renames share: a file's folder and name as the entry keeps
// them ("/" separated UTF-16), the checks a new name passes before any
// file moves, the look at a name on disk, and the placement itself.
//
// Thread model: the user-interface thread; blocking file-system calls.

#include "imagelist/image_list.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qlx::actions::rename_detail {

// The longest path a name may make: the 260-unit path field of the entry
// and the history record less their terminator.
inline constexpr std::size_t kMaxPathUnits = 259;
// The longest file name Linux file systems take, in bytes.
inline constexpr std::size_t kMaxNameBytes = 255;

std::u16string_view folderOf(std::u16string_view path);
std::u16string_view nameOf(std::u16string_view path);
std::u16string join(std::u16string_view folder, std::u16string_view name);
std::filesystem::path fsPath(std::u16string_view path);

// The path fits the entry and the name the file system.
bool fits(std::u16string_view folder, std::u16string_view name);
// A name a file may take: not empty before its extension, no character
// actions refuse (: ; < > ? | * " \) and no "/", which would put the file
// into another folder.
bool nameAllowed(std::u16string_view name);
// Something (a file, a folder, a dangling link) is under the path.
bool taken(const std::filesystem::path& path);
// Both paths name the same file (one inode on one device).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);
bool sameIgnoringCase(std::u16string_view a, std::u16string_view b);

// Renames without replacing anything; false (errno set) when nothing moved.
bool place(std::u16string_view from, std::u16string_view to);
// Moves `path` to a free "NNNN_<name>" in its folder; the temporary path or
// empty (errno set) when no move was made.
std::u16string moveAside(std::u16string_view path);

// A name differing in case only, on a file system that ignores case: the
// file is under both names, so it goes through a temporary name (and comes
// back under its old one when the last step fails).
bool placeThroughAside(std::u16string_view from, std::u16string_view to);

// Gives the entry its new path and pushes its history record.
void recordRename(imagelist::ListItem& item, std::int8_t kind, std::u16string_view newPath,
                  std::u16string_view oldPath);

} // namespace qlx::actions::rename_detail
