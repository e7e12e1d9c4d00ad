#include "support/test_pictures.h"

#include "support/container_bytes.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace qlx::test {
namespace {

QImage testPattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1), 64));
    for (int y = 0; y < height / 8; ++y)
        for (int x = 0; x < width / 8; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    return image;
}

// APP1 "Exif" with a little-endian IFD0 of Make, Model and Orientation.
std::string exifSegment(const TestJpeg& picture)
{
    std::vector<TiffEntry> entries;
    if (!picture.make.empty())
        entries.push_back(ascii(0x010F, picture.make));
    if (!picture.model.empty())
        entries.push_back(ascii(0x0110, picture.model));
    if (picture.orientation != 0)
        entries.push_back(shorts(0x0112, {static_cast<std::uint32_t>(picture.orientation)}));
    TiffBuilder tiff(io::ByteOrder::Little);
    tiff.setIfd0(tiff.directory(entries));
    const std::string app1 = std::string("Exif\0\0", 6) + tiff.bytes();
    return "\xFF\xE1" + be(app1.size() + 2, 2) + app1;
}

} // namespace

std::vector<std::byte> makeTestJpeg(const TestJpeg& picture)
{
    auto jpeg = encodePicture(testPattern(picture.width, picture.height), "jpeg", 90, false);
    // Straight after SOI, as cameras write it.
    if (!picture.make.empty() || !picture.model.empty() || picture.orientation != 0) {
        const std::string segment = exifSegment(picture);
        const auto bytes = bytesOf(segment);
        jpeg.insert(jpeg.begin() + 2, bytes.begin(), bytes.end());
    }
    return jpeg;
}

void writeTestJpeg(const std::filesystem::path& path, const TestJpeg& picture)
{
    const auto bytes = makeTestJpeg(picture);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::byte> encodePicture(const QImage& image, const char* format, int quality, bool progressive)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        throw std::runtime_error(std::string("no writer for ") + format);
    const auto* first = reinterpret_cast<const std::byte*>(buffer.data().constData());
    return {first, first + buffer.data().size()};
}

} // namespace qlx::test
