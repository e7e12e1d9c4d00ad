#include "containers/preview_choice.h"

#include "imagelist/file_kind.h"
#include "metadata/metadata_text.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace qlx::containers {

namespace {

using imagelist::ImageEntry;

// Kinds whose files are given a camera record even without a "Model" value.
constexpr std::uint32_t kKindsWithoutModel = imagelist::kKindCrw | imagelist::kKindRaw | imagelist::kKindMef
    | imagelist::kKindX3f | imagelist::kKindPsd | imagelist::kKindVideo | imagelist::kKindDcr;
static_assert(kKindsWithoutModel == 0x81390020);

// Fixed records whose files keep an empty preview when the preview slot has
// nothing: the view decodes the whole file or develops it instead.
constexpr std::array<std::uint32_t, 7> kWholeFileRecords{
    metadata::kCameraIdJpg, metadata::kCameraIdTiff, metadata::kCameraIdCrw, metadata::kCameraIdDng,
    metadata::kCameraIdPanasonicRaw, metadata::kCameraIdMef, metadata::kCameraIdX3f,
};

constexpr std::uint8_t kMaxOrientation = 8;

// A number as the text holds it: leading blanks, a sign and digits, read up
// to the first other character; 0 when there are no digits. Kept in the
// 32-bit range the lines were written from.
std::int32_t leadingNumber(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        negative = text[at++] == u'-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at)
        value = std::min(value * 10 + (text[at] - u'0'), kLimit);
    value = negative ? -value : std::min(value, kLimit - 1);
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> numberOf(std::u16string_view text, std::u16string_view key)
{
    const auto value = metadata::getValue(text, key);
    if (!value)
        return std::nullopt;
    return leadingNumber(*value);
}

std::u16string slotKey(std::uint32_t slot, std::u16string_view which)
{
    std::u16string key = u"cg";
    for (const char c : std::to_string(slot))
        key.push_back(static_cast<char16_t>(c));
    key += which;
    return key;
}

void setThumb(ImageEntry& entry, std::uint32_t offset, std::uint32_t size)
{
    entry.setThumbOffset(offset);
    entry.setThumbSize(size);
}

void setPreview(ImageEntry& entry, std::uint32_t offset, std::uint32_t size)
{
    entry.setPreviewOffset(offset);
    entry.setPreviewSize(size);
}

void chooseThumbnail(ImageEntry& entry, std::u16string_view text, const metadata::CameraRecord& record,
                     bool mamiyaByDevelopment)
{
    if (takePhotoshopThumbnail(entry, text))
        return;
    const bool slotAllowed = entry.kind() != imagelist::kKindMef || mamiyaByDevelopment;
    if (record.thumbSlot != 0 && slotAllowed) {
        SlotValues slot = slotValues(text, record.thumbSlot);
        if (!slot.offset)
            slot = slotValues(text, record.previewSlot);
        setThumb(entry, slot.offset.value_or(0), slot.size);
        return;
    }
    setThumb(entry, 0, kLeadingThumbnailBytes);
}

void choosePreview(ImageEntry& entry, std::u16string_view text, const metadata::CameraRecord& record)
{
    const SlotValues slot = slotValues(text, record.previewSlot);
    if (slot.offset) {
        std::uint32_t size = slot.size;
        // This model's slot records a third of its preview's length.
        if (metadata::getValueTrimmed(text, u"Model") == u"X-T3")
            size *= 3;
        setPreview(entry, *slot.offset, size);
    } else if (std::ranges::find(kWholeFileRecords, record.id) != kWholeFileRecords.end()) {
        setPreview(entry, 0, 0);
    } else {
        setPreview(entry, entry.thumbOffset(), entry.thumbSize());
    }
}

void chooseOrientation(ImageEntry& entry, std::u16string_view text)
{
    const std::int32_t direction = numberOf(text, u"Direction").value_or(0);
    entry.setOrientation(static_cast<std::uint8_t>(std::clamp<std::int32_t>(direction, 0, kMaxOrientation)));
    const metadata::FlipInfo flip = metadata::getFlip(text);
    entry.setOrientationByteOrder(static_cast<ImageEntry::OrientationByteOrder>(flip.byteOrder));
    entry.setOrientationOffset(static_cast<std::uint32_t>(flip.offset & 0xFFFF'FFFFu));
}

} // namespace

SlotValues slotValues(std::u16string_view text, std::uint32_t slot)
{
    SlotValues values;
    if (const auto offset = numberOf(text, slotKey(slot, u"ofs")))
        values.offset = static_cast<std::uint32_t>(*offset);
    values.size = static_cast<std::uint32_t>(numberOf(text, slotKey(slot, u"size")).value_or(0));
    return values;
}

std::uint32_t chooseCamera(std::uint32_t kind, std::u16string_view text, const metadata::CameraTable& cameras)
{
    const auto model = metadata::getValueTrimmed(text, u"Model");
    if (!model && (kind & kKindsWithoutModel) == 0)
        return metadata::kUnknownCameraId;
    // An X3F file that names its model is looked up like the other RAW kinds.
    const bool lookedUp = kind == imagelist::kKindX3f && model;
    if (!lookedUp) {
        if (const auto fixed = metadata::fixedCameraId(kind))
            return *fixed;
    }
    if (!model)
        return metadata::kUnknownCameraId;
    const auto maker = metadata::getValueTrimmed(text, u"Maker");
    return cameras.findCamera(*model, maker.value_or(std::u16string{}));
}

void choosePreviews(ImageEntry& entry, std::u16string_view entryText, const metadata::CameraTable& cameras,
                    bool mamiyaByDevelopment)
{
    const std::uint32_t camera = chooseCamera(entry.kind(), entryText, cameras);
    // The entry keeps the camera's row in the table, as the cache stores it.
    entry.setCameraIndex(cameras.entryRowOf(camera));
    const metadata::CameraRecord* record =
        camera == metadata::kUnknownCameraId ? nullptr : cameras.recordOfCamera(camera);
    if (record == nullptr) {
        // The unknown camera (or a table without the record): the Photoshop
        // thumbnail is the only one trusted and no other preview is chosen.
        setThumb(entry, 0, 0);
        setPreview(entry, 0, 0);
        takePhotoshopThumbnail(entry, entryText);
    } else {
        chooseThumbnail(entry, entryText, *record, mamiyaByDevelopment);
        choosePreview(entry, entryText, *record);
    }
    // The orientation is a fact of the file, whatever the camera: exported
    // and edited pictures often keep it without a camera model.
    chooseOrientation(entry, entryText);
    entry.setFlag(ImageEntry::kFlagMetadataRead, true);
}

bool takePhotoshopThumbnail(ImageEntry& entry, std::u16string_view entryText)
{
    const auto offset = numberOf(entryText, u"cg6ofs");
    const auto size = numberOf(entryText, u"cg6size");
    if (!offset || !size)
        return false;
    setThumb(entry, static_cast<std::uint32_t>(*offset), static_cast<std::uint32_t>(*size));
    return true;
}

bool applyCachedRecordRules(ImageEntry& entry, bool mamiyaByDevelopment, bool videoGrabbedAtOtherTime)
{
    bool changed = false;
    if (entry.kind() == imagelist::kKindMef) {
        if (mamiyaByDevelopment && entry.thumbSize() == kLeadingThumbnailBytes) {
            entry.setThumbSize(0);
            changed = true;
        } else if (!mamiyaByDevelopment && entry.thumbSize() == 0) {
            entry.setThumbSize(kLeadingThumbnailBytes);
            changed = true;
        }
    } else if (entry.kind() == imagelist::kKindVideo && videoGrabbedAtOtherTime) {
        changed = true;
    }
    if (changed) {
        entry.setFlag(ImageEntry::kFlagThumbInvalid, true);
        entry.setCacheIndex(-1);
    }
    return changed;
}

} // namespace qlx::containers
