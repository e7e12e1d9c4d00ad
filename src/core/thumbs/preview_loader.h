#pragma once
// Loading an entry's preview (image level 1) for the view: the same steps
// as the thumbnail with the preview's range (`previewOffset`/`previewSize`),
// the RAW engine in the browsing quality's mode instead of thumbnail mode,
// and the preview crop margins, which are used only when they add up to
// something. The crop keeps the picture's pixels as they are (a copy of the
// rectangle); the picture stays in the file's own orientation (a
// development's is the sensor's, which is the same), rotation being the
// view's.
//
// Thread model: the preview decoder calls this on its own thread with its
// own FileSource, holding no lock; everything here works on the values it
// is handed.

#include "imagelist/image_entry.h"
#include "io/file_source.h"
#include "metadata/camera_table.h"
#include "thumbs/picture_decoder.h"
#include "thumbs/thumbnail_maker.h"

#include <QImage>
#include <QSize>

#include <cstddef>
#include <span>

namespace qlx::thumbs {

struct Preview {
    QImage picture;     // Format_RGB32; null when none
    QSize decodedSize;  // the picture's own size
    QSize pictureSize;  // the size after the preview crop
    // What the view zooms by: the picture's size at full resolution after
    // the crop. pictureSize for decoded bytes, however small the decode;
    // twice it for a half-size development of colour-filter data.
    QSize fullSize;
    bool ok() const { return !picture.isNull(); }
};

// Decodes `bytes` (at full size, or the smallest JPEG scale that still
// covers `cover` when it is not empty) and cuts the preview margins (top,
// bottom, left, right) off when their sum is not zero. The decoded picture
// is allocated through `reserve` when it is given.
Preview makePreviewFromBytes(std::span<const std::byte> bytes, const std::array<std::int32_t, 4>& margins,
                             QSize cover = {}, imagelist::MemoryReserve* reserve = nullptr,
                             const raw::CancelFlag* cancel = nullptr);

// Cuts the preview margins off a decoded picture (at 1 / its denominator of
// its full size) when their sum is not zero.
Preview makePreviewFromPicture(DecodedPicture decoded, const std::array<std::int32_t, 4>& margins);

struct PreviewResult {
    PictureStatus status = PictureStatus::Failed;
    Preview preview;
    bool developed = false; // the RAW engine's picture (the entry's flag 0x80)
};

// Load preview: plan, read and decode, or develop in `mode` through `engine`
// when it is given. `placeholder` is the placeholder picture's encoded
// bytes. The decoded picture is asked of the engine access's memory
// reserve, when there is one. A development is used at the size it came out (a linear DNG comes
// back whole even in the half-size modes); `cover` is for decoding only.
PreviewResult loadPreview(io::FileSource& file, const imagelist::ImageEntry& entry,
                          const metadata::CameraRecord& record, std::span<const std::byte> placeholder,
                          QSize cover, const EngineAccess* engine, raw::DevelopMode mode);

// Develops the entry's file for the view (image level 2) in `mode`, whatever
// embedded picture it has; the preview margins are cut as from a
// development in loadPreview. Made, Cancelled or DevelopFailed.
PreviewResult developForView(const metadata::CameraRecord& record, const EngineAccess& engine, raw::DevelopMode mode);

} // namespace qlx::thumbs
