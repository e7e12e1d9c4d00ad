#include "imagelist/folder_tree.h"

#include "library/collection_path.h"

#include <algorithm>

namespace qlx::imagelist {

namespace {

std::vector<std::u16string_view> splitParts(std::u16string_view path)
{
    std::vector<std::u16string_view> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find(u'/', at), path.size());
        if (end > at)
            parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

} // namespace

std::optional<std::u16string> normalFolderPath(std::u16string_view path)
{
    if (path.empty() || path.front() != u'/')
        return std::nullopt;
    std::vector<std::u16string_view> kept;
    for (const std::u16string_view part : splitParts(path)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    if (kept.empty())
        return std::u16string(u"/");
    std::size_t length = 0;
    for (const std::u16string_view part : kept)
        length += part.size() + 1;
    std::u16string normal;
    normal.reserve(length);
    for (const std::u16string_view part : kept) {
        normal.push_back(u'/');
        normal.append(part.begin(), part.end());
    }
    return normal;
}

std::u16string homeLabel(std::u16string_view home)
{
    const auto normal = normalFolderPath(home);
    if (!normal || *normal == u"/")
        return {};
    return normal->substr(normal->rfind(u'/') + 1);
}

bool isSameOrInside(std::u16string_view inner, std::u16string_view outer)
{
    if (outer == u"/")
        return !inner.empty() && inner.front() == u'/';
    return inner == outer || (inner.size() > outer.size() && inner.starts_with(outer) && inner[outer.size()] == u'/');
}

std::optional<std::vector<std::u16string>> treePath(std::u16string_view folder, std::u16string_view home)
{
    const auto normal = normalFolderPath(folder);
    if (!normal)
        return std::nullopt;
    std::vector<std::u16string> path;
    std::u16string_view rest = *normal;
    const auto homeFolder = normalFolderPath(home);
    const std::u16string label = homeLabel(home);
    if (homeFolder && !label.empty() && isSameOrInside(*normal, *homeFolder)) {
        path.push_back(label);
        rest.remove_prefix(homeFolder->size());
    } else {
        path.emplace_back(kFileSystemRootLabel);
    }
    for (const std::u16string_view part : splitParts(rest))
        path.emplace_back(part);
    return path;
}

bool isTreeRoot(std::u16string_view folder, std::u16string_view home)
{
    const auto normal = normalFolderPath(folder);
    if (!normal)
        return false;
    const auto homeFolder = normalFolderPath(home);
    return *normal == u"/" || (homeFolder && *normal == *homeFolder);
}

FolderNameCheck checkFolderName(std::u16string_view name)
{
    if (name.empty())
        return FolderNameCheck::Empty;
    if (name == u"." || name == u"..")
        return FolderNameCheck::DotName;
    for (const char16_t unit : name) {
        if (unit < 0x20 || unit == 0x7F || kForbiddenFolderCharacters.find(unit) != std::u16string_view::npos)
            return FolderNameCheck::Forbidden;
    }
    const auto utf8 = library::utf16ToUtf8(name);
    if (!utf8)
        return FolderNameCheck::Forbidden;
    if (utf8->size() > kMaxFolderNameBytes)
        return FolderNameCheck::TooLong;
    return FolderNameCheck::Valid;
}

std::u16string parentFolderPath(std::u16string_view folder)
{
    const std::size_t slash = folder.rfind(u'/');
    if (slash == std::u16string_view::npos || slash == 0)
        return u"/";
    return std::u16string(folder.substr(0, slash));
}

std::u16string renamedFolderPath(std::u16string_view folder, std::u16string_view newName)
{
    std::u16string parent = parentFolderPath(folder);
    if (parent != u"/")
        parent.push_back(u'/');
    return parent.append(newName);
}

int storedFolderPaneWidth(int stored)
{
    return stored == 0 ? kDefaultFolderPaneWidth : std::max(stored, kMinFolderPaneWidth);
}

int clampFolderPaneWidth(int width, int clientWidth)
{
    if (clientWidth > 0)
        width = std::min(width, clientWidth - kMinSpaceRightOfPane);
    return std::max(width, kMinFolderPaneWidth);
}

} // namespace qlx::imagelist
