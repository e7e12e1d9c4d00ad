#include "actions/trash.h"

#include "io/system_calls.h"

#include "io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace qlx::actions {
namespace fs = std::filesystem;

namespace {

// Enough names for any trash; a bound on the search for a free one.
constexpr int kMaxNameTries = 10'000;

std::optional<struct stat> statOf(const fs::path& path, bool followLinks)
{
    struct stat st {};
    const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (rc != 0)
        return std::nullopt;
    return st;
}

fs::path homeTrash()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return fs::path(data) / "Trash";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return fs::path(home) / ".local/share/Trash";
    return {};
}

// A folder of ours (created with mode 0700 when missing): a real folder,
// not a link.
bool ensurePrivateFolder(const fs::path& folder)
{
    if (io::sys::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    const auto st = statOf(folder, false);
    return st && S_ISDIR(st->st_mode);
}

bool ensureTrash(const fs::path& trash, bool withParents = false)
{
    if (withParents) {
        std::error_code ignored;
        fs::create_directories(trash.parent_path(), ignored);
    }
    return ensurePrivateFolder(trash) && ensurePrivateFolder(trash / "files") && ensurePrivateFolder(trash / "info");
}

// The top folder of the file system `file` lies on: the last folder going
// up whose device is still the file's.
fs::path topFolderOf(const fs::path& file, dev_t device)
{
    fs::path top = file.parent_path();
    for (int depth = 0; depth < 4096 && top.has_relative_path(); ++depth) {
        const fs::path up = top.parent_path();
        const auto st = statOf(up, true);
        if (!st || st->st_dev != device)
            break;
        top = up;
    }
    return top;
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::string candidateName(const fs::path& file, int attempt)
{
    if (attempt == 0)
        return file.filename().string();
    return file.stem().string() + "." + std::to_string(attempt + 1) + file.extension().string();
}

} // namespace

std::string encodeTrashPath(const std::string& path)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/';
        if (kept) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0xF]);
        }
    }
    return encoded;
}

fs::path trashFolderFor(const fs::path& file)
{
    const auto st = statOf(file, false);
    if (!st)
        return {};
    const fs::path home = homeTrash();
    if (!home.empty()) {
        // The home trash's file system is that of the nearest folder of its
        // path that exists (it is made when first used).
        fs::path existing = home;
        std::optional<struct stat> homeSt = statOf(existing, true);
        for (int depth = 0; !homeSt && depth < 4096 && existing.has_relative_path(); ++depth) {
            existing = existing.parent_path();
            homeSt = statOf(existing, true);
        }
        if (homeSt && homeSt->st_dev == st->st_dev)
            return ensureTrash(home, true) ? home : fs::path{};
    }
    const fs::path top = topFolderOf(file, st->st_dev);
    const std::string uid = std::to_string(::getuid());
    const fs::path shared = top / ".Trash";
    if (const auto sharedSt = statOf(shared, false);
        sharedSt && S_ISDIR(sharedSt->st_mode) && (sharedSt->st_mode & S_ISVTX) != 0) {
        const fs::path mine = shared / uid;
        if (ensureTrash(mine))
            return mine;
    }
    const fs::path own = top / (".Trash-" + uid);
    if (!ensureTrash(own))
        return {};
    const auto ownSt = statOf(own, false);
    if (!ownSt || ownSt->st_uid != ::getuid() || ownSt->st_dev != st->st_dev)
        return {};
    return own;
}

TrashResult moveToTrash(const fs::path& file)
{
    TrashResult result;
    const auto st = statOf(file, false);
    if (!st) {
        result.outcome = TrashOutcome::SourceMissing;
        result.error = errno;
        return result;
    }
    const fs::path trash = trashFolderFor(file);
    if (trash.empty()) {
        result.outcome = TrashOutcome::NoTrash;
        result.error = errno;
        return result;
    }
    // In a top folder's trash the path is kept relative to the top folder.
    const bool home = trash == homeTrash();
    std::string original = file.lexically_normal().string();
    if (!home) {
        const fs::path relative = file.lexically_normal().lexically_relative(trash.parent_path().filename() == ".Trash"
                                                                                   ? trash.parent_path().parent_path()
                                                                                   : trash.parent_path());
        original = relative.string();
    }
    const std::string info = "[Trash Info]\nPath=" + encodeTrashPath(original) + "\nDeletionDate=" + deletionDate() + "\n";

    for (int attempt = 0; attempt < kMaxNameTries; ++attempt) {
        const std::string name = candidateName(file, attempt);
        const fs::path infoPath = trash / "info" / (name + ".trashinfo");
        const fs::path target = trash / "files" / name;
        const int fd = io::sys::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            result.error = errno;
            return result;
        }
        const bool written = io::sys::writeAll(fd, info.data(), info.size()) && io::sys::fsync(fd) == 0;
        const int writeError = errno;
        ::close(fd);
        if (!written) {
            io::sys::unlink(infoPath.c_str());
            result.error = writeError;
            return result;
        }
        io::syncFolder(trash / "info");
        if (io::renameNoReplace(file, target)) {
            io::syncFolder(trash / "files");
            io::syncFolder(file.parent_path());
            result.outcome = TrashOutcome::Done;
            result.trashed = target;
            result.info = infoPath;
            return result;
        }
        const int renameError = errno;
        io::sys::unlink(infoPath.c_str());
        // A file of that name without its info: leave it, try the next name.
        if (renameError == EEXIST)
            continue;
        result.error = renameError;
        return result;
    }
    result.error = EEXIST;
    return result;
}

} // namespace qlx::actions
