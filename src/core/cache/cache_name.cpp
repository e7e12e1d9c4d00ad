#include "cache/cache_name.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <algorithm>

namespace qlx::cache {

namespace {

// "/home/a/" and "/home/a" are one folder; "/" stays "/".
std::u16string_view withoutTrailingSeparators(std::u16string_view folder)
{
    while (folder.size() > 1 && folder.back() == u'/')
        folder.remove_suffix(1);
    return folder;
}

QByteArray utf8Of(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
}

constexpr std::u16string_view kShortenedMark = u"\u2026";
constexpr std::size_t kHashDigits = 16;

std::size_t utf8Length(std::u16string_view text)
{
    return static_cast<std::size_t>(utf8Of(text).size());
}

std::u16string hashDigits(std::u16string_view name)
{
    const QByteArray hash = QCryptographicHash::hash(utf8Of(name), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.first(kHashDigits / 2).toHex()).toStdU16String();
}

// The end of `text` that takes at most `bytes` bytes of UTF-8, beginning
// with a whole character.
std::u16string_view endWithin(std::u16string_view text, std::size_t bytes)
{
    std::size_t start = text.size();
    std::size_t used = 0;
    while (start > 0) {
        std::size_t at = start - 1;
        std::size_t width = text[at] < 0x80 ? 1 : text[at] < 0x800 ? 2 : 3;
        // A surrogate pair is one character of four bytes.
        if (text[at] >= 0xDC00 && text[at] <= 0xDFFF && at > 0 && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF) {
            --at;
            width = 4;
        }
        if (used + width > bytes)
            break;
        used += width;
        start = at;
    }
    return text.substr(start);
}

std::u16string shortenedName(std::u16string_view fullName, std::u16string_view lead)
{
    std::u16string name(lead);
    name.append(hashDigits(fullName)).append(kShortenedMark);
    const std::u16string_view middle =
        fullName.substr(lead.size(), fullName.size() - lead.size() - kCacheExtension.size());
    const std::size_t fixed = utf8Length(name) + utf8Length(kCacheExtension);
    name.append(endWithin(middle, kMaxCacheNameBytes - fixed));
    name.append(kCacheExtension);
    return name;
}

} // namespace

std::u16string cacheFileName(std::u16string_view folderOrCollection, bool isCollection)
{
    std::u16string name;
    if (isCollection)
        name.append(kCollectionCachePrefix).append(folderOrCollection);
    else
        name.append(withoutTrailingSeparators(folderOrCollection));
    for (char16_t& unit : name)
        if (unit == u'/')
            unit = kCacheNameSeparator;
    name.append(kCacheExtension);
    if (utf8Length(name) <= kMaxCacheNameBytes)
        return name;
    return shortenedName(name, isCollection ? kCollectionCachePrefix : std::u16string_view(&kCacheNameSeparator, 1));
}

bool isShortenedCacheName(std::u16string_view name)
{
    for (const std::u16string_view lead : {kCollectionCachePrefix, std::u16string_view(&kCacheNameSeparator, 1)}) {
        if (!name.starts_with(lead) || !name.ends_with(kCacheExtension))
            continue;
        const std::u16string_view rest = name.substr(lead.size());
        if (rest.size() >= kHashDigits + kShortenedMark.size()
            && std::all_of(rest.begin(), rest.begin() + kHashDigits,
                           [](char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); })
            && rest.substr(kHashDigits).starts_with(kShortenedMark))
            return true;
    }
    return false;
}

bool isCollectionCacheName(std::u16string_view name)
{
    return name.starts_with(kCollectionCachePrefix) && name.ends_with(kCacheExtension);
}

bool isFolderCacheName(std::u16string_view name)
{
    return name.size() > kCacheExtension.size() && name.front() == kCacheNameSeparator
        && name.ends_with(kCacheExtension);
}

std::optional<std::u16string> folderFromCacheFileName(std::u16string_view name)
{
    if (!isFolderCacheName(name) || isShortenedCacheName(name))
        return std::nullopt;
    std::u16string folder(name.substr(0, name.size() - kCacheExtension.size()));
    for (char16_t& unit : folder)
        if (unit == kCacheNameSeparator)
            unit = u'/';
    return folder;
}

std::filesystem::path cacheDirectory(const std::filesystem::path& programFolder,
                                     std::u16string_view userFolderSetting)
{
    const std::filesystem::path user = pathFromUtf16(userFolderSetting);
    // An absolute user folder stands for itself; anything else hangs below
    // the program folder, where the default "./user" lives.
    const std::filesystem::path base = userFolderSetting.starts_with(u'/') ? user : programFolder / user;
    return (base / "cache").lexically_normal();
}

std::optional<std::filesystem::path> cacheFilePath(const std::filesystem::path& directory,
                                                   std::u16string_view name)
{
    if (name.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    const QByteArray bytes = utf8Of(name);
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) > kMaxFileNameBytes)
        return std::nullopt;
    return directory / std::filesystem::path(bytes.toStdString());
}

std::u16string folderHeaderText(std::u16string_view folder)
{
    std::u16string text(withoutTrailingSeparators(folder));
    if (!text.ends_with(u'/'))
        text.push_back(u'/');
    return text;
}

std::u16string folderOfHeaderText(std::u16string_view headerText)
{
    return std::u16string(withoutTrailingSeparators(headerText));
}

std::filesystem::path pathFromUtf16(std::u16string_view text)
{
    return std::filesystem::path(utf8Of(text).toStdString());
}

std::u16string utf16FromFileName(const std::filesystem::path& name)
{
    const std::string& bytes = name.native();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdU16String();
}

} // namespace qlx::cache
