#include "thumbs/thumbnail_maker.h"

#include "imagelist/file_kind.h"
#include "thumbs/area_stretch.h"
#include "thumbs/picture_decoder.h"
#include "containers/preview_choice.h"

#include <algorithm>
#include <string>

namespace qlx::thumbs {

namespace {

using imagelist::ImageEntry;

enum Margin : std::size_t { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };

// Reads exactly `length` bytes at `offset`.
std::optional<std::vector<std::byte>> readExactly(io::FileSource& file, std::uint64_t offset, std::uint64_t length)
{
    if (length == 0 || length > kMaxWholeFileBytes)
        return std::nullopt;
    std::vector<std::byte> bytes;
    if (!file.readAt(offset, static_cast<std::size_t>(length), bytes) || bytes.size() != length)
        return std::nullopt;
    return bytes;
}

std::optional<std::vector<std::byte>> readWholeFile(io::FileSource& file)
{
    return readExactly(file, 0, file.size());
}

// Where a full-size position falls in a picture decoded at another size,
// rounded to the nearest pixel.
int scaledPosition(std::int64_t position, int full, int decoded)
{
    return static_cast<int>((position * decoded + full / 2) / full);
}

// The crop rectangle in the decoded picture's pixels: at least one pixel
// each way, never outside it.
QRect scaledRectangle(const QRect& crop, QSize full, QSize decoded)
{
    if (full == decoded)
        return crop;
    int left = scaledPosition(crop.left(), full.width(), decoded.width());
    int top = scaledPosition(crop.top(), full.height(), decoded.height());
    int right = scaledPosition(static_cast<std::int64_t>(crop.left()) + crop.width(), full.width(), decoded.width());
    int bottom = scaledPosition(static_cast<std::int64_t>(crop.top()) + crop.height(), full.height(), decoded.height());
    left = std::min(left, decoded.width() - 1);
    top = std::min(top, decoded.height() - 1);
    right = std::clamp(right, left + 1, decoded.width());
    bottom = std::clamp(bottom, top + 1, decoded.height());
    return {left, top, right - left, bottom - top};
}

PictureStatus developPicture(const EngineRoute& engine)
{
    if (engine.access == nullptr)
        return PictureStatus::NeedsEngine;
    const raw::Development development =
        raw::develop(engine.access->path, {engine.mode, engine.access->cancel, engine.access->reserve});
    if (development.cancelled())
        return PictureStatus::Cancelled;
    if (!development.ok())
        return PictureStatus::DevelopFailed;
    return engine.make(development) ? PictureStatus::Made : PictureStatus::Failed;
}

} // namespace

PicturePlan planPicture(const ImageEntry& entry, const metadata::CameraRecord& record, std::uint64_t offset,
                        std::uint64_t size)
{
    if (size == 0 && record.developable)
        return {engineDevelops(entry, record) ? PictureSource::Engine : PictureSource::Placeholder, 0, 0};
    if (entry.kind() == imagelist::kKindVideo)
        return {PictureSource::VideoFrame, 0, 0};
    return {PictureSource::FileBytes, offset, size};
}

bool developsAfterUnusableBytes(const ImageEntry& entry, const metadata::CameraRecord& record, const PicturePlan& plan)
{
    return plan.source == PictureSource::FileBytes && entry.kind() != imagelist::kKindMef
           && engineDevelops(entry, record);
}

std::optional<std::vector<std::byte>> readPictureBytes(io::FileSource& file, const PicturePlan& plan,
                                                         std::uint32_t kind)
{
    if (plan.source != PictureSource::FileBytes)
        return std::nullopt;
    std::optional<std::vector<std::byte>> bytes;
    if (plan.size == 0) {
        bytes = readWholeFile(file);
    } else if (plan.offset == 0 && plan.size == containers::kLeadingThumbnailBytes) {
        std::vector<std::byte> leading;
        if (!file.readAt(0, containers::kLeadingThumbnailBytes, leading) || leading.empty())
            return std::nullopt;
        if (looksLikeJpeg(leading) && file.size() > leading.size())
            bytes = readWholeFile(file);
        else
            bytes = std::move(leading);
    } else {
        bytes = readExactly(file, plan.offset, plan.size);
    }
    if (bytes && kind == imagelist::kKindMrw && bytes->size() >= 2) {
        (*bytes)[0] = std::byte{0xFF};
        (*bytes)[1] = std::byte{0xD8};
    }
    return bytes;
}

PictureStatus makeFromPlan(io::FileSource& file, const PicturePlan& plan, const ImageEntry& entry,
                           const metadata::CameraRecord& record, std::span<const std::byte> placeholder,
                           const PictureMaker& make, const EngineRoute& engine)
{
    switch (plan.source) {
    case PictureSource::Engine:
        return developPicture(engine);
    case PictureSource::VideoFrame:
        return PictureStatus::NeedsVideoFrame;
    case PictureSource::Placeholder:
        return make(placeholder) ? PictureStatus::Made : PictureStatus::Failed;
    case PictureSource::FileBytes:
        break;
    }
    // A file that cannot be read is no case for the engine, which would
    // fail to read it as well.
    const auto bytes = readPictureBytes(file, plan, entry.kind());
    if (!bytes)
        return PictureStatus::Failed;
    if (make(*bytes))
        return PictureStatus::Made;
    return developsAfterUnusableBytes(entry, record, plan) ? developPicture(engine) : PictureStatus::Failed;
}

std::optional<QRect> cropRectangle(QSize picture, const std::array<std::int32_t, 4>& margins)
{
    const std::int64_t width = picture.width();
    const std::int64_t height = picture.height();
    const std::int64_t left = std::clamp<std::int64_t>(margins[kLeft], 0, width);
    const std::int64_t top = std::clamp<std::int64_t>(margins[kTop], 0, height);
    const std::int64_t right = std::clamp<std::int64_t>(width - margins[kRight], 0, width);
    const std::int64_t bottom = std::clamp<std::int64_t>(height - margins[kBottom], 0, height);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                 static_cast<int>(bottom - top));
}

Thumbnail makeThumbnailFromBytes(std::span<const std::byte> bytes, const std::array<std::int32_t, 4>& margins,
                                 imagelist::MemoryReserve* reserve)
{
    // The margins decide how much of the picture is used, and so how far the
    // decoder may scale it down.
    const auto cut = [](std::int32_t a, std::int32_t b) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{a} + b, 0, kMaxJpegSide));
    };
    JpegRequest request;
    request.cover = QSize(cache::kThumbnailWidth, cache::kThumbnailHeight);
    request.cutAway = QSize(cut(margins[kLeft], margins[kRight]), cut(margins[kTop], margins[kBottom]));
    request.pixels = JpegPixels::Rgb32;
    request.fastUpsampling = true;
    const DecodedPicture decoded = decodePicture(bytes, request, reserve);
    if (!decoded.ok())
        return {};
    return makeThumbnailFromPicture(decoded.image, decoded.fullSize, margins);
}

Thumbnail makeThumbnailFromPicture(const QImage& decoded, QSize fullSize, const std::array<std::int32_t, 4>& margins)
{
    Thumbnail thumbnail;
    const auto crop = cropRectangle(fullSize, margins);
    if (!crop)
        return thumbnail;
    QImage picture(cache::kThumbnailWidth, cache::kThumbnailHeight, QImage::Format_RGB32);
    if (picture.isNull() || !stretchArea(decoded, scaledRectangle(*crop, fullSize, decoded.size()), picture))
        return thumbnail;
    thumbnail.picture = std::move(picture);
    thumbnail.decodedSize = fullSize;
    thumbnail.pictureSize = crop->size();
    return thumbnail;
}

ThumbnailResult makeThumbnail(io::FileSource& file, const ImageEntry& entry, const metadata::CameraRecord& record,
                              std::span<const std::byte> placeholder, const EngineAccess* engine)
{
    ThumbnailResult result;
    const PicturePlan plan = planPicture(entry, record, entry.thumbOffset(), entry.thumbSize());
    const auto fromBytes = [&](std::span<const std::byte> bytes) {
        result.thumbnail = makeThumbnailFromBytes(bytes, record.thumbCrop, engine ? engine->reserve : nullptr);
        return result.thumbnail.ok();
    };
    // The development is the whole picture at its own size: the margins
    // are cut from it as they are from a decoded embedded picture.
    const auto fromDevelopment = [&](const raw::Development& development) {
        const QImage& developed = development.picture;
        result.thumbnail = makeThumbnailFromPicture(developed, developed.size(), record.thumbCrop);
        result.developed = result.thumbnail.ok();
        return result.developed;
    };
    result.status = makeFromPlan(file, plan, entry, record, placeholder, fromBytes,
                                 {engine, raw::DevelopMode::ListThumbnail, fromDevelopment});
    return result;
}

std::uint8_t orientationQuarterTurns(std::uint8_t orientation, bool followExifOrientation)
{
    if (!followExifOrientation)
        return 0;
    switch (orientation) {
    case 3:
        return 2;
    case 6:
        return 1;
    case 8:
        return 3;
    default:
        return 0;
    }
}

std::u16string imageSizeText(int width, int height)
{
    const std::string text = std::to_string(width) + '*' + std::to_string(height);
    return std::u16string(text.begin(), text.end());
}

int rotationTotal(const ImageEntry& entry)
{
    return (entry.userRotation() + entry.orientationRotation()) % 4;
}

void recordThumbnail(ImageEntry& entry, const Thumbnail& thumbnail, bool followExifOrientation)
{
    if (!thumbnail.ok())
        return;
    if (entry.kind() != imagelist::kKindVideo)
        entry.setPictureSize(thumbnail.pictureSize.width(), thumbnail.pictureSize.height());
    if ((entry.kind() & kPlainPictureKinds) != 0 && entry.thumbOffset() == entry.previewOffset()
        && entry.itemText(ImageEntry::kItemImageSize).empty()) {
        entry.setItemText(ImageEntry::kItemImageSize,
                          imageSizeText(thumbnail.decodedSize.width(), thumbnail.decodedSize.height()));
    }
    entry.setOrientationRotation(orientationQuarterTurns(entry.orientation(), followExifOrientation));
}

} // namespace qlx::thumbs
