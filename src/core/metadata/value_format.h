#pragma once
// Turning TIFF values into the texts of the metadata text: the generic value
// formatter (one element of any numeric type) and the formatters that the
// rows of the Exif tag tables name ("ExposureTime", "FNumber", ...).
//
// A formatter gets the entry's key, type and count (capped at two), a reader
// over the value bytes and the pass-wide values it may need, and returns the
// value text with its own newline, in code page 932. Formatters never read
// outside the reader they are given: bytes that are not there read as 0.

#include "io/byte_reader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qlx::metadata {

// TIFF field types 0..13 and their element sizes; 14 and above have none.
enum TiffType : std::uint16_t {
    kTypeNone = 0,
    kTypeByte = 1,
    kTypeAscii = 2,
    kTypeShort = 3,
    kTypeLong = 4,
    kTypeRational = 5,
    kTypeSByte = 6,
    kTypeUndefined = 7,
    kTypeSShort = 8,
    kTypeSLong = 9,
    kTypeSRational = 10,
    kTypeFloat = 11,
    kTypeDouble = 12,
    kTypeIfd = 13,
};
// Bytes per element; 0 for type 0 and for types 14 and above.
std::uint32_t typeSize(std::uint32_t type);

// How a rational is written: mode 0 keeps fractions ("1/250", "10/3"),
// mode 1 writes decimals ("2.8").
enum class RationalMode : std::uint8_t { Fraction = 0, Decimal = 1 };

// The values of one pass that formatters read. The Canon firmware rule is the
// one formatter that also writes here (it sets the maker shift).
struct PassValues {
    io::ByteOrder byteOrder = io::ByteOrder::Little;
    std::uint64_t tiffBase = 0;            // offsets of the TIFF structure count from here
    std::uint64_t thumbnailShift = 0;      // containers that embed a whole JPEG
    std::uint64_t makerShift = 0;          // added to out-of-line offsets while non-zero
    std::uint64_t nikonPreviewBase = 0;    // base in force when the Nikon preview IFD was entered
    std::uint64_t minoltaHeaderOffset = 0; // the MRW file's TIFF header
};

struct FormatInput {
    std::string_view key;
    std::uint16_t type = 0;
    std::uint32_t count = 0;         // the entry's count, capped at 2
    io::ByteReader value;            // from the value's first byte to the end of its window
    std::uint64_t valueFileOffset = 0; // absolute file offset of the value's first byte
    PassValues* pass = nullptr;      // never null while a walk runs
};

using Formatter = std::string (*)(FormatInput& input);

// One element of a value at `offset` inside `value`, in the reader's byte
// order. ASCII, types 0, 13 and 14 and above give an empty text.
std::string formatElement(io::ByteReader& value, std::uint64_t offset, std::uint16_t type,
                          RationalMode mode);

// printf into a std::string; for the short texts of formatters.
std::string printfText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// An unsigned 64-bit number in decimal followed by a newline: the offsets
// that formatters make absolute.
std::string decimalLine(std::uint64_t value);

// Formatters of this program's Exif tables.
std::string formatExposureTime(FormatInput& input); // "1/250", "1/2.5", "2.0"
std::string formatFNumber(FormatInput& input);      // "F2.8"
std::string formatBias(FormatInput& input);         // "±0", "+1.3", "-0.7", "+1"
std::string formatFlash(FormatInput& input);        // "On" / "Off" from bit 0
std::string formatFocalLength(FormatInput& input);  // "18mm"
std::string formatVersion(FormatInput& input);      // first two version bytes: "02"
// The orientation value, then the "FlipI"/"FlipM" line with the value's file
// offset, so that lossless rotation can rewrite the two bytes in place.
std::string formatOrientation(FormatInput& input);
// The Exif thumbnail offset made absolute: value + thumbnail shift + TIFF base.
std::string formatThumbnailOffset(FormatInput& input);
// The Nikon preview offset made absolute: value + Nikon preview base.
std::string formatNikonOffset(FormatInput& input);

} // namespace qlx::metadata
