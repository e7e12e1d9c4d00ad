#include "actions/thumbnail_save.h"

namespace qlx::actions {

std::filesystem::path thumbnailTargetPath(const std::filesystem::path& folder, const std::filesystem::path& source)
{
    return folder / source.filename().replace_extension(".jpg");
}

ThumbnailSaveResult saveThumbnail(const ThumbnailSource&, const std::filesystem::path& folder, const ReplaceAnswer&)
{
    return {ThumbnailSaveOutcome::WriteFailed, folder, 0};
}

} // namespace qlx::actions
