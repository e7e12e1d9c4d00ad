#include "imagelist/folder_commands.h"

#include "imagelist/folder_tree.h"
#include "library/collection_path.h"
#include "cache/cache_name.h"
#include "io/file_io.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <sys/stat.h>

namespace qlx::imagelist {

namespace {

namespace fs = std::filesystem;

bool pathTaken(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool isFolder(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

fs::path folderCacheFile(const fs::path& cacheDirectory, std::u16string_view folder)
{
    if (cacheDirectory.empty())
        return {};
    return cache::cacheFilePath(cacheDirectory, cache::cacheFileName(folder, false)).value_or(fs::path());
}

FolderCreateResult createFolder(std::u16string_view parent, std::u16string_view name)
{
    FolderCreateResult result;
    if (checkFolderName(name) != FolderNameCheck::Valid) {
        result.status = FolderCreateStatus::InvalidName;
        return result;
    }
    std::u16string folder(parent);
    if (folder.empty() || folder.back() != u'/')
        folder.push_back(u'/');
    folder.append(name);
    result.folder = folder;
    const auto path = library::toFilePath(folder);
    if (!path) {
        result.status = FolderCreateStatus::InvalidName;
        return result;
    }
    if (::mkdir(path->c_str(), 0777) == 0) {
        result.status = FolderCreateStatus::Created;
        return result;
    }
    result.error = errno;
    result.status = errno == EEXIST && isFolder(*path) ? FolderCreateStatus::AlreadyThere : FolderCreateStatus::Failed;
    return result;
}

FolderRenameResult renameFolder(std::u16string_view folder, std::u16string_view newName,
                                const fs::path& cacheDirectory)
{
    FolderRenameResult result;
    const std::u16string oldName(folder.substr(folder.rfind(u'/') + 1));
    if (newName.empty() || newName == oldName) {
        result.status = FolderRenameStatus::Unchanged;
        return result;
    }
    if (checkFolderName(newName) != FolderNameCheck::Valid) {
        result.status = FolderRenameStatus::InvalidName;
        return result;
    }
    const std::u16string target = renamedFolderPath(folder, newName);
    const auto from = library::toFilePath(folder);
    const auto to = library::toFilePath(target);
    if (!from || !to) {
        result.status = FolderRenameStatus::InvalidName;
        return result;
    }
    // A name differing only in case may be the folder itself on a file
    // system that ignores case; such a rename is still a rename.
    if (pathTaken(*to) && !library::samePath(folder, target)) {
        result.status = FolderRenameStatus::TargetExists;
        return result;
    }
    // Renaming onto an existing empty folder would otherwise silently take
    // its place.
    if (!io::renameNoReplace(*from, *to)) {
        result.error = errno;
        result.status = errno == EEXIST ? FolderRenameStatus::TargetExists : FolderRenameStatus::Failed;
        return result;
    }
    result.status = FolderRenameStatus::Renamed;
    result.folder = target;

    const fs::path oldCache = folderCacheFile(cacheDirectory, folder);
    const fs::path newCache = folderCacheFile(cacheDirectory, target);
    if (!oldCache.empty() && pathTaken(oldCache)) {
        // A cache left under the new name by an earlier folder of that name
        // is stale; the thumbnails of the renamed folder are what the user
        // wants. Failing costs only the thumbnails, which are made again.
        if (newCache.empty() || ::rename(oldCache.c_str(), newCache.c_str()) != 0)
            ::unlink(oldCache.c_str());
    }
    return result;
}

FolderTrashStatus trashFolder(std::u16string_view folder, const fs::path& cacheDirectory)
{
    const auto path = library::toFilePath(folder);
    if (!path || !pathTaken(*path))
        return FolderTrashStatus::Missing;
    const QString name = QFile::decodeName(QByteArray::fromStdString(path->native()));
    QFile::moveToTrash(name);
    if (pathTaken(*path))
        return FolderTrashStatus::Failed;
    const fs::path cache = folderCacheFile(cacheDirectory, folder);
    if (!cache.empty())
        ::unlink(cache.c_str());
    return FolderTrashStatus::Trashed;
}

} // namespace qlx::imagelist
