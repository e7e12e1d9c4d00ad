#include "thumbs/video_thumbnail.h"

#include "cache/cache_layout.h"
#include "thumbs/video_frame_grabber.h"
#include "viewer/video_slots.h"

#include <string>

namespace qlx::thumbs {

using imagelist::ImageEntry;

std::u16string clipLengthText(std::int32_t seconds)
{
    // The same text the control bar's labels show.
    const std::string text = viewer::timeLabel(seconds);
    return std::u16string(text.begin(), text.end());
}

ThumbnailResult makeVideoThumbnail(ImageEntry& entry, const std::filesystem::path& file, std::int32_t wantedSecond)
{
    ThumbnailResult result;
    // Decoded larger than the block, so the area scaling has pixels to average.
    const QSize box(static_cast<int>(cache::kThumbnailWidth) * 4, static_cast<int>(cache::kThumbnailHeight) * 4);
    const auto grabbed = grabVideoFrame(file, wantedSecond, box);
    if (grabbed) {
        entry.setVideoLength(grabbed->facts.lengthSeconds);
        entry.setPictureSize(grabbed->facts.width, grabbed->facts.height);
        entry.setItemText(ImageEntry::kItemImageSize, imageSizeText(grabbed->facts.width, grabbed->facts.height));
        entry.setVideoGrabbedAt(grabbed->grabbedAt);
        // The list's Status column holds nothing else: a clip shows its
        // length there.
        entry.setItemText(ImageEntry::kItemStatus, clipLengthText(grabbed->facts.lengthSeconds));
    } else {
        // Not a clip that opens: tried at the set second all the same, so a
        // later read of the folder does not take its cached record for one
        // grabbed at another time (and write the cache again for it).
        entry.setVideoGrabbedAt(imagelist::videoGrabSecond(wantedSecond, entry.videoLength()));
    }
    const bool framed = grabbed && !grabbed->picture.isNull();
    entry.setFlag(ImageEntry::kFlagUnrenderable, !framed);
    if (!framed)
        return result;
    result.thumbnail = makeThumbnailFromPicture(grabbed->picture, grabbed->picture.size(), {0, 0, 0, 0});
    result.status = result.thumbnail.ok() ? PictureStatus::Made : PictureStatus::Failed;
    return result;
}

} // namespace qlx::thumbs
