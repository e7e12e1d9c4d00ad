#include "thumbs/preview_loader.h"

#include "thumbs/picture_decoder.h"
#include "thumbs/video_frame_grabber.h"

#include <algorithm>
#include <numeric>

namespace qlx::thumbs {

namespace {

// A development as a preview: its margins cut at its own size, and its
// full size counted from the development's.
Preview previewOfDevelopment(const raw::Development& development, const std::array<std::int32_t, 4>& margins)
{
    const QImage& developed = development.picture;
    DecodedPicture picture{developed.convertToFormat(QImage::Format_RGB32), developed.size(), 1};
    Preview preview = makePreviewFromPicture(std::move(picture), margins);
    if (!preview.ok())
        return preview;
    // A half-size development stands for a picture twice its size; the
    // factor is the development's own, never assumed.
    const QSize full = development.fullSize.isEmpty() ? developed.size() : development.fullSize;
    const int factor = std::max(1, (full.width() + developed.width() / 2) / std::max(1, developed.width()));
    preview.fullSize = preview.pictureSize * factor;
    return preview;
}

} // namespace

Preview makePreviewFromBytes(std::span<const std::byte> bytes, const std::array<std::int32_t, 4>& margins,
                             QSize cover, imagelist::MemoryReserve* reserve, const raw::CancelFlag* cancel)
{
    const std::int64_t sum = std::accumulate(margins.begin(), margins.end(), std::int64_t{0});
    JpegRequest request;
    request.cover = cover;
    if (sum != 0) {
        const auto cut = [](std::int32_t a, std::int32_t b) {
            return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{a} + b, 0, kMaxJpegSide));
        };
        request.cutAway = QSize(cut(margins[2], margins[3]), cut(margins[0], margins[1]));
    }
    request.pixels = JpegPixels::Rgb32;
    request.cancel = cancel;
    return makePreviewFromPicture(decodePicture(bytes, request, reserve), margins);
}

Preview makePreviewFromPicture(DecodedPicture decoded, const std::array<std::int32_t, 4>& margins)
{
    Preview preview;
    const std::int64_t sum = std::accumulate(margins.begin(), margins.end(), std::int64_t{0});
    if (!decoded.ok())
        return preview;
    if (sum == 0) {
        preview.pictureSize = decoded.fullSize;
        preview.picture = std::move(decoded.image);
    } else {
        const auto crop = cropRectangle(decoded.fullSize, margins);
        if (!crop)
            return preview;
        // Margins are full-size pixels; a scaled decode cuts them scaled.
        const int d = decoded.denominator;
        const QRect scaled = QRect(crop->left() / d, crop->top() / d, crop->width() / d, crop->height() / d)
                                 .intersected(decoded.image.rect());
        if (scaled.isEmpty())
            return preview;
        preview.pictureSize = crop->size();
        preview.picture = decoded.image.copy(scaled);
    }
    preview.decodedSize = decoded.fullSize;
    return preview;
}

namespace {

// The view's picture of a clip before it plays: the thumbnail's frame,
// whole.
PreviewResult videoStill(const imagelist::ImageEntry& entry, const std::filesystem::path& path)
{
    constexpr std::int32_t kDefaultSecond = 1;
    PreviewResult result;
    const auto grabbed = grabVideoFrame(path, entry.videoGrabbedAt().value_or(kDefaultSecond));
    if (!grabbed || grabbed->picture.isNull())
        return result;
    result.preview.picture = grabbed->picture.convertToFormat(QImage::Format_RGB32);
    result.preview.decodedSize = result.preview.picture.size();
    result.preview.pictureSize = result.preview.picture.size();
    result.preview.fullSize = result.preview.picture.size();
    result.status = result.preview.ok() ? PictureStatus::Made : PictureStatus::Failed;
    return result;
}

} // namespace

PreviewResult loadPreview(io::FileSource& file, const imagelist::ImageEntry& entry,
                          const metadata::CameraRecord& record, std::span<const std::byte> placeholder, QSize cover,
                          const EngineAccess* engine, raw::DevelopMode mode)
{
    PreviewResult result;
    const PicturePlan plan = planPicture(entry, record, entry.previewOffset(), entry.previewSize());
    if (plan.source == PictureSource::VideoFrame && engine)
        return videoStill(entry, engine->path);
    const auto fromBytes = [&](std::span<const std::byte> bytes) {
        result.preview = makePreviewFromBytes(bytes, record.previewCrop, cover, engine ? engine->reserve : nullptr,
                                              engine ? engine->cancel : nullptr);
        result.preview.fullSize = result.preview.pictureSize;
        return result.preview.ok();
    };
    const auto fromDevelopment = [&](const raw::Development& development) {
        result.preview = previewOfDevelopment(development, record.previewCrop);
        result.developed = result.preview.ok();
        return result.developed;
    };
    result.status = makeFromPlan(file, plan, entry, record, placeholder, fromBytes, {engine, mode, fromDevelopment});
    return result;
}

PreviewResult developForView(const metadata::CameraRecord& record, const EngineAccess& engine, raw::DevelopMode mode)
{
    PreviewResult result;
    const raw::Development development = raw::develop(engine.path, {mode, engine.cancel, engine.reserve});
    if (development.cancelled()) {
        result.status = PictureStatus::Cancelled;
        return result;
    }
    if (!development.ok()) {
        result.status = PictureStatus::DevelopFailed;
        return result;
    }
    result.preview = previewOfDevelopment(development, record.previewCrop);
    result.developed = result.preview.ok();
    result.status = result.developed ? PictureStatus::Made : PictureStatus::Failed;
    return result;
}

} // namespace qlx::thumbs
