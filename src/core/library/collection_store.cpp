#include "library/collection_store.h"

#include <algorithm>
#include <cerrno>

#include "imagelist/natural_compare.h"
#include "library/collection_file.h"
#include "library/library_messages.h"
#include "library/collection_path.h"
#include "cache/cache_name.h"
#include "io/file_io.h"

namespace qlx::library {

namespace {

// All collections read at start-up together. A folder of huge files (each
// within kMaxCollectionFileBytes) must not take all memory; collections past
// this budget load as read-only, their files untouched.
constexpr std::size_t kMaxLoadedBytes = std::size_t{256} << 20;

// Names "検索結果N" are tried up to this N. Only the table (at most 256
// names) and stray ".co" files outside it can take a name, so the loop ends
// long before; the bound keeps a folder of odd files from making it spin.
constexpr int kMaxSearchResultNumber = 1 << 16;

bool pathExists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// The file-name part of a path: the text after its last "/".
std::u16string_view fileNamePart(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

struct FoundFile {
    std::u16string name;
    std::filesystem::path file;
};

// The ".co" files of the collection folder, by name, at most
// kMaxCollections; folders are passed over, files whose name cannot be a
// collection name are counted as skipped.
std::vector<FoundFile> listCollectionFiles(const std::filesystem::path& directory, LoadReport& report)
{
    std::vector<FoundFile> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path fileName = it->path().filename();
        if (!fileName.native().ends_with(".co"))
            continue;
        std::error_code statusError;
        if (!it->is_regular_file(statusError))
            continue;
        auto name = collectionNameOfFile(fileName);
        if (!name || name->size() > kMaxNameUnits) {
            ++report.skipped;
            continue;
        }
        found.push_back({std::move(*name), it->path()});
    }
    std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) {
        return imagelist::compareNatural(a.name, b.name) < 0;
    });
    if (found.size() > kMaxCollections) {
        report.skipped += found.size() - kMaxCollections;
        found.resize(kMaxCollections);
    }
    return found;
}

} // namespace

NameCheck checkCollectionName(std::u16string_view name)
{
    if (name.empty())
        return NameCheck::Empty;
    if (name.size() > kMaxNameUnits)
        return NameCheck::TooLong;
    for (const char16_t unit : name) {
        if (unit < 0x20 || unit == 0x7F || kForbiddenNameCharacters.find(unit) != std::u16string_view::npos)
            return NameCheck::Forbidden;
    }
    // A lone surrogate cannot become a file name.
    if (!utf16ToUtf8(name))
        return NameCheck::Forbidden;
    return NameCheck::Valid;
}

CacheFileLocator collectionCacheLocator(std::filesystem::path cacheDirectory)
{
    return [directory = std::move(cacheDirectory)](std::u16string_view name) {
        return cache::cacheFilePath(directory, cache::cacheFileName(name, true))
            .value_or(std::filesystem::path());
    };
}

std::u16string searchResultName(int number)
{
    std::u16string name(kSearchResultPrefix);
    for (const char c : std::to_string(number))
        name.push_back(static_cast<char16_t>(c));
    return name;
}

CollectionStore::CollectionStore(std::filesystem::path directory, CacheFileLocator cacheFiles)
    : m_directory(std::move(directory)), m_cacheFiles(std::move(cacheFiles)),
      m_video(imagelist::defaultVideoExtensions())
{
}

void CollectionStore::setShownKinds(std::uint32_t targetMask, const imagelist::VideoExtensions& video)
{
    m_targetMask = targetMask;
    m_video = video;
}

LoadReport CollectionStore::loadAll()
{
    LoadReport report;
    m_collections.clear();
    m_current = -1;
    m_collectionMode = false;
    m_skipOrderKeep = false;
    m_changed = true;

    std::vector<FoundFile> found = listCollectionFiles(m_directory, report);
    std::size_t loadedBytes = 0;
    m_collections.reserve(found.size());
    for (auto& item : found) {
        CollectionFileContent content = readCollectionFile(item.file, kMaxLoadedBytes - loadedBytes);
        switch (content.status) {
        case CollectionReadStatus::Read:
            loadedBytes += content.text.size() * 2;
            m_collections.emplace_back(std::move(item.name), content.text);
            break;
        case CollectionReadStatus::Unreadable:
            m_collections.emplace_back(std::move(item.name), CollectionProblem::Unreadable);
            ++report.readOnly;
            break;
        case CollectionReadStatus::TooLarge:
            m_collections.emplace_back(std::move(item.name), CollectionProblem::TooLarge);
            ++report.readOnly;
            break;
        }
    }
    report.loaded = m_collections.size();
    return report;
}

SaveReport CollectionStore::saveAll()
{
    SaveReport report;
    std::error_code error;
    std::filesystem::create_directories(m_directory, error);
    report.directoryCreated = !error;
    for (auto& collection : m_collections) {
        if (collection.readOnly())
            continue;
        const std::filesystem::path file = filePath(collection.name());
        if (!collection.modified() && pathExists(file))
            continue;
        if (!file.empty() && writeCollectionFile(file, collection.text())) {
            collection.setModified(false);
            ++report.written;
        } else {
            ++report.failed;
        }
    }
    return report;
}

std::optional<std::size_t> CollectionStore::find(std::u16string_view name) const
{
    for (std::size_t i = 0; i < m_collections.size(); ++i) {
        if (m_collections[i].name() == name)
            return i;
    }
    return std::nullopt;
}

std::filesystem::path CollectionStore::filePath(std::u16string_view name) const
{
    const auto fileName = collectionFileName(name);
    return fileName ? m_directory / *fileName : std::filesystem::path();
}

bool CollectionStore::fileExists(std::u16string_view name) const
{
    const std::filesystem::path file = filePath(name);
    return !file.empty() && pathExists(file);
}

CreateResult CollectionStore::create(std::u16string_view name)
{
    switch (checkCollectionName(name)) {
    case NameCheck::Valid:
        break;
    case NameCheck::Empty:
        return {CreateStatus::EmptyName};
    case NameCheck::TooLong:
    case NameCheck::Forbidden:
        return {CreateStatus::InvalidName};
    }
    if (find(name))
        return {CreateStatus::NameExists};
    if (m_collections.size() >= kMaxCollections)
        return {CreateStatus::TableFull};
    // A ".co" file the table does not hold (one past the table's limit when
    // it was loaded, or one made since) is never overwritten.
    if (fileExists(name))
        return {CreateStatus::NameExists};
    m_collections.emplace_back(std::u16string(name));
    m_changed = true;
    return {CreateStatus::Created, m_collections.size() - 1};
}

RenameStatus CollectionStore::rename(std::size_t index, std::u16string_view newName)
{
    if (index >= m_collections.size())
        return RenameStatus::NoSuchCollection;
    if (newName.empty() || find(newName))
        return RenameStatus::Unchanged;
    if (checkCollectionName(newName) != NameCheck::Valid)
        return RenameStatus::InvalidName;
    Collection& collection = m_collections[index];
    const std::filesystem::path oldFile = filePath(collection.name());
    const std::filesystem::path newFile = filePath(newName);
    if (pathExists(newFile))
        return RenameStatus::TargetExists;
    if (pathExists(oldFile)) {
        if (!io::renameNoReplace(oldFile, newFile))
            return errno == EEXIST ? RenameStatus::TargetExists : RenameStatus::FileError;
    } else {
        // Never saved, or its file vanished: the next save writes it under
        // the new name.
        collection.setModified(true);
    }
    renameCacheFile(collection.name(), newName);
    collection.setName(std::u16string(newName));
    m_changed = true;
    return RenameStatus::Renamed;
}

DeleteStatus CollectionStore::remove(std::size_t index)
{
    if (index >= m_collections.size())
        return DeleteStatus::NoSuchCollection;
    const std::u16string name = m_collections[index].name();
    const std::filesystem::path file = filePath(name);
    std::error_code error;
    if (!file.empty())
        std::filesystem::remove(file, error); // a missing file is no error
    if (error)
        return DeleteStatus::FileError;
    removeCacheFile(name);
    m_collections.erase(m_collections.begin() + static_cast<std::ptrdiff_t>(index));

    const int deleted = static_cast<int>(index);
    // The list may still show the deleted collection; its order must not
    // be written into the collection that moved into its place.
    if (m_collectionMode && deleted == m_current)
        m_skipOrderKeep = true;
    if (deleted < m_current)
        --m_current;
    m_current = std::min(m_current, static_cast<int>(m_collections.size()) - 1);
    m_current = std::max(m_current, 0);
    m_changed = true;
    return DeleteStatus::Deleted;
}

void CollectionStore::renameCacheFile(std::u16string_view oldName, std::u16string_view newName) const
{
    if (!m_cacheFiles)
        return;
    const std::filesystem::path from = m_cacheFiles(oldName);
    const std::filesystem::path to = m_cacheFiles(newName);
    if (from.empty() || to.empty() || !pathExists(from))
        return;
    // The cache only saves work: a stale cache of the new name (left by an
    // earlier collection of that name) is replaced, and a failure costs the
    // thumbnails, which are made again.
    std::error_code ignored;
    std::filesystem::rename(from, to, ignored);
}

void CollectionStore::removeCacheFile(std::u16string_view name) const
{
    if (!m_cacheFiles)
        return;
    const std::filesystem::path file = m_cacheFiles(name);
    std::error_code ignored;
    if (!file.empty())
        std::filesystem::remove(file, ignored);
}

bool CollectionStore::isShownKind(std::u16string_view path) const
{
    return imagelist::classify(fileNamePart(path), m_targetMask, m_video) != 0;
}

std::size_t CollectionStore::addEntries(std::size_t index, std::span<const std::u16string> paths)
{
    std::size_t appended = 0;
    for (const auto& path : paths) {
        if (addPath(index, path) == AppendResult::Appended)
            ++appended;
    }
    return appended;
}

AppendResult CollectionStore::addPath(std::size_t index, std::u16string_view path)
{
    if (index >= m_collections.size())
        return AppendResult::NoSuchCollection;
    if (!isShownKind(path))
        return AppendResult::NotShownKind;
    const AppendResult result = m_collections[index].append(path);
    if (result == AppendResult::Appended)
        m_changed = true;
    return result;
}

std::size_t CollectionStore::removeEntries(std::size_t index, std::span<const std::u16string> paths)
{
    if (index >= m_collections.size())
        return 0;
    const std::size_t removed = m_collections[index].remove(paths);
    if (removed > 0)
        m_changed = true;
    return removed;
}

bool CollectionStore::showCollection(std::size_t index)
{
    if (index >= m_collections.size())
        return false;
    m_current = static_cast<int>(index);
    m_collectionMode = true;
    return true;
}

LeaveResult CollectionStore::leaveCollectionMode(std::span<const std::u16string> displayOrder)
{
    LeaveResult result;
    if (!m_collectionMode)
        return result;
    m_collectionMode = false;
    if (m_skipOrderKeep) {
        m_skipOrderKeep = false;
        return result;
    }
    if (m_current < 0 || static_cast<std::size_t>(m_current) >= m_collections.size())
        return result;
    Collection& collection = m_collections[static_cast<std::size_t>(m_current)];
    const bool wasModified = collection.modified();
    result.orderKept = collection.keepOrder(displayOrder);
    if (collection.modified() && !wasModified)
        m_changed = true;
    return result;
}

CreateResult CollectionStore::createSearchResult()
{
    for (int number = 1; number <= kMaxSearchResultNumber; ++number) {
        const CreateResult result = create(searchResultName(number));
        if (result.status != CreateStatus::NameExists)
            return result;
    }
    return {CreateStatus::NameExists};
}

std::vector<std::size_t> CollectionStore::searchResults() const
{
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < m_collections.size(); ++i) {
        if (m_collections[i].name().starts_with(kSearchResultPrefix))
            indices.push_back(i);
    }
    return indices;
}

std::size_t CollectionStore::removeAllSearchResults(bool* currentRemoved)
{
    if (currentRemoved)
        *currentRemoved = false;
    std::size_t removed = 0;
    // Search again from the first collection after each deletion; one whose
    // file cannot be deleted is passed over.
    std::size_t from = 0;
    for (;;) {
        std::size_t index = from;
        while (index < m_collections.size() && !m_collections[index].name().starts_with(kSearchResultPrefix))
            ++index;
        if (index >= m_collections.size())
            break;
        const bool wasCurrent = static_cast<int>(index) == m_current;
        if (remove(index) == DeleteStatus::Deleted) {
            ++removed;
            if (wasCurrent && currentRemoved)
                *currentRemoved = true;
        } else {
            from = index + 1;
        }
    }
    return removed;
}

} // namespace qlx::library
