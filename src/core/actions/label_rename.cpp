// The list's in-place rename: the user edits the name before the extension
// in the list and the file takes the new name in its own folder.

#include "actions/actions_messages.h"
#include "actions/rename_pattern.h"
#include "actions/rename_placement.h"
#include "actions/rename_run.h"

#include <cerrno>
#include <cstring>

namespace qlx::actions {

using namespace rename_detail;

RenameEntryResult renameLabel(imagelist::ImageList& list, std::size_t entry, std::u16string_view newStem)
{
    RenameEntryResult result;
    result.entry = entry;
    const std::u16string path = list.entry(entry).path();
    const auto finish = [&](Result outcome, std::string reason) {
        result.result = outcome;
        result.reason = std::move(reason);
        result.logLine = logLine(kKindRename, list.entry(entry).name(), outcome);
        return result;
    };
    const std::u16string_view folder = folderOf(path);
    const std::u16string name = std::u16string(newStem) + std::u16string(splitName(nameOf(path)).extension);
    if (!nameAllowed(name)) {
        result.failureMessage = messages::kLabelNameRefused;
        return finish(Result::Failed, "the new name is not one a file may take");
    }
    if (!fits(folder, name))
        return finish(Result::Skipped, "the new name is too long for its folder");
    const std::u16string target = join(folder, name);
    if (target == path)
        return finish(Result::Skipped, "the name stays as it is");
    if (!taken(fsPath(path)))
        return finish(Result::Skipped, "the file is not there");
    bool moved = false;
    if (taken(fsPath(target))) {
        // Only the file itself under a name of another case may be renamed
        // over; another file of that name is never replaced.
        if (sameFile(fsPath(path), fsPath(target)))
            moved = placeThroughAside(path, target);
        else
            errno = EEXIST;
    } else {
        moved = place(path, target);
    }
    if (!moved) {
        result.failureMessage = messages::kLabelRenameFailed;
        return finish(Result::Failed, std::string("the file could not take its new name: ") + std::strerror(errno));
    }
    recordRename(list.item(entry), kKindRename, target, path);
    result.historyText = path;
    return finish(Result::Done, {});
}

} // namespace qlx::actions
