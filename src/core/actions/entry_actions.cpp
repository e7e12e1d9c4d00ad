#include "actions/entry_actions.h"

#include "actions/action_paths.h"
#include "actions/file_operations.h"
#include "actions/lossless_rotation.h"
#include "actions/thumbnail_save.h"
#include "imagelist/file_kind.h"

#include <cstring>
#include <system_error>

namespace qlx::actions {

namespace fs = std::filesystem;

namespace {

FileActionOutcome outcome(Result result, fs::path placed = {}, std::string reason = {})
{
    return {result, std::move(placed), std::move(reason)};
}

std::string errorText(int error)
{
    return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

} // namespace

FileActionOutcome saveEntryThumbnail(const imagelist::ImageEntry& entry, std::u16string_view destination,
                                     const FileActionAnswers& answers)
{
    if (entry.previewSize() == 0)
        return outcome(Result::Skipped, {}, "the file embeds no preview");
    if (checkFolderPath(destination) != PathProblem::None)
        return outcome(Result::Failed, {}, "the destination is not a folder path that actions accept");
    const fs::path file(entry.path());
    const fs::path folder = resolveDestination(file, destination);
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        if (!answers.createFolder)
            return outcome(Result::Skipped, {}, "the folder " + folder.string() + " does not exist");
        if (!ensureFolder(folder))
            return outcome(Result::Failed, {}, "the folder " + folder.string() + " could not be made");
    }
    const ThumbnailSource source{file, entry.previewOffset(), entry.previewSize(),
                                 (entry.kind() & imagelist::kKindMrw) != 0};
    const bool replace = answers.replace;
    const ThumbnailSaveResult saved = saveThumbnail(source, folder, [replace](const fs::path&) { return replace; });
    switch (saved.outcome) {
    case ThumbnailSaveOutcome::Done:
        return outcome(Result::Done, saved.target);
    case ThumbnailSaveOutcome::NoPreview:
        return outcome(Result::Skipped, {}, "the file embeds no preview");
    case ThumbnailSaveOutcome::SameAsSource:
        return outcome(Result::Failed, {}, saved.target.string() + " is the file itself; it is never replaced");
    case ThumbnailSaveOutcome::ReplaceDeclined:
        return outcome(Result::Failed, {}, saved.target.string() + " exists and was not replaced");
    case ThumbnailSaveOutcome::ReadFailed:
        return outcome(Result::Failed, {}, "the preview could not be read" + errorText(saved.error));
    case ThumbnailSaveOutcome::WriteFailed:
        break;
    }
    return outcome(Result::Failed, {}, saved.target.string() + " could not be written" + errorText(saved.error));
}

FileActionOutcome rotateEntry(const imagelist::ImageEntry& entry, bool keepTime)
{
    const fs::path file(entry.path());
    const OrientationPatch patch{file,
                                 entry.orientationOffset(),
                                 entry.orientationByteOrder() == imagelist::ImageEntry::OrientationByteOrder::Big,
                                 entry.orientation(),
                                 entry.userRotation(),
                                 entry.fileSize(),
                                 entry.lastWriteTime(),
                                 keepTime};
    // The orientation's bytes are written only in the byte order the file
    // was read in.
    if (entry.orientationByteOrder() == imagelist::ImageEntry::OrientationByteOrder::Unknown)
        return outcome(Result::Skipped, {}, "the file's byte order is unknown");
    const RotationResult rotated = rotateLosslessly(patch);
    switch (rotated.outcome) {
    case RotationOutcome::Done:
        return outcome(Result::Done, file);
    case RotationOutcome::NothingToDo:
        return outcome(Result::Skipped, {}, "nothing to turn, or the orientation is mirrored or unknown");
    case RotationOutcome::Changed:
        return outcome(Result::Failed, {}, "the file changed since it was read");
    case RotationOutcome::Failed:
        break;
    }
    return outcome(Result::Failed, {}, "the orientation could not be written" + errorText(rotated.error));
}

} // namespace qlx::actions
