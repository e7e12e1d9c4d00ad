#include "actions/rename_run.h"

#include "actions/action_executor.h"
#include "actions/action_kinds.h"
#include "actions/rename_pattern.h"
#include "actions/rename_placement.h"
#include "metadata/shooting_data.h"

#include <cerrno>
#include <cstring>

namespace qlx::actions {
namespace {

using namespace rename_detail;
using imagelist::ImageEntry;

// Collision numbers tried for one date before the file is skipped.
constexpr int kMaxCollisionNumber = 100'000;

std::string errorText(int error)
{
    return std::string(": ") + std::strerror(error);
}

// "YYYY/MM/DD HH:MM:SS" of the entry's modification time: the list's
// UpdateTime text, else the entry's last-write time.
std::u16string updateTimeText(const ImageEntry& entry)
{
    std::u16string text = entry.itemText(ImageEntry::kItemUpdateTime);
    if (text.size() != 19 && entry.lastWriteTime() != 0)
        text = metadata::fileTimeText(entry.lastWriteTime());
    return text;
}

std::u16string dateTextOf(const ImageEntry& entry, DateSource source)
{
    std::u16string text;
    if (source == DateSource::Exif)
        text = entry.itemText(ImageEntry::kItemDateTime);
    else if (source == DateSource::Creation)
        text = creationTimeText(fsPath(entry.path()));
    else
        text = updateTimeText(entry);
    return text.size() == 19 ? text : updateTimeText(entry);
}

} // namespace

struct PatternRenamer::Target {
    std::size_t entry = 0;
    std::u16string path;
    std::u16string_view folder;
    std::u16string_view extension;
    std::u16string prefix;
    std::u16string date; // the date body of a date type
};

PatternRenamer::PatternRenamer(imagelist::ImageList& list, RenameSettings settings)
    : m_list(list)
    , m_settings(std::move(settings))
    , m_counter(m_settings.startNumber)
{
}

RenameEntryResult PatternRenamer::rename(std::size_t entry, bool partner)
{
    RenameEntryResult result;
    result.entry = entry;
    const ImageEntry& e = m_list.entry(entry);
    Target t;
    t.entry = entry;
    t.path = e.path();
    t.folder = folderOf(t.path);
    const NameParts parts = splitName(nameOf(t.path));
    t.extension = parts.extension;
    const std::u16string maker = e.itemText(ImageEntry::kItemMaker);
    const std::u16string model = e.itemText(ImageEntry::kItemModel);
    t.prefix = renamePrefix(m_settings, {nameOf(t.folder), parts.stem, maker, model});
    const auto finish = [&](Result outcome, std::string reason) {
        result.result = outcome;
        result.reason = std::move(reason);
        result.logLine = logLine(kKindRename, m_list.entry(entry).name(), outcome);
        if (m_settings.renameType == kRenameTypePrefixOnly)
            m_counter = m_settings.startNumber;
        return result;
    };
    if (!taken(fsPath(t.path)))
        return finish(Result::Skipped, "the file is not there");
    if (m_settings.prefixType == kPrefixText && !m_settings.prefixText.empty()
        && !nameAllowed(m_settings.prefixText + u"x"))
        return finish(Result::Skipped, "the prefix holds a character file names refuse");
    if (const DateSource source = dateSourceOf(m_settings.renameType); source != DateSource::None) {
        const auto body = dateBody(m_settings.renameType, dateTextOf(e, source), dateJoinerCharacter(m_settings.dateJoiner));
        if (!body)
            return finish(Result::Skipped, "the file has no date");
        t.date = *body;
    }
    const std::optional<std::u16string> name = finalName(t, result);
    if (!name)
        return finish(Result::Skipped, result.reason);
    const std::u16string target = join(t.folder, *name);
    if (!fits(t.folder, *name) || !nameAllowed(*name))
        return finish(Result::Skipped, "the new name is too long or empty before its extension");
    const bool advance = !partner && m_settings.renameType != kRenameTypePrefixOnly;
    if (target == t.path) {
        if (advance)
            ++m_counter;
        return finish(Result::Skipped, "the file already has its new name");
    }
    // Out of the way first, as the numbering run expects; put back under
    // its own name whenever the final move fails.
    const std::u16string aside = moveAside(t.path);
    if (aside.empty())
        return finish(Result::Failed, "the file could not be moved aside" + errorText(errno));
    if (!place(aside, target)) {
        const int error = errno;
        if (!place(aside, t.path))
            m_list.entry(entry).setPath(aside); // the list follows the file wherever it is
        return finish(Result::Failed, "the file could not take its new name" + errorText(error));
    }
    recordRename(m_list.item(entry), kKindRename, target, t.path);
    result.historyText = t.path;
    if (advance)
        ++m_counter;
    return finish(Result::Done, {});
}

std::optional<std::u16string> PatternRenamer::finalName(const Target& target, RenameEntryResult& result)
{
    if (dateSourceOf(m_settings.renameType) == DateSource::None)
        return freeNumberedName(target);
    const std::u16string base = target.prefix + target.date;
    return freeDateName(target, base, result);
}

// The file's own path counts as free: it is leaving it.
std::u16string PatternRenamer::freeNumberedName(const Target& target)
{
    for (;;) {
        std::u16string name = numberedName(m_settings, target.prefix, m_counter, target.extension);
        const std::u16string path = join(target.folder, name);
        if (path == target.path || !taken(fsPath(path)) || m_counter == INT32_MAX)
            return name;
        ++m_counter;
    }
}

std::optional<std::u16string> PatternRenamer::freeDateName(const Target& target, std::u16string_view base,
                                                           RenameEntryResult& result)
{
    const char16_t joiner = dateJoinerCharacter(m_settings.dateJoiner);
    const std::u16string probe = collisionName(base, joiner, 1, target.extension);
    if (!fits(target.folder, probe)) {
        result.reason = "the new path would be too long";
        return std::nullopt;
    }
    const auto isFree = [&](const std::u16string& path) { return path == target.path || !taken(fsPath(path)); };
    int k = isFree(join(target.folder, probe)) ? 0 : 2;
    for (; k < kMaxCollisionNumber; k = k == 0 ? 2 : k + 1) {
        std::u16string name = collisionName(base, joiner, k, target.extension);
        if (isFree(join(target.folder, name)))
            return name;
        if (k == 0)
            makeRoomForCollision(target, name, base, result);
    }
    result.reason = "every collision number of the date is taken";
    return std::nullopt;
}

// The first file of a date that is in the list takes the number 1.
void PatternRenamer::makeRoomForCollision(const Target& target, std::u16string_view taken,
                                          std::u16string_view base, RenameEntryResult& result)
{
    const std::u16string takenPath = join(target.folder, taken);
    for (std::size_t i = 0; i < m_list.size(); ++i) {
        const std::u16string path = m_list.entry(i).path();
        if (i == target.entry || !sameIgnoringCase(path, takenPath) || !sameFile(fsPath(path), fsPath(takenPath)))
            continue;
        const std::u16string first =
            join(target.folder, collisionName(base, dateJoinerCharacter(m_settings.dateJoiner), 1, target.extension));
        if (!place(path, first))
            return;
        EarlierRename earlier;
        earlier.entry = i;
        earlier.oldLine = logLine(kKindRename, nameOf(path), Result::Done);
        recordRename(m_list.item(i), kKindRename, first, path);
        earlier.newLine = logLine(kKindRename, nameOf(first), Result::Done);
        result.earlier = std::move(earlier);
        return;
    }
}

bool RenameReport::allSucceeded() const
{
    return std::all_of(results.begin(), results.end(), [](const RenameEntryResult& r) { return r.result != Result::Failed; });
}

RenameReport renameEntries(imagelist::ImageList& list, std::span<const std::size_t> entries,
                           const RenameSettings& settings, RenameOptions options)
{
    RenameReport report;
    PatternRenamer renamer(list, settings);
    std::vector<bool> done(list.size(), false);
    for (const std::size_t entry : entries) {
        if (entry >= list.size() || done[entry])
            continue;
        if (options.jpegPartners) {
            if (const auto partner = findJpegPartner(list, entry); partner && !done[*partner]) {
                done[*partner] = true;
                report.results.push_back(renamer.rename(*partner, true));
            }
        }
        done[entry] = true;
        report.results.push_back(renamer.rename(entry, false));
    }
    return report;
}

} // namespace qlx::actions
