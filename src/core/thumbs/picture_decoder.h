#pragma once
// Decoding the bytes of a thumbnail or preview, whatever they hold: JPEG
// through the DCT-scaling decoder (jpeg_decoder.h), every other format that
// the list shows (PNG, BMP, GIF, and TIFF where Qt has a plug-in for it)
// through QImageReader, within the same size limits.
//
// Thread model: self-contained calls; any thread.

#include "thumbs/jpeg_decoder.h"

#include <QImage>
#include <QSize>

#include <cstddef>
#include <span>

namespace qlx::thumbs {

struct DecodedPicture {
    QImage image;         // Format_RGB32 or Format_RGB888 as asked; null on failure
    QSize fullSize;       // the picture's own size
    int denominator = 1;  // decoded at 1 / denominator (JPEG only)
    bool ok() const { return !image.isNull(); }
};

// JPEG bytes (starting FF D8 FF) go to decodeJpeg with `request`; other
// bytes are read at full size. A picture with transparency is flattened as a
// 24-bit picture shows it: its colours over black. A picture the reserve
// refuses is a failure.
DecodedPicture decodePicture(std::span<const std::byte> bytes, const JpegRequest& request,
                             imagelist::MemoryReserve* reserve = nullptr);

} // namespace qlx::thumbs
