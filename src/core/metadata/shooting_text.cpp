#include "metadata/shooting_text.h"

#include "io/file_time.h"
#include "metadata/shooting_data.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace qlx::metadata {

namespace {

using imagelist::ImageEntry;

// A label and its value; the label only where the value is not empty.
std::u16string before(std::u16string_view label, const std::u16string& value)
{
    return value.empty() ? value : std::u16string(label) + value;
}

std::u16string after(const std::u16string& value, std::u16string_view label)
{
    return value.empty() ? value : value + std::u16string(label);
}

struct Texts {
    explicit Texts(const ImageEntry& entry)
        : name(entry.name())
        , imageSize(entry.itemText(ImageEntry::kItemImageSize))
        , dateTime(entry.itemText(ImageEntry::kItemDateTime))
        , model(entry.itemText(ImageEntry::kItemModel))
        , shutterSpeed(entry.itemText(ImageEntry::kItemShutterSpeed))
        , fNumber(entry.itemText(ImageEntry::kItemFNumber))
        , exposureProgram(entry.itemText(ImageEntry::kItemExposureProgram))
        , iso(entry.itemText(ImageEntry::kItemIso))
        , exposureBias(entry.itemText(ImageEntry::kItemExposureBias))
        , focalLength(entry.itemText(ImageEntry::kItemFocalLength))
        , flash(entry.itemText(ImageEntry::kItemFlash))
        , lens(entry.itemText(ImageEntry::kItemLens))
    {
    }
    std::u16string name, imageSize, dateTime, model, shutterSpeed, fNumber, exposureProgram,
        iso, exposureBias, focalLength, flash, lens;
};

std::optional<std::uint64_t> fileTimeOf(const std::filesystem::path& path, FileDate which)
{
    struct statx status {};
    const unsigned mask = STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    if (::statx(AT_FDCWD, path.c_str(), 0, mask, &status) != 0)
        return std::nullopt;
    const auto fileTime = [](const struct statx_timestamp& time) {
        return io::fileTimeFromTimespec(timespec{static_cast<time_t>(time.tv_sec), static_cast<long>(time.tv_nsec)});
    };
    switch (which) {
    case FileDate::LastAccess: return fileTime(status.stx_atime);
    case FileDate::LastWrite: return fileTime(status.stx_mtime);
    case FileDate::Creation:
        return fileTime((status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime : status.stx_ctime);
    }
    return std::nullopt;
}

} // namespace

std::u16string overlayInfoText(const ImageEntry& entry)
{
    const Texts t(entry);
    std::u16string text = u"File : " + t.name;
    text += u"  " + after(t.imageSize, u" Pixel");
    text += u"  " + before(u"Date : ", t.dateTime);
    text += u"\n" + t.model;
    text += u"  " + after(t.shutterSpeed, u"(sec)");
    text += u"  " + t.fNumber;
    text += u"  " + t.exposureProgram;
    text += u"  " + before(u"ISO", t.iso);
    text += u"  " + before(u"Ev", t.exposureBias);
    text += u"  " + t.focalLength;
    text += u"  " + before(u"Flash : ", t.flash);
    text += u"\n" + before(u"Lens : ", t.lens);
    return text;
}

std::u16string tooltipInfoText(const ImageEntry& entry)
{
    const Texts t(entry);
    std::u16string text = u"File : " + t.name;
    for (const std::u16string& line : {after(t.imageSize, u" Pixel"), before(u"Date : ", t.dateTime),
                                       t.model, t.shutterSpeed, t.fNumber, t.exposureProgram,
                                       before(u"ISO", t.iso), before(u"Ev", t.exposureBias),
                                       t.focalLength, t.lens, before(u"Flash : ", t.flash)})
        text += u"\n" + line;
    while (!text.empty() && text.back() == u'\n')
        text.pop_back();
    return text;
}

std::optional<std::u16string> fileDateText(const std::filesystem::path& path, FileDate which)
{
    const auto fileTime = fileTimeOf(path, which);
    if (!fileTime)
        return std::nullopt;
    const auto fields = io::localTimeFields(*fileTime);
    if (!fields)
        return std::nullopt;
    return dateTimeText(*fields);
}

} // namespace qlx::metadata
