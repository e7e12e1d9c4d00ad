#pragma once
// Colour management of decoded pictures: a picture that says which colour
// space its values are in (an ICC profile embedded in a JPEG, a PNG's or
// TIFF's profile as Qt's readers find it) is converted to sRGB, the space
// the list, the view and the thumbnail cache assume. A picture without one,
// or with an sRGB one, is left as it is at no cost; a profile Qt cannot
// read (a CMYK or grey profile, a damaged one) is ignored and the values
// are taken as they are.
//
// Thread model: pure functions; any thread.

#include <QByteArray>
#include <QColorSpace>
#include <QImage>

#include <cstddef>

namespace qlx::thumbs {

// The largest embedded profile we read. Display and camera profiles are a
// few KiB, printer profiles with large tables some hundreds; the JPEG
// container allows up to 255 markers of 64 KiB (16 MiB) for one.
inline constexpr std::size_t kMaxIccProfileBytes = 4 * 1024 * 1024;

// The colour space of an ICC profile; invalid when the profile is empty,
// larger than kMaxIccProfileBytes or not one Qt can use.
QColorSpace colourSpaceFromIcc(const QByteArray& profile);

// Converts `picture` from `space` to sRGB in place; nothing when `space` is
// invalid or already sRGB, or the picture is null.
void convertToSrgb(QImage& picture, const QColorSpace& space);

} // namespace qlx::thumbs
