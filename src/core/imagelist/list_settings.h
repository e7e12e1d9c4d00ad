#pragma once
// The settings the image list reads at every folder load, taken from the
// settings record into plain values.

#include "imagelist/folder_reader.h"
#include "imagelist/video_extensions.h"

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::imagelist {

// The video extension list of the settings.
VideoExtensions videoExtensionsOf(const settings::SettingsRecord& record);

// `videos` must outlive the options (they point at it).
FolderReadOptions folderReadOptionsOf(const settings::SettingsRecord& record, const VideoExtensions& videos);

// The watch-folder setting.
bool folderWatchEnabled(const settings::SettingsRecord& record);

} // namespace qlx::imagelist
