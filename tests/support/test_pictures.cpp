#include "support/test_pictures.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
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

// A little-endian TIFF block with IFD0 holding Make, Model and Orientation.
class ExifBuilder {
public:
    std::vector<std::uint8_t> build(const TestJpeg& picture)
    {
        struct Tag {
            std::uint16_t id;
            std::uint16_t type;
            std::string text;
            std::uint16_t value;
        };
        std::vector<Tag> tags;
        if (!picture.make.empty())
            tags.push_back({0x010F, 2, picture.make, 0});
        if (!picture.model.empty())
            tags.push_back({0x0110, 2, picture.model, 0});
        if (picture.orientation != 0)
            tags.push_back({0x0112, 3, {}, static_cast<std::uint16_t>(picture.orientation)});

        std::vector<std::uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
        const std::size_t ifdSize = 2 + tags.size() * 12 + 4;
        std::size_t dataOffset = 8 + ifdSize;
        std::vector<std::uint8_t> data;
        put16(tiff, static_cast<std::uint16_t>(tags.size()));
        for (const Tag& tag : tags) {
            put16(tiff, tag.id);
            put16(tiff, tag.type);
            if (tag.type == 2) {
                const auto count = static_cast<std::uint32_t>(tag.text.size() + 1);
                put32(tiff, count);
                if (count <= 4) {
                    std::vector<std::uint8_t> inline4(4, 0);
                    std::copy(tag.text.begin(), tag.text.end(), inline4.begin());
                    tiff.insert(tiff.end(), inline4.begin(), inline4.end());
                } else {
                    put32(tiff, static_cast<std::uint32_t>(dataOffset + data.size()));
                    data.insert(data.end(), tag.text.begin(), tag.text.end());
                    data.push_back(0);
                }
            } else {
                put32(tiff, 1);
                put16(tiff, tag.value);
                put16(tiff, 0);
            }
        }
        put32(tiff, 0);
        tiff.insert(tiff.end(), data.begin(), data.end());
        return tiff;
    }

private:
    static void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
    {
        out.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    static void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
    {
        put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
        put16(out, static_cast<std::uint16_t>(value >> 16));
    }
};

} // namespace

std::vector<std::byte> makeTestJpeg(const TestJpeg& picture)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(testPattern(picture.width, picture.height)))
        throw std::runtime_error("the JPEG writer is not available");
    const QByteArray& encoded = buffer.data();
    const auto* first = reinterpret_cast<const std::byte*>(encoded.constData());
    std::vector<std::byte> jpeg(first, first + encoded.size());
    if (picture.make.empty() && picture.model.empty() && picture.orientation == 0)
        return jpeg;

    std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
    const auto tiff = ExifBuilder().build(picture);
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    const std::size_t length = app1.size() + 2;
    std::vector<std::byte> segment = {std::byte{0xFF}, std::byte{0xE1}, static_cast<std::byte>(length >> 8),
                                      static_cast<std::byte>(length & 0xFF)};
    for (const std::uint8_t byte : app1)
        segment.push_back(static_cast<std::byte>(byte));
    // Straight after SOI, as cameras write it (Qt writes a JFIF APP0 there;
    // readers accept either order).
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
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
