#include "actions/folder_merge.h"

#include "actions/action_kinds.h"
#include "actions/file_operations.h"
#include "actions/media_messages.h"
#include "imagelist/file_kind.h"
#include "io/file_descriptor.h"
#include "io/system_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace qlx::actions {
namespace fs = std::filesystem;

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

enum class ItemKind : std::uint8_t { File, Folder, Other };

struct FolderItem {
    std::string name;
    ItemKind kind = ItemKind::Other;
};

// The items of an open folder in name order ("." and ".." left out), each
// judged by itself: a link is Other, whatever it points at.
std::vector<FolderItem> itemsOf(int folder)
{
    std::vector<FolderItem> items;
    const int copy = ::dup(folder);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0)
            ::close(copy);
        return items;
    }
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        ItemKind kind = ItemKind::Other;
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            kind = S_ISREG(st.st_mode) ? ItemKind::File : S_ISDIR(st.st_mode) ? ItemKind::Folder : ItemKind::Other;
        items.push_back(FolderItem{name, kind});
    }
    ::closedir(dir);
    std::sort(items.begin(), items.end(), [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
    return items;
}

// The items of a folder named by path; nothing when it is not a real
// folder (a link put in its place included).
std::vector<FolderItem> itemsOf(const fs::path& folder)
{
    const io::FileDescriptor fd(io::sys::open(folder.c_str(), kFolderFlags));
    return fd.get() >= 0 ? itemsOf(fd.get()) : std::vector<FolderItem>{};
}

// Depth first; false once the list is full and cut.
bool collect(const fs::path& folder, bool allLevels, int depth, SubfolderList& list)
{
    for (const FolderItem& item : itemsOf(folder)) {
        if (item.kind != ItemKind::Folder)
            continue;
        if (list.folders.size() == kListedSubfolders) {
            list.cut = true;
            return false;
        }
        const fs::path path = folder / item.name;
        list.folders.push_back(path);
        if (allLevels && depth + 1 < kMaxMergeDepth && !collect(path, allLevels, depth + 1, list))
            return false;
    }
    return true;
}

class Merger {
public:
    Merger(const MergeOptions& options, const MergeCallbacks& callbacks, MergeReport& report)
        : m_options(options)
        , m_callbacks(callbacks)
        , m_report(report)
    {
    }

    // Moves the picture files below `source` (not those of the top folder
    // itself) into `destination`; false when a move failed.
    bool merge(const fs::path& destination, const fs::path& source, bool top, int depth)
    {
        for (const FolderItem& item : itemsOf(source)) {
            if (item.kind == ItemKind::File && !top && isPicture(item.name)) {
                if (!moveUp(destination, source / item.name))
                    return false;
            } else if (item.kind == ItemKind::Folder && (top || m_options.settings.allLevels)
                       && depth + 1 < kMaxMergeDepth) {
                if (!merge(destination, source / item.name, false, depth + 1))
                    return false;
            }
        }
        return true;
    }

private:
    bool isPicture(const std::string& name) const
    {
        static const imagelist::VideoExtensions kNoVideo;
        const imagelist::VideoExtensions& video = m_options.video != nullptr ? *m_options.video : kNoVideo;
        return imagelist::classify(fs::path(name).u16string(), m_options.targetMask, video) != 0;
    }

    bool moveUp(const fs::path& destination, const fs::path& source)
    {
        TransferResult moved = moveFile(source, destination);
        if (moved.outcome == TransferOutcome::TargetExists) {
            // A folder of the name is never replaced; a file only when the
            // user says so.
            struct stat st {};
            const bool isFolder = ::lstat(moved.target.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            if (isFolder || !m_callbacks.replace || !m_callbacks.replace(moved.target)) {
                ++m_report.kept;
                report(source, Result::Skipped);
                return true;
            }
            moved = moveFile(source, destination, TransferOptions{ExistingTarget::Replace, false});
        }
        if (!moved.done()) {
            m_report.reason = source.string() + ": " + moved.detail;
            report(source, Result::Failed);
            return false;
        }
        ++m_report.moved;
        report(source, Result::Done);
        return true;
    }

    void report(const fs::path& file, Result result)
    {
        if (m_callbacks.reported)
            m_callbacks.reported(logLine(static_cast<int>(ActionKind::FolderMerge), file.filename().u16string(), result),
                                 result);
        if (++m_tried % 16 == 0 && m_callbacks.pump)
            m_callbacks.pump();
    }

    const MergeOptions& m_options;
    const MergeCallbacks& m_callbacks;
    MergeReport& m_report;
    int m_tried = 0;
};

// Removes the empty folders below the open folder, deepest first.
void removeEmptyIn(int folder, int depth, EmptyFolderRemoval& removal)
{
    for (const FolderItem& item : itemsOf(folder)) {
        if (item.kind != ItemKind::Folder)
            continue;
        if (depth + 1 < kMaxMergeDepth) {
            const io::FileDescriptor child(io::sys::openat(folder, item.name.c_str(), kFolderFlags));
            if (child.get() >= 0)
                removeEmptyIn(child.get(), depth + 1, removal);
        }
        // rmdir itself refuses a folder that is not empty.
        if (io::sys::unlinkat(folder, item.name.c_str(), AT_REMOVEDIR) == 0)
            ++removal.removed;
        else if (errno == EBUSY)
            removal.inUse = true;
    }
}

} // namespace

SubfolderList listSubfolders(const fs::path& folder, bool allLevels)
{
    SubfolderList list;
    collect(folder, allLevels, 0, list);
    return list;
}

std::u16string mergeQuestion(const SubfolderList& list, bool deleteEmpty)
{
    std::u16string text(messages::kMergeQuestionHead);
    for (const fs::path& folder : list.folders) {
        text += folder.u16string();
        text += u'\n';
    }
    if (list.cut)
        text += messages::kListCut;
    if (deleteEmpty)
        text += messages::kMergeDeleteEmptyNote;
    text += messages::kRunQuestionTail;
    return text;
}

MergeReport mergeSubfolders(const fs::path& folder, const MergeOptions& options, const MergeCallbacks& callbacks)
{
    MergeReport report;
    const SubfolderList list = listSubfolders(folder, options.settings.allLevels);
    if (list.folders.empty()) {
        report.messages.push_back(messages::kMergeNoSubfolder);
        return report;
    }
    if (!callbacks.confirm || !callbacks.confirm(mergeQuestion(list, options.settings.deleteEmpty))) {
        report.outcome = MergeOutcome::Declined;
        return report;
    }
    Merger merger(options, callbacks, report);
    if (!merger.merge(folder, folder, true, 0)) {
        report.outcome = MergeOutcome::Interrupted;
        report.messages.push_back(messages::kMergeInterrupted);
        return report;
    }
    report.outcome = MergeOutcome::Done;
    // Our moves are finished when they return, so the removal needs no pause
    // for another program to let go of the folders.
    if (options.settings.deleteEmpty) {
        const EmptyFolderRemoval removal = deleteEmptySubfolders(folder);
        report.foldersRemoved = removal.removed;
        if (removal.inUse)
            report.messages.push_back(messages::kMergeFolderInUse);
    }
    return report;
}

EmptyFolderRemoval deleteEmptySubfolders(const fs::path& folder)
{
    EmptyFolderRemoval removal;
    const io::FileDescriptor fd(io::sys::open(folder.c_str(), kFolderFlags));
    if (fd.get() >= 0)
        removeEmptyIn(fd.get(), 0, removal);
    return removal;
}

} // namespace qlx::actions
