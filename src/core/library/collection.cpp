#include "library/collection.h"

#include "library/collection_file.h"
#include "library/collection_path.h"

namespace qlx::library {

namespace {

bool canBeListed(std::u16string_view path)
{
    return !path.empty() && path.size() <= kMaxPathUnits;
}

// A path a line of the text can hold: anything listable without the two
// characters that would end the line or the text early.
bool canBeStored(std::u16string_view path)
{
    return canBeListed(path) && path.find(u'\n') == std::u16string_view::npos
        && path.find(u'\0') == std::u16string_view::npos;
}

} // namespace

Collection::Collection(std::u16string name) : m_name(std::move(name)), m_modified(true) {}

Collection::Collection(std::u16string name, std::u16string_view text) : m_name(std::move(name))
{
    parseText(text);
}

Collection::Collection(std::u16string name, CollectionProblem problem)
    : m_name(std::move(name)), m_problem(problem)
{
}

void Collection::parseText(std::u16string_view text)
{
    m_lines.clear();
    m_tail.clear();
    m_textLength = text.size();
    m_keysValid = false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            break;
        m_lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    m_tail = std::u16string(text.substr(start));
}

std::u16string Collection::text() const
{
    std::u16string text;
    text.reserve(m_textLength);
    for (const auto& line : m_lines) {
        text += line;
        text += u'\n';
    }
    text += m_tail;
    return text;
}

std::vector<std::u16string_view> Collection::listedPaths() const
{
    std::vector<std::u16string_view> paths;
    paths.reserve(m_lines.size());
    for (const auto& line : m_lines) {
        if (canBeListed(line))
            paths.emplace_back(line);
    }
    return paths;
}

void Collection::buildKeys() const
{
    if (m_keysValid)
        return;
    m_keys.clear();
    m_keys.reserve(m_lines.size());
    for (const auto& line : m_lines)
        m_keys.insert(line);
    m_keysValid = true;
}

bool Collection::contains(std::u16string_view path) const
{
    buildKeys();
    return m_keys.contains(std::u16string(path));
}

AppendResult Collection::append(std::u16string_view path)
{
    if (readOnly())
        return AppendResult::ReadOnly;
    if (!canBeStored(path))
        return AppendResult::InvalidPath;
    std::u16string key(path);
    buildKeys();
    if (m_keys.contains(key))
        return AppendResult::AlreadyListed;
    if (path.size() + 1 > kMaxCollectionTextUnits - m_textLength)
        return AppendResult::Full;
    m_lines.emplace_back(path);
    m_keys.insert(std::move(key));
    m_textLength += path.size() + 1;
    m_modified = true;
    return AppendResult::Appended;
}

std::size_t Collection::append(std::span<const std::u16string> paths)
{
    std::size_t appended = 0;
    for (const auto& path : paths) {
        if (append(path) == AppendResult::Appended)
            ++appended;
    }
    return appended;
}

std::size_t Collection::remove(std::span<const std::u16string> paths)
{
    if (readOnly() || paths.empty() || m_lines.empty())
        return 0;
    const std::unordered_set<std::u16string> gone(paths.begin(), paths.end());
    const std::size_t before = m_lines.size();
    std::erase_if(m_lines, [&](const std::u16string& line) {
        if (!gone.contains(line))
            return false;
        m_textLength -= line.size() + 1;
        return true;
    });
    const std::size_t removed = before - m_lines.size();
    if (removed > 0) {
        m_modified = true;
        m_keysValid = false;
    }
    return removed;
}

bool Collection::keepOrder(std::span<const std::u16string> displayOrder)
{
    if (readOnly())
        return false;
    std::size_t length = 0;
    for (const auto& path : displayOrder) {
        // An entry's path always came from a line; anything else is not
        // written into the text.
        if (!canBeStored(path))
            return false;
        length += path.size() + 1;
    }
    if (length != m_textLength)
        return false;
    std::vector<std::u16string> lines(displayOrder.begin(), displayOrder.end());
    if (lines != m_lines || !m_tail.empty()) {
        m_lines = std::move(lines);
        m_tail.clear();
        m_keysValid = false;
        m_modified = true;
    }
    return true;
}

} // namespace qlx::library
