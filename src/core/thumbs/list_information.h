#pragma once
// What the list-information worker does for one entry: read its metadata
// when the cache did not have it (the pass, the preview choice, the
// shooting-data record) and make its thumbnail block when the cache did
// not have one (the 88 × 60 picture and the 32 × 16 histogram picture).
//
// The functions work on the entry they are handed and the tables, which
// are read-only; the list-information worker calls them on its own thread
// and holds no lock meanwhile.

#include "imagelist/image_list.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "thumbs/thumbnail_maker.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::thumbs {

struct ListInformationSettings {
    bool mamiyaByDevelopment = false;
    bool followExifOrientation = true;
    std::uint32_t histogramBackground = 0x8000'0000u; // ARGB
    std::int32_t videoThumbnailSeconds = 1;           // where a clip's frame is taken
    // The placeholder picture's encoded bytes (may be empty).
    std::span<const std::byte> placeholder;
};

// The settings of a record (the placeholder is left empty).
ListInformationSettings listInformationSettingsOf(const settings::SettingsRecord& record);

struct ListInformationTables {
    const metadata::CameraTable& cameras;
    const metadata::LensTables& lenses;
};

// Reads the entry's metadata unless it was read (flag 0x2): the pass over
// its file, the previews, the camera and the shooting-data record. True
// when it read; the flag is set either way, so a file that cannot be read
// is not tried again on every pass.
bool readEntryMetadata(imagelist::ListItem& item, const ListInformationTables& tables,
                       const ListInformationSettings& settings);

// Makes the entry's thumbnail block unless it has one and it is valid.
// Made means the block is in item.madeThumbnail. A file without a usable
// embedded picture is developed by the RAW engine here, on the caller's
// thread, stopped by `cancel` (Cancelled) and told of short memory through
// `reserve` (either may be null); a video's frame is left to the grabber.
PictureStatus makeEntryThumbnail(imagelist::ListItem& item, const ListInformationTables& tables,
                                 const ListInformationSettings& settings, const raw::CancelFlag* cancel,
                                 imagelist::MemoryReserve* reserve);

} // namespace qlx::thumbs
