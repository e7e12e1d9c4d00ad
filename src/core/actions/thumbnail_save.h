#pragma once
// Thumbnail save: the JPEG a camera embeds in its file (the entry's
// preview), written out beside the pictures as NAME.jpg.
//
// The source is never touched: a target that is the source itself (the
// camera's own JPEG when the destination is "." — IMG_0001.JPG and
// IMG_0001.jpg on a card that ignores case — or a link to it) is refused,
// and another file of that name is replaced only when the caller's answer
// says so. The bytes go to a temporary name in the target folder, are
// flushed and renamed into place, so no half-written file ever stands
// under the final name.
//
// Thread model: blocking POSIX calls on the caller's thread.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace qlx::actions {

struct ThumbnailSource {
    std::filesystem::path file;     // the picture the preview is read from
    std::uint64_t previewOffset = 0; // where the embedded JPEG starts
    std::uint32_t previewSize = 0;   // its length; 0 when the file has none
    // The Minolta MRW format leaves out the JPEG start marker: the first two
    // bytes written are FF D8.
    bool restoreStartMarker = false;
};

enum class ThumbnailSaveOutcome : std::uint8_t {
    Done,
    NoPreview,        // the file embeds no preview: nothing to do (skipped)
    SameAsSource,     // the target would be the source itself; nothing written
    ReplaceDeclined,  // another file has the name and the answer was no
    ReadFailed,       // the preview could not be read whole
    WriteFailed,      // the target could not be written; nothing left behind
};

struct ThumbnailSaveResult {
    ThumbnailSaveOutcome outcome = ThumbnailSaveOutcome::WriteFailed;
    std::filesystem::path target; // folder / file name with ".jpg"
    int error = 0;                // errno of the call that failed
    bool done() const { return outcome == ThumbnailSaveOutcome::Done; }
};

// Asked with the target's path when another file has its name: true
// replaces it.
using ReplaceAnswer = std::function<bool(const std::filesystem::path& existing)>;

// The target's path: `folder` / the source's name with everything from its
// last "." replaced by ".jpg" (".jpg" appended when it has none).
std::filesystem::path thumbnailTargetPath(const std::filesystem::path& folder, const std::filesystem::path& source);

// Writes the preview of `source` into `folder` (which must exist).
ThumbnailSaveResult saveThumbnail(const ThumbnailSource& source, const std::filesystem::path& folder,
                                  const ReplaceAnswer& replace);

} // namespace qlx::actions
