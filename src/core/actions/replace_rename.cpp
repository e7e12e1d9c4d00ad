// Replace-rename (kind 11): every occurrence of the old text in the name
// before its extension, found without regard to case, replaced by the new.

#include "actions/actions_messages.h"
#include "actions/rename_pattern.h"
#include "actions/rename_placement.h"
#include "actions/rename_run.h"

#include <cerrno>
#include <cstring>

namespace qlx::actions {
namespace {

using namespace rename_detail;

constexpr int kKindReplaceRename = 11;

// Scans on after each inserted replacement, so a new text that holds the
// old one never loops. Nothing when the old text does not occur (or is
// empty: an empty text occurs everywhere and is refused before this).
std::optional<std::u16string> replaced(std::u16string_view stem, std::u16string_view oldText,
                                       std::u16string_view newText)
{
    if (oldText.empty())
        return std::nullopt;
    std::u16string result;
    bool any = false;
    std::size_t at = 0;
    while (at < stem.size()) {
        if (stem.size() - at >= oldText.size() && sameIgnoringCase(stem.substr(at, oldText.size()), oldText)) {
            result += newText;
            at += oldText.size();
            any = true;
        } else {
            result.push_back(stem[at++]);
        }
    }
    return any ? std::optional(result) : std::nullopt;
}

} // namespace

RenameEntryResult replaceRename(imagelist::ImageList& list, std::size_t entry, const RenameSettings& settings)
{
    RenameEntryResult result;
    result.entry = entry;
    const std::u16string path = list.entry(entry).path();
    const auto finish = [&](Result outcome, std::string reason) {
        result.result = outcome;
        result.reason = std::move(reason);
        result.logLine = logLine(kKindReplaceRename, list.entry(entry).name(), outcome);
        return result;
    };
    if (settings.oldText.empty())
        return finish(Result::Skipped, "there is no text to replace");
    if (settings.oldText == settings.newText)
        return finish(Result::Skipped, "the texts are the same");
    if (!taken(fsPath(path)))
        return finish(Result::Skipped, "the file is not there");
    const std::u16string_view folder = folderOf(path);
    const NameParts parts = splitName(nameOf(path));
    const auto stem = replaced(parts.stem, settings.oldText, settings.newText);
    if (!stem)
        return finish(Result::Skipped, "the name does not hold the text");
    const std::u16string name = *stem + std::u16string(parts.extension);
    if (!nameAllowed(name) || !fits(folder, name)) {
        result.failureMessage = messages::kInvalidReplaceName;
        return finish(Result::Failed, "the new name is not one a file may take");
    }
    const std::u16string target = join(folder, name);
    if (target == path)
        return finish(Result::Skipped, "the name stays as it is");
    bool moved = false;
    if (taken(fsPath(target))) {
        // Only the file itself under a name of another case: any other file
        // of that name is left alone.
        if (!sameFile(fsPath(path), fsPath(target)))
            return finish(Result::Skipped, "another file has the new name");
        moved = placeThroughAside(path, target);
    } else {
        moved = place(path, target);
    }
    if (!moved)
        return finish(Result::Failed, std::string("the file could not take its new name: ") + std::strerror(errno));
    recordRename(list.item(entry), kKindReplaceRename, target, path);
    result.historyText = path;
    return finish(Result::Done, {});
}

RenameReport replaceRenameEntries(imagelist::ImageList& list, std::span<const std::size_t> entries,
                                  const RenameSettings& settings)
{
    RenameReport report;
    for (const std::size_t entry : entries) {
        if (entry >= list.size())
            continue;
        report.results.push_back(replaceRename(list, entry, settings));
        // An invalid name stops the run, as it stops a run in the main view.
        if (!report.results.back().failureMessage.empty())
            break;
    }
    return report;
}

} // namespace qlx::actions
