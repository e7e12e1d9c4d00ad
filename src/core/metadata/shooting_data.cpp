#include "metadata/shooting_data.h"

#include "imagelist/file_kind.h"
#include "metadata/lens_text.h"
#include "metadata/metadata_text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace qlx::metadata {

namespace {

using imagelist::ImageEntry;

// Items that are the metadata value of one key, empty when it is absent.
struct PlainItem {
    int item;
    std::u16string_view key;
};
constexpr std::array<PlainItem, 12> kPlainItems{{
    {ImageEntry::kItemShutterSpeed, u"ExposureTime"},
    {ImageEntry::kItemFNumber, u"FNumber"},
    {ImageEntry::kItemExposureProgram, u"ExposureProg"},
    {ImageEntry::kItemIso, u"ISO"},
    {ImageEntry::kItemExifVersion, u"ExifVer"},
    {ImageEntry::kItemExposureBias, u"ExposureBias"},
    {ImageEntry::kItemMeteringMode, u"PhotometryMode"},
    {ImageEntry::kItemFlash, u"Flash"},
    {ImageEntry::kItemFocalLength, u"FocalLength"},
    // The histogram item has no text; its slot keeps the 35 mm focal length.
    {ImageEntry::kItemHistogram, u"FL35mm"},
    {ImageEntry::kItemExposureMode, u"ExposureMode"},
    {ImageEntry::kItemWhiteBalance, u"WhiteBalance"},
}};

std::u16string ascii(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::u16string number(std::int64_t value)
{
    return ascii(std::to_string(value));
}

std::u16string sizeText(std::u16string_view width, std::u16string_view height)
{
    std::u16string text(width);
    text += u'*';
    text += height;
    return text;
}

// The ImageSize text, or nothing when the field keeps what it holds.
std::optional<std::u16string> imageSizeText(const ImageEntry& entry, std::u16string_view text)
{
    if (entry.kind() == imagelist::kKindVideo)
        return sizeText(number(entry.pictureWidth()), number(entry.pictureHeight()));
    const auto width = getValue(text, u"Width");
    const auto height = getValue(text, u"Height");
    std::optional<std::u16string> width2;
    std::optional<std::u16string> height2;
    if (entry.kind() != imagelist::kKindX3f) {
        width2 = getValue(text, u"Width2");
        height2 = getValue(text, u"Height2");
    }
    const bool hasSecond = width2 && height2;
    if (width && height) {
        // The larger pair wins: a RAW file's IFD0 may describe a small
        // image while the Exif block gives the picture's size.
        if (hasSecond && !(leadingInteger(*width) > leadingInteger(*width2)
                           && leadingInteger(*height) > leadingInteger(*height2)))
            return sizeText(*width2, *height2);
        return sizeText(*width, *height);
    }
    if (hasSecond)
        return sizeText(*width2, *height2);
    return std::nullopt;
}

// "2024:01:02 10:11:12" shows as "2024/01/02 10:11:12"; other forms stay.
std::u16string slashedDate(std::u16string_view value)
{
    std::u16string text(value);
    if (text.size() > 7 && text[4] == u':' && text[7] == u':')
        text.replace(4, 1, u"/").replace(7, 1, u"/");
    return text;
}

} // namespace

std::u16string dateTimeText(const io::LocalTimeFields& time)
{
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", time.year,
                                     time.month, time.day, time.hour, time.minute, time.second);
    return ascii(std::string_view(text, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::u16string fileTimeText(std::uint64_t fileTime)
{
    if (fileTime != 0) {
        if (const auto fields = io::localTimeFields(fileTime))
            return dateTimeText(*fields);
    }
    return u"0000/00/00 00:00:00";
}

void fillShootingData(ImageEntry& entry, std::u16string_view metadataText, const LensTables& lenses)
{
    const std::u16string maker = getValueTrimmed(metadataText, u"Maker").value_or(std::u16string{});
    const std::u16string model = getValueTrimmed(metadataText, u"Model").value_or(std::u16string{});

    entry.setItemText(ImageEntry::kItemFormat, ascii(imagelist::formatName(entry.kind())));
    entry.setItemText(ImageEntry::kItemFileSize, number(entry.fileSize() / 1024) + u"KB");
    entry.setItemText(ImageEntry::kItemUpdateTime, fileTimeText(entry.lastWriteTime()));
    if (const auto size = imageSizeText(entry, metadataText))
        entry.setItemText(ImageEntry::kItemImageSize, *size);
    entry.setItemText(ImageEntry::kItemMaker, maker);
    entry.setItemText(ImageEntry::kItemModel, model);
    entry.setItemText(ImageEntry::kItemOrientation,
                      entry.orientation() != 0 ? number(entry.orientation()) : std::u16string{});
    if (const auto date = getValue(metadataText, u"DateTime"))
        entry.setItemText(ImageEntry::kItemDateTime, slashedDate(*date));
    for (const auto& plain : kPlainItems)
        entry.setItemText(plain.item, getValue(metadataText, plain.key).value_or(std::u16string{}));
    const auto lens = lensText(entry.kind(), metadataText, maker, lenses,
                               entry.itemText(ImageEntry::kItemLens));
    entry.setItemText(ImageEntry::kItemLens, lens.value_or(std::u16string{}));
}

std::u16string focalLengthText(const ImageEntry& entry, bool show35mm, const CameraTable& cameras)
{
    const std::u16string field = entry.itemText(ImageEntry::kItemFocalLength);
    if (!show35mm)
        return field;
    if (const std::int64_t fl35 = leadingInteger(entry.itemText(ImageEntry::kItemHistogram)); fl35 != 0)
        return number(fl35) + u"mm";

    float factor = 0.0f;
    if (entry.cameraIndex() < cameras.rowCount())
        factor = cameras.record(entry.cameraIndex()).cropFactor;
    if (factor == 0.0f) {
        const std::uint32_t id = cameras.findCamera(entry.itemText(ImageEntry::kItemModel),
                                                    entry.itemText(ImageEntry::kItemMaker));
        if (const CameraRecord* record = cameras.recordOfCamera(id))
            factor = record->cropFactor;
    }
    const std::int64_t focal = leadingInteger(field);
    if (factor == 0.0f)
        return focal != 0 ? number(focal) + u"mm *" : field;
    // Single precision, as the factor is stored; a damaged factor (not a
    // number, infinite, huge) leaves the field as it stands.
    const float scaled = std::trunc(static_cast<float>(focal) * factor);
    if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15f || scaled == 0.0f)
        return field;
    return number(static_cast<std::int64_t>(scaled)) + u"mm";
}

std::u16string shootingFieldText(const ImageEntry& entry, int item, bool show35mm, const CameraTable& cameras)
{
    if (item == ImageEntry::kItemFocalLength)
        return focalLengthText(entry, show35mm, cameras);
    return entry.itemText(item);
}

} // namespace qlx::metadata
