// The JPEG decoder: scale choice, real camera files, and bytes that are not
// a whole picture.

#include "thumbs/jpeg_decoder.h"
#include "thumbs/picture_decoder.h"

#include "support/test_paths.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

namespace qlx::thumbs {
namespace {

std::vector<std::byte> encode(const QImage& image, bool progressive = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image));
    const QByteArray& data = buffer.data();
    const auto* first = reinterpret_cast<const std::byte*>(data.constData());
    return {first, first + data.size()};
}

QImage solid(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

std::vector<std::byte> readSample(const std::filesystem::path& relative)
{
    std::ifstream in(test::samplesDir() / relative, std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

JpegRequest thumbnailRequest()
{
    JpegRequest request;
    request.cover = QSize(88, 60);
    request.fastUpsampling = true;
    return request;
}

TEST(JpegScale, SmallestScaleThatStillCoversTheTarget)
{
    EXPECT_EQ(chooseJpegScale({4000, 3000}, {88, 60}), 8);
    EXPECT_EQ(chooseJpegScale({704, 480}, {88, 60}), 8);  // 88 × 60 exactly
    EXPECT_EQ(chooseJpegScale({703, 480}, {88, 60}), 4);  // 87 wide at 1/8
    EXPECT_EQ(chooseJpegScale({600, 450}, {88, 60}), 4);  // 75 × 56 would not do
    EXPECT_EQ(chooseJpegScale({176, 120}, {88, 60}), 2);
    EXPECT_EQ(chooseJpegScale({160, 120}, {88, 60}), 1);  // an embedded thumbnail
    EXPECT_EQ(chooseJpegScale({50, 40}, {88, 60}), 1);    // smaller than the target
    EXPECT_EQ(chooseJpegScale({4000, 3000}, {}), 1);      // no target: full size
}

TEST(JpegDecoder, TwelveMegapixelsForAThumbnailDecodeAtOneEighth)
{
    const auto bytes = encode(solid(4000, 3000, QColor(200, 40, 10)));
    const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.denominator, 8);
    EXPECT_EQ(decoded.image.size(), QSize(500, 375));
    EXPECT_EQ(decoded.fullSize, QSize(4000, 3000));
    EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
    const QRgb centre = decoded.image.pixel(250, 187);
    EXPECT_EQ(qAlpha(centre), 255);
    EXPECT_NEAR(qRed(centre), 200, 3);
    EXPECT_NEAR(qGreen(centre), 40, 3);
    EXPECT_NEAR(qBlue(centre), 10, 3);

    // Margins to be cut away leave 700 columns: 87 at 1/8, so 1/4.
    JpegRequest cropped = thumbnailRequest();
    cropped.cutAway = QSize(3300, 0);
    const DecodedJpeg wider = decodeJpeg(bytes, cropped);
    ASSERT_TRUE(wider.ok());
    EXPECT_EQ(wider.denominator, 4);
    EXPECT_EQ(wider.image.size(), QSize(1000, 750));
}

TEST(JpegDecoder, ProgressiveAndGreyscale)
{
    const auto progressive = encode(solid(640, 480, Qt::darkCyan), true);
    ASSERT_TRUE(readJpegInfo(progressive).has_value());
    EXPECT_TRUE(readJpegInfo(progressive)->progressive);
    const DecodedJpeg a = decodeJpeg(progressive, thumbnailRequest());
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.image.size(), QSize(160, 120));

    QImage grey(100, 80, QImage::Format_Grayscale8);
    grey.fill(77);
    const auto greyBytes = encode(grey);
    EXPECT_EQ(readJpegInfo(greyBytes)->components, 1);
    JpegRequest bytesOrder;
    bytesOrder.pixels = JpegPixels::Rgb888;
    const DecodedJpeg b = decodeJpeg(greyBytes, bytesOrder);
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(b.image.format(), QImage::Format_RGB888);
    EXPECT_EQ(b.image.size(), QSize(100, 80));
    const uchar* p = b.image.constScanLine(40) + 50 * 3;
    EXPECT_NEAR(p[0], 77, 2);
    EXPECT_EQ(p[0], p[2]);
}

// Adobe's CMYK JPEGs store the inks inverted: 255 is no ink.
TEST(JpegDecoder, AdobeCmykBecomesRgb)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 16;
    info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info); // writes the Adobe marker for CMYK
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(16 * 4);
    for (std::size_t x = 0; x < 16; ++x) // no cyan, full magenta, no yellow, no black
        std::memcpy(&row[4 * x], "\xFF\x00\xFF\xFF", 4);
    for (JSAMPROW line = row.data(); info.next_scanline < info.image_height;)
        jpeg_write_scanlines(&info, &line, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const std::vector<std::byte> bytes(reinterpret_cast<std::byte*>(out), reinterpret_cast<std::byte*>(out) + size);
    std::free(out);
    const DecodedJpeg decoded = decodeJpeg(bytes, {});
    ASSERT_TRUE(decoded.ok());
    EXPECT_NEAR(qRed(decoded.image.pixel(8, 4)), 255, 3);
    EXPECT_NEAR(qGreen(decoded.image.pixel(8, 4)), 0, 3);
    EXPECT_NEAR(qBlue(decoded.image.pixel(8, 4)), 255, 3);
}

// Sizes read with exiftool and identify.
TEST(JpegDecoder, RealCameraFiles)
{
    struct Sample {
        const char* path;
        QSize size;
        QSize thumbnailDecode; // at the scale chosen for 88 × 60
    };
    const Sample samples[] = {
        {"exif-samples/Reconyx_HC500_Hyperfire.jpg", {2048, 1536}, {256, 192}},
        {"exif-samples/exif-org/nikon-e950.jpg", {800, 600}, {100, 75}},
        {"exif-samples/exif-org/canon-ixus.jpg", {640, 480}, {160, 120}},
        {"exif-samples/orientation/landscape_6.jpg", {450, 600}, {113, 150}},
        {"exif-samples/Canon_40D.jpg", {100, 68}, {100, 68}},
        {"exif-samples/Fujifilm_FinePix_E500.jpg", {59, 100}, {59, 100}},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.path);
        const auto bytes = readSample(sample.path);
        const auto info = readJpegInfo(bytes);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(QSize(info->width, info->height), sample.size);
        const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.fullSize, sample.size);
        EXPECT_EQ(decoded.image.size(), sample.thumbnailDecode);
    }
}

// The embedded thumbnail of a camera JPEG: offset and length from exiftool
// (-n ThumbnailOffset, ThumbnailLength), 160 × 120 from identify.
TEST(JpegDecoder, EmbeddedThumbnailOfACameraFile)
{
    const auto file = readSample("exif-samples/exif-org/nikon-e950.jpg");
    ASSERT_GE(file.size(), 2066u + 4662u);
    const std::span<const std::byte> thumbnail = std::span(file).subspan(2066, 4662);
    const DecodedJpeg decoded = decodeJpeg(thumbnail, thumbnailRequest());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.denominator, 1);
    EXPECT_EQ(decoded.image.size(), QSize(160, 120));
}

TEST(JpegDecoder, TruncatedPicturesAreRefused)
{
    const auto whole = readSample("exif-samples/exif-org/nikon-e950.jpg");
    ASSERT_TRUE(decodeJpeg(whole, thumbnailRequest()).ok());
    for (const std::size_t length : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{300},
                                     std::size_t{4000}, whole.size() / 2, whole.size() - 200}) {
        SCOPED_TRACE(length);
        const std::span<const std::byte> cut(whole.data(), length);
        EXPECT_FALSE(decodeJpeg(cut, thumbnailRequest()).ok());
        EXPECT_FALSE(decodePicture(cut, thumbnailRequest()).ok());
    }
    // A progressive picture cut short ends while its coefficients are read.
    const auto progressive = encode(solid(320, 240, Qt::red), true);
    EXPECT_FALSE(decodeJpeg(std::span(progressive).first(progressive.size() * 2 / 3), {}).ok());
}

// Finds the first SOF0 marker's height and width fields.
std::size_t frameHeader(const std::vector<std::byte>& bytes)
{
    for (std::size_t i = 2; i + 9 < bytes.size(); ++i)
        if (bytes[i] == std::byte{0xFF} && bytes[i + 1] == std::byte{0xC0})
            return i + 5;
    return 0;
}

TEST(JpegDecoder, HugeOrEmptyDimensionsAreRefusedBeforeAllocating)
{
    const auto good = encode(solid(64, 48, Qt::blue));
    const std::size_t at = frameHeader(good);
    ASSERT_NE(at, 0u);
    const auto withSize = [&](unsigned width, unsigned height) {
        auto bytes = good;
        bytes[at] = std::byte(height >> 8);
        bytes[at + 1] = std::byte(height & 0xFF);
        bytes[at + 2] = std::byte(width >> 8);
        bytes[at + 3] = std::byte(width & 0xFF);
        return bytes;
    };
    // 65,000 × 65,000 is 4.2 gigapixels, over the pixel budget.
    EXPECT_FALSE(readJpegInfo(withSize(65000, 65000)).has_value());
    EXPECT_FALSE(decodeJpeg(withSize(65000, 65000), {}).ok());
    EXPECT_FALSE(decodeJpeg(withSize(20000, 20000), thumbnailRequest()).ok());
    EXPECT_FALSE(decodeJpeg(withSize(64, 0), {}).ok());
    EXPECT_FALSE(decodeJpeg(withSize(0, 48), {}).ok());
    // Within the limits, but the data holds far fewer rows: refused as cut.
    EXPECT_FALSE(decodeJpeg(withSize(4096, 4096), thumbnailRequest()).ok());
}

// Files that crashed or hung other readers, and broken camera JPEGs: every
// one ends in a picture or a clean refusal.
TEST(JpegDecoder, MalformedSamplesNeverCrash)
{
    int files = 0;
    for (const auto* folder : {"malformed", "exif-samples/invalid"}) {
        for (const auto& item : std::filesystem::directory_iterator(test::samplesDir() / folder)) {
            const auto bytes = readSample(std::filesystem::relative(item.path(), test::samplesDir()));
            const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
            if (decoded.ok()) {
                EXPECT_TRUE(looksLikeJpeg(bytes));
                EXPECT_LE(decoded.image.width(), kMaxJpegSide);
            }
            (void)decodePicture(bytes, {});
            ++files;
        }
    }
    EXPECT_GT(files, 50);
    EXPECT_FALSE(decodeJpeg(readSample("malformed/empty.jpg"), {}).ok());
    // Noise behind a start-of-image marker.
    std::vector<std::byte> noise(5000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::byte(static_cast<unsigned char>((i * 2654435761u) >> 13));
    std::memcpy(noise.data(), "\xFF\xD8\xFF", 3);
    EXPECT_FALSE(decodeJpeg(noise, {}).ok());
    EXPECT_FALSE(decodePicture(noise, {}).ok());
}

} // namespace
} // namespace qlx::thumbs
