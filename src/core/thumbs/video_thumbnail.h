#pragma once
// The list's thumbnail of a video clip: a frame at the set second (see
// video_frame_grabber.h), with the facts read alongside written into the
// entry: the length (also as the Status column's text), the picture size and its ImageSize text "%d*%d", the
// second grabbed at (so that a changed setting grabs again), and the flag
// of a file that does not render when no frame decodes (the view then
// shows "NO CODEC" instead of trying).
//
// Thread model: any thread, on an entry that thread owns.

#include "imagelist/image_entry.h"
#include "thumbs/thumbnail_maker.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace qlx::thumbs {

// A clip's length as the list shows it: "%d:%02d:%02d" (hours, minutes,
// seconds).
std::u16string clipLengthText(std::int32_t seconds);

ThumbnailResult makeVideoThumbnail(imagelist::ImageEntry& entry, const std::filesystem::path& file,
                                   std::int32_t wantedSecond);

} // namespace qlx::thumbs
