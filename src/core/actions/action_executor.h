#pragma once
// Runs one action kind on one entry of the image list: the file operation
// itself (through file_action, trash, thumbnail_save and lossless_rotation)
// and what it means for the entry: its presence, its rotation fields, its
// file history, and the program's counters.
//
// The questions an operation may ask (replace a file of the same name,
// create a missing folder) are asked through the callbacks, only when they
// arise. Nothing here shows a window: the caller turns the result into the
// log line, the status bar and the redraw of the row.
//
// Thread model: the user-interface thread, which owns the image list; the
// file-system calls block it for the length of one file.

#include "actions/action_kinds.h"
#include "actions/action_log.h"
#include "actions/undo_ledger.h"
#include "imagelist/image_list.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::actions {

// From program start; not kept.
struct ActionCounters {
    int copies = 0;
    int moves = 0;
    int deletions = 0; // trash and delete together
};

struct ExecutionQuestions {
    // Another file has the target's name: true replaces it.
    std::function<bool(const std::filesystem::path& existing)> replace;
    // The destination folder is missing: true creates it.
    std::function<bool(const std::filesystem::path& folder)> createFolder;
};

// The status-bar parts an execution changed (bits of the status update).
inline constexpr int kStatusCopies = 0x2;
inline constexpr int kStatusMoves = 0x4;
inline constexpr int kStatusDeletions = 0x8;
inline constexpr int kStatusListTotals = 0x3C0; // selection, sizes, position, total

struct ExecutionResult {
    Result result = Result::Failed;
    std::u16string historyText;      // what the history record keeps: for copy, move and thumbnail
                                     // save the resolved absolute folder
    std::optional<MadeFileFacts> made; // the file the operation left, for the undo ledger
    bool folderCreated = false;      // a destination folder was made: the folder tree changed
    int statusParts = 0;
    std::u16string_view failureMessage; // a box to show (empty: the log line says it)
    std::string reason;              // why it failed or was skipped, for logs and the command line
};

class ActionExecutor {
public:
    // With a ledger, every record report() pushes gets the facts of the
    // file the operation left (copy, move, trash, thumbnail), for undo.
    ActionExecutor(imagelist::ImageList& list, ActionCounters& counters, ExecutionQuestions questions,
                   bool keepTimeOnRotate, UndoLedger* ledger = nullptr);

    // Runs `kind` on the entry with the action's destination text (a folder
    // for copy, move and thumbnail save). Kinds this executor does not run
    // (undo, key assignment, hand-over, development, renames) fail.
    ExecutionResult execute(std::size_t entry, ActionKind kind, std::u16string_view destination);

    // Pushes the history record a successful operation leaves (kinds that
    // keep none push nothing) and returns the action log's line.
    std::u16string report(std::optional<std::size_t> entry, int kind, const ExecutionResult& result);

private:
    ExecutionResult transfer(imagelist::ListItem& item, ActionKind kind, std::u16string_view destination);
    ExecutionResult trashOrDelete(imagelist::ListItem& item, ActionKind kind);
    ExecutionResult saveThumbnailOf(imagelist::ListItem& item, std::u16string_view destination);
    ExecutionResult rotate(imagelist::ListItem& item);
    // Resolves and, after asking, creates the destination folder.
    std::optional<std::filesystem::path> destinationFolder(const imagelist::ImageEntry& entry,
                                                           std::u16string_view destination,
                                                           ExecutionResult& result);

    imagelist::ImageList& m_list;
    ActionCounters& m_counters;
    ExecutionQuestions m_questions;
    bool m_keepTimeOnRotate = false;
    UndoLedger* m_ledger = nullptr;
};

// The row of the JPEG taken along with a RAW file: the first entry in
// display order with the JPEG kind whose path without its extension equals
// the RAW file's, ignoring case. Nothing for a file that is not RAW.
std::optional<std::size_t> findJpegPartner(const imagelist::ImageList& list, std::size_t rawEntry);

// The log icon of a line: the kind on success, 14 + kind otherwise.
int logIcon(int kind, Result result);

} // namespace qlx::actions
