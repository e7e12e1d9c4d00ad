#include "thumbs/picture_decoder.h"

#include "thumbs/colour_management.h"
#include "thumbs/picture_memory.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <limits>

namespace qlx::thumbs {

namespace {

constexpr std::array kOtherFormats{"png", "bmp", "gif", "tif", "tiff"};

bool withinLimits(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxJpegSide && size.height() <= kMaxJpegSide
           && static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) <= kMaxJpegPixels;
}

QImage flattened(QImage image, JpegPixels pixels)
{
    if (image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
        // Premultiplied colours are the colours over black; make them opaque.
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] |= 0xFF00'0000u;
        }
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    image.convertTo(pixels == JpegPixels::Rgb32 ? QImage::Format_RGB32 : QImage::Format_RGB888);
    return image;
}

DecodedPicture decodeOther(std::span<const std::byte> bytes, JpegPixels pixels, imagelist::MemoryReserve* reserve)
{
    DecodedPicture result;
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max()))
        return result;
    // A view of the caller's bytes: nothing is copied and nothing past them
    // can be read.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly))
        return result;
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    // Only the formats the list shows besides JPEG. JPEG bytes that our
    // decoder refused are not handed to another decoder, and formats the
    // list never shows (SVG, ICO) are not read at all.
    const QByteArray format = reader.format();
    if (!std::ranges::any_of(kOtherFormats, [&format](const char* name) { return format == name; }))
        return result;
    const QSize size = reader.size();
    if (!withinLimits(size))
        return result;
    // The reader allocates the picture itself: ask for its 32-bit size
    // first. (A failed read is the file's fault, not memory's.)
    if (!reserveAffords(reserve, pictureBytes(size, 4)))
        return result;
    QImage image;
    if (!reader.read(&image) || image.isNull() || !withinLimits(image.size()))
        return result;
    convertToSrgb(image, image.colorSpace());
    result.image = flattened(std::move(image), pixels);
    if (result.image.isNull())
        return result;
    result.fullSize = result.image.size();
    return result;
}

} // namespace

DecodedPicture decodePicture(std::span<const std::byte> bytes, const JpegRequest& request,
                             imagelist::MemoryReserve* reserve)
{
    if (looksLikeJpeg(bytes)) {
        DecodedJpeg jpeg = decodeJpeg(bytes, request, reserve);
        return {std::move(jpeg.image), jpeg.fullSize, jpeg.denominator};
    }
    return decodeOther(bytes, request.pixels, reserve);
}

} // namespace qlx::thumbs
