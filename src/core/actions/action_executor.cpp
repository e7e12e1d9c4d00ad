#include "actions/action_executor.h"

#include "actions/action_paths.h"
#include "actions/actions_messages.h"
#include "actions/file_action.h"
#include "actions/file_operations.h"
#include "actions/lossless_rotation.h"
#include "actions/thumbnail_save.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "metadata/shooting_data.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace qlx::actions {
namespace fs = std::filesystem;
using imagelist::ImageEntry;
using imagelist::ListItem;

namespace {

ExecutionResult failed(std::string reason)
{
    ExecutionResult result;
    result.reason = std::move(reason);
    return result;
}

ExecutionResult skipped(std::string reason)
{
    ExecutionResult result;
    result.result = Result::Skipped;
    result.reason = std::move(reason);
    return result;
}

char16_t folded(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// The path up to its extension's "." (the whole path when the name has none).
std::u16string_view withoutExtension(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    const std::size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash))
        return path;
    return path.substr(0, dot);
}

std::string errorText(int error)
{
    return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

// Kinds whose success the file history keeps: undo takes them back.
bool keepsHistory(int kind)
{
    switch (static_cast<ActionKind>(kind)) {
    case ActionKind::Copy:
    case ActionKind::Move:
    case ActionKind::Trash:
    case ActionKind::DevelopTiff:
    case ActionKind::DevelopJpeg:
    case ActionKind::ThumbnailSave:
    case ActionKind::Rename:
    case ActionKind::ReplaceRename:
    case ActionKind::LosslessRotation:
    case ActionKind::DistributeMove:
        return true;
    default:
        return false;
    }
}

} // namespace

ActionExecutor::ActionExecutor(imagelist::ImageList& list, ActionCounters& counters, ExecutionQuestions questions,
                               bool keepTimeOnRotate, UndoLedger* ledger)
    : m_list(list)
    , m_counters(counters)
    , m_questions(std::move(questions))
    , m_keepTimeOnRotate(keepTimeOnRotate)
    , m_ledger(ledger)
{
}

ExecutionResult ActionExecutor::execute(std::size_t entry, ActionKind kind, std::u16string_view destination)
{
    if (entry >= m_list.size())
        return failed("no such entry");
    ListItem& item = m_list.item(entry);
    // A file an action took away is gone for every action but undo.
    if (!item.entry->isPresent())
        return failed("the file is no longer in its place");
    switch (kind) {
    case ActionKind::Copy:
    case ActionKind::Move:
    case ActionKind::Trash:
    case ActionKind::Delete:
    case ActionKind::LosslessRotation:
        if (!imagelist::mayAct(item))
            return skipped("an action has taken the file away");
        break;
    default:
        break;
    }
    switch (kind) {
    case ActionKind::Copy:
    case ActionKind::Move:
        return transfer(item, kind, destination);
    case ActionKind::Trash:
    case ActionKind::Delete:
        return trashOrDelete(item, kind);
    case ActionKind::ThumbnailSave:
        return saveThumbnailOf(item, destination);
    case ActionKind::LosslessRotation:
        return rotate(item);
    default:
        return failed("this kind of action is not run on single files");
    }
}

ExecutionResult ActionExecutor::transfer(ListItem& item, ActionKind kind, std::u16string_view destination)
{
    ImageEntry& entry = *item.entry;
    const bool move = kind == ActionKind::Move;
    const std::uint8_t presence = entry.presence();
    // Gone from the list's point of view while it moves, so that nothing
    // reads it under its old name meanwhile.
    if (move)
        entry.setPresence(0);
    const FileActionOutcome outcome = runFileAction(kind, fs::path(entry.path()), destination,
                                                    FileActionQuestions{m_questions.replace, m_questions.createFolder});
    ExecutionResult result;
    result.folderCreated = outcome.folderCreated;
    // The folder as resolved against this file's own folder: a relative
    // text would be resolved again at undo, perhaps against another folder.
    result.historyText = resolveDestination(fs::path(entry.path()), destination).u16string();
    if (outcome.result != Result::Done) {
        entry.setPresence(presence);
        result.reason = outcome.reason;
        return result;
    }
    result.result = Result::Done;
    result.made = factsOf(outcome.placed);
    if (move) {
        ++m_counters.moves;
        result.statusParts = kStatusMoves | kStatusListTotals;
    } else {
        ++m_counters.copies;
        result.statusParts = kStatusCopies;
    }
    return result;
}

ExecutionResult ActionExecutor::trashOrDelete(ListItem& item, ActionKind kind)
{
    ImageEntry& entry = *item.entry;
    const std::uint8_t presence = entry.presence();
    entry.setPresence(0);
    const FileActionOutcome outcome = runFileAction(kind, fs::path(entry.path()), {}, FileActionQuestions{});
    if (outcome.result != Result::Done) {
        entry.setPresence(presence);
        ExecutionResult result = failed(outcome.reason);
        return result;
    }
    ++m_counters.deletions;
    ExecutionResult result;
    result.result = Result::Done;
    // The trash item's name, so that undo takes this item back.
    if (kind == ActionKind::Trash)
        result.made = MadeFileFacts{outcome.placed};
    result.statusParts = kStatusDeletions | kStatusListTotals;
    return result;
}

std::optional<fs::path> ActionExecutor::destinationFolder(const ImageEntry& entry, std::u16string_view destination,
                                                          ExecutionResult& result)
{
    if (checkFolderPath(destination) != PathProblem::None) {
        result.reason = "the destination is not a folder path that actions accept";
        return std::nullopt;
    }
    const fs::path folder = resolveDestination(fs::path(entry.path()), destination);
    std::error_code error;
    if (fs::is_directory(folder, error))
        return folder;
    if (!m_questions.createFolder || !m_questions.createFolder(folder)) {
        result.result = Result::Skipped;
        result.reason = "the folder " + folder.string() + " does not exist";
        return std::nullopt;
    }
    if (!ensureFolder(folder)) {
        result.reason = "the folder " + folder.string() + " could not be made";
        return std::nullopt;
    }
    result.folderCreated = true;
    return folder;
}

ExecutionResult ActionExecutor::saveThumbnailOf(ListItem& item, std::u16string_view destination)
{
    const ImageEntry& entry = *item.entry;
    // A video's frame is not an embedded preview: it has none to save.
    if (entry.previewSize() == 0 || entry.kind() == imagelist::kKindVideo)
        return skipped("the file embeds no preview");
    ExecutionResult result;
    const auto folder = destinationFolder(entry, destination, result);
    if (!folder)
        return result;
    result.historyText = folder->u16string();
    const ThumbnailSource source{fs::path(entry.path()), entry.previewOffset(), entry.previewSize(),
                                 entry.kind() == imagelist::kKindMrw};
    const ThumbnailSaveResult saved = saveThumbnail(source, *folder, m_questions.replace);
    switch (saved.outcome) {
    case ThumbnailSaveOutcome::Done:
        result.result = Result::Done;
        result.made = factsOf(saved.target);
        return result;
    case ThumbnailSaveOutcome::NoPreview:
        result.result = Result::Skipped;
        result.reason = "the file embeds no preview";
        return result;
    case ThumbnailSaveOutcome::SameAsSource:
        result.reason = saved.target.string() + " is the file itself; it is never replaced";
        return result;
    case ThumbnailSaveOutcome::ReplaceDeclined:
        result.reason = saved.target.string() + " exists and was not replaced";
        return result;
    case ThumbnailSaveOutcome::ReadFailed:
        result.reason = "the preview could not be read" + errorText(saved.error);
        break;
    case ThumbnailSaveOutcome::WriteFailed:
        result.reason = saved.target.string() + " could not be written" + errorText(saved.error);
        break;
    }
    result.failureMessage = messages::kThumbnailSaveFailed;
    return result;
}

ExecutionResult ActionExecutor::rotate(ListItem& item)
{
    ImageEntry& entry = *item.entry;
    const OrientationPatch patch{
        .path = fs::path(entry.path()),
        .offset = entry.orientationOffset(),
        .bigEndian = entry.orientationByteOrder() == ImageEntry::OrientationByteOrder::Big,
        .current = entry.orientation(),
        .userTurns = entry.userRotation(),
        .size = entry.fileSize(),
        .lastWriteTime = entry.lastWriteTime(),
        .keepTime = m_keepTimeOnRotate,
    };
    // The orientation's bytes are written only in the byte order the file
    // was read in.
    if (entry.orientationByteOrder() == ImageEntry::OrientationByteOrder::Unknown)
        return skipped("the file's byte order is unknown");
    const RotationResult rotation = rotateLosslessly(patch);
    switch (rotation.outcome) {
    case RotationOutcome::NothingToDo:
        return skipped("nothing to turn");
    case RotationOutcome::Changed:
        return failed("the file changed since it was read");
    case RotationOutcome::Failed:
        return failed("the orientation could not be written" + errorText(rotation.error));
    case RotationOutcome::Done:
        break;
    }
    ExecutionResult result;
    result.result = Result::Done;
    result.historyText = imagelist::rotationHistoryText(entry.orientation(), entry.orientationRotation(),
                                                        entry.userRotation());
    entry.setOrientationRotation(static_cast<std::uint8_t>((entry.orientationRotation() + entry.userRotation()) % 4));
    entry.setUserRotation(0);
    entry.setOrientation(rotation.orientation);
    entry.setLastWriteTime(rotation.lastWriteTime);
    entry.setItemText(ImageEntry::kItemUpdateTime, metadata::fileTimeText(rotation.lastWriteTime));
    entry.setItemText(ImageEntry::kItemOrientation, std::u16string(1, static_cast<char16_t>(u'0' + rotation.orientation)));
    entry.setFlag(ImageEntry::kFlagThumbInvalid, true);
    entry.setFlag(ImageEntry::kFlagReloadPicture, true);
    return result;
}

std::u16string ActionExecutor::report(std::optional<std::size_t> entry, int kind, const ExecutionResult& result)
{
    std::u16string name;
    if (entry && *entry < m_list.size()) {
        ListItem& item = m_list.item(*entry);
        name = item.entry->name();
        if (result.result == Result::Done && keepsHistory(kind)) {
            imagelist::pushHistory(item, static_cast<std::int8_t>(kind), result.historyText);
            // Facts of an older record at this position must not be taken
            // for this one's.
            if (m_ledger != nullptr && result.made)
                m_ledger->remember(*item.entry, item.entry->historyPosition(), static_cast<std::int8_t>(kind),
                                   *result.made);
            else if (m_ledger != nullptr)
                m_ledger->forget(*item.entry, item.entry->historyPosition());
        }
    }
    return logLine(kind, name, result.result);
}

std::optional<std::size_t> findJpegPartner(const imagelist::ImageList& list, std::size_t rawEntry)
{
    if (rawEntry >= list.size() || !imagelist::isRawKind(list.entry(rawEntry).kind()))
        return std::nullopt;
    const std::u16string rawPath = list.entry(rawEntry).path();
    const std::u16string_view rawStem = withoutExtension(rawPath);
    for (const std::uint16_t index : list.order()) {
        if (index >= list.size() || list.entry(index).kind() != imagelist::kKindJpeg)
            continue;
        const std::u16string path = list.entry(index).path();
        if (sameIgnoringCase(withoutExtension(path), rawStem))
            return index;
    }
    return std::nullopt;
}

int logIcon(int kind, Result result)
{
    return result == Result::Done ? kind : 14 + kind;
}

} // namespace qlx::actions
