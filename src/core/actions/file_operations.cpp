#include "actions/file_operations.h"

#include "io/system_calls.h"

#include "io/file_descriptor.h"
#include "io/file_io.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace qlx::actions {

namespace {

namespace fs = std::filesystem;
using io::FileDescriptor;
using io::syncFolder;

// Larger blocks gain nothing measurable on local disks and memory cards.
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

TransferResult failure(TransferOutcome outcome, const fs::path& target, int error, std::string_view what)
{
    TransferResult result;
    result.outcome = outcome;
    result.target = target;
    result.error = error;
    result.detail = std::string(what);
    if (error != 0)
        result.detail += std::string(": ") + std::strerror(error);
    return result;
}

TransferResult success(const fs::path& target)
{
    TransferResult result;
    result.outcome = TransferOutcome::Done;
    result.target = target;
    return result;
}

// Opening or reading the source failed with `error`.
TransferOutcome sourceOutcome(int error)
{
    return error == ENOENT || error == ENOTDIR ? TransferOutcome::SourceMissing : TransferOutcome::ReadFailed;
}

fs::path folderOf(const fs::path& file)
{
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The checks every transfer makes before it touches anything: the target
// folder is there, and the target name is free (or may be replaced, and is
// not the source itself). `source` is the stat of the source file.
std::optional<TransferResult> checkTarget(const struct stat& source, const fs::path& target,
                                          ExistingTarget existing)
{
    struct stat folder {};
    if (::stat(folderOf(target).c_str(), &folder) != 0)
        return failure(TransferOutcome::TargetFolderMissing, target, errno, "target folder");
    if (!S_ISDIR(folder.st_mode))
        return failure(TransferOutcome::TargetFolderMissing, target, ENOTDIR, "target folder");
    struct stat taken {};
    if (::stat(target.c_str(), &taken) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        return failure(TransferOutcome::WriteFailed, target, errno, "target");
    }
    if (taken.st_dev == source.st_dev && taken.st_ino == source.st_ino)
        return failure(TransferOutcome::SameFile, target, 0, "target is the source");
    if (existing == ExistingTarget::Refuse || S_ISDIR(taken.st_mode))
        return failure(TransferOutcome::TargetExists, target, EEXIST, "target exists");
    return std::nullopt;
}

// Puts `from` (a file of ours) under the name `to`; with Refuse an existing
// `to` is never replaced, even one that appeared after checkTarget looked.
bool placeFile(const fs::path& from, const fs::path& to, ExistingTarget existing)
{
    if (existing == ExistingTarget::Replace)
        return io::sys::rename(from.c_str(), to.c_str()) == 0;
    return io::renameNoReplace(from, to);
}

// Copies the bytes of `in` to `out` up to the end of `in`: copy_file_range
// where the kernel can (it shares blocks on file systems that allow it),
// read and write otherwise. Returns 0, or the errno and which side failed.
struct CopyError {
    int error = 0;
    bool reading = false;
};

CopyError copyBytes(int in, int out)
{
    bool kernelCopy = true;
    std::vector<char> buffer;
    for (;;) {
        if (kernelCopy) {
            const ssize_t copied = io::sys::copyFileRange(in, out, kCopyBlock);
            if (copied > 0)
                continue;
            if (copied == 0)
                return {};
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF)
                return {errno, errno == EIO};
            kernelCopy = false; // nothing was copied by the failed call
            buffer.resize(kCopyBlock);
        }
        const ssize_t got = io::sys::read(in, buffer.data(), buffer.size());
        if (got == 0)
            return {};
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {errno, true};
        }
        if (!io::sys::writeAll(out, buffer.data(), static_cast<std::size_t>(got)))
            return {errno != 0 ? errno : EIO, false};
    }
}

// The copy itself, once the source is open and the target checked.
TransferResult copyOpened(int in, const struct stat& source, const fs::path& target, ExistingTarget existing)
{
    const fs::path folder = folderOf(target);
    std::string temporary = (folder / (std::string(kCopyTemporaryPrefix) + "XXXXXX")).string();
    FileDescriptor out(io::sys::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0)
        return failure(TransferOutcome::WriteFailed, target, errno, "cannot create temporary file");
    auto fail = [&](TransferOutcome outcome, int error, std::string_view what) {
        io::sys::unlink(temporary.c_str());
        return failure(outcome, target, error, what);
    };

    const CopyError copied = copyBytes(in, out.get());
    if (copied.error != 0)
        return fail(copied.reading ? TransferOutcome::ReadFailed : TransferOutcome::WriteFailed, copied.error,
                    copied.reading ? "read failed" : "write failed");
    struct stat written {};
    if (::fstat(out.get(), &written) != 0)
        return fail(TransferOutcome::WriteFailed, errno, "stat of the copy failed");
    // The source changed while it was copied (a camera still writing it,
    // another program): this copy is not the file the user saw.
    if (written.st_size != source.st_size)
        return fail(TransferOutcome::VerifyFailed, 0, "size of the copy differs");
    if (io::sys::fchmod(out.get(), source.st_mode & 0777) != 0)
        return fail(TransferOutcome::WriteFailed, errno, "chmod failed");
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    // Memory cards and some network shares cannot keep every time exactly;
    // a copy with a slightly different time is still the user's file.
    ::futimens(out.get(), times);
    if (io::sys::fsync(out.get()) != 0)
        return fail(TransferOutcome::WriteFailed, errno, "fsync failed");
    if (::close(out.release()) != 0)
        return fail(TransferOutcome::WriteFailed, errno, "close failed");
    if (!placeFile(temporary, target, existing)) {
        const int error = errno;
        return fail(error == EEXIST ? TransferOutcome::TargetExists : TransferOutcome::WriteFailed, error,
                    "cannot put the copy in place");
    }
    syncFolder(folder);
    return success(target);
}

TransferResult copyWithStat(const fs::path& source, const fs::path& target, ExistingTarget existing,
                            struct stat* sourceStat)
{
    FileDescriptor in(io::sys::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return failure(sourceOutcome(errno), target, errno, "cannot open the source");
    struct stat& st = *sourceStat;
    if (::fstat(in.get(), &st) != 0)
        return failure(TransferOutcome::ReadFailed, target, errno, "cannot stat the source");
    if (!S_ISREG(st.st_mode))
        return failure(TransferOutcome::SourceNotAFile, target, 0, "source is not a file");
    if (auto refused = checkTarget(st, target, existing))
        return *refused;
    return copyOpened(in.get(), st, target, existing);
}

} // namespace

TransferResult copyFileTo(const fs::path& source, const fs::path& target, TransferOptions options)
{
    struct stat st {};
    return copyWithStat(source, target, options.existing, &st);
}

TransferResult moveFileTo(const fs::path& source, const fs::path& target, TransferOptions options)
{
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0)
        return failure(sourceOutcome(errno), target, errno, "cannot stat the source");
    if (!S_ISREG(st.st_mode))
        return failure(TransferOutcome::SourceNotAFile, target, 0, "source is not a file");
    if (auto refused = checkTarget(st, target, options.existing))
        return *refused;

    if (!options.copyInsteadOfRename) {
        // No flush of the folders: a rename is atomic, so after a crash
        // the file stands under its old name or its new one, never under
        // neither; a flush per file made a move of a card's worth of
        // pictures five times slower than mv.
        if (placeFile(source, target, options.existing))
            return success(target);
        const int error = errno;
        if (error == EEXIST)
            return failure(TransferOutcome::TargetExists, target, error, "target exists");
        if (error == ENOENT)
            return failure(TransferOutcome::SourceMissing, target, error, "rename failed");
        if (error != EXDEV)
            return failure(TransferOutcome::WriteFailed, target, error, "rename failed");
    }

    // Another file system: copy, check, delete. The source's folder must let
    // us delete the source before anything is written, so that a copy is
    // not made only to be taken back.
    if (::access(folderOf(source).c_str(), W_OK | X_OK) != 0)
        return failure(TransferOutcome::SourceNotRemoved, target, errno, "source folder is not writable");
    struct stat existed {};
    const bool replacing = ::stat(target.c_str(), &existed) == 0;
    struct stat copiedFrom {};
    TransferResult copied = copyWithStat(source, target, options.existing, &copiedFrom);
    if (!copied.done())
        return copied;
    struct stat placed {};
    if (::stat(target.c_str(), &placed) != 0 || placed.st_size != copiedFrom.st_size) {
        const int error = errno;
        if (!replacing)
            io::sys::unlink(target.c_str());
        return failure(TransferOutcome::VerifyFailed, target, error, "size of the placed copy differs");
    }
    if (io::sys::unlink(source.c_str()) != 0) {
        const int error = errno;
        if (!replacing)
            io::sys::unlink(target.c_str());
        return failure(TransferOutcome::SourceNotRemoved, target, error, "cannot delete the source");
    }
    syncFolder(folderOf(source));
    return success(target);
}

TransferResult copyFile(const fs::path& source, const fs::path& targetFolder, TransferOptions options)
{
    return copyFileTo(source, targetFolder / source.filename(), options);
}

TransferResult moveFile(const fs::path& source, const fs::path& targetFolder, TransferOptions options)
{
    return moveFileTo(source, targetFolder / source.filename(), options);
}

bool ensureFolder(const fs::path& folder)
{
    if (folder.empty())
        return false;
    // Level by level from the top, as the folder-creation routine does; a
    // level that cannot be made shows in the final check.
    fs::path level;
    for (const fs::path& part : folder) {
        level /= part;
        if (part == "/" || part.empty())
            continue;
        io::sys::mkdir(level.c_str(), 0777);
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::u16string formatSize(std::uint64_t bytes)
{
    std::u16string out;
    auto append = [&out](std::string_view text) {
        for (const char c : text)
            out.push_back(static_cast<char16_t>(c));
    };
    char number[48];
    if (bytes < 1024) {
        const auto end = std::to_chars(number, number + sizeof number, bytes).ptr;
        append({number, static_cast<std::size_t>(end - number)});
        append("Byte");
        return out;
    }
    // Divided in single precision, as the status bar always has; to_chars
    // keeps the decimal point whatever the desktop's locale says.
    const float size = static_cast<float>(bytes);
    float value = size / 1'073'741'824.0f;
    std::string_view unit = "GB";
    if (bytes < 1'048'576) {
        value = size / 1024.0f;
        unit = "KB";
    } else if (bytes < 1'073'741'824) {
        value = size / 1'048'576.0f;
        unit = "MB";
    }
    const auto end = std::to_chars(number, number + sizeof number, static_cast<double>(value),
                                   std::chars_format::fixed, 2).ptr;
    append({number, static_cast<std::size_t>(end - number)});
    append(unit);
    return out;
}

} // namespace qlx::actions
