#include "cache/cache_name.h"

#include <QByteArray>
#include <QString>

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
    return name;
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
    if (!isFolderCacheName(name))
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
