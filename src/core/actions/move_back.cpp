#include "actions/move_back.h"

#include "actions/file_operations.h"

namespace qlx::actions {
namespace fs = std::filesystem;

namespace {

bool ask(const std::function<bool(const fs::path&)>& question, const fs::path& about)
{
    return question && question(about);
}

MoveBackResult notDone(MoveBackOutcome outcome, std::string reason)
{
    MoveBackResult result;
    result.outcome = outcome;
    result.reason = std::move(reason);
    return result;
}

} // namespace

MoveBackResult moveBack(const fs::path& from, const fs::path& to, const FileActionQuestions& questions)
{
    MoveBackResult result;
    TransferResult moved = moveFileTo(from, to, {ExistingTarget::Refuse});
    if (moved.outcome == TransferOutcome::TargetFolderMissing) {
        if (!ask(questions.createFolder, to.parent_path()))
            return notDone(MoveBackOutcome::FolderDeclined, "the folder " + to.parent_path().string() + " does not exist");
        if (!ensureFolder(to.parent_path()))
            return notDone(MoveBackOutcome::Failed, "the folder " + to.parent_path().string() + " could not be made");
        result.folderCreated = true;
        moved = moveFileTo(from, to, {ExistingTarget::Refuse});
    }
    if (moved.outcome == TransferOutcome::TargetExists) {
        if (!ask(questions.replace, to)) {
            MoveBackResult declined = notDone(MoveBackOutcome::ReplaceDeclined, to.string() + " exists and was not replaced");
            declined.folderCreated = result.folderCreated;
            return declined;
        }
        moved = moveFileTo(from, to, {ExistingTarget::Replace});
        result.replaced = moved.done();
    }
    if (moved.done()) {
        result.outcome = MoveBackOutcome::Done;
        return result;
    }
    const MoveBackOutcome outcome
        = moved.outcome == TransferOutcome::SourceMissing ? MoveBackOutcome::SourceMissing : MoveBackOutcome::Failed;
    MoveBackResult failed = notDone(outcome, moved.detail.empty() ? "the file could not be put back" : moved.detail);
    failed.folderCreated = result.folderCreated;
    return failed;
}

} // namespace qlx::actions
