#pragma once
// Making an entry's list thumbnail (image level 0) when the cache has none:
// where its picture comes from, reading those bytes, decoding them scaled,
// cutting the camera record's crop margins off and stretching the rest over
// the fixed 88 × 60 picture; then the facts that leave their mark on the
// entry (its picture size, the ImageSize text of plain picture files, the
// orientation counter).
//
// The thumbnail is stretched, not fitted: the aspect ratio lives in the
// entry's picture size and is restored when the icon is drawn (list_icon.h).
// It stays in the file's own orientation, as the cache stores it; the
// rotation total is applied when it is drawn.
//
// A file without a usable embedded picture is developed by the RAW engine
// (engine_picture.h) when the caller hands it the engine's access; the
// picture it gives, in the sensor's orientation like an embedded one, then
// goes through the same crop and stretch as a decoded JPEG.
//
// Thread model: the list-information worker calls this on its own thread
// with its own FileSource, holding no lock; every function here works on
// the values it is handed.

#include "imagelist/image_entry.h"
#include "io/file_source.h"
#include "metadata/camera_table.h"
#include "cache/thumbnail_block.h"
#include "raw/raw_engine.h"
#include "thumbs/engine_picture.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qlx::thumbs {

// Kinds whose decoded size becomes their ImageSize text when they have no
// other: BMP, JPG, PNG, GIF, TIFF and PSD.
inline constexpr std::uint32_t kPlainPictureKinds = 0x0020'001F;
// The most bytes read when a whole file is the thumbnail's source. The
// largest camera JPEGs are some 60 MiB; a whole-file source of more is a
// file we will not hold in memory for an 88 × 60 picture.
inline constexpr std::uint64_t kMaxWholeFileBytes = 256ull * 1024 * 1024;

// ---- Where the picture comes from -----------------------------------------
// (The preview loader plans, reads and follows its plan with these same
// functions; preview_loader.h.)

enum class PictureSource {
    FileBytes,   // a range of the file, or the whole file
    Engine,      // the RAW engine (thumbnail mode for thumbnails)
    Placeholder, // the program's placeholder picture
    VideoFrame,  // a frame of the video at the configured second
};

struct PicturePlan {
    PictureSource source = PictureSource::FileBytes;
    std::uint64_t offset = 0;
    std::uint64_t size = 0; // 0: the whole file
};

// The source of an entry's picture, given the range of the file that holds
// it (`thumbOffset`/`thumbSize` for the thumbnail, `previewOffset`/
// `previewSize` for the preview). `record` is the entry's camera record (a
// default record when the table lacks it). Without a range a developable
// camera's file goes to the RAW engine when engineDevelops allows it, else
// gets the placeholder; a video gives a frame; anything else is read from
// the range, or whole when the range is empty.
PicturePlan planPicture(const imagelist::ImageEntry& entry, const metadata::CameraRecord& record,
                        std::uint64_t offset, std::uint64_t size);

// Whether the engine develops the file after the bytes of `plan` gave no
// picture: an embedded picture that does not decode is no picture at all.
// The leading-bytes range in particular is only a guess at the first small
// image of a TIFF-structured file, and DNG files from converters and phones
// keep their raw data there. Not for MEF files: theirs are developed only
// while the user asks for it, and then they have no range (planPicture).
bool developsAfterUnusableBytes(const imagelist::ImageEntry& entry, const metadata::CameraRecord& record,
                                const PicturePlan& plan);

// The bytes a FileBytes plan names. A range must be read whole (a short read
// fails), except the leading-bytes range (offset 0, 256 KiB: the first small
// image of TIFF-structured files), which takes what a shorter file holds;
// when that range is the start of a JPEG file, the whole file is the
// picture and is read instead, for the first 256 KiB of a JPEG are only the
// top of a picture. A whole file is read when it holds at most
// kMaxWholeFileBytes. The bytes of an MRW file (`kind`) get the
// start-of-image marker the embedded Minolta JPEG lacks. Nothing when the
// read fails.
std::optional<std::vector<std::byte>> readPictureBytes(io::FileSource& file, const PicturePlan& plan,
                                                       std::uint32_t kind);

enum class PictureStatus {
    Made,
    NeedsEngine,     // the RAW engine must develop it and was not handed here
    NeedsVideoFrame, // the video frame grabber must give it (not made here)
    Failed,          // unreadable or undecodable: the caller clears the entry's presence
    DevelopFailed,   // the RAW engine could not develop it: a failure, and the
                     // one the program's RAW failure message tells of
    Cancelled,       // its development was stopped: no picture, no failure;
                     // it is tried again next time
};

// Makes a picture of the bytes it is handed; true when one was made.
using PictureMaker = std::function<bool(std::span<const std::byte>)>;
// Makes a picture of a development (its picture Format_RGB888, the sensor's
// orientation, at its real size, whatever the mode); true when one was made.
using DevelopedPictureMaker = std::function<bool(const raw::Development&)>;

// The engine's part in following a plan.
struct EngineRoute {
    const EngineAccess* access = nullptr; // null: not developed here (NeedsEngine)
    raw::DevelopMode mode = raw::DevelopMode::Quick;
    DevelopedPictureMaker make;
};

// Follows a plan for the thumbnail and the preview alike: the placeholder's
// bytes, or the bytes the plan names in `file` (readPictureBytes), go to
// `make`; the engine's plan, and bytes that were read but gave no picture
// (developsAfterUnusableBytes), are developed through `engine`; video frames
// are the frame grabber's (NeedsVideoFrame). Failed when the read fails or
// nothing is made of what was read or developed.
PictureStatus makeFromPlan(io::FileSource& file, const PicturePlan& plan, const imagelist::ImageEntry& entry,
                           const metadata::CameraRecord& record, std::span<const std::byte> placeholder,
                           const PictureMaker& make, const EngineRoute& engine);

// ---- Making the picture -----------------------------------------------------

// The part of a picture of full size `picture` that the crop margins (top,
// bottom, left, right, as the camera record keeps them) leave: x = left,
// y = top, width − left − right by height − top − bottom. Margins that reach
// past the picture are cut back to its edges; nothing when no pixel is left.
std::optional<QRect> cropRectangle(QSize picture, const std::array<std::int32_t, 4>& margins);

struct Thumbnail {
    QImage picture;     // 88 × 60, Format_RGB32, file's own orientation; null when none
    QSize decodedSize;  // the decoded picture's own size
    QSize pictureSize;  // the size after the crop: the entry's picture size
    bool ok() const { return !picture.isNull(); }
};

// Cuts the margins (in full-size pixels) off a picture decoded at
// `decoded.size()` of a full size `fullSize` and stretches the rest over
// 88 × 60. A null picture when the margins leave nothing.
Thumbnail makeThumbnailFromPicture(const QImage& decoded, QSize fullSize, const std::array<std::int32_t, 4>& margins);

// Decodes `bytes` (JPEG scaled so that the cropped part still covers
// 88 × 60; other formats whole), then makeThumbnailFromPicture. A null
// picture when the bytes do not decode, the margins leave nothing or
// `reserve` (when given) refuses the decoded picture.
Thumbnail makeThumbnailFromBytes(std::span<const std::byte> bytes, const std::array<std::int32_t, 4>& margins,
                                 imagelist::MemoryReserve* reserve = nullptr);

struct ThumbnailResult {
    PictureStatus status = PictureStatus::Failed;
    Thumbnail thumbnail;
    bool developed = false; // the RAW engine's picture
};

// Make thumbnail for an entry without a cached block: plan, read, decode
// (or develop in ListThumbnail mode through `engine`, when it is given),
// crop and stretch; the decoded picture is asked of the engine access's
// memory reserve, when there is one. `placeholder` holds the placeholder picture's encoded
// bytes (a PNG); an entry planned for it fails when they are empty.
ThumbnailResult makeThumbnail(io::FileSource& file, const imagelist::ImageEntry& entry,
                              const metadata::CameraRecord& record, std::span<const std::byte> placeholder,
                              const EngineAccess* engine);

// ---- Facts left in the entry --------------------------------------------------

// The orientation counter of an Exif orientation value: 3 is two quarter
// turns clockwise, 6 one and 8 three; anything else, or the follow-Exif
// setting off, none.
std::uint8_t orientationQuarterTurns(std::uint8_t orientation, bool followExifOrientation);

// The ImageSize text of a picture of `width` × `height`: "%d*%d".
std::u16string imageSizeText(int width, int height);

// The entry's rotation total (user counter + orientation counter) in
// quarter turns clockwise, 0..3.
int rotationTotal(const imagelist::ImageEntry& entry);

// After a thumbnail was made: the cropped size becomes the entry's picture
// size (not for videos); a plain picture file (kPlainPictureKinds) whose
// thumbnail is its preview and whose ImageSize text is empty gets
// "width*height" of the decoded size; the orientation counter is set from
// the entry's orientation.
void recordThumbnail(imagelist::ImageEntry& entry, const Thumbnail& thumbnail, bool followExifOrientation);

} // namespace qlx::thumbs
