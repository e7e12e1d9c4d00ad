#include "actions/action_step.h"

#include "actions/action_undo.h"
#include "actions/actions_messages.h"
#include "actions/hand_over.h"

#include <filesystem>

namespace qlx::actions {

namespace {

constexpr int kUndoKind = 0;

bool takesFileAway(ActionKind kind)
{
    return kind == ActionKind::Move || kind == ActionKind::Trash || kind == ActionKind::Delete;
}

} // namespace

ActionStep::ActionStep(imagelist::ImageList& list, ActionCounters& counters, ExecutionQuestions questions,
                       UndoLedger& ledger, StepSettings settings)
    : m_list(list)
    , m_questions(questions)
    , m_ledger(ledger)
    , m_settings(std::move(settings))
    , m_executor(list, counters, std::move(questions), m_settings.keepTimeOnRotate, &ledger)
    , m_renamer(list, m_settings.rename)
{
}

StepResult ActionStep::run(std::size_t entry, ActionKind kind, bool partner)
{
    if (entry >= m_list.size())
        return {};
    switch (kind) {
    case ActionKind::Undo:
        return undo(entry);
    case ActionKind::Rename:
    case ActionKind::ReplaceRename:
        return rename(entry, kind, partner);
    case ActionKind::HandOver:
        return handOver(entry);
    default:
        break;
    }
    const ExecutionResult done = m_executor.execute(entry, kind, m_settings.destination);
    StepResult step;
    step.result = done.result;
    step.line = m_executor.report(entry, static_cast<int>(kind), done);
    step.icon = logIcon(static_cast<int>(kind), done.result);
    step.statusParts = done.statusParts;
    step.folderCreated = done.folderCreated;
    step.fileLeft = done.result == Result::Done && takesFileAway(kind);
    step.changedInPlace = done.result == Result::Done && kind == ActionKind::LosslessRotation;
    step.failureMessage = done.failureMessage;
    step.reason = done.reason;
    return step;
}

StepResult ActionStep::undo(std::size_t entry)
{
    imagelist::ListItem& item = m_list.item(entry);
    const UndoResult undone = undoNewest(
        item, {FileActionQuestions{m_questions.replace, m_questions.createFolder}, &m_ledger, m_settings.keepTimeOnRotate});
    StepResult step;
    step.result = undone.result;
    step.line = logLine(kUndoKind, item.entry->name(), undone.result);
    step.icon = logIcon(kUndoKind, undone.result);
    step.statusParts = undone.statusParts;
    step.folderCreated = undone.folderCreated;
    // A copy or an output deleted changes nothing of this file; everything
    // else brought it back or changed it where it is.
    step.changedInPlace = undone.result == Result::Done;
    step.reason = undone.reason;
    return step;
}

StepResult ActionStep::rename(std::size_t entry, ActionKind kind, bool partner)
{
    const RenameEntryResult renamed = kind == ActionKind::Rename ? m_renamer.rename(entry, partner)
                                                                 : replaceRename(m_list, entry, m_settings.rename);
    StepResult step;
    step.result = renamed.result;
    step.line = renamed.logLine;
    step.icon = logIcon(static_cast<int>(kind), renamed.result);
    step.changedInPlace = renamed.result == Result::Done;
    step.earlier = renamed.earlier;
    step.failureMessage = renamed.failureMessage;
    step.reason = renamed.reason;
    return step;
}

StepResult ActionStep::handOver(std::size_t entry)
{
    const imagelist::ImageEntry& file = m_list.entry(entry);
    StepResult step;
    if (!file.isPresent()) {
        step.reason = "the file is no longer in its place";
    } else if (actions::handOver(std::filesystem::path(m_settings.destination), {std::filesystem::path(file.path())})) {
        step.result = Result::Done;
    } else {
        step.failureMessage = messages::kHandOverFailed;
        step.reason = "the application could not be started";
    }
    const int kindNumber = static_cast<int>(ActionKind::HandOver);
    step.line = logLine(kindNumber, file.name(), step.result);
    step.icon = logIcon(kindNumber, step.result);
    return step;
}

} // namespace qlx::actions
