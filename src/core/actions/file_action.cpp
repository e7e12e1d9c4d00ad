#include "actions/file_action.h"

#include "actions/action_paths.h"
#include "actions/file_operations.h"
#include "actions/trash.h"
#include "io/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace qlx::actions {
namespace fs = std::filesystem;

namespace {

FileActionOutcome failed(std::string reason)
{
    return {Result::Failed, {}, std::move(reason)};
}

bool ask(const std::function<bool(const fs::path&)>& question, const fs::path& about)
{
    return question && question(about);
}

FileActionOutcome transfer(ActionKind kind, const fs::path& file, std::u16string_view destination,
                           const FileActionQuestions& questions)
{
    if (const PathProblem problem = checkFolderPath(destination); problem != PathProblem::None)
        return failed("the destination is not a folder path that actions accept");
    const fs::path folder = resolveDestination(file, destination);
    const auto run = [&](ExistingTarget existing) {
        return kind == ActionKind::Copy ? copyFile(file, folder, {existing}) : moveFile(file, folder, {existing});
    };
    // The transfer itself finds out whether the folder is there; it is
    // made, after asking, only when it is not.
    TransferResult result = run(ExistingTarget::Refuse);
    bool folderCreated = false;
    if (result.outcome == TransferOutcome::TargetFolderMissing) {
        if (!ask(questions.createFolder, folder))
            return failed("the folder " + folder.string() + " does not exist");
        if (!ensureFolder(folder))
            return failed("the folder " + folder.string() + " could not be made");
        folderCreated = true;
        result = run(ExistingTarget::Refuse);
    }
    if (result.outcome == TransferOutcome::TargetExists && ask(questions.replace, result.target))
        result = run(ExistingTarget::Replace);
    if (!result.done()) {
        FileActionOutcome outcome = failed(result.detail.empty() ? "the file could not be placed" : result.detail);
        outcome.folderCreated = folderCreated;
        return outcome;
    }
    return {Result::Done, result.target, {}, folderCreated};
}

FileActionOutcome trash(const fs::path& file)
{
    const TrashResult result = moveToTrash(file);
    switch (result.outcome) {
    case TrashOutcome::Done:
        return {Result::Done, result.trashed, {}};
    case TrashOutcome::SourceMissing:
        return failed("the file does not exist");
    case TrashOutcome::NoTrash:
        return failed("there is no trash on the file's file system; the file stays");
    case TrashOutcome::Failed:
        break;
    }
    return failed(std::string("the file could not go to the trash: ") + std::strerror(result.error));
}

FileActionOutcome deleteForGood(const fs::path& file)
{
    struct stat st {};
    // A link is removed itself; what it points at is never followed.
    if (::lstat(file.c_str(), &st) != 0)
        return failed("the file does not exist");
    if (S_ISDIR(st.st_mode))
        return failed("a folder is not deleted by an action");
    if (::unlink(file.c_str()) != 0)
        return failed(std::string("the file could not be deleted: ") + std::strerror(errno));
    io::syncFolder(file.parent_path());
    return {Result::Done, {}, {}};
}

} // namespace

fs::path resolveDestination(const fs::path& file, std::u16string_view destination)
{
    const std::u16string kept = withTrailingSeparator(destination);
    const fs::path text(kept);
    if (!kept.empty() && kept.front() == u'/')
        return text;
    return file.parent_path() / text;
}

FileActionOutcome runFileAction(ActionKind kind, const fs::path& file, std::u16string_view destination,
                                const FileActionAnswers& answers)
{
    const auto answer = [](bool yes) { return [yes](const fs::path&) { return yes; }; };
    return runFileAction(kind, file, destination, FileActionQuestions{answer(answers.replace), answer(answers.createFolder)});
}

FileActionOutcome runFileAction(ActionKind kind, const fs::path& file, std::u16string_view destination,
                                const FileActionQuestions& questions)
{
    switch (kind) {
    case ActionKind::Copy:
    case ActionKind::Move:
        return transfer(kind, file, destination, questions);
    case ActionKind::Trash:
        return trash(file);
    case ActionKind::Delete:
        return deleteForGood(file);
    default:
        return failed("this kind of action is not run on single files here");
    }
}

} // namespace qlx::actions
