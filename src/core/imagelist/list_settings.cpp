#include "imagelist/list_settings.h"

#include "shell/settings_layout.h"
#include "shell/settings_record.h"

namespace qlx::imagelist {

VideoExtensions videoExtensionsOf(const settings::SettingsRecord& record)
{
    return parseVideoList(record.text(settings::kVideoExtensions));
}

FolderReadOptions folderReadOptionsOf(const settings::SettingsRecord& record, const VideoExtensions& videos)
{
    FolderReadOptions options;
    options.targetMask = record.get(settings::kTargetFormatMask);
    options.videos = &videos;
    options.checkCachedFilesExist = record.get(settings::kCheckCachedFilesExist) == 1;
    options.mamiyaByDevelopment = record.get(settings::kMamiyaThumbnailByDevelopment) != 0;
    options.videoThumbnailSeconds = record.get(settings::kVideoThumbnailSeconds);
    options.videoVolumeSetting = record.get(settings::kNewVideoVolume);
    options.startEnlargedVideo = record.get(settings::kNewVideoEnlarged) == 1;
    return options;
}

bool folderWatchEnabled(const settings::SettingsRecord& record)
{
    return record.get(settings::kWatchFolder) != 0;
}

} // namespace qlx::imagelist
