#include "imagelist/image_entry.h"

#include <algorithm>

namespace qlx::imagelist {

namespace {

using Entry = ImageEntry;

// The text fields in record order; each starts where the one before ends.
constexpr auto kTextsInRecordOrder = std::to_array<io::Utf16Field>({
    Entry::kStatus, Entry::kFormat, Entry::kFileSizeText, Entry::kUpdateTime,
    Entry::kImageSize, Entry::kMaker, Entry::kModel, Entry::kOrientationText,
    Entry::kDateTime, Entry::kShutterSpeed, Entry::kFNumber, Entry::kExposureProgram,
    Entry::kIso, Entry::kExposureBias, Entry::kMeteringMode, Entry::kLens,
    Entry::kFl35mm, Entry::kFocalLength, Entry::kExposureMode, Entry::kWhiteBalance,
    Entry::kFlash, Entry::kExifVersion, Entry::kMediaNumber,
});

// Text field by item number; item 0 (the file name) has none.
constexpr std::array<io::Utf16Field, Entry::kItemCount> kTextByItem{{
    {0, 0}, Entry::kFl35mm, Entry::kStatus, Entry::kFormat, Entry::kFileSizeText,
    Entry::kUpdateTime, Entry::kImageSize, Entry::kMaker, Entry::kModel,
    Entry::kOrientationText, Entry::kDateTime, Entry::kShutterSpeed, Entry::kFNumber,
    Entry::kExposureProgram, Entry::kIso, Entry::kExposureBias, Entry::kMeteringMode,
    Entry::kLens, Entry::kFocalLength, Entry::kExposureMode, Entry::kWhiteBalance,
    Entry::kFlash, Entry::kExifVersion, Entry::kMediaNumber,
}};

constexpr bool textsAreContiguous()
{
    for (std::size_t i = 1; i < kTextsInRecordOrder.size(); ++i) {
        const auto& before = kTextsInRecordOrder[i - 1];
        if (kTextsInRecordOrder[i].offset != before.offset + before.size())
            return false;
    }
    return true;
}

struct Extent {
    std::size_t offset;
    std::size_t size;
};

// Every named field in ascending order; none may overlap the next.
constexpr auto kFieldExtents = std::to_array<Extent>({
    {Entry::kCacheIndex.offset, Entry::kCacheIndex.size},
    {Entry::kPictureWidth.offset, Entry::kPictureWidth.size},
    {Entry::kPictureHeight.offset, Entry::kPictureHeight.size},
    {Entry::kPath.offset, Entry::kPath.size()},
    {Entry::kNamePointer.offset, Entry::kNamePointer.size},
    {Entry::kCameraIndex.offset, Entry::kCameraIndex.size},
    {Entry::kOrientation.offset, Entry::kOrientation.size},
    {Entry::kOrientationByteOrder.offset, Entry::kOrientationByteOrder.size},
    {Entry::kOrientationOffset.offset, Entry::kOrientationOffset.size},
    {Entry::kKind.offset, Entry::kKind.size},
    {Entry::kFileSize.offset, Entry::kFileSize.size},
    {Entry::kLastWriteLow.offset, Entry::kLastWriteLow.size},
    {Entry::kLastWriteHigh.offset, Entry::kLastWriteHigh.size},
    {Entry::kPreviewOffset.offset, Entry::kPreviewOffset.size},
    {Entry::kPreviewSize.offset, Entry::kPreviewSize.size},
    {Entry::kThumbOffset.offset, Entry::kThumbOffset.size},
    {Entry::kThumbSize.offset, Entry::kThumbSize.size},
    {Entry::kStatus.offset, Entry::kMediaNumber.offset + Entry::kMediaNumber.size() - Entry::kStatus.offset},
    {Entry::kFlags.offset, Entry::kFlags.size},
    {Entry::kCheckMark.offset, Entry::kCheckMark.size},
    {Entry::kPresence.offset, Entry::kPresence.size},
    {Entry::kUserRotation.offset, Entry::kUserRotation.size},
    {Entry::kOrientationRotation.offset, Entry::kOrientationRotation.size},
    {Entry::kViewDevelopRequest.offset, Entry::kViewDevelopRequest.size},
    {Entry::kHistoryCount.offset, Entry::kHistoryCount.size},
    {Entry::kHistoryPosition.offset, Entry::kHistoryPosition.size},
    {Entry::kHistoryPointer.offset, Entry::kHistoryPointer.size},
    {Entry::kImageBuffers.offset, Entry::kImageBuffers.size()},
    {Entry::kPictures.offset, Entry::kPictures.size()},
    {Entry::kVideoPosition.offset, Entry::kVideoPosition.size},
    {Entry::kVideoSlot.offset, Entry::kVideoSlot.size},
    {Entry::kVideoVolume.offset, Entry::kVideoVolume.size},
    {Entry::kVideoLength.offset, Entry::kVideoLength.size},
    {Entry::kStreams.offset, Entry::kStreams.size()},
    {Entry::kRecordSize, 0}, // the end of the record
});

constexpr bool fieldsDoNotOverlap()
{
    for (std::size_t i = 1; i < kFieldExtents.size(); ++i) {
        const auto& before = kFieldExtents[i - 1];
        if (before.offset + before.size > kFieldExtents[i].offset)
            return false;
    }
    return kFieldExtents.back().offset == Entry::kRecordSize;
}

constexpr bool everyItemHasText()
{
    for (std::size_t item = 1; item < kTextByItem.size(); ++item) {
        if (kTextByItem[item].units == 0)
            return false;
    }
    return kTextByItem.size() == Entry::kItemCount && kTextsInRecordOrder.size() == Entry::kItemCount - 1;
}

static_assert(textsAreContiguous());
static_assert(everyItemHasText());
static_assert(fieldsDoNotOverlap());
static_assert(Entry::kPath.offset + Entry::kPath.size() == Entry::kNamePointer.offset);
static_assert(Entry::kLastWriteHigh.offset == Entry::kLastWriteLow.offset + 4);
// The list texts from Status to Lens fill exactly 580..1279.
static_assert(Entry::kStatus.offset == 580);
static_assert(Entry::kLens.offset == 1024 && Entry::kLens.offset + Entry::kLens.size() == 1280);
static_assert(Entry::kLens.offset + Entry::kLens.size() - Entry::kStatus.offset == 700);
static_assert(Entry::kFl35mm.offset == 1280 && Entry::kFocalLength.offset == 1312);
static_assert(Entry::kMediaNumber.offset == 1424);
static_assert(Entry::kMediaNumber.offset + Entry::kMediaNumber.size() <= Entry::kFlags.offset);
static_assert(Entry::kStreams.offset == Entry::kPersistentSize);
static_assert(Entry::kStreams.offset + Entry::kStreams.size() == Entry::kRecordSize);
static_assert(Entry::kPersistentSize == 1612 && Entry::kRecordSize == 1624);
static_assert(sizeof(ImageEntry) == Entry::kRecordSize);

void zeroArea(std::span<std::byte> bytes, std::size_t offset, std::size_t size)
{
    io::fillBytes(bytes, offset, size, std::byte{0});
}

} // namespace

std::unique_ptr<ImageEntry> ImageEntry::createFresh(const FreshFacts& facts)
{
    auto entry = std::make_unique<ImageEntry>();
    if (!entry->fillFresh(facts))
        return nullptr;
    return entry;
}

bool ImageEntry::fillFresh(const FreshFacts& facts)
{
    if (facts.path.size() + 1 > kPathUnits)
        return false;
    m_bytes.fill(std::byte{0});
    setPath(facts.path);
    setCacheIndex(-1);
    setHistoryCount(0);
    setHistoryPosition(-1);
    setViewDevelopRequest(ViewDevelopRequest::None);
    setVideoSlot(-1);
    // The setting is 32-bit; its low byte is the signed volume.
    setVideoVolume(static_cast<std::int8_t>(static_cast<std::uint8_t>(facts.videoVolumeSetting & 0xFF)));
    setFlag(kFlagEnlargedVideo, facts.startEnlargedVideo);
    setPresence(1);
    setKind(facts.kind);
    setFileSize(facts.fileSize);
    setLastWriteTime(facts.lastWriteTime);
    // Status and Media# start empty, as every other text.
    return true;
}

std::unique_ptr<ImageEntry> ImageEntry::fromCacheRecord(std::span<const std::byte> record)
{
    if (record.size() < kPersistentSize)
        return nullptr;
    auto entry = std::make_unique<ImageEntry>();
    io::copyBytes(entry->m_bytes, 0, record, 0, kPersistentSize);
    // Whatever another build left in the pointer areas means nothing here.
    zeroArea(entry->m_bytes, kNamePointer.offset, kNamePointer.size);
    zeroArea(entry->m_bytes, kHistoryPointer.offset, kHistoryPointer.size);
    zeroArea(entry->m_bytes, kImageBuffers.offset, kImageBuffers.size());
    zeroArea(entry->m_bytes, kPictures.offset, kPictures.size());
    return entry;
}

std::span<const std::byte, ImageEntry::kPersistentSize> ImageEntry::persistentBytes() const
{
    return std::span<const std::byte, kPersistentSize>(m_bytes.data(), kPersistentSize);
}

void ImageEntry::setPictureSize(std::int32_t width, std::int32_t height)
{
    set(kPictureWidth, width);
    set(kPictureHeight, height);
}

void ImageEntry::copyBytesFrom(const ImageEntry& other, std::size_t offset, std::size_t size)
{
    if (offset >= kRecordSize)
        return;
    size = std::min(size, kRecordSize - offset);
    std::copy_n(other.m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), size,
                m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::u16string ImageEntry::name() const
{
    std::u16string full = path();
    const auto slash = full.rfind(u'/');
    return slash == std::u16string::npos ? full : full.substr(slash + 1);
}

bool ImageEntry::hasName(std::u16string_view fileName) const
{
    const auto unitAt = [this](std::size_t index) { return io::loadLe<char16_t>(m_bytes, kPath.offset + 2 * index); };
    std::size_t length = 0;
    while (length < kPathUnits && unitAt(length) != 0)
        ++length;
    if (fileName.empty() || fileName.size() > length || fileName.find(u'/') != std::u16string_view::npos)
        return false;
    const std::size_t start = length - fileName.size();
    if (start > 0 && unitAt(start - 1) != u'/')
        return false;
    for (std::size_t at = 0; at < fileName.size(); ++at)
        if (unitAt(start + at) != fileName[at])
            return false;
    // A path without "/" is all name; one with "/" before the name is too.
    if (start == 0)
        for (std::size_t at = 0; at < length; ++at)
            if (unitAt(at) == u'/')
                return false;
    return true;
}

ImageEntry::OrientationByteOrder ImageEntry::orientationByteOrder() const
{
    return static_cast<OrientationByteOrder>(get(kOrientationByteOrder));
}

void ImageEntry::setOrientationByteOrder(OrientationByteOrder order)
{
    set(kOrientationByteOrder, static_cast<std::uint8_t>(order));
}

std::uint64_t ImageEntry::lastWriteTime() const
{
    return (std::uint64_t{get(kLastWriteHigh)} << 32) | get(kLastWriteLow);
}

void ImageEntry::setLastWriteTime(std::uint64_t fileTime)
{
    set(kLastWriteLow, static_cast<std::uint32_t>(fileTime & 0xFFFF'FFFFu));
    set(kLastWriteHigh, static_cast<std::uint32_t>(fileTime >> 32));
}

std::optional<io::Utf16Field> ImageEntry::itemField(int item)
{
    if (item <= kItemFileName || item >= kItemCount)
        return std::nullopt;
    return kTextByItem[static_cast<std::size_t>(item)];
}

std::u16string ImageEntry::itemText(int item) const
{
    if (item == kItemFileName)
        return name();
    const auto field = itemField(item);
    return field ? io::loadUtf16(m_bytes, *field) : std::u16string{};
}

bool ImageEntry::setItemText(int item, std::u16string_view text)
{
    const auto field = itemField(item);
    if (!field)
        return false;
    io::storeUtf16Cut(m_bytes, *field, text);
    return true;
}

void ImageEntry::setFlag(std::uint16_t flag, bool on)
{
    const std::uint16_t word = flags();
    setFlags(static_cast<std::uint16_t>(on ? (word | flag) : (word & ~flag)));
}

ImageEntry::ViewDevelopRequest ImageEntry::viewDevelopRequest() const
{
    return static_cast<ViewDevelopRequest>(get(kViewDevelopRequest));
}

void ImageEntry::setViewDevelopRequest(ViewDevelopRequest request)
{
    set(kViewDevelopRequest, static_cast<std::uint8_t>(request));
}

} // namespace qlx::imagelist
