#include "actions/rename_pattern.h"

#include "io/file_time.h"
#include "metadata/shooting_data.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>

namespace qlx::actions {
namespace {

std::u16string withoutCharacters(std::u16string_view text, std::u16string_view removed)
{
    std::u16string kept;
    for (const char16_t unit : text)
        if (removed.find(unit) == std::u16string_view::npos)
            kept.push_back(unit);
    return kept;
}

// "%0*d": at least `digits` digits, a minus sign before them.
std::u16string decimal(std::int64_t value, int digits)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value < 0 ? -value : value).ptr;
    std::u16string text(buffer, end);
    if (text.size() < static_cast<std::size_t>(digits))
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), u'0');
    if (value < 0)
        text.insert(0, 1, u'-');
    return text;
}

} // namespace

DateSource dateSourceOf(std::int32_t renameType)
{
    if (renameType >= 3 && renameType <= 9)
        return DateSource::Exif;
    if (renameType >= 10 && renameType <= 16)
        return DateSource::Creation;
    if (renameType >= 17 && renameType <= 23)
        return DateSource::Modification;
    return DateSource::None;
}

bool isNumberType(std::int32_t renameType)
{
    return renameType >= 0 && renameType <= 2;
}

std::u16string renamePrefix(const RenameSettings& settings, const PrefixSources& sources)
{
    std::u16string prefix;
    switch (settings.prefixType) {
    case kPrefixText:
        prefix = settings.prefixText;
        break;
    case kPrefixFolder:
        prefix = sources.folderName;
        break;
    case kPrefixFileName:
        prefix = sources.originalStem;
        break;
    case kPrefixMaker:
        prefix = withoutCharacters(sources.maker, kRemovedFromCameraNames);
        break;
    case kPrefixModel:
        prefix = withoutCharacters(sources.model, kRemovedFromCameraNames);
        break;
    default:
        break;
    }
    if (!prefix.empty())
        prefix += prefixJoinerText(settings.prefixJoiner);
    return prefix;
}

std::u16string numberedName(const RenameSettings& settings, std::u16string_view prefix, std::int32_t counter,
                            std::u16string_view extension)
{
    std::u16string name(prefix);
    if (settings.renameType == kRenameTypePrefixOnly) {
        if (counter != settings.startNumber) {
            name.push_back(dateJoinerCharacter(settings.dateJoiner));
            name += decimal(counter, 1);
        }
    } else {
        name += decimal(counter, 3 + std::clamp(settings.renameType, 0, 2));
    }
    name += extension;
    return name;
}

std::optional<std::u16string> dateBody(std::int32_t renameType, std::u16string_view dateText, char16_t joiner)
{
    if (dateText.size() != 19 || dateSourceOf(renameType) == DateSource::None)
        return std::nullopt;
    // The seven patterns repeat for each source: 0 to 2 joined, 3 to 5
    // compact with a joiner between date and time, 6 without any.
    const int pattern = (renameType - 3) % 7;
    std::u16string body;
    for (const char16_t unit : dateText) {
        const bool separator = unit == u'/' || unit == u':';
        if (unit == u' ') {
            if (pattern != 6)
                body.push_back(joiner);
        } else if (separator) {
            if (pattern < 3)
                body.push_back(joiner);
        } else {
            body.push_back(unit);
        }
    }
    // Cut: two-digit year, or no year at all.
    std::size_t cut = 0;
    if (pattern == 1 || pattern == 4)
        cut = 2;
    else if (pattern == 2)
        cut = 5;
    else if (pattern == 5)
        cut = 4;
    return body.substr(std::min(cut, body.size()));
}

std::u16string collisionName(std::u16string_view base, char16_t joiner, int k, std::u16string_view extension)
{
    std::u16string name(base);
    if (k != 0) {
        name.push_back(joiner);
        name += decimal(k, 1);
    }
    name += extension;
    return name;
}

std::u16string creationTimeText(const std::filesystem::path& file)
{
    struct statx status {};
    if (::statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME, &status) != 0 || (status.stx_mask & STATX_BTIME) == 0)
        return {};
    const timespec birth{static_cast<time_t>(status.stx_btime.tv_sec), static_cast<long>(status.stx_btime.tv_nsec)};
    const std::uint64_t fileTime = io::fileTimeFromTimespec(birth);
    return fileTime != 0 ? metadata::fileTimeText(fileTime) : std::u16string();
}

NameParts splitName(std::u16string_view name)
{
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos)
        return {name, {}};
    return {name.substr(0, dot), name.substr(dot)};
}

} // namespace qlx::actions
