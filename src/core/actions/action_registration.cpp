#include "actions/action_registration.h"

#include "actions/action_kinds.h"
#include "actions/action_paths.h"
#include "actions/builtin_functions.h"
#include "actions/settings_messages.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace qlx::actions {
namespace {

namespace msg = messages;

// The path field holds 259 characters and its terminator.
constexpr std::size_t kMaxPathLength = ActionRecordLayout::kPath.units - 1;

struct FolderTexts {
    std::u16string_view empty;
    std::u16string_view invalid;
};

FolderTexts folderTexts(std::int32_t kind)
{
    if (kind == static_cast<std::int32_t>(ActionKind::Copy))
        return {msg::kNoCopyFolder, msg::kBadCopyFolder};
    if (kind == static_cast<std::int32_t>(ActionKind::Move))
        return {msg::kNoMoveFolder, msg::kBadMoveFolder};
    return {msg::kNoSaveFolder, msg::kBadSaveFolder};
}

Destination destinationOf(std::int32_t kind)
{
    const ActionKindInfo* info = actionKind(kind);
    return info ? info->destination : Destination::None;
}

DraftCheck refused(std::u16string_view message)
{
    return {false, message};
}

// The folder checks, with the trailing "/" added on acceptance. A leading
// "\" has its own message whatever the kind.
DraftCheck checkFolder(std::int32_t kind, std::u16string& path)
{
    const FolderTexts texts = folderTexts(kind);
    switch (checkFolderPath(path)) {
    case PathProblem::Empty:
        return refused(texts.empty);
    case PathProblem::LeadingBackslash:
        return refused(msg::kLeadingBackslash);
    case PathProblem::Invalid:
        return refused(texts.invalid);
    case PathProblem::None:
        break;
    }
    path = withTrailingSeparator(path);
    if (path.size() > kMaxPathLength)
        return refused(texts.invalid);
    return {true, {}};
}

DraftCheck checkApplication(std::u16string_view path)
{
    switch (checkApplicationPath(path)) {
    case PathProblem::Empty:
        return refused(msg::kNoApplication);
    case PathProblem::LeadingBackslash:
        return refused(msg::kLeadingBackslash);
    case PathProblem::Invalid:
        return refused(msg::kBadApplication);
    case PathProblem::None:
        break;
    }
    // The files are handed to a program that must be there to start.
    if (path.size() > kMaxPathLength || path.front() != u'/' || !isExecutableFile(path))
        return refused(msg::kBadApplication);
    return {true, {}};
}

bool keyTakenByAnother(const ActionTable& table, std::int32_t key, std::optional<std::size_t> editing)
{
    for (std::size_t i = 0; i < table.count(); ++i) {
        if (i != editing && table.keyAt(i) == key)
            return true;
    }
    return false;
}

// Steps 4, 5 and 7 of "登録": the path as the kind needs it.
DraftCheck checkPath(ActionDraft& draft)
{
    switch (destinationOf(draft.kind)) {
    case Destination::Application:
        return checkApplication(draft.path);
    case Destination::Folder:
        if (!draft.pathAtRunTime)
            return checkFolder(draft.kind, draft.path);
        // Asked for at each run: what is typed now is only the preset.
        if (!draft.path.empty() && draft.path.front() == u'\\')
            return refused(msg::kLeadingBackslash);
        if (!draft.path.empty() && checkFolderPath(draft.path) == PathProblem::None)
            draft.path = withTrailingSeparator(draft.path);
        if (draft.path.size() > kMaxPathLength)
            return refused(folderTexts(draft.kind).invalid);
        return {true, {}};
    case Destination::Function:
    case Destination::RenameSetting:
    case Destination::None:
        break;
    }
    draft.path.clear();
    return {true, {}};
}

} // namespace

ActionDraft ActionDraft::of(const ActionRecord& record)
{
    ActionDraft draft;
    draft.key = record.key();
    draft.kind = record.kind();
    draft.function = record.function();
    draft.path = record.path();
    draft.comment = record.comment();
    draft.sameNameJpeg = record.sameNameJpeg();
    draft.transferAsOne = record.transferAsOne();
    draft.pathAtRunTime = record.pathAtRunTime();
    draft.renameFixed = record.renameFixed();
    return draft;
}

DraftCheck checkDraft(ActionDraft& draft, const ActionTable& table, std::optional<std::size_t> editing,
                      const std::function<bool()>& confirmDelete)
{
    if (targetKeyName(draft.key).empty())
        return refused(msg::kNoKey);
    if (keyTakenByAnother(table, draft.key, editing))
        return refused(msg::kKeyInUse);
    // A key assignment without a function is an action not yet set.
    if (!isRegistrable(draft.kind)
        || (draft.kind == static_cast<std::int32_t>(ActionKind::KeyAssignment) && builtinFunction(draft.function) == nullptr))
        return refused(msg::kNoKind);
    ActionDraft checked = draft;
    if (const DraftCheck check = checkPath(checked); !check.accepted)
        return check;
    if (draft.kind == static_cast<std::int32_t>(ActionKind::Delete) && !(confirmDelete && confirmDelete()))
        return {false, {}};
    draft.path = std::move(checked.path);
    return {true, {}};
}

DraftCheck checkRunTimePath(std::int32_t kind, std::u16string& path)
{
    return checkFolder(kind, path);
}

bool isExecutableFile(std::u16string_view path)
{
    const QByteArray name = QFile::encodeName(QString::fromUtf16(path.data(), static_cast<qsizetype>(path.size())));
    struct stat status {};
    return ::stat(name.constData(), &status) == 0 && S_ISREG(status.st_mode) && ::access(name.constData(), X_OK) == 0;
}

std::optional<std::size_t> storeDraft(ActionTable& table, std::optional<std::size_t> editing,
                                      const ActionDraft& draft)
{
    std::size_t position = 0;
    if (editing && *editing < table.count()) {
        position = *editing;
    } else {
        if (!table.append())
            return std::nullopt;
        position = table.count() - 1;
    }
    ActionRecord record = table.at(position);
    record.setKey(draft.key);
    record.setKind(draft.kind);
    record.setPath(draft.path);
    record.setSameNameJpeg(draft.sameNameJpeg);
    record.setTransferAsOne(draft.transferAsOne);
    record.setPathAtRunTime(draft.pathAtRunTime);
    record.setRenameFixed(draft.renameFixed);
    record.setFunction(draft.kind == static_cast<std::int32_t>(ActionKind::KeyAssignment) ? draft.function : 0);
    record.setComment(std::u16string_view(draft.comment).substr(0, ActionRecord::kMaxCommentLength));
    return position;
}

void reorderActions(settings::SettingsRecord& settings, std::span<const std::size_t> order)
{
    const ActionTable table(settings);
    const std::size_t count = table.count();
    if (order.size() != count)
        return;
    std::vector<bool> seen(count, false);
    for (const std::size_t from : order) {
        if (from >= count || seen[from])
            return;
        seen[from] = true;
    }
    std::vector<std::byte> copy(count * ActionRecordLayout::kSize);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(copy.data() + i * ActionRecordLayout::kSize, settings.action(i).data(), ActionRecordLayout::kSize);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(settings.action(i).data(), copy.data() + order[i] * ActionRecordLayout::kSize, ActionRecordLayout::kSize);
}

} // namespace qlx::actions
