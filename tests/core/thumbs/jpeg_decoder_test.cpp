// The JPEG decoder: scale choice, colour spaces, real camera files, and
// bytes that are not a whole picture.

#include "thumbs/jpeg_decoder.h"
#include "thumbs/picture_decoder.h"

#include "support/samples_gtest.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <jpeglib.h>

namespace qlx::thumbs {
namespace {

JpegRequest thumbnailRequest()
{
    return {QSize(88, 60), {}, JpegPixels::Rgb32, true};
}

// The smallest scale that still covers the target. (A picture that covers it
// exactly at 1/8 is the preview decoder's test.)
TEST(JpegDecoder, TwelveMegapixelsForAThumbnailDecodeAtOneEighth)
{
    EXPECT_EQ(chooseJpegScale({176, 120}, {88, 60}), 2);
    EXPECT_EQ(chooseJpegScale({160, 120}, {88, 60}), 1);  // an embedded thumbnail: 80 wide at 1/2
    EXPECT_EQ(chooseJpegScale({4000, 3000}, {}), 1);      // no target: full size
    // The test picture: red rises to the right, green downwards, blue is 64.
    const auto bytes = test::makeTestJpeg({4000, 3000, {}, {}, 0});
    const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.denominator, 8);
    EXPECT_EQ(decoded.image.size(), QSize(500, 375));
    EXPECT_EQ(decoded.fullSize, QSize(4000, 3000));
    EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
    // Full-size (2000..2007, 1496..1503): red 2000 × 255 / 3999 = 127 to
    // 2007 × 255 / 3999 = 127, green likewise 127 over 2999.
    const QRgb centre = decoded.image.pixel(250, 187);
    EXPECT_NEAR(qRed(centre), 127, 4);
    EXPECT_NEAR(qGreen(centre), 127, 4);
    EXPECT_NEAR(qBlue(centre), 64, 4);

    // Margins to be cut away leave 700 columns: 87 at 1/8, so 1/4.
    JpegRequest cropped = thumbnailRequest();
    cropped.cutAway = QSize(3300, 0);
    const DecodedJpeg wider = decodeJpeg(bytes, cropped);
    EXPECT_EQ(wider.denominator, 4);
    EXPECT_EQ(wider.image.size(), QSize(1000, 750));
}

TEST(JpegDecoder, ProgressiveGreyscaleAndAdobeCmyk)
{
    QImage cyan(640, 480, QImage::Format_RGB32);
    cyan.fill(Qt::darkCyan);
    const auto progressive = test::encodePicture(cyan, "jpeg", -1, true);
    EXPECT_TRUE(readJpegInfo(progressive).value_or(JpegInfo{}).progressive);
    EXPECT_EQ(decodeJpeg(progressive, thumbnailRequest()).image.size(), QSize(160, 120));
    // A decode its owner stopped gives nothing, and the same request
    // without the stop decodes.
    raw::CancelFlag stop;
    stop.request();
    JpegRequest stopped = thumbnailRequest();
    stopped.cancel = &stop;
    EXPECT_FALSE(decodeJpeg(progressive, stopped).ok());
    EXPECT_FALSE(decodeJpeg(test::encodePicture(cyan, "jpeg"), stopped).ok());
    stop.clear();
    EXPECT_TRUE(decodeJpeg(progressive, stopped).ok());

    QImage grey(100, 80, QImage::Format_Grayscale8);
    grey.fill(77);
    const DecodedJpeg b = decodeJpeg(test::encodePicture(grey, "jpeg"), {{}, {}, JpegPixels::Rgb888, false, nullptr});
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(b.image.format(), QImage::Format_RGB888);
    const uchar* p = b.image.constScanLine(40) + 50 * 3;
    EXPECT_NEAR(p[0], 77, 2);
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);

    // Adobe's CMYK JPEGs store the inks inverted (255 is no ink): no cyan,
    // full magenta, no yellow, no black is magenta.
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
    for (std::size_t x = 0; x < 16; ++x)
        std::memcpy(&row[4 * x], "\xFF\x00\xFF\xFF", 4);
    for (JSAMPROW line = row.data(); info.next_scanline < info.image_height;)
        jpeg_write_scanlines(&info, &line, 1);
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const auto* first = reinterpret_cast<const std::byte*>(out);
    const DecodedJpeg cmyk = decodeJpeg(std::vector(first, first + size), {});
    std::free(out);
    ASSERT_TRUE(cmyk.ok());
    EXPECT_NEAR(qRed(cmyk.image.pixel(8, 4)), 255, 3);
    EXPECT_NEAR(qGreen(cmyk.image.pixel(8, 4)), 0, 3);
    EXPECT_NEAR(qBlue(cmyk.image.pixel(8, 4)), 255, 3);
}

// Sizes read with exiftool and identify; the embedded thumbnail's offset
// and length from exiftool -n (ThumbnailOffset, ThumbnailLength).
TEST(JpegDecoder, RealCameraFiles)
{
    const auto exif = test::samplesDir() / "exif-samples";
    QLX_NEED_SAMPLES(exif / "exif-org/nikon-e950.jpg", exif / "orientation/landscape_6.jpg");
    const struct {
        const char* path;
        std::size_t offset, length; // length 0: the whole file
        QSize size;
        QSize thumbnailDecode; // at the scale chosen for 88 × 60
    } samples[] = {
        {"exif-org/nikon-e950.jpg", 0, 0, {800, 600}, {100, 75}},
        {"exif-org/nikon-e950.jpg", 2066, 4662, {160, 120}, {160, 120}},
        {"orientation/landscape_6.jpg", 0, 0, {450, 600}, {113, 150}},
    };
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.path);
        const auto file = test::readFileBytes(exif / sample.path);
        ASSERT_GE(file.size(), sample.offset + sample.length);
        const auto bytes = std::span(file).subspan(sample.offset, sample.length ? sample.length : file.size());
        const auto info = readJpegInfo(bytes);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(QSize(info->width, info->height), sample.size);
        const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
        EXPECT_EQ(decoded.fullSize, sample.size);
        EXPECT_EQ(decoded.image.size(), sample.thumbnailDecode);
    }
}

// Cut pictures, forged frame sizes and noise behind a start-of-image marker:
// refused at full size and scaled, before anything the header sizes is
// allocated.
TEST(JpegDecoder, BytesThatAreNotAWholePictureAreRefused)
{
    const auto whole = test::makeTestJpeg({800, 600, {}, {}, 0});
    ASSERT_TRUE(decodeJpeg(whole, thumbnailRequest()).ok());
    std::vector<std::vector<std::byte>> refused;
    for (const std::size_t length : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{300}, std::size_t{4000},
                                     whole.size() / 2, whole.size() - 200})
        refused.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    // The baseline frame header (FF C0): length, precision, then height and width.
    std::size_t at = 0;
    for (std::size_t i = 2; at == 0 && i + 9 < whole.size(); ++i)
        if (whole[i] == std::byte{0xFF} && whole[i + 1] == std::byte{0xC0})
            at = i + 5;
    ASSERT_NE(at, 0u);
    // 65,000 × 65,000 is 4.2 gigapixels, over the pixel budget; 4096 × 4096
    // is within it, but the data holds far fewer rows.
    for (const auto& [width, height] : {std::pair{65000u, 65000u}, {20000u, 20000u}, {64u, 0u}, {0u, 48u}, {4096u, 4096u}}) {
        auto& forged = refused.emplace_back(whole);
        const unsigned fields[] = {height >> 8, height, width >> 8, width};
        for (std::size_t i = 0; i < 4; ++i)
            forged[at + i] = std::byte(fields[i] & 0xFF);
    }
    EXPECT_FALSE(readJpegInfo(refused[7]).has_value());
    auto& noise = refused.emplace_back(5000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = std::byte(static_cast<unsigned char>((i * 2654435761u) >> 13));
    std::memcpy(noise.data(), "\xFF\xD8\xFF", 3);
    // A progressive picture cut short ends while its coefficients are read.
    QImage red(320, 240, QImage::Format_RGB32);
    red.fill(Qt::red);
    const auto progressive = test::encodePicture(red, "jpeg", -1, true);
    refused.emplace_back(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() * 2 / 3));

    for (std::size_t i = 0; i < refused.size(); ++i)
        for (const JpegRequest& request : {JpegRequest{}, thumbnailRequest()}) {
            EXPECT_FALSE(decodeJpeg(refused[i], request).ok()) << i;
            EXPECT_FALSE(decodePicture(refused[i], request).ok()) << i;
        }
}

// Files that crashed or hung other readers, and broken camera JPEGs: every
// one ends in a picture or a clean refusal (run under the sanitizers).
TEST(JpegDecoder, MalformedSamplesNeverCrash)
{
    const auto malformed = test::samplesDir() / "malformed", invalid = test::samplesDir() / "exif-samples/invalid";
    QLX_NEED_SAMPLES(malformed, invalid);
    int files = 0;
    for (const auto& folder : {malformed, invalid}) {
        for (const auto& item : std::filesystem::directory_iterator(folder)) {
            const auto bytes = test::readFileBytes(item.path());
            const DecodedJpeg decoded = decodeJpeg(bytes, thumbnailRequest());
            EXPECT_TRUE(!decoded.ok() || (looksLikeJpeg(bytes) && decoded.image.width() <= kMaxJpegSide));
            (void)decodePicture(bytes, {});
            ++files;
        }
    }
    EXPECT_GT(files, 50);
}

} // namespace
} // namespace qlx::thumbs
