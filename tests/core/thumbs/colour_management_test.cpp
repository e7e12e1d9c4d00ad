// Decoded pictures come out in sRGB: an Adobe RGB picture, its profile
// embedded in a JPEG or a PNG, against the conversion worked out by hand;
// sRGB, unprofiled and damaged-profile pictures keep their values. The
// memory reserve refuses a picture it cannot afford.

#include "thumbs/picture_decoder.h"
#include "thumbs/preview_loader.h"

#include "support/test_pictures.h"

#include <QColorSpace>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace qlx::thumbs {
namespace {

constexpr QRgb kValues = qRgb(100, 150, 50);

std::vector<std::byte> encoded(const char* format, std::optional<QColorSpace::NamedColorSpace> space)
{
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(kValues);
    if (space)
        picture.setColorSpace(QColorSpace(*space));
    return test::encodePicture(picture, format, 100);
}

bool contains(const std::vector<std::byte>& bytes, std::string_view text)
{
    const auto* first = reinterpret_cast<const char*>(bytes.data());
    return std::string_view(first, bytes.size()).find(text) != std::string_view::npos;
}

TEST(ColourManagement, PicturesComeOutInSrgb)
{
    // Adobe RGB (100, 150, 50): linear (0.128, 0.311, 0.028) through the
    // 2.2 curve; to XYZ (0.137, 0.235, 0.053) with Adobe's D65 matrix; to
    // linear sRGB (0.055, 0.311, 0.016); encoded with the sRGB curve:
    // (66, 151, 33).
    constexpr QRgb kAdobeInSrgb = qRgb(66, 151, 33);

    // A JPEG whose APP2 marker claims a profile of 64 bytes of nothing.
    std::vector<std::byte> damaged = encoded("jpeg", std::nullopt);
    std::string marker = std::string("\xFF\xE2") + '\0' + char(2 + 14 + 64) + std::string("ICC_PROFILE") + '\0'
                         + '\x01' + '\x01' + std::string(64, '\x07');
    std::vector<std::byte> inserted(marker.size());
    std::transform(marker.begin(), marker.end(), inserted.begin(), [](char c) { return std::byte(c); });
    damaged.insert(damaged.begin() + 2, inserted.begin(), inserted.end());

    struct Case {
        const char* name;
        std::vector<std::byte> bytes;
        QRgb expected;
    };
    const Case cases[] = {
        {"JPEG in Adobe RGB", encoded("jpeg", QColorSpace::AdobeRgb), kAdobeInSrgb},
        {"PNG in Adobe RGB", encoded("png", QColorSpace::AdobeRgb), kAdobeInSrgb},
        {"JPEG in sRGB", encoded("jpeg", QColorSpace::SRgb), kValues},
        {"JPEG without a profile", encoded("jpeg", std::nullopt), kValues},
        {"JPEG with a damaged profile", damaged, kValues},
    };
    ASSERT_TRUE(contains(cases[0].bytes, "ICC_PROFILE")); // the profile really is in the file
    for (const Case& c : cases) {
        for (const JpegPixels pixels : {JpegPixels::Rgb32, JpegPixels::Rgb888}) {
            const DecodedPicture decoded = decodePicture(c.bytes, {{}, {}, pixels, false});
            ASSERT_TRUE(decoded.ok()) << c.name;
            const QRgb got = decoded.image.pixel(16, 16);
            // JPEG's rounding and our arithmetic: within 3.
            EXPECT_LE(std::abs(qRed(got) - qRed(c.expected)), 3) << c.name << " " << std::hex << got;
            EXPECT_LE(std::abs(qGreen(got) - qGreen(c.expected)), 3) << c.name << " " << std::hex << got;
            EXPECT_LE(std::abs(qBlue(got) - qBlue(c.expected)), 3) << c.name << " " << std::hex << got;
        }
    }
}

TEST(ColourManagement, APictureTheReserveCannotAffordIsAFailure)
{
    // 70 MiB free and a 64 MiB reserve: a 32 × 32 preview (4 KiB) fits, a
    // 2000 × 1000 one (7.6 MiB) does not, and the reserve doubles.
    imagelist::MemoryReserve reserve({}, [] { return std::optional<std::uint64_t>(70ull << 20); });
    QImage large(2000, 1000, QImage::Format_RGB32);
    large.fill(kValues);
    const auto largeJpeg = test::encodePicture(large, "jpeg", 50);
    const auto largePng = test::encodePicture(large, "png");
    EXPECT_TRUE(makePreviewFromBytes(encoded("jpeg", std::nullopt), {}, {}, &reserve).ok());
    EXPECT_EQ(reserve.bytes(), imagelist::MemoryReserve::kInitial);
    EXPECT_FALSE(makePreviewFromBytes(largeJpeg, {}, {}, &reserve).ok());
    EXPECT_EQ(reserve.bytes(), 2 * imagelist::MemoryReserve::kInitial);
    EXPECT_FALSE(makePreviewFromBytes(largePng, {}, {}, &reserve).ok());
    EXPECT_EQ(reserve.bytes(), 4 * imagelist::MemoryReserve::kInitial);
    // Without a reserve nothing is asked.
    EXPECT_TRUE(makePreviewFromBytes(largeJpeg, {}, {}, nullptr).ok());
}

} // namespace
} // namespace qlx::thumbs
