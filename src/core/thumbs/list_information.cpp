#include "thumbs/list_information.h"

#include "imagelist/file_kind.h"
#include "io/file_source.h"
#include "library/collection_path.h"
#include "containers/metadata_pass.h"
#include "metadata/shooting_data.h"
#include "thumbs/histogram.h"
#include "containers/preview_choice.h"
#include "cache/thumbnail_block.h"
#include "shell/settings_layout.h"
#include "shell/settings_record.h"
#include "thumbs/video_thumbnail.h"

namespace qlx::thumbs {

using imagelist::ImageEntry;

ListInformationSettings listInformationSettingsOf(const settings::SettingsRecord& record)
{
    ListInformationSettings result;
    result.mamiyaByDevelopment = record.get(settings::kMamiyaThumbnailByDevelopment) != 0;
    result.followExifOrientation = record.get(settings::kFollowExifOrientation) != 0;
    result.histogramBackground = histogramBackgroundArgb(record.get(settings::kHistogramBackground));
    result.videoThumbnailSeconds = record.get(settings::kVideoThumbnailSeconds);
    return result;
}


bool readEntryMetadata(imagelist::ListItem& item, const ListInformationTables& tables,
                       const ListInformationSettings& settings)
{
    ImageEntry& entry = *item.entry;
    if (entry.hasFlag(ImageEntry::kFlagMetadataRead))
        return false;
    const std::u16string path = entry.path();
    std::u16string text;
    if (const auto file = library::toFilePath(path)) {
        io::PosixFileSource source(*file);
        if (source.isOpen()) {
            const containers::MetadataPassResult pass = containers::readMetadata(source, path);
            if (pass.ok)
                text = metadata::entryText(pass.text);
        }
    }
    containers::choosePreviews(entry, text, tables.cameras, settings.mamiyaByDevelopment);
    metadata::fillShootingData(entry, text, tables.lenses);
    entry.setFlag(ImageEntry::kFlagMetadataRead, true);
    return true;
}

PictureStatus makeEntryThumbnail(imagelist::ListItem& item, const ListInformationTables& tables,
                                 const ListInformationSettings& settings, const raw::CancelFlag* cancel,
                                 imagelist::MemoryReserve* reserve)
{
    ImageEntry& entry = *item.entry;
    if (!item.thumbnail().empty() && !entry.hasFlag(ImageEntry::kFlagThumbInvalid))
        return PictureStatus::Made;
    item.dropThumbnail();
    const metadata::CameraRecord* known = tables.cameras.recordAtRow(entry.cameraIndex());
    const metadata::CameraRecord record = known != nullptr ? *known : metadata::CameraRecord{};
    const auto file = library::toFilePath(entry.path());
    if (!file)
        return PictureStatus::Failed;
    io::PosixFileSource source(*file);
    const EngineAccess engine{*file, cancel, reserve};
    const ThumbnailResult result = entry.kind() == imagelist::kKindVideo
                                       ? makeVideoThumbnail(entry, *file, settings.videoThumbnailSeconds)
                                       : makeThumbnail(source, entry, record, settings.placeholder, &engine);
    if (result.status != PictureStatus::Made)
        return result.status;
    recordThumbnail(entry, result.thumbnail, settings.followExifOrientation);
    const QImage histogram = makeHistogramPicture(result.thumbnail.picture, settings.histogramBackground);
    item.madeThumbnail = cache::makeThumbnailBlock(result.thumbnail.picture, histogram);
    if (item.madeThumbnail.empty())
        return PictureStatus::Failed;
    entry.setFlag(ImageEntry::kFlagThumbInvalid, false);
    return PictureStatus::Made;
}

} // namespace qlx::thumbs
