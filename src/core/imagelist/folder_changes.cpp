#include "imagelist/folder_changes.h"

#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "library/collection_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qlx::imagelist {

namespace {

using Clock = std::chrono::steady_clock;

void noteChanged(FolderChangeEffects& effects, std::size_t entry)
{
    if (std::find(effects.changedEntries.begin(), effects.changedEntries.end(), entry) == effects.changedEntries.end())
        effects.changedEntries.push_back(entry);
}

// A file went from `from` to `to`: nothing is left under the old path and
// something is under the new one.
bool renameHappened(const std::u16string& from, const std::u16string& to)
{
    const auto oldFile = library::toFilePath(from);
    const auto newFile = library::toFilePath(to);
    std::error_code error;
    return oldFile && newFile && !std::filesystem::exists(std::filesystem::symlink_status(*oldFile, error))
           && std::filesystem::exists(std::filesystem::symlink_status(*newFile, error));
}

} // namespace

FolderChangeEffects FolderChangeApplier::apply(ImageList& list, const std::vector<FolderChange>& changes)
{
    FolderChangeEffects effects;
    for (const FolderChange& change : changes) {
        switch (change.action) {
        case FolderChangeAction::Added:
            break;
        case FolderChangeAction::Lost:
            effects.reloadNeeded = true;
            break;
        case FolderChangeAction::Removed:
            if (const auto index = list.findByName(change.name); index && list.entry(*index).presence() != 0) {
                list.entry(*index).setPresence(0);
                noteChanged(effects, *index);
            }
            break;
        case FolderChangeAction::Modified:
            modified(list, change.name, effects);
            break;
        case FolderChangeAction::RenamedOld:
            m_renamedFrom = list.findByName(change.name);
            break;
        case FolderChangeAction::RenamedNew:
            // Followed only when it is one: the old name gone, the new one
            // there (a replayed or stale pair could name another file).
            if (m_renamedFrom && renameHappened(list.entry(*m_renamedFrom).path(), joinPath(m_options.folderText, change.name))) {
                ImageEntry& entry = list.entry(*m_renamedFrom);
                std::u16string previous = entry.path();
                if (entry.setPath(joinPath(m_options.folderText, change.name))) {
                    effects.renames.push_back({*m_renamedFrom, std::move(previous)});
                    noteChanged(effects, *m_renamedFrom);
                }
            } else {
                // A file of a kind not listed may have been renamed into one.
                modified(list, change.name, effects);
            }
            m_renamedFrom.reset();
            break;
        }
    }
    return effects;
}

void FolderChangeApplier::modified(ImageList& list, const std::u16string& name, FolderChangeEffects& effects)
{
    if (const auto index = list.findByName(name)) {
        ListItem& item = list.item(*index);
        if (item.entry->presence() == 0) {
            item.entry->setPresence(ImageEntry::kPresenceCounted);
            if (!retractCurrentHistory(item, {kHistoryRecycle, kHistoryDelete}) && item.history.empty()
                && item.entry->historyPosition() >= 0)
                item.entry->setHistoryPosition(-1);
            noteChanged(effects, *index);
        }
        return;
    }
    const bool alreadyHeld =
        std::any_of(m_held.begin(), m_held.end(), [&](const Held& held) { return held.name == name; });
    if (!alreadyHeld && !tryAppend(list, name, Clock::now(), effects))
        m_held.push_back({name, Clock::now()});
}

bool FolderChangeApplier::tryAppend(ImageList& list, const std::u16string& name, Clock::time_point since,
                                    FolderChangeEffects& effects)
{
    const VideoExtensions& videos = m_options.videos != nullptr ? *m_options.videos : defaultVideoExtensions();
    const std::uint32_t kind = classify(name, m_options.targetMask, videos);
    const std::u16string path = joinPath(m_options.folderText, name);
    const auto file = library::toFilePath(path);
    if (kind == 0 || !file || list.full() || list.findByName(name))
        return true;
    const FileState state = checkFileState(*file, std::chrono::milliseconds(0));
    if (state == FileState::Gone)
        return true;
    if (state == FileState::Changing && Clock::now() - since < m_options.settleLimit)
        return false;
    const auto facts = freshFactsOfFile(path, kind, m_options.videoVolumeSetting, m_options.startEnlargedVideo);
    if (!facts)
        return true;
    auto entry = ImageEntry::createFresh(*facts);
    if (!entry)
        return true;
    entry->setPresence(ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd);
    list.append(std::move(entry));
    list.extendOrder();
    list.setCurrentPosition(static_cast<std::int64_t>(list.size()) - 1);
    effects.appendedEntries.push_back(list.size() - 1);
    return true;
}

FolderChangeEffects FolderChangeApplier::retryHeld(ImageList& list)
{
    FolderChangeEffects effects;
    std::erase_if(m_held, [&](const Held& held) { return tryAppend(list, held.name, held.since, effects); });
    return effects;
}

} // namespace qlx::imagelist
