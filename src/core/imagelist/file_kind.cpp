#include "imagelist/file_kind.h"

#include <algorithm>
#include <array>
#include <bit>

namespace qlx::imagelist {

namespace {

struct ExtensionRow {
    std::u16string_view extension;
    std::uint32_t bit;
};

// Three-letter extensions in the order classify compares them: grouped by
// first letter, and within a letter in the order below. The extensions are
// all different, so the order decides nothing today; it is kept so that a
// future extension shared by two kinds resolves the same way everywhere.
constexpr std::array<ExtensionRow, 27> kExtensionOrder{{
    {u"3fr", kKind3fr},
    {u"arw", kKindArw},
    {u"bmp", kKindBmp},
    {u"cr2", kKindCr2}, {u"cr3", kKindCr3}, {u"crw", kKindCrw},
    {u"dng", kKindDng}, {u"dcr", kKindDcr},
    {u"fff", kKind3fr},
    {u"gif", kKindGif},
    {u"jpg", kKindJpeg},
    {u"mrw", kKindMrw}, {u"mef", kKindMef},
    {u"nef", kKindNef}, {u"nrw", kKindNrw},
    {u"orf", kKindOrf},
    {u"pef", kKindPef}, {u"psd", kKindPsd}, {u"png", kKindPng},
    {u"raw", kKindRaw}, {u"rw2", kKindRw2}, {u"rwl", kKindRwl}, {u"raf", kKindRaf},
    {u"sr2", kKindSr2}, {u"srw", kKindSrw},
    {u"tif", kKindTiff},
    {u"x3f", kKindX3f},
}};

constexpr bool orderMatchesKindTable()
{
    for (const auto& row : kExtensionOrder) {
        const int index = kindIndex(row.bit);
        if (index < 0 || row.extension.size() != 3)
            return false;
        const auto& extensions = kFileKinds[static_cast<std::size_t>(index)].extensions;
        if (extensions[0] != row.extension && extensions[1] != row.extension)
            return false;
    }
    return true;
}
static_assert(orderMatchesKindTable());

constexpr bool masksMatchKindTable()
{
    std::uint32_t all = 0;
    std::uint32_t raw = 0;
    for (const auto& row : kFileKinds) {
        if (std::popcount(row.bit) != 1 || (all & row.bit) != 0)
            return false;
        all |= row.bit;
        if (row.raw)
            raw |= row.bit;
    }
    return all == kDefaultTargetMask && raw == kRawKindMask;
}
static_assert(masksMatchKindTable());

// Only A to Z: a full-width or accented letter never names a kind.
constexpr char16_t lowerAscii(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

} // namespace

std::uint32_t classify(std::u16string_view fileName, std::uint32_t targetMask,
                       const VideoExtensions& video)
{
    if (fileName.size() >= 4) {
        std::array<char16_t, 4> last{};
        std::transform(fileName.end() - 4, fileName.end(), last.begin(), lowerAscii);
        const std::u16string_view four(last.data(), last.size());

        if (four[0] == u'.') {
            const std::u16string_view extension = four.substr(1);
            for (const auto& row : kExtensionOrder) {
                if (row.extension[0] != extension[0] || (targetMask & row.bit) == 0)
                    continue;
                if (row.extension == extension)
                    return row.bit;
            }
        } else if (four == u"jpeg") {
            return kKindJpeg;
        } else if (four == u"tiff") {
            return kKindTiff;
        }
    }
    return (targetMask & kKindVideo) != 0 ? isVideo(fileName, video) : 0;
}

std::uint32_t isVideo(std::u16string_view fileName, const VideoExtensions& video)
{
    const auto dot = fileName.rfind(u'.');
    if (dot == std::u16string_view::npos)
        return 0;
    const std::u16string_view extension = fileName.substr(dot + 1);
    if (extension.empty() || extension.size() > VideoExtensions::kMaxLength)
        return 0;
    std::array<char16_t, VideoExtensions::kMaxLength> lower{};
    std::transform(extension.begin(), extension.end(), lower.begin(), lowerVideoUnit);
    return video.contains({lower.data(), extension.size()}) ? kKindVideo : 0;
}

std::string_view formatName(std::uint32_t kind)
{
    if (kind == 0)
        return {};
    const FileKindRecord* row = findKind(std::uint32_t{1} << std::countr_zero(kind));
    return row != nullptr ? row->formatName : std::string_view{};
}

std::string_view menuLabel(std::uint32_t bit)
{
    const FileKindRecord* row = findKind(bit);
    return row != nullptr ? row->menuLabel : std::string_view{};
}

std::uint32_t kindOfMenuCommand(int command)
{
    for (const auto& row : kFileKinds) {
        if (row.menuCommand == command)
            return row.bit;
    }
    return 0;
}

} // namespace qlx::imagelist
