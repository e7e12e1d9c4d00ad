#pragma once
// A developed picture (8-bit RGB) as the bytes of a file: an uncompressed
// RGB TIFF through libtiff, or a JPEG of quality 100 through libjpeg, each
// with the Exif tags given (none when the list is empty). The caller puts
// the bytes under their name (developed_image_writer.h).

#include "raw/exif_builder.h"

#include <QImage>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qlx::raw {

struct EncodedImage {
    std::vector<std::byte> bytes;
    std::string error; // the library's words when encoding failed (bytes empty)
};

// `picture` is converted to Format_RGB888 when it is not.
EncodedImage encodeTiff(const QImage& picture, const std::vector<ExifTag>& exif);
EncodedImage encodeJpeg(const QImage& picture, const std::vector<ExifTag>& exif);

} // namespace qlx::raw
