#include "actions/trash_emptying.h"

#include "io/file_descriptor.h"
#include "io/system_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace qlx::actions {

namespace fs = std::filesystem;

namespace {

// Folders inside a trashed folder deeper than this stay: a picture folder
// is a few levels deep, and the bound keeps a crafted tree from exhausting
// the descriptors (one is open per level).
constexpr int kMaxDepth = 64;
// Names looked at in one emptying of one trash, whatever their nesting:
// ample for years of deleted pictures, and a bound on the work.
constexpr std::size_t kMaxNames = 1'000'000;
// Lines of /proc/self/mountinfo read: containers and desktops mount a few
// hundred at most.
constexpr std::size_t kMaxMounts = 4096;

bool isRealFolder(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isTrashFolder(const fs::path& path)
{
    return isRealFolder(path) && isRealFolder(path / "files") && isRealFolder(path / "info");
}

fs::path homeTrash()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
        return fs::path(data) / "Trash";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return fs::path(home) / ".local/share/Trash";
    return {};
}

// A mount point of /proc/self/mountinfo (its fifth field), with the octal
// escapes (\040 for a blank) the kernel writes undone.
std::string unescapedMountPoint(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && std::all_of(field.begin() + static_cast<long>(i) + 1, field.begin() + static_cast<long>(i) + 4,
                                  [](char c) { return c >= '0' && c <= '7'; })) {
            out.push_back(static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

std::vector<fs::path> mountPoints()
{
    std::vector<fs::path> points;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (points.size() < kMaxMounts && std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        int read = 0;
        while (read < 5 && fields >> field)
            ++read;
        if (read == 5)
            points.emplace_back(unescapedMountPoint(field));
    }
    return points;
}

// The names in an open folder ("." and ".." left out), at most `budget`;
// the budget shrinks by what was read.
std::vector<std::string> namesIn(int folder, std::size_t& budget)
{
    std::vector<std::string> names;
    const int copy = ::dup(folder);
    DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    while (budget > 0) {
        const dirent* item = ::readdir(dir);
        if (item == nullptr)
            break;
        const std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        names.push_back(name);
        --budget;
    }
    ::closedir(dir);
    return names;
}

// Deletes `name` in `folder`: a link or file itself, a folder with all it
// holds. Nothing is followed: a folder is entered only through a
// descriptor opened with O_NOFOLLOW, so a link swapped in for a folder
// fails to open instead of leading out of the trash.
bool removeAt(int folder, const std::string& name, int depth, std::size_t& budget)
{
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return io::sys::unlinkat(folder, name.c_str(), 0) == 0;
    if (depth >= kMaxDepth)
        return false;
    io::FileDescriptor inner(
        io::sys::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (inner.get() < 0)
        return false;
    bool all = true;
    for (const std::string& child : namesIn(inner.get(), budget))
        all = removeAt(inner.get(), child, depth + 1, budget) && all;
    return all && budget > 0 && io::sys::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0;
}

void emptyOne(const fs::path& trash, TrashEmptyingResult& result)
{
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    io::FileDescriptor top(io::sys::open(trash.c_str(), flags));
    if (top.get() < 0)
        return;
    io::FileDescriptor files(io::sys::openat(top.get(), "files", flags));
    io::FileDescriptor info(io::sys::openat(top.get(), "info", flags));
    if (files.get() < 0 || info.get() < 0)
        return;
    std::size_t budget = kMaxNames;
    for (const std::string& name : namesIn(files.get(), budget)) {
        // The file first: an info file without its file is harmless, a file
        // without its info is one the desktop can no longer put back.
        if (!removeAt(files.get(), name, 0, budget)) {
            ++result.failed;
            continue;
        }
        const std::string infoName = name + ".trashinfo";
        if (io::sys::unlinkat(info.get(), infoName.c_str(), 0) != 0 && errno != ENOENT)
            ++result.failed;
        else
            ++result.removed;
    }
    // Info files left without a file (a crash between the two removals);
    // those of items that stay are kept with them.
    constexpr std::string_view kSuffix = ".trashinfo";
    for (const std::string& name : namesIn(info.get(), budget)) {
        struct stat st {};
        const std::string item = name.ends_with(kSuffix) ? name.substr(0, name.size() - kSuffix.size()) : name;
        if (::fstatat(files.get(), item.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
            continue;
        if (io::sys::unlinkat(info.get(), name.c_str(), 0) != 0 && errno != ENOENT)
            ++result.failed;
    }
}

} // namespace

std::vector<fs::path> userTrashFolders()
{
    std::vector<fs::path> folders;
    const auto add = [&folders](const fs::path& folder) {
        if (isTrashFolder(folder) && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    if (const fs::path home = homeTrash(); !home.empty())
        add(home);
    const std::string uid = std::to_string(::getuid());
    for (const fs::path& top : mountPoints()) {
        struct stat shared {};
        // The shared ".Trash" counts only as the standard allows it: a
        // real folder with the sticky bit.
        if (::lstat((top / ".Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX))
            add(top / ".Trash" / uid);
        add(top / (".Trash-" + uid));
    }
    return folders;
}

TrashEmptyingResult emptyTrashFolders(const std::vector<fs::path>& trashFolders)
{
    TrashEmptyingResult result;
    for (const fs::path& trash : trashFolders)
        emptyOne(trash, result);
    return result;
}

} // namespace qlx::actions
