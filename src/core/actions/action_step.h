#pragma once
// One kind on one entry, whatever the kind: the file operations through
// the executor, hand-over, undo, and the two renames, with one result the
// window turns into its log line, its counters and its redraws. The window
// makes one per run of an action (a pattern rename numbers the files of
// one run), and so does `qlx`.
//
// Thread model: the user-interface thread, which owns the image list.

#include "actions/action_executor.h"
#include "actions/rename_run.h"
#include "actions/undo_ledger.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qlx::actions {

struct StepResult {
    Result result = Result::Failed;
    std::u16string line;            // the action-log line
    int icon = 0;                   // its icon (logIcon)
    int statusParts = 0;            // status-bar parts to update
    bool folderCreated = false;     // a folder was made: the folder tree changed
    bool fileLeft = false;          // the file went away (moved, trashed, deleted)
    bool changedInPlace = false;    // the file changed where it is (turned, renamed, back)
    std::optional<EarlierRename> earlier; // a date collision renamed an earlier file
    std::u16string_view failureMessage;   // a box to show
    std::string reason;
};

struct StepSettings {
    std::u16string destination;  // the action's folder or application
    RenameSettings rename;       // kinds 10 and 11
    bool keepTimeOnRotate = false;
};

class ActionStep {
public:
    ActionStep(imagelist::ImageList& list, ActionCounters& counters, ExecutionQuestions questions,
               UndoLedger& ledger, StepSettings settings);

    // `partner`: the JPEG taken along with a RAW file (a pattern rename
    // gives it the RAW file's number).
    StepResult run(std::size_t entry, ActionKind kind, bool partner = false);

private:
    StepResult undo(std::size_t entry);
    StepResult rename(std::size_t entry, ActionKind kind, bool partner);
    StepResult handOver(std::size_t entry);

    imagelist::ImageList& m_list;
    ExecutionQuestions m_questions;
    UndoLedger& m_ledger;
    StepSettings m_settings;
    ActionExecutor m_executor;
    PatternRenamer m_renamer;
};

} // namespace qlx::actions
