#pragma once
// The Exif a developed picture carries: the entry's shooting-data texts
// turned back into tags, and those tags as a little-endian TIFF structure
// (IFD0 and an Exif IFD) for a JPEG's APP1 segment.
//
// The texts are the ones the list shows ("1/250", "F2.8", "+0.7", "35mm",
// "ﾌﾟﾛｸﾞﾗﾑAE", ...), so each tag is rebuilt by the rule of its text: a
// rational with a denominator of 10 for decimal texts, an index into the
// list's own value-name tables for the named ones. A tag whose text is empty
// (or does not read as its kind of number) is left out; the size, the
// orientation, the Exif version and the software are always written.
//
// Pure functions of their arguments: the fuzz target calls them with any
// texts.

#include "imagelist/image_entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qlx::raw {

// The shooting-data texts the Exif is made from, as the entry holds them.
struct ShootingTexts {
    std::u16string maker;
    std::u16string model;
    std::u16string updateTime; // the file's last-write time, "2024/05/06 12:34:56"
    std::u16string dateTime;   // the shooting time, same form
    std::u16string shutterSpeed;
    std::u16string fNumber;
    std::u16string exposureProgram;
    std::u16string iso;
    std::u16string exposureBias;
    std::u16string meteringMode;
    std::u16string flash;
    std::u16string focalLength;
};

ShootingTexts shootingTextsOf(const imagelist::ImageEntry& entry);

enum class ExifType : std::uint16_t { Ascii = 2, Short = 3, Long = 4, Rational = 5, Undefined = 7, SRational = 10 };
enum class ExifIfd : std::uint8_t { Ifd0, Exif };

struct ExifTag {
    ExifIfd ifd = ExifIfd::Ifd0;
    std::uint16_t tag = 0;
    ExifType type = ExifType::Short;
    // ASCII and UNDEFINED: the bytes (ASCII with its terminator); SHORT and
    // LONG: `numbers[0]`; RATIONAL and SRATIONAL: numerator and denominator
    // in `numbers[0..1]` (SRATIONAL as two's complement).
    std::string bytes;
    std::uint32_t numbers[2] = {0, 0};

    std::uint32_t count() const;
};

// The tags for a picture of `width` × `height` pixels, in the order the
// program lists them (not sorted by number: exifTiffBytes sorts each IFD).
std::vector<ExifTag> exifTags(const ShootingTexts& texts, std::uint32_t width, std::uint32_t height);

// "II", 42, IFD0 with the IFD0 tags and the Exif IFD link, then the Exif IFD;
// each directory's entries in ascending tag order, values that do not fit
// in four bytes after their directory.
std::vector<std::byte> exifTiffBytes(const std::vector<ExifTag>& tags);

// The Exif IFD alone, to stand at `fileOffset` (even) of a TIFF file whose
// IFD0 links to it: the developed TIFF's, added after libtiff's own IFD0.
std::vector<std::byte> exifIfdBytes(const std::vector<ExifTag>& tags, std::uint32_t fileOffset);

// The JPEG APP1 segment's payload: "Exif\0\0" and the TIFF structure.
std::vector<std::byte> exifApp1Payload(const std::vector<ExifTag>& tags);

// The software text every developed picture carries.
std::string softwareText();

} // namespace qlx::raw
