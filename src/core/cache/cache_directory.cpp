#include "cache/cache_directory.h"

#include "io/file_time.h"
#include "cache/cache_file.h"
#include "cache/cache_name.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include <sys/stat.h>

namespace qlx::cache {

namespace {

// io::writeFileAtomically writes "<name>" through ".<name>.tmp-XXXXXX" in
// the same folder. A crash between create and rename leaves one behind.
bool isLeftoverTemporary(std::string_view name)
{
    constexpr std::string_view kMarker = ".cac.tmp-";
    constexpr std::size_t kSuffix = 6;
    if (name.size() < 1 + kMarker.size() + kSuffix || name.front() != '.')
        return false;
    const std::size_t marker = name.size() - kSuffix - kMarker.size();
    return marker > 0 && name.substr(marker, kMarker.size()) == kMarker;
}

bool removeFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::remove(path, error) && !error;
}

} // namespace

std::vector<CacheFileInfo> listCacheFiles(const std::filesystem::path& directory)
{
    std::vector<CacheFileInfo> files;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::filesystem::path& path = it->path();
        if (!path.native().ends_with(".cac"))
            continue;
        // lstat: a link is not one of our files, whatever its name says.
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        files.push_back({path, utf16FromFileName(path.filename()), static_cast<std::uint64_t>(status.st_size),
                         io::fileTimeFromStat(status)});
    }
    return files;
}

std::size_t evictCaches(const std::filesystem::path& directory, std::uint64_t roomBytes, bool keepCollections,
                        const std::filesystem::path& replacing)
{
    std::vector<CacheFileInfo> files = listCacheFiles(directory);
    if (!replacing.empty())
        std::erase_if(files, [&](const CacheFileInfo& file) { return file.path.filename() == replacing.filename(); });
    std::uint64_t total = 0;
    for (const CacheFileInfo& file : files)
        total += file.size;
    if (total <= roomBytes)
        return 0;
    // Deleting the oldest file and listing again until the rest fits comes
    // to the same as walking the candidates oldest first; the stable sort
    // keeps the listing order among equal times.
    std::erase_if(files, [&](const CacheFileInfo& file) {
        return keepCollections && isCollectionCacheName(file.name);
    });
    std::stable_sort(files.begin(), files.end(), [](const CacheFileInfo& a, const CacheFileInfo& b) {
        return a.lastWriteTime < b.lastWriteTime;
    });
    std::size_t deleted = 0;
    for (const CacheFileInfo& file : files) {
        if (total <= roomBytes)
            break;
        // A file that cannot be deleted still takes its room; go on with
        // the next oldest.
        if (removeFile(file.path)) {
            total -= file.size;
            ++deleted;
        }
    }
    return deleted;
}

std::vector<CachedFolder> cachedFolders(const std::filesystem::path& directory)
{
    std::vector<CachedFolder> folders;
    for (const CacheFileInfo& file : listCacheFiles(directory)) {
        if (auto folder = folderFromCacheFileName(file.name)) {
            folders.push_back({std::move(*folder), file.lastWriteTime});
        } else if (isFolderCacheName(file.name) && isShortenedCacheName(file.name)) {
            // A long folder's shortened name: its header holds the folder,
            // which counts only when its cache is really this file.
            const auto header = readHeaderFolder(file.path);
            auto shortened = header ? std::optional(folderOfHeaderText(*header)) : std::nullopt;
            if (shortened && cacheFileName(*shortened, false) == file.name)
                folders.push_back({std::move(*shortened), file.lastWriteTime});
        }
    }
    std::stable_sort(folders.begin(), folders.end(), [](const CachedFolder& a, const CachedFolder& b) {
        return a.lastWriteTime > b.lastWriteTime;
    });
    if (folders.size() > kMaxCachedFolders)
        folders.resize(kMaxCachedFolders);
    return folders;
}

std::size_t deleteAllCaches(const std::filesystem::path& directory)
{
    std::size_t deleted = 0;
    for (const CacheFileInfo& file : listCacheFiles(directory))
        deleted += removeFile(file.path) ? 1 : 0;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    std::vector<std::filesystem::path> leftovers;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        struct stat status {};
        if (isLeftoverTemporary(it->path().filename().native()) && ::lstat(it->path().c_str(), &status) == 0
            && S_ISREG(status.st_mode))
            leftovers.push_back(it->path());
    }
    for (const auto& path : leftovers)
        removeFile(path);
    return deleted;
}

} // namespace qlx::cache
