#pragma once
// The shooting-data record of an image entry: its display texts (items 3 to
// 22 and the 35 mm focal-length slot) filled from the entry's metadata text
// and its own facts, and the text each item shows.
//
// The record is display text, not numbers; whoever needs a number parses it
// back from the text. Values longer than their field are cut to the field's
// capacity (ImageEntry::setItemText).

#include "imagelist/image_entry.h"
#include "io/file_time.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qlx::metadata {

// Fills the record from the entry's metadata text (its UTF-16 copy) and the
// entry's kind, file size, last-write time, orientation and, for videos,
// picture size. Runs once per entry after the metadata pass and the preview
// choice, which set the entry's camera and orientation; the caller fills
// only while the list is shown.
//
// Fields whose key is absent become empty, except ImageSize and DateTime,
// which keep what they held. For X3F files the second size pair ("Width2",
// "Height2") is not consulted, as if those keys were named "Width3" and
// "Height3": an X3F file's Exif block belongs to its embedded preview JPEG,
// whose second pair describes that preview and its thumbnail rather than the
// picture, so the size always comes from "Width"/"Height".
void fillShootingData(imagelist::ImageEntry& entry, std::u16string_view metadataText,
                      const LensTables& lenses);

// "%04d/%02d/%02d %02d:%02d:%02d" of calendar fields.
std::u16string dateTimeText(const io::LocalTimeFields& time);
// The local date text of a FILETIME; "0000/00/00 00:00:00" for 0 (no file
// time) and for instants the C library cannot convert.
std::u16string fileTimeText(std::uint64_t fileTime);

// The FocalLength text: the field itself, or with `show35mm` its 35 mm
// equivalent: the FL35mm value when it is a non-zero number, else the
// focal length times the crop factor of the entry's camera (the record at
// the entry's camera index, else the camera found by Model and Maker); a
// focal length that cannot be converted shows "mm *".
std::u16string focalLengthText(const imagelist::ImageEntry& entry, bool show35mm,
                               const CameraTable& cameras);

// The text an item shows: the field, the file name for item 0, and the
// FocalLength text above for item 18.
std::u16string shootingFieldText(const imagelist::ImageEntry& entry, int item, bool show35mm,
                                 const CameraTable& cameras);

} // namespace qlx::metadata
