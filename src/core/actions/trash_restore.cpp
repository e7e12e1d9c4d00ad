#include "actions/trash_restore.h"

#include "actions/move_back.h"
#include "actions/trash_emptying.h"
#include "actions/trash_info.h"
#include "io/file_io.h"
#include "io/system_calls.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace qlx::actions {
namespace fs = std::filesystem;

namespace {

// Names looked at in one trash's info folder: years of deleted pictures,
// and a bound on the work a crafted trash can cause.
constexpr std::size_t kMaxInfoFiles = 1'000'000;
constexpr std::string_view kInfoSuffix = ".trashinfo";

// The folder a relative "Path=" is taken from: the volume's top folder for
// "$top/.Trash/$uid" and "$top/.Trash-$uid"; the folder holding the home
// trash for it.
fs::path baseOf(const fs::path& trash)
{
    const fs::path parent = trash.parent_path();
    return parent.filename() == ".Trash" ? parent.parent_path() : parent;
}

// The path an info file names, when it is one we can read.
std::optional<TrashInfo> readInfo(const fs::path& info)
{
    const auto read = io::readFileCapped(info, kMaxTrashInfoSize + 1);
    if (!read || read->truncated)
        return std::nullopt;
    return parseTrashInfo(read->bytes);
}

bool names(const TrashInfo& info, const fs::path& trash, const fs::path& original)
{
    const fs::path named = info.path.front() == '/' ? fs::path(info.path) : baseOf(trash) / info.path;
    return named.lexically_normal() == original.lexically_normal();
}

bool isThere(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::int64_t infoTime(const fs::path& info)
{
    struct stat st {};
    if (::lstat(info.c_str(), &st) != 0)
        return 0;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

// A volume's trash can only hold files of that volume: it is searched only
// for paths below its top folder. The home trash is always searched.
bool mayHold(const fs::path& trash, const fs::path& original, bool home)
{
    if (home)
        return true;
    const fs::path relative = original.lexically_normal().lexically_relative(baseOf(trash));
    return !relative.empty() && *relative.begin() != "..";
}

struct Candidate {
    TrashedItem item;
    std::int64_t infoTime = 0;
};

void searchTrash(const fs::path& trash, const fs::path& original, std::optional<Candidate>& best)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir((trash / "info").c_str()), ::closedir);
    if (!dir)
        return;
    for (std::size_t count = 0; count < kMaxInfoFiles; ++count) {
        const dirent* item = ::readdir(dir.get());
        if (item == nullptr)
            break;
        const std::string name = item->d_name;
        if (name.size() <= kInfoSuffix.size() || !name.ends_with(kInfoSuffix))
            continue;
        const fs::path info = trash / "info" / name;
        const fs::path file = trash / "files" / name.substr(0, name.size() - kInfoSuffix.size());
        const auto parsed = readInfo(info);
        if (!parsed || !names(*parsed, trash, original) || !isThere(file))
            continue;
        Candidate candidate{{file, info, parsed->deletedAt}, infoTime(info)};
        if (!best || candidate.item.deletedAt > best->item.deletedAt
            || (candidate.item.deletedAt == best->item.deletedAt && candidate.infoTime > best->infoTime))
            best = std::move(candidate);
    }
}

std::optional<TrashedItem> recordedItem(const fs::path& original, const fs::path& recorded)
{
    if (recorded.empty() || recorded.parent_path().filename() != "files")
        return std::nullopt;
    const fs::path trash = recorded.parent_path().parent_path();
    const fs::path info = trash / "info" / (recorded.filename().string() + std::string(kInfoSuffix));
    const auto parsed = readInfo(info);
    if (!parsed || !names(*parsed, trash, original) || !isThere(recorded))
        return std::nullopt;
    return TrashedItem{recorded, info, parsed->deletedAt};
}

RestoreResult notDone(RestoreOutcome outcome, std::string reason)
{
    RestoreResult result;
    result.outcome = outcome;
    result.reason = std::move(reason);
    return result;
}

} // namespace

std::optional<TrashedItem> findTrashedItem(const fs::path& original, const fs::path& recorded)
{
    if (auto item = recordedItem(original, recorded))
        return item;
    std::optional<Candidate> best;
    for (const fs::path& trash : userTrashFolders()) {
        // A volume's trash is "$top/.Trash/$uid" or "$top/.Trash-$uid";
        // anything else userTrashFolders lists is the home trash.
        const bool home = trash.parent_path().filename() != ".Trash" && !trash.filename().string().starts_with(".Trash-");
        if (mayHold(trash, original, home))
            searchTrash(trash, original, best);
    }
    if (!best)
        return std::nullopt;
    return best->item;
}

RestoreResult restoreFromTrash(const fs::path& original, const FileActionQuestions& questions, const fs::path& recorded)
{
    const auto item = findTrashedItem(original, recorded);
    if (!item)
        return notDone(RestoreOutcome::NotInTrash, "the trash holds no file from " + original.string());
    const MoveBackResult moved = moveBack(item->file, original, questions);
    RestoreResult result;
    result.item = *item;
    result.folderCreated = moved.folderCreated;
    switch (moved.outcome) {
    case MoveBackOutcome::Done:
        break;
    case MoveBackOutcome::ReplaceDeclined:
        result.outcome = RestoreOutcome::ReplaceDeclined;
        result.reason = moved.reason;
        return result;
    case MoveBackOutcome::FolderDeclined:
        result.outcome = RestoreOutcome::FolderDeclined;
        result.reason = moved.reason;
        return result;
    case MoveBackOutcome::SourceMissing:
    case MoveBackOutcome::Failed:
        result.outcome = RestoreOutcome::Failed;
        result.reason = moved.reason;
        return result;
    }
    // The file is back: only now may the trash forget it. (errno is
    // cleared so that a failure that sets none is not taken for "gone".)
    errno = 0;
    if (io::sys::unlink(item->info.c_str()) == 0 || errno == ENOENT) {
        io::syncFolder(item->info.parent_path());
        result.outcome = RestoreOutcome::Done;
        return result;
    }
    const int error = errno;
    // An info file we cannot remove would list a file the trash no longer
    // holds: the file goes back to its item, and the restore has failed.
    if (!moved.replaced && io::renameNoReplace(original, item->file)) {
        result.outcome = RestoreOutcome::Failed;
        result.reason = std::string("the trash's info file could not be removed: ") + std::strerror(error);
        return result;
    }
    result.outcome = RestoreOutcome::Done;
    result.reason = std::string("restored; its info file stays in the trash: ") + std::strerror(error);
    return result;
}

} // namespace qlx::actions
