#include "actions/action_paths.h"

#include <algorithm>

namespace qlx::actions {
namespace {

constexpr std::u16string_view kRefused = u":;<>?|*\"\\";

bool hasRefusedCharacter(std::u16string_view text)
{
    return text.find_first_of(kRefused) != std::u16string_view::npos;
}

// Every name between two separators: not blanks only (an empty name is the
// leading or trailing separator's), and never two separators in a row.
bool namesAreSound(std::u16string_view path)
{
    if (path.find(u"//") != std::u16string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(u'/', start), path.size());
        const std::u16string_view name = path.substr(start, end - start);
        if (!name.empty() && name.find_first_not_of(u' ') == std::u16string_view::npos)
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

PathProblem checkFolderPath(std::u16string_view path)
{
    if (path.empty())
        return PathProblem::Empty;
    if (path.front() == u'\\')
        return PathProblem::LeadingBackslash;
    if (hasRefusedCharacter(path) || !namesAreSound(path))
        return PathProblem::Invalid;
    return PathProblem::None;
}

PathProblem checkApplicationPath(std::u16string_view path)
{
    const PathProblem folder = checkFolderPath(path);
    if (folder != PathProblem::None)
        return folder;
    const std::size_t slash = path.rfind(u'/');
    const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    return name.empty() ? PathProblem::Invalid : PathProblem::None;
}

std::u16string withTrailingSeparator(std::u16string_view path)
{
    std::u16string kept(path);
    if (!kept.empty() && kept.back() != u'/')
        kept.push_back(u'/');
    return kept;
}

} // namespace qlx::actions
