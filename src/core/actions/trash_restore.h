#pragma once
// Taking a file back out of the trash to its original path (undo of a
// trash action), for files we trashed and for files another program
// (a file manager, `gio trash`) trashed, as the freedesktop.org trash
// standard lays the trash out.
//
// Which item: the one we recorded when we trashed the file, as long as its
// info file still names the original path; otherwise the item of the home
// trash or of a trash on the file's volume (".Trash/$uid", ".Trash-$uid"
// of the mount the path lies under) whose info file's decoded path is
// exactly the original path, the newest deletion time winning (and among
// equal times the newest info file). A path in a volume's trash is
// relative to the volume's top folder.
//
// How: the file is moved back without replacing anything (a taken name
// asks the replace question, "no" fails; a missing folder asks the
// create-folder question); only once it is back is its info file removed,
// so the trash never lists an item whose file is gone while the file is
// still there. When the info file cannot be removed the file goes back into
// the trash under its name, unless the restore replaced another file.
//
// Thread model: blocking file-system calls on the caller's thread.

#include "actions/file_action.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace qlx::actions {

struct TrashedItem {
    std::filesystem::path file; // TRASH/files/NAME
    std::filesystem::path info; // TRASH/info/NAME.trashinfo
    std::uint64_t deletedAt = 0;
};

// The trash item that holds `original`; `recorded` is TRASH/files/NAME as
// moveToTrash reported it (empty when not known).
std::optional<TrashedItem> findTrashedItem(const std::filesystem::path& original,
                                           const std::filesystem::path& recorded = {});

enum class RestoreOutcome : std::uint8_t {
    Done,
    NotInTrash,      // no item of the trash names the path (emptied, or restored by another program)
    ReplaceDeclined, // another file has the name and the answer was no
    FolderDeclined,  // the original folder is missing and the answer was no
    Failed,          // the file system refused; the item stays in the trash
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::Failed;
    TrashedItem item;   // the item taken (when one was found)
    bool folderCreated = false;
    std::string reason; // a short English reason when not done

    bool done() const { return outcome == RestoreOutcome::Done; }
};

RestoreResult restoreFromTrash(const std::filesystem::path& original, const FileActionQuestions& questions,
                               const std::filesystem::path& recorded = {});

} // namespace qlx::actions
