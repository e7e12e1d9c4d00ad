#include "actions/action_undo.h"

#include "actions/action_executor.h"
#include "actions/lossless_rotation.h"
#include "actions/move_back.h"
#include "actions/thumbnail_save.h"
#include "actions/trash_restore.h"
#include "imagelist/file_history.h"
#include "io/file_io.h"
#include "io/system_calls.h"
#include "metadata/shooting_data.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace qlx::actions {
namespace fs = std::filesystem;
using imagelist::ImageEntry;
using imagelist::ListItem;

namespace {

// Presence of a file back in its place: counted, and there.
constexpr std::uint8_t kPresenceBack = ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd;

struct Record {
    std::int8_t kind = 0;
    std::u16string text;
    const MadeFileFacts* facts = nullptr; // this run's facts, when kept
};

UndoResult outcome(Result result, std::string reason = {})
{
    UndoResult undo;
    undo.result = result;
    undo.reason = std::move(reason);
    return undo;
}

// Where the record says the action put the file: the ledger's path when
// kept; else the record's folder (absolute, or taken from the file's own
// folder) with the file's name, for outputs its extension replaced.
std::optional<fs::path> madePath(const ImageEntry& entry, const Record& record)
{
    if (record.facts != nullptr)
        return record.facts->path;
    // A text that fills the record may have been cut when it was pushed:
    // it could name another folder.
    if (record.text.empty() || record.text.size() >= imagelist::kHistoryTextUnits - 1)
        return std::nullopt;
    const fs::path source(entry.path());
    const fs::path folder = resolveDestination(source, record.text);
    switch (record.kind) {
    case 7:
        return folder / fs::path(entry.name()).replace_extension(".tiff");
    case 8:
        return folder / fs::path(entry.name()).replace_extension(".jpg");
    case 9:
        return thumbnailTargetPath(folder, source);
    default:
        return folder / fs::path(entry.name());
    }
}

// Whether the file at `made` (facts `now`) is the one the action left: the
// ledger's facts, or for a copy without them, the source's size and time.
std::string notWhatTheActionMade(const ImageEntry& entry, const Record& record, const MadeFileFacts& now)
{
    const auto source = factsOf(fs::path(entry.path()));
    if (source && source->device == now.device && source->inode == now.inode)
        return now.path.string() + " is the file itself";
    if (record.facts != nullptr)
        return sameFile(*record.facts, now) ? std::string() : now.path.string() + " is not the file the action made";
    if (record.kind == 3 && source && source->size == now.size && source->lastWriteTime == now.lastWriteTime)
        return {};
    if (record.kind == 4 || record.kind == 13) {
        // The moved file itself: the size and time the list knew of it.
        if ((now.size & 0xFFFF'FFFFu) == entry.fileSize() && now.lastWriteTime == entry.lastWriteTime())
            return {};
    }
    return "cannot tell that " + now.path.string() + " is the file the action made; it is kept";
}

UndoResult removeMadeFile(const ImageEntry& entry, const Record& record)
{
    const auto made = madePath(entry, record);
    if (!made)
        return outcome(Result::Failed, "the history names no usable folder");
    struct stat st {};
    if (::lstat(made->c_str(), &st) != 0) {
        if (errno != ENOENT)
            return outcome(Result::Failed, made->string() + ": " + std::strerror(errno));
        UndoResult gone = outcome(Result::Skipped, made->string() + " is gone already");
        gone.recordDropped = true;
        return gone;
    }
    if (!S_ISREG(st.st_mode))
        return outcome(Result::Failed, made->string() + " is not a file");
    const auto now = factsOf(*made);
    if (!now)
        return outcome(Result::Failed, made->string() + " cannot be looked at");
    if (std::string problem = notWhatTheActionMade(entry, record, *now); !problem.empty())
        return outcome(Result::Failed, std::move(problem));
    if (io::sys::unlink(made->c_str()) != 0)
        return outcome(Result::Failed, made->string() + " could not be deleted: " + std::strerror(errno));
    io::syncFolder(made->parent_path());
    return outcome(Result::Done);
}

UndoResult fromMoveBack(const MoveBackResult& moved)
{
    UndoResult undo = outcome(moved.done() ? Result::Done : Result::Failed, moved.reason);
    undo.folderCreated = moved.folderCreated;
    return undo;
}

UndoResult moveFileBack(ImageEntry& entry, const Record& record, const FileActionQuestions& questions)
{
    const auto made = madePath(entry, record);
    if (!made)
        return outcome(Result::Failed, "the history names no usable folder");
    const auto now = factsOf(*made);
    if (!now)
        return outcome(Result::Failed, made->string() + " is not there");
    if (std::string problem = notWhatTheActionMade(entry, record, *now); !problem.empty())
        return outcome(Result::Failed, std::move(problem));
    UndoResult undo = fromMoveBack(moveBack(*made, fs::path(entry.path()), questions));
    if (undo.result == Result::Done)
        entry.setPresence(kPresenceBack);
    return undo;
}

UndoResult restoreTrashed(ImageEntry& entry, const Record& record, const FileActionQuestions& questions)
{
    const RestoreResult restored
        = restoreFromTrash(fs::path(entry.path()), questions, record.facts ? record.facts->path : fs::path());
    UndoResult undo = outcome(restored.done() ? Result::Done : Result::Failed, restored.reason);
    undo.folderCreated = restored.folderCreated;
    if (restored.done())
        entry.setPresence(kPresenceBack);
    return undo;
}

UndoResult renameBack(ImageEntry& entry, const Record& record, const FileActionQuestions& questions)
{
    const fs::path current(entry.path());
    const fs::path previous(record.text);
    // A rename never leaves the file's folder; a record saying otherwise
    // is not one of ours.
    if (!previous.is_absolute() || previous.parent_path() != current.parent_path() || !previous.has_filename())
        return outcome(Result::Failed, "the history's previous name is not in the file's folder");
    UndoResult undo = fromMoveBack(moveBack(current, previous, questions));
    if (undo.result != Result::Done)
        return undo;
    undo.renamedFrom = current.u16string();
    entry.setPath(previous.u16string());
    entry.setPresence(kPresenceBack);
    return undo;
}

int quarterTurns(std::uint8_t orientation)
{
    switch (orientation) {
    case 1: return 0;
    case 6: return 1;
    case 3: return 2;
    case 8: return 3;
    default: return -1;
    }
}

UndoResult rotateBack(ImageEntry& entry, const Record& record, bool keepTime)
{
    if (record.text.size() < 3)
        return outcome(Result::Failed, "the rotation record is damaged");
    const auto previous = static_cast<std::uint8_t>(record.text[0] & 0xFF);
    const int previousTurns = quarterTurns(previous);
    const int currentTurns = quarterTurns(entry.orientation());
    if (previousTurns < 0 || currentTurns < 0 || record.text[0] > 8 || record.text[1] > 3)
        return outcome(Result::Failed, "the orientation is not one a lossless rotation writes");
    if (entry.orientationByteOrder() == ImageEntry::OrientationByteOrder::Unknown)
        return outcome(Result::Failed, "the file's byte order is unknown");
    std::uint64_t lastWriteTime = entry.lastWriteTime();
    if (const int turns = (previousTurns - currentTurns + 4) % 4; turns != 0) {
        const RotationResult rotation = rotateLosslessly({
            .path = fs::path(entry.path()),
            .offset = entry.orientationOffset(),
            .bigEndian = entry.orientationByteOrder() == ImageEntry::OrientationByteOrder::Big,
            .current = entry.orientation(),
            .userTurns = turns,
            .size = entry.fileSize(),
            .lastWriteTime = entry.lastWriteTime(),
            .keepTime = keepTime,
        });
        if (rotation.outcome != RotationOutcome::Done)
            return outcome(Result::Failed, rotation.outcome == RotationOutcome::Changed
                                               ? "the file changed since it was read"
                                               : "the orientation could not be written");
        lastWriteTime = rotation.lastWriteTime;
    }
    entry.setOrientation(previous);
    entry.setOrientationRotation(static_cast<std::uint8_t>(record.text[1]));
    entry.setUserRotation(0);
    entry.setLastWriteTime(lastWriteTime);
    entry.setItemText(ImageEntry::kItemUpdateTime, metadata::fileTimeText(lastWriteTime));
    entry.setItemText(ImageEntry::kItemOrientation, std::u16string(1, static_cast<char16_t>(u'0' + previous)));
    entry.setFlag(ImageEntry::kFlagThumbInvalid, true);
    entry.setFlag(ImageEntry::kFlagReloadPicture, true);
    return outcome(Result::Done);
}

UndoResult undoRecord(ImageEntry& entry, const Record& record, const UndoContext& context)
{
    switch (record.kind) {
    case 3:
    case 7:
    case 8:
    case 9:
        return removeMadeFile(entry, record);
    case 4:
    case 13:
        return moveFileBack(entry, record, context.questions);
    case 5:
        return restoreTrashed(entry, record, context.questions);
    case 10:
    case 11:
        return renameBack(entry, record, context.questions);
    case 12:
        return rotateBack(entry, record, context.keepTimeOnRotate);
    default:
        return outcome(Result::Skipped, "this kind of action is not undone");
    }
}

} // namespace

UndoResult undoNewest(ListItem& item, const UndoContext& context)
{
    const auto kind = imagelist::currentHistoryKind(item);
    if (!kind)
        return outcome(Result::Skipped, "the file has no history");
    ImageEntry& entry = *item.entry;
    const std::int32_t position = entry.historyPosition();
    Record record{*kind, *kind == 12 ? imagelist::currentHistoryUnits(item, 3) : imagelist::currentHistoryText(item)};
    if (context.ledger != nullptr)
        record.facts = context.ledger->find(entry, position, *kind);
    UndoResult undo = undoRecord(entry, record, context);
    undo.kind = *kind;
    if (undo.result == Result::Done || undo.recordDropped) {
        imagelist::retractCurrentHistory(item, {*kind});
        if (context.ledger != nullptr)
            context.ledger->forget(entry, position);
    }
    if (undo.result == Result::Done)
        undo.statusParts = kStatusDeletions | kStatusListTotals;
    return undo;
}

} // namespace qlx::actions
