#include "imagelist/folder_reader.h"

#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "imagelist/natural_compare.h"
#include "io/file_descriptor.h"
#include "io/file_time.h"
#include "library/collection_path.h"
#include "cache/cache_file.h"
#include "cache/cache_name.h"
#include "containers/preview_choice.h"

#include <QChar>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace qlx::imagelist {

namespace {

using Clock = std::chrono::steady_clock;

// Flag bits a cached record keeps; the others describe pictures and jobs of
// the session that wrote the cache.
constexpr std::uint16_t kKeptCachedFlags = 0xF49A;

std::u16string foldedName(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& unit : folded)
        unit = QChar(unit).toCaseFolded().unicode();
    return folded;
}

// The cached entries by their case-folded file name. A record is taken over
// by at most one file. The file system tells names apart by case, so an
// exact match wins; a match by case alone (a card copied from a system that
// does not) takes the name the directory has now.
class CachedNames {
public:
    explicit CachedNames(const ImageList& list)
    {
        m_claimed.assign(list.size(), false);
        for (std::size_t index = 0; index < list.size(); ++index)
            m_byName[foldedName(list.entry(index).name())].push_back(index);
    }

    std::optional<std::size_t> claim(const ImageList& list, std::u16string_view name)
    {
        const auto found = m_byName.find(foldedName(name));
        if (found == m_byName.end())
            return std::nullopt;
        std::optional<std::size_t> chosen;
        for (const std::size_t index : found->second) {
            if (m_claimed[index])
                continue;
            if (list.entry(index).name() == name) {
                chosen = index;
                break;
            }
            if (!chosen)
                chosen = index;
        }
        if (chosen)
            m_claimed[*chosen] = true;
        return chosen;
    }

    bool empty() const { return m_byName.empty(); }

private:
    std::unordered_map<std::u16string, std::vector<std::size_t>> m_byName;
    std::vector<bool> m_claimed;
};

bool fileExists(std::u16string_view path)
{
    const auto file = library::toFilePath(path);
    struct stat status{};
    return file && ::stat(file->c_str(), &status) == 0;
}

// Step one: an entry for every usable cache record, in cache order.
void takeCachedRecords(ImageList& list, std::u16string_view folderText, const cache::CacheFile& cache,
                       const FolderReadOptions& options, FolderReadResult& result)
{
    const bool moved = cache.folder() != cache::folderHeaderText(folderText);
    for (std::size_t number = 0; number < cache.recordCount(); ++number) {
        auto entry = ImageEntry::fromCacheRecord(cache.record(number));
        if (!entry || (entry->kind() & options.targetMask) == 0 || entry->path().empty()) {
            ++result.droppedRecords;
            result.cacheChanged = true;
            continue;
        }
        // The folder was renamed or moved since: the records follow it.
        if (moved && !entry->setPath(joinPath(folderText, entry->name()))) {
            ++result.droppedRecords;
            result.cacheChanged = true;
            continue;
        }
        if (options.checkCachedFilesExist && !fileExists(entry->path())) {
            ++result.droppedRecords;
            result.cacheChanged = true;
            continue;
        }
        if (!appendCachedRecord(list, cache, number, std::move(entry), options, result.cacheChanged))
            break; // cannot happen: the cache holds at most as many records as the list
        ++result.fromCache;
    }
}

ImageEntry::FreshFacts factsOfStatus(std::u16string_view path, std::uint32_t kind, const struct stat& status,
                                     std::int32_t videoVolumeSetting, bool startEnlargedVideo)
{
    ImageEntry::FreshFacts facts;
    facts.path = path;
    facts.kind = kind;
    facts.fileSize = static_cast<std::uint64_t>(status.st_size);
    facts.lastWriteTime = io::fileTimeFromTimespec(status.st_mtim);
    facts.videoVolumeSetting = videoVolumeSetting;
    facts.startEnlargedVideo = startEnlargedVideo;
    return facts;
}

// Clears an item and fills its entry afresh; false when the path does not fit.
bool refill(ListItem& item, const ImageEntry::FreshFacts& facts)
{
    item.history.clear();
    item.dropThumbnail();
    return item.entry->fillFresh(facts);
}

enum class Match { Unchanged, Refilled, Unusable };

Match takeOver(ListItem& item, std::u16string_view path, const ImageEntry::FreshFacts& facts)
{
    ImageEntry& entry = *item.entry;
    const bool same = entry.fileSize() == static_cast<std::uint32_t>(facts.fileSize & 0xFFFF'FFFFu)
                      && entry.lastWriteTime() == facts.lastWriteTime;
    if (!same || historyPositionDangling(item))
        return refill(item, facts) ? Match::Refilled : Match::Unusable;
    if (entry.path() != path && !entry.setPath(path))
        return Match::Unusable;
    entry.setPresence(1);
    // The file is back where it was: an undone move, recycle, delete or
    // transfer no longer stands.
    retractCurrentHistory(item, {kHistoryMove, kHistoryRecycle, kHistoryDelete, kHistoryTransfer});
    return Match::Unchanged;
}

// A file the scan found that no cached entry took over.
struct NewFile {
    std::u16string name;
    std::u16string path;
    ImageEntry::FreshFacts facts; // its path is set when the entry is made
};

// New files go to the end of the list in the name column's ascending order:
// the directory lists them in whatever order its file system keeps (on
// Linux mostly a hash order), and a first visit should look sorted. The
// cached entries before them keep the order the folder was left in.
void appendNewFiles(ImageList& list, std::vector<NewFile>& files, FolderReadResult& result)
{
    std::ranges::sort(files, [](const NewFile& a, const NewFile& b) { return compareNatural(a.name, b.name) < 0; });
    for (NewFile& file : files) {
        if (list.full()) {
            ++result.overLimit;
            continue;
        }
        file.facts.path = file.path;
        auto entry = ImageEntry::createFresh(file.facts);
        if (!entry) {
            ++result.unlistable;
            continue;
        }
        list.append(std::move(entry));
        ++result.added;
    }
}

// Step two: the directory. Each regular file whose kind is listed either
// takes a cached entry over or becomes a new entry.
void scanDirectory(ImageList& list, std::u16string_view folderText, const FolderReadOptions& options,
                   FolderReadResult& result)
{
    const auto folder = library::toFilePath(folderText);
    DIR* directory = folder ? ::opendir(folder->c_str()) : nullptr;
    if (directory == nullptr)
        return;
    result.listed = true;
    const VideoExtensions& videos = options.videos != nullptr ? *options.videos : defaultVideoExtensions();
    CachedNames cached(list);
    std::vector<NewFile> newFiles;
    std::size_t seen = 0;
    while (const dirent* item = ::readdir(directory)) {
        if (options.onItem && !options.onItem(++seen))
            break;
        if (item->d_type == DT_DIR)
            continue;
        const std::string_view bytes(item->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        auto name = library::utf8ToUtf16(bytes);
        if (!name) {
            ++result.unlistable;
            continue;
        }
        const std::uint32_t kind = classify(*name, options.targetMask, videos);
        if (kind == 0)
            continue;
        struct stat status{};
        if (::fstatat(::dirfd(directory), item->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode))
            continue;
        std::u16string path = joinPath(folderText, *name);
        const ImageEntry::FreshFacts facts =
            factsOfStatus(path, kind, status, options.videoVolumeSetting, options.startEnlargedVideo);

        if (const auto index = cached.empty() ? std::nullopt : cached.claim(list, *name)) {
            switch (takeOver(list.item(*index), path, facts)) {
            case Match::Unchanged: ++result.unchanged; break;
            case Match::Refilled: ++result.refilled; result.cacheChanged = true; break;
            case Match::Unusable: ++result.unlistable; break;
            }
            continue;
        }
        NewFile file{std::move(*name), std::move(path), facts};
        file.facts.path = {}; // it viewed the local path just moved away
        newFiles.push_back(std::move(file));
    }
    ::closedir(directory);
    appendNewFiles(list, newFiles, result);
}

} // namespace

bool appendCachedRecord(ImageList& list, const cache::CacheFile& cache, std::size_t number,
                        std::unique_ptr<ImageEntry> entry, const FolderReadOptions& options, bool& cacheChanged)
{
    entry->setViewDevelopRequest(ImageEntry::ViewDevelopRequest::None);
    std::uint16_t flags = entry->flags() & kKeptCachedFlags;
    if ((flags & ImageEntry::kFlagMetadataRead) != 0)
        flags ^= ImageEntry::kFlagListIconRedo;
    entry->setFlags(flags);
    entry->setCacheIndex(static_cast<std::int32_t>(number));
    entry->setVideoPosition(0.0);
    entry->setVideoSlot(-1);
    if (options.fullReload) {
        entry->setFlag(ImageEntry::kFlagThumbInvalid, true);
        entry->setCacheIndex(-1);
        cacheChanged = true;
    }
    // A clip's frame taken at another second than the setting now asks for
    // (or never taken) is grabbed again.
    const bool videoGrabbedAtOtherTime =
        entry->videoGrabbedAt() != std::optional(videoGrabSecond(options.videoThumbnailSeconds, entry->videoLength()));
    if (containers::applyCachedRecordRules(*entry, options.mamiyaByDevelopment, videoGrabbedAtOtherTime))
        cacheChanged = true;
    entry->setPresence(0);

    const bool thumbnailUsable = entry->cacheIndex() >= 0;
    ListItem* item = list.append(std::move(entry));
    if (item == nullptr)
        return false;
    const auto history = cache.history(number);
    item->history.assign(history.begin(), history.end());
    if (thumbnailUsable)
        item->cachedThumbnail = cache.thumbnail(number);
    return true;
}

std::optional<ImageEntry::FreshFacts> freshFactsOfFile(std::u16string_view path, std::uint32_t kind,
                                                       std::int32_t videoVolumeSetting, bool startEnlargedVideo)
{
    const auto file = library::toFilePath(path);
    struct stat status{};
    if (!file || ::stat(file->c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return factsOfStatus(path, kind, status, videoVolumeSetting, startEnlargedVideo);
}

std::u16string joinPath(std::u16string_view folderText, std::u16string_view name)
{
    std::u16string path(folderText);
    if (!path.ends_with(u'/'))
        path.push_back(u'/');
    path.append(name);
    return path;
}

FolderReadResult readFolder(ImageList& list, std::u16string_view folderText,
                            std::shared_ptr<const cache::CacheFile> cache, const FolderReadOptions& options)
{
    FolderReadResult result;
    list.clear();
    auto start = Clock::now();
    if (cache && cache->recordCount() > 0)
        takeCachedRecords(list, folderText, *cache, options, result);
    list.setCacheSource(std::move(cache));
    result.recordTime = Clock::now() - start;

    start = Clock::now();
    scanDirectory(list, folderText, options, result);
    for (std::size_t index = 0; index < list.size(); ++index) {
        ImageEntry& entry = list.entry(index);
        if (entry.presence() != 0)
            entry.setPresence(entry.presence() | ImageEntry::kPresenceSeenAtEnd);
    }
    result.scanTime = Clock::now() - start;

    start = Clock::now();
    if (!list.empty()) {
        if (const auto last = library::toFilePath(list.entry(list.size() - 1).path()))
            result.lastFileSettled = waitUntilStable(*last, options.lastFileWait);
    }
    result.waitTime = Clock::now() - start;
    list.resetOrder();
    return result;
}

} // namespace qlx::imagelist
