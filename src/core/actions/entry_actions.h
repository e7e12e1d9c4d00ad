#pragma once
// The actions that work from what the list read in a file: thumbnail save
// (kind 9: the embedded preview written out as NAME.jpg into the action's
// folder) and lossless rotation (kind 12: the entry's pending quarter turns
// written into its Exif orientation). The keys and `qlx act` run them on an
// entry the folder reader filled.
//
// Thread model: blocking file-system calls on the caller's thread.

#include "actions/file_action.h"
#include "imagelist/image_entry.h"

#include <string_view>

namespace qlx::actions {

// Skipped when the entry has no preview, or its folder is missing and the
// answer to the create-folder question is no; failed when the target is
// the file itself, another file of the name stays (no replace), or the
// preview cannot be read or written.
FileActionOutcome saveEntryThumbnail(const imagelist::ImageEntry& entry, std::u16string_view destination,
                                     const FileActionAnswers& answers);

// Writes the entry's user rotation into the file. Skipped when there is
// nothing to turn (no user rotation, no known orientation offset, a
// mirrored orientation); failed when the file is no longer the one the
// entry knows or cannot be written.
FileActionOutcome rotateEntry(const imagelist::ImageEntry& entry, bool keepTime);

} // namespace qlx::actions
