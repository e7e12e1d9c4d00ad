#pragma once
// Loading an entry's preview (image level 1) for the view: the same steps
// as the thumbnail with the preview's range (`previewOffset`/`previewSize`),
// the RAW engine in quick mode instead of thumbnail mode, and the preview
// crop margins, which are used only when they add up to something. The
// crop keeps the picture's pixels as they are (a copy of the rectangle); the
// picture stays in the file's own orientation, rotation being the view's.
//
// Thread model: the prefetch worker calls this under "sema" with its own
// FileSource; everything here works on the values it is handed.

#include "imagelist/image_entry.h"
#include "io/file_source.h"
#include "metadata/camera_table.h"
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
    bool ok() const { return !picture.isNull(); }
};

// Decodes `bytes` (at full size, or the smallest JPEG scale that still
// covers `cover` when it is not empty) and cuts the preview margins (top,
// bottom, left, right) off when their sum is not zero.
Preview makePreviewFromBytes(std::span<const std::byte> bytes, const std::array<std::int32_t, 4>& margins,
                             QSize cover = {});

struct PreviewResult {
    PictureStatus status = PictureStatus::Failed;
    Preview preview;
};

// Load preview: plan, read and decode. `placeholder` is the placeholder
// picture's encoded bytes.
PreviewResult loadPreview(io::FileSource& file, const imagelist::ImageEntry& entry,
                          const metadata::CameraRecord& record, std::span<const std::byte> placeholder,
                          QSize cover = {});

} // namespace qlx::thumbs
