#pragma once
// Choosing an entry's previews: after the metadata pass, the entry's camera
// record decides which preview slot of its metadata text becomes the list
// thumbnail (`thumbOffset`/`thumbSize`) and which the view's preview
// (`previewOffset`/`previewSize`); the same step sets the camera, the
// orientation, where the orientation value lies in the file and in which
// byte order, and marks the entry's metadata as read.
//
// Also the rules for records taken from the thumbnail cache, which decide
// whether a cached thumbnail must be rebuilt.

#include "imagelist/image_entry.h"
#include "metadata/camera_table.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qlx::containers {

// The first 256 KiB of the file, decoded as the thumbnail when no slot gives
// one (for TIFF-structured files their first, small image).
inline constexpr std::uint32_t kLeadingThumbnailBytes = 262'144;

// A slot's two values as the text holds them ("cgNofs", "cgNsize"); nothing
// for the offset when its line is absent or empty. A size line that is
// absent reads 0.
struct SlotValues {
    std::optional<std::uint32_t> offset;
    std::uint32_t size = 0;
};
SlotValues slotValues(std::u16string_view text, std::uint32_t slot);

// The camera a file's kind and text give: kUnknownCameraId for a file
// without a model whose kind needs one, the fixed record of its kind, or the
// camera table's answer for Maker and Model.
std::uint32_t chooseCamera(std::uint32_t kind, std::u16string_view text, const metadata::CameraTable& cameras);

// Sets the entry's camera index (the camera identifier), its four preview
// fields, orientation, orientation byte order and offset, and the
// metadata-read flag, from `entryText` (the entry's UTF-16 metadata text,
// empty after a failed pass). `mamiyaByDevelopment` is the setting that
// makes Mamiya MEF thumbnails by development.
void choosePreviews(imagelist::ImageEntry& entry, std::u16string_view entryText,
                    const metadata::CameraTable& cameras, bool mamiyaByDevelopment);

// The Photoshop thumbnail (slot 6): when "cg6ofs" and "cg6size" are both
// there, sets `thumbOffset`/`thumbSize` from them and answers true.
bool takePhotoshopThumbnail(imagelist::ImageEntry& entry, std::u16string_view entryText);

// The rules for a record taken from the cache, before it is shown: an MEF
// record's leading-bytes thumbnail and its "develop" thumbnail (size 0) swap
// when the Mamiya setting says otherwise, and a video thumbnail grabbed at
// another time than the current setting's is redone. In those cases the
// thumbnail is marked invalid and the cache index becomes -1; the answer is
// whether the cache changed.
bool applyCachedRecordRules(imagelist::ImageEntry& entry, bool mamiyaByDevelopment,
                            bool videoGrabbedAtOtherTime);

} // namespace qlx::containers
