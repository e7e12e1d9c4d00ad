#include "actions/thumbnail_save.h"

#include "io/file_descriptor.h"
#include "io/file_io.h"
#include "io/system_calls.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <vector>

namespace qlx::actions {

namespace fs = std::filesystem;

namespace {

// Embedded previews are a few MiB at most (full-size JPEGs of 100-megapixel
// backs stay well under 40 MiB); a larger size is a damaged directory, and
// nothing of that size is allocated for it.
constexpr std::uint64_t kMaxPreviewBytes = std::uint64_t{64} << 20;

ThumbnailSaveResult resultOf(ThumbnailSaveOutcome outcome, const fs::path& target, int error = 0)
{
    return {outcome, target, error};
}

// The preview's bytes, read whole from within the file, or the errno of the
// call that failed (EINVAL when the range lies outside the file).
struct PreviewBytes {
    std::vector<std::byte> bytes;
    int error = 0;
};

PreviewBytes readPreview(const ThumbnailSource& source)
{
    PreviewBytes preview;
    io::FileDescriptor in(io::sys::open(source.file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0) {
        preview.error = errno;
        return preview;
    }
    const std::uint64_t fileSize = static_cast<std::uint64_t>(st.st_size);
    if (source.previewOffset > fileSize || source.previewSize > fileSize - source.previewOffset) {
        preview.error = EINVAL;
        return preview;
    }
    preview.bytes.resize(source.previewSize);
    std::size_t done = 0;
    while (done < preview.bytes.size()) {
        const ssize_t got = io::sys::pread(in.get(), preview.bytes.data() + done, preview.bytes.size() - done,
                                           static_cast<off_t>(source.previewOffset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // A file cut short since its size was taken reads 0: not whole.
            preview.error = got == 0 ? EIO : errno;
            preview.bytes.clear();
            return preview;
        }
        done += static_cast<std::size_t>(got);
    }
    return preview;
}

// Whether `target` is taken, and by what: nothing, the source itself, a
// folder, or another file.
enum class Taken { Free, Source, Folder, OtherFile, Unknown };

Taken takenBy(const fs::path& target, const fs::path& source)
{
    struct stat there {};
    // Followed: a link to the source is the source.
    if (::stat(target.c_str(), &there) != 0) {
        if (errno != ENOENT)
            return Taken::Unknown;
        // A link to nothing still holds the name: replaced only on a yes.
        struct stat link {};
        return ::lstat(target.c_str(), &link) == 0 ? Taken::OtherFile : Taken::Free;
    }
    struct stat own {};
    if (::stat(source.c_str(), &own) == 0 && own.st_dev == there.st_dev && own.st_ino == there.st_ino)
        return Taken::Source;
    return S_ISDIR(there.st_mode) ? Taken::Folder : Taken::OtherFile;
}

} // namespace

fs::path thumbnailTargetPath(const fs::path& folder, const fs::path& source)
{
    std::string name = source.filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) // ".name" is a name, not an extension
        name.resize(dot);
    return folder / (name + ".jpg");
}

ThumbnailSaveResult saveThumbnail(const ThumbnailSource& source, const fs::path& folder, const ReplaceAnswer& replace)
{
    const fs::path target = thumbnailTargetPath(folder, source.file);
    if (source.previewSize == 0)
        return resultOf(ThumbnailSaveOutcome::NoPreview, target);
    const Taken taken = takenBy(target, source.file);
    if (taken == Taken::Source)
        return resultOf(ThumbnailSaveOutcome::SameAsSource, target);
    if (taken == Taken::Folder || taken == Taken::Unknown)
        return resultOf(ThumbnailSaveOutcome::WriteFailed, target, taken == Taken::Folder ? EISDIR : EACCES);
    if (source.previewSize > kMaxPreviewBytes)
        return resultOf(ThumbnailSaveOutcome::ReadFailed, target, EFBIG);
    PreviewBytes preview = readPreview(source);
    if (preview.error != 0)
        return resultOf(ThumbnailSaveOutcome::ReadFailed, target, preview.error);
    if (source.restoreStartMarker && preview.bytes.size() >= 2) {
        preview.bytes[0] = std::byte{0xFF};
        preview.bytes[1] = std::byte{0xD8};
    }
    const bool replacing = taken == Taken::OtherFile;
    if (replacing && (!replace || !replace(target)))
        return resultOf(ThumbnailSaveOutcome::ReplaceDeclined, target);
    // Without a yes nothing is replaced, also a file that appeared while
    // the preview was read; with one, never the source itself.
    const io::AtomicWriteOptions options{replacing, source.file};
    if (!io::writeFileAtomically(target, preview.bytes, options))
        return resultOf(ThumbnailSaveOutcome::WriteFailed, target, errno);
    return resultOf(ThumbnailSaveOutcome::Done, target);
}

} // namespace qlx::actions
