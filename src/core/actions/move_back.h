#pragma once
// Putting a file back where it was (undo of a move, a rename, a trash):
// never over another file unless the user answered yes to the replace
// question, and into a missing folder only after the create-folder
// question. On one file system it is a rename; across file systems the
// copy-check-delete of moveFileTo, so the file is never lost on the way.
//
// Thread model: blocking file-system calls on the caller's thread.

#include "actions/file_action.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace qlx::actions {

enum class MoveBackOutcome : std::uint8_t {
    Done,
    SourceMissing,   // nothing at `from`
    ReplaceDeclined, // `to` is taken and the answer was no (or nobody asked)
    FolderDeclined,  // `to`'s folder is missing and the answer was no
    Failed,          // the file system refused; the file stays at `from`
};

struct MoveBackResult {
    MoveBackOutcome outcome = MoveBackOutcome::Failed;
    bool replaced = false;      // another file under `to` was replaced, after a yes
    bool folderCreated = false; // `to`'s folder was made, after a yes
    std::string reason;         // a short English reason when not done

    bool done() const { return outcome == MoveBackOutcome::Done; }
};

MoveBackResult moveBack(const std::filesystem::path& from, const std::filesystem::path& to,
                        const FileActionQuestions& questions);

} // namespace qlx::actions
