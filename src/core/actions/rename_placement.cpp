#include "actions/rename_placement.h"

#include "actions/action_paths.h"
#include "imagelist/file_history.h"
#include "io/file_io.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace qlx::actions::rename_detail {
namespace {

// More temporary names than a folder would ever hold of ours; the run
// ends there rather than loop.
constexpr int kTemporaryNames = 10'000;

std::size_t utf8Bytes(std::u16string_view text)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

char16_t folded(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

} // namespace

std::u16string_view folderOf(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, slash);
}

std::u16string_view nameOf(std::u16string_view path)
{
    const std::size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::u16string join(std::u16string_view folder, std::u16string_view name)
{
    std::u16string path(folder);
    path.push_back(u'/');
    path += name;
    return path;
}

std::filesystem::path fsPath(std::u16string_view path)
{
    return std::filesystem::path(std::u16string(path));
}

bool fits(std::u16string_view folder, std::u16string_view name)
{
    return folder.size() + 1 + name.size() <= kMaxPathUnits && utf8Bytes(name) <= kMaxNameBytes;
}

bool nameAllowed(std::u16string_view name)
{
    const std::size_t dot = name.rfind(u'.');
    if (dot == 0 || name.empty())
        return false;
    return name.find(u'/') == std::u16string_view::npos && checkApplicationPath(name) == PathProblem::None;
}

bool taken(const std::filesystem::path& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    struct stat first {};
    struct stat second {};
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

bool place(std::u16string_view from, std::u16string_view to)
{
    return io::renameNoReplace(fsPath(from), fsPath(to));
}

std::u16string moveAside(std::u16string_view path)
{
    const std::u16string_view folder = folderOf(path);
    const std::u16string_view name = nameOf(path);
    for (int n = 0; n < kTemporaryNames; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%04d_", n);
        const std::u16string temporary = join(folder, std::u16string(number, number + 5) + std::u16string(name));
        if (taken(fsPath(temporary)))
            continue;
        if (place(path, temporary))
            return temporary;
        // Taken meanwhile: try the next; any other refusal ends it.
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}

bool placeThroughAside(std::u16string_view from, std::u16string_view to)
{
    const std::u16string aside = moveAside(from);
    if (aside.empty())
        return false;
    if (place(aside, to))
        return true;
    const int error = errno;
    place(aside, from);
    errno = error;
    return false;
}

void recordRename(imagelist::ListItem& item, std::int8_t kind, std::u16string_view newPath,
                  std::u16string_view oldPath)
{
    item.entry->setPath(newPath);
    imagelist::pushHistory(item, kind, oldPath);
}

} // namespace qlx::actions::rename_detail
