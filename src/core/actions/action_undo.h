#pragma once
// Undo of the newest action on one entry of the image list: the record at
// its history position is taken back, marked undone (kind 0) and the
// position lowered, so that the next undo takes the record before it.
//
//  - copy (3), development (7, 8), thumbnail save (9): the file the action
//    made is deleted, but only while it is still that file: the facts the
//    undo ledger kept (device, inode, size, last-write time), or, for a
//    record older than this run (taken over from the cache), a copy whose
//    size and last-write time equal the source's. Anything else is "NG!"
//    and the file stays. A file already gone drops the record ("Skip!").
//  - move (4), distribute-move (13): the file is moved back without
//    replacing anything (the replace question; "no" is "NG!"), checked the
//    same way; a moved file that is gone is "NG!" and the record stays.
//  - trash (5): restored from the trash (trash_restore.h).
//  - renames (10, 11): the file gets its previous name again, in its own
//    folder, never over another file.
//  - lossless rotation (12): the previous orientation is written back.
//  - 0, 2, 6 and anything else: "Skip!".
//
// A record's folder is absolute since the executor writes it so; a relative
// one (an older cache) is resolved against the file's own folder, as
// actions resolve it.
//
// Thread model: the user-interface thread, which owns the image list.

#include "actions/action_log.h"
#include "actions/file_action.h"
#include "actions/undo_ledger.h"
#include "imagelist/image_list.h"

#include <string>

namespace qlx::actions {

struct UndoContext {
    // The replace and create-folder questions, asked when they arise; an
    // empty function answers no.
    FileActionQuestions questions;
    UndoLedger* ledger = nullptr; // the facts of this run's records; nullptr: none kept
    bool keepTimeOnRotate = false;
};

struct UndoResult {
    Result result = Result::Skipped;
    int kind = 0;               // the kind of the record looked at (0: none)
    bool recordDropped = false; // "Skip!" for a made file already gone: the record went
    // A rename taken back: the name the file had (the cache record to
    // rename from); the entry's path is the previous one now.
    std::u16string renamedFrom;
    bool folderCreated = false; // a missing folder was made to put the file back
    int statusParts = 0;        // the status-bar parts to update
    std::string reason;         // why not done, for logs and the command line
};

UndoResult undoNewest(imagelist::ListItem& item, const UndoContext& context);

} // namespace qlx::actions
