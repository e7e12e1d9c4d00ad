#include "cache/cache_store.h"
#include "io/file_descriptor.h"

#include "io/file_io.h"
#include "shell/settings_record.h"
#include "cache/cache_directory.h"
#include "cache/cache_layout.h"
#include "cache/cache_name.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::cache {

using io::FileDescriptor;

namespace {

std::shared_ptr<const CacheFile> share(std::optional<CacheFile> file)
{
    if (!file)
        return nullptr;
    return std::make_shared<const CacheFile>(std::move(*file));
}

bool isRegularFile(const std::filesystem::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool readExactly(int fd, std::span<std::byte> into, off_t offset)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(fd, into.data() + done, into.size() - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool writeExactly(int fd, std::span<const std::byte> bytes, off_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

std::u16string headerTextOf(const CacheSaveRequest& request)
{
    if (!request.headerFolder.empty())
        return request.headerFolder;
    if (request.list.isCollection)
        return std::u16string(kCollectionCachePrefix) + request.list.text;
    return folderHeaderText(request.list.text);
}

} // namespace

CacheSettings CacheSettings::fromSettings(const settings::SettingsRecord& record,
                                          const std::filesystem::path& programFolder)
{
    CacheSettings result;
    result.directory = cacheDirectory(programFolder, record.text(settings::kUserFolder));
    result.limitMiB = static_cast<std::uint32_t>(
        std::clamp<std::int32_t>(record.get(settings::kCacheSizeLimitMiB), 0, static_cast<std::int32_t>(kMaxLimitMiB)));
    result.autoDelete = record.get(settings::kCacheAutoDelete) != 0;
    result.keepCollections = record.get(settings::kCacheKeepCollections) != 0;
    result.resetCursor = record.get(settings::kCacheResetCursor) != 0;
    return result;
}

ThumbnailCache::ThumbnailCache(CacheSettings settings) : m_settings(std::move(settings)) {}

std::optional<std::filesystem::path> ThumbnailCache::fileOf(const CacheList& list) const
{
    return cacheFilePath(m_settings.directory, cacheFileName(list.text, list.isCollection));
}

bool ThumbnailCache::load(const CacheList& list, CacheProblem* problem, CacheLoadTimes* times)
{
    m_loaded.reset();
    const auto file = fileOf(list);
    if (!file) {
        if (problem)
            *problem = CacheProblem::Unreadable;
        return false;
    }
    m_loaded = share(CacheFile::load(*file, problem, times));
    return m_loaded != nullptr;
}

bool ThumbnailCache::takeOverOrLoad(const CacheList& list, CacheProblem* problem)
{
    if (m_prepared && m_prepared->list == list) {
        std::vector<std::byte> image = std::move(m_prepared->image);
        m_prepared.reset();
        // Checked exactly like a file read from disk.
        m_loaded = share(CacheFile::fromBytes(std::move(image), CacheFile::Parts::Whole, problem));
        if (m_loaded)
            return true;
    }
    return load(list, problem);
}

std::uint32_t ThumbnailCache::focusToRestore() const
{
    if (!m_loaded || m_settings.resetCursor)
        return 0;
    return m_loaded->focusedPosition();
}

CacheSaveOutcome ThumbnailCache::prepareSave(const CacheSaveRequest& request)
{
    m_prepared.reset();
    if (m_skipNextSave || m_settings.savingOff())
        return CacheSaveOutcome::Skipped;
    const auto file = fileOf(request.list);
    if (!file)
        return CacheSaveOutcome::NoFile;
    std::error_code error;
    std::filesystem::create_directories(m_settings.directory, error);
    if (error)
        return CacheSaveOutcome::Failed;

    if (request.entries.empty()) {
        std::filesystem::remove(*file, error);
        return CacheSaveOutcome::DeletedEmpty;
    }
    if ((request.changes & kCacheEntriesChanged) == 0 && isRegularFile(*file)) {
        // The short cases; a file that refuses them is rewritten whole.
        if ((request.changes & kCacheFocusChanged) != 0) {
            if (rewriteFocusedPosition(*file, request.focusedPosition))
                return CacheSaveOutcome::HeaderRewritten;
        } else if (renewFileTime(*file)) {
            return CacheSaveOutcome::TimeRenewed;
        }
    }

    const std::u16string headerText = headerTextOf(request);
    CacheImageHeader header;
    header.folder = headerText;
    header.focusedPosition = request.focusedPosition;
    auto image = buildCacheImage(header, request.entries);
    if (!image)
        return CacheSaveOutcome::Failed;
    if (m_settings.autoDelete && image->size() > m_settings.limitBytes())
        return CacheSaveOutcome::OverLimit;
    m_prepared = Prepared{request.list, *file, std::move(*image)};
    return CacheSaveOutcome::Prepared;
}

CacheWriteOutcome ThumbnailCache::write(std::string* error)
{
    m_skipNextSave = false;
    if (!m_prepared)
        return CacheWriteOutcome::NothingPrepared;
    Prepared prepared = std::move(*m_prepared);
    m_prepared.reset();
    if (m_settings.autoDelete) {
        const std::uint64_t limit = m_settings.limitBytes();
        const std::uint64_t room = limit > prepared.image.size() ? limit - prepared.image.size() : 0;
        evictCaches(m_settings.directory, room, m_settings.keepCollections, prepared.file);
    }
    return io::writeFileAtomically(prepared.file, prepared.image, error) ? CacheWriteOutcome::Written
                                                                          : CacheWriteOutcome::Failed;
}

// Why four bytes may be changed in place while everything else of a cache is
// written through a temporary file and a rename:
//  - The bytes 536..539 lie inside one 512-byte sector and one page, so the
//    device writes them in one piece; a crash leaves the old value or the
//    new one.
//  - Even a torn value could do no harm: no other field changes, and every
//    reader clamps the focused position to 0..N. The worst outcome is
//    another item focused, never a cache that reads differently.
//  - Overwriting bytes a file already has allocates nothing on the usual
//    file systems, so a full disk cannot stop it halfway; where a
//    copy-on-write file system refuses for lack of room, pwrite fails before
//    anything changes.
//  - Writing the whole file anew would copy up to a gigabyte of thumbnails
//    to change four bytes each time the user only moved the focus.
bool rewriteFocusedPosition(const std::filesystem::path& file, std::int64_t focusedPosition)
{
    FileDescriptor fd(::open(file.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    std::array<std::byte, layout::kHeaderSize> header{};
    if (!readExactly(fd.get(), header, 0))
        return false;
    if (!versionAtLeast(io::loadUtf16(header, layout::kVersion), layout::kMinimumVersion))
        return false;
    const std::uint32_t count =
        std::min(io::loadLe<std::uint32_t>(header, layout::kRecordCount.offset), layout::kMaxRecords);
    std::array<std::byte, 4> value{};
    io::storeLe(value, 0, static_cast<std::uint32_t>(std::clamp<std::int64_t>(focusedPosition, 0, count)));
    return writeExactly(fd.get(), value, static_cast<off_t>(layout::kFocusedPosition.offset))
        && ::fdatasync(fd.get()) == 0;
}

bool renewFileTime(const std::filesystem::path& file)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
    return ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace qlx::cache
