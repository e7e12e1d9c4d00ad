// Making the list thumbnail: where its bytes come from, the crop, the
// stretch into 88 × 60, the file's own orientation, and the cache block.

#include "thumbs/thumbnail_maker.h"

#include "imagelist/file_kind.h"
#include "thumbs/area_stretch.h"
#include "thumbs/list_icon.h"
#include "containers/preview_choice.h"
#include "thumbs/preview_loader.h"
#include "cache/thumbnail_block.h"

#include "support/test_paths.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace qlx::thumbs {
namespace {

using imagelist::ImageEntry;
using Layout = cache::ThumbnailBlockLayout;

std::vector<std::byte> encode(const QImage& image, const char* format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    EXPECT_TRUE(writer.write(image));
    const auto* first = reinterpret_cast<const std::byte*>(buffer.data().constData());
    return {first, first + buffer.data().size()};
}

std::vector<std::byte> readSample(const char* relative)
{
    std::ifstream in(test::samplesDir() / relative, std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
    return bytes;
}

// A 176 × 120 picture: 8 red rows on top, 8 blue rows at the bottom, 4 white
// columns at the left, green elsewhere.
QImage framedPicture()
{
    QImage image(176, 120, QImage::Format_RGB32);
    image.fill(qRgb(0, 200, 0));
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 176; ++x) {
            if (y < 8)
                image.setPixel(x, y, qRgb(255, 0, 0));
            else if (y >= 112)
                image.setPixel(x, y, qRgb(0, 0, 255));
            else if (x < 4)
                image.setPixel(x, y, qRgb(255, 255, 255));
        }
    return image;
}

TEST(ThumbnailCrop, MarginsFromTheCameraRecord)
{
    // top, bottom, left, right
    EXPECT_EQ(cropRectangle({160, 120}, {7, 7, 0, 0}), QRect(0, 7, 160, 106));
    EXPECT_EQ(cropRectangle({160, 120}, {1, 2, 3, 4}), QRect(3, 1, 153, 117));
    EXPECT_EQ(cropRectangle({160, 120}, {0, 0, 0, 0}), QRect(0, 0, 160, 120));
    // Margins past the edges are cut back to them.
    EXPECT_EQ(cropRectangle({160, 120}, {-5, 0, -1, 0}), QRect(0, 0, 160, 120));
    EXPECT_FALSE(cropRectangle({160, 120}, {60, 60, 0, 0}).has_value());
    EXPECT_FALSE(cropRectangle({160, 120}, {0, 0, 100, 100}).has_value());
    EXPECT_FALSE(cropRectangle({160, 120}, {0, 0, INT32_MAX, 0}).has_value());
}

TEST(ThumbnailMaker, CropsThenStretchesOverTheWholePicture)
{
    const auto png = encode(framedPicture(), "png");
    const Thumbnail thumbnail = makeThumbnailFromBytes(png, {8, 8, 4, 0});
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_EQ(thumbnail.picture.size(), QSize(88, 60));
    EXPECT_EQ(thumbnail.picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(thumbnail.decodedSize, QSize(176, 120));
    EXPECT_EQ(thumbnail.pictureSize, QSize(172, 104));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 88; ++x)
            ASSERT_EQ(thumbnail.picture.pixel(x, y), qRgb(0, 200, 0)) << x << ',' << y;

    // Without the crop the frame is there, squeezed: 8 rows of 120 become
    // 4 of 60, 4 columns of 176 become 2 of 88.
    const Thumbnail whole = makeThumbnailFromBytes(png, {0, 0, 0, 0});
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.picture.pixel(40, 3), qRgb(255, 0, 0));
    EXPECT_EQ(whole.picture.pixel(40, 56), qRgb(0, 0, 255));
    EXPECT_EQ(whole.picture.pixel(1, 30), qRgb(255, 255, 255));
    EXPECT_EQ(whole.picture.pixel(2, 30), qRgb(0, 200, 0));

    // The preview is cut the same way, and keeps its pixels.
    EXPECT_EQ(makePreviewFromBytes(png, {0, 0, 0, 0}).picture.size(), QSize(176, 120));
    const Preview preview = makePreviewFromBytes(png, {8, 8, 4, 0});
    EXPECT_EQ(preview.picture.size(), QSize(172, 104));
    EXPECT_EQ(preview.picture.pixel(0, 0), qRgb(0, 200, 0));
}

// Area averaging: at half size each pixel is the mean of its 2 × 2 block,
// rounded half up.
TEST(ThumbnailMaker, StretchAveragesTheArea)
{
    QImage source(4, 2, QImage::Format_RGB888);
    const uchar values[2][4] = {{0, 100, 10, 11}, {200, 50, 12, 13}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            uchar* p = source.scanLine(y) + 3 * x;
            p[0] = p[1] = p[2] = values[y][x];
        }
    QImage target(2, 1, QImage::Format_RGB32);
    ASSERT_TRUE(stretchArea(source, source.rect(), target));
    EXPECT_EQ(qRed(target.pixel(0, 0)), 88); // 350 / 4 = 87.5
    EXPECT_EQ(qRed(target.pixel(1, 0)), 12); // 46 / 4 = 11.5

    // Three pixels into two: the middle one is shared half and half.
    QImage row(3, 1, QImage::Format_RGB32);
    row.setPixel(0, 0, qRgb(0, 0, 0));
    row.setPixel(1, 0, qRgb(90, 90, 90));
    row.setPixel(2, 0, qRgb(255, 255, 255));
    ASSERT_TRUE(stretchArea(row, row.rect(), target));
    EXPECT_EQ(qRed(target.pixel(0, 0)), 30);  // (0 × 2 + 90 × 1) / 3
    EXPECT_EQ(qRed(target.pixel(1, 0)), 200); // (90 × 1 + 255 × 2) / 3

    EXPECT_FALSE(stretchArea(row, QRect(2, 0, 2, 1), target));
    EXPECT_FALSE(stretchArea(row, QRect(), target));
}

// The stored thumbnail keeps the file's own orientation; the rotation total
// is applied when the icon is drawn. The two sample files show one picture,
// one stored upright (orientation 1), one stored turned (orientation 6).
TEST(ThumbnailMaker, OrientationIsKeptAndAppliedWhenDrawn)
{
    const Thumbnail upright = makeThumbnailFromBytes(readSample("exif-samples/orientation/landscape_1.jpg"), {});
    const Thumbnail turned = makeThumbnailFromBytes(readSample("exif-samples/orientation/landscape_6.jpg"), {});
    ASSERT_TRUE(upright.ok());
    ASSERT_TRUE(turned.ok());
    EXPECT_EQ(turned.decodedSize, QSize(450, 600)); // as stored, not turned
    EXPECT_EQ(turned.pictureSize, QSize(450, 600));

    auto entry = std::make_unique<ImageEntry>();
    entry->setKind(imagelist::kKindJpeg);
    entry->setOrientation(6);
    recordThumbnail(*entry, turned, true);
    EXPECT_EQ(entry->orientationRotation(), 1);
    EXPECT_EQ(entry->pictureWidth(), 450);
    EXPECT_EQ(entry->pictureHeight(), 600);
    EXPECT_EQ(rotationTotal(*entry), 1);

    const IconRequest request{QSize(88, 88), false, 0};
    const QImage expected = drawListIcon(upright.picture, upright.pictureSize, 0, request);
    const QImage shown = drawListIcon(turned.picture, turned.pictureSize, rotationTotal(*entry), request);
    const QImage unturned = drawListIcon(turned.picture, turned.pictureSize, 0, request);
    // The left third of the picture (the middle carries the orientation's
    // number, which differs between the two files).
    const auto difference = [&expected](const QImage& icon) {
        long sum = 0;
        for (int y = 14; y < 74; ++y)
            for (int x = 2; x < 30; ++x)
                sum += std::abs(qGray(icon.pixel(x, y)) - qGray(expected.pixel(x, y)));
        return sum / (60 * 28);
    };
    // Squeezed into 88 × 60 along different axes, the two differ in detail
    // (a mean of about 13 grey levels); unturned, they differ wholly (about 80).
    EXPECT_LT(difference(shown), 20);
    EXPECT_GT(difference(unturned), 50);
}

TEST(OrientationTurns, OnlyThreeSixAndEight)
{
    EXPECT_EQ(orientationQuarterTurns(3, true), 2);
    EXPECT_EQ(orientationQuarterTurns(6, true), 1);
    EXPECT_EQ(orientationQuarterTurns(8, true), 3);
    for (const int other : {0, 1, 2, 4, 5, 7, 9})
        EXPECT_EQ(orientationQuarterTurns(static_cast<std::uint8_t>(other), true), 0);
    EXPECT_EQ(orientationQuarterTurns(6, false), 0);
    ImageEntry entry;
    entry.setUserRotation(3);
    entry.setOrientationRotation(3);
    EXPECT_EQ(rotationTotal(entry), 2);
}

TEST(ThumbnailPlan, SourcesOfTheThumbnail)
{
    ImageEntry entry;
    metadata::CameraRecord developable;
    developable.developable = true;
    entry.setKind(imagelist::kKindDng); // no embedded thumbnail (size 0)
    EXPECT_EQ(planThumbnail(entry, developable).source, PictureSource::Engine);
    EXPECT_EQ(planThumbnail(entry, metadata::CameraRecord{}).size, 0u); // not developable: whole file
    entry.setKind(imagelist::kKindCr2);
    EXPECT_EQ(planThumbnail(entry, developable).source, PictureSource::Placeholder);
    developable.id = metadata::kCameraIdX3f;
    EXPECT_EQ(planThumbnail(entry, developable).source, PictureSource::Engine);
    entry.setKind(imagelist::kKindVideo);
    EXPECT_EQ(planThumbnail(entry, metadata::CameraRecord{}).source, PictureSource::VideoFrame);
    entry.setKind(imagelist::kKindNef);
    entry.setThumbOffset(1234);
    entry.setThumbSize(5678);
    const PicturePlan range = planThumbnail(entry, developable);
    EXPECT_EQ(range.source, PictureSource::FileBytes);
    EXPECT_EQ(range.offset, 1234u);
    EXPECT_EQ(range.size, 5678u);
}

TEST(ThumbnailBytes, RangesLeadingBytesAndWholeFiles)
{
    std::vector<std::byte> file(300'000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = std::byte(static_cast<unsigned char>(i * 7));
    io::MemorySource source(file);

    const auto range = readPictureBytes(source, {PictureSource::FileBytes, 1000, 500}, imagelist::kKindNef);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(std::vector(file.begin() + 1000, file.begin() + 1500), *range);
    // A range running past the end is a short read.
    EXPECT_FALSE(readPictureBytes(source, {PictureSource::FileBytes, 299'900, 500}, 0).has_value());
    EXPECT_FALSE(readPictureBytes(source, {PictureSource::FileBytes, 400'000, 10}, 0).has_value());

    EXPECT_EQ(readPictureBytes(source, {PictureSource::FileBytes, 0, 0}, 0)->size(), file.size());
    EXPECT_EQ(readPictureBytes(source, {PictureSource::FileBytes, 0, containers::kLeadingThumbnailBytes}, 0)->size(),
              containers::kLeadingThumbnailBytes);

    // The leading bytes of a shorter file: what it holds.
    io::MemorySource shorter(std::span<const std::byte>(file).first(1000));
    EXPECT_EQ(readPictureBytes(shorter, {PictureSource::FileBytes, 0, containers::kLeadingThumbnailBytes}, 0)->size(), 1000u);

    // The leading bytes of a JPEG file: the whole picture.
    file[0] = std::byte{0xFF};
    file[1] = std::byte{0xD8};
    file[2] = std::byte{0xFF};
    EXPECT_EQ(readPictureBytes(source, {PictureSource::FileBytes, 0, containers::kLeadingThumbnailBytes}, 0)->size(),
              file.size());

    // The Minolta thumbnail gets its start-of-image marker.
    const auto mrw = readPictureBytes(source, {PictureSource::FileBytes, 10, 20}, imagelist::kKindMrw);
    ASSERT_TRUE(mrw.has_value());
    EXPECT_EQ((*mrw)[0], std::byte{0xFF});
    EXPECT_EQ((*mrw)[1], std::byte{0xD8});
    EXPECT_EQ((*mrw)[2], file[12]);
}

TEST(ThumbnailMaker, FromTheEntrysEmbeddedJpeg)
{
    // A file with an embedded 176 × 120 JPEG at offset 4096.
    const auto jpeg = encode(framedPicture(), "jpeg");
    std::vector<std::byte> file(4096 + jpeg.size() + 100, std::byte{0x55});
    std::copy(jpeg.begin(), jpeg.end(), file.begin() + 4096);
    io::MemorySource source(file);

    ImageEntry entry;
    entry.setKind(imagelist::kKindJpeg);
    entry.setThumbOffset(4096);
    entry.setThumbSize(static_cast<std::uint32_t>(jpeg.size()));
    metadata::CameraRecord record;
    record.thumbCrop = {8, 8, 0, 0};
    const ThumbnailResult result = makeThumbnail(source, entry, record, {});
    ASSERT_EQ(result.status, PictureStatus::Made);
    EXPECT_EQ(result.thumbnail.decodedSize, QSize(176, 120));
    EXPECT_EQ(result.thumbnail.pictureSize, QSize(176, 104));
    // Cropped away: no red left at the top.
    EXPECT_LT(qRed(result.thumbnail.picture.pixel(44, 0)), 60);

    recordThumbnail(entry, result.thumbnail, true);
    EXPECT_EQ(entry.pictureWidth(), 176);
    EXPECT_EQ(entry.pictureHeight(), 104);
    // thumbOffset differs from previewOffset: no ImageSize text.
    EXPECT_EQ(entry.itemText(ImageEntry::kItemImageSize), u"");
    entry.setPreviewOffset(4096);
    recordThumbnail(entry, result.thumbnail, true);
    EXPECT_EQ(entry.itemText(ImageEntry::kItemImageSize), u"176*120");

    // The range points at noise: the thumbnail fails.
    entry.setThumbOffset(10);
    EXPECT_EQ(makeThumbnail(source, entry, record, {}).status, PictureStatus::Failed);
}

TEST(ThumbnailMaker, PlaceholderAndEngineEntries)
{
    QImage placeholder(640, 480, QImage::Format_RGB32);
    placeholder.fill(qRgb(90, 90, 90));
    const auto png = encode(placeholder, "png");
    io::MemorySource empty({});
    ImageEntry entry;
    entry.setKind(imagelist::kKindCr2);
    metadata::CameraRecord record;
    record.developable = true;
    const ThumbnailResult result = makeThumbnail(empty, entry, record, png);
    ASSERT_EQ(result.status, PictureStatus::Made);
    EXPECT_EQ(result.thumbnail.pictureSize, QSize(640, 480));
    EXPECT_EQ(result.thumbnail.picture.pixel(10, 10), qRgb(90, 90, 90));
    EXPECT_EQ(makeThumbnail(empty, entry, record, {}).status, PictureStatus::Failed);
    entry.setKind(imagelist::kKindDng);
    EXPECT_EQ(makeThumbnail(empty, entry, record, png).status, PictureStatus::NeedsEngine);
}

// The cache block, byte for byte: blue, green, red; 264-byte rows; the
// histogram's 96-byte rows from byte 15,840.
TEST(ThumbnailBlock, LayoutByteForByte)
{
    QImage thumbnail(88, 60, QImage::Format_RGB32);
    thumbnail.fill(qRgb(0, 0, 0));
    thumbnail.setPixel(0, 0, qRgb(1, 2, 3));
    thumbnail.setPixel(87, 0, qRgb(4, 5, 6));
    thumbnail.setPixel(0, 1, qRgb(7, 8, 9));
    thumbnail.setPixel(87, 59, qRgb(10, 11, 12));
    QImage histogram(32, 16, QImage::Format_RGB32);
    histogram.fill(qRgb(0, 0, 0));
    histogram.setPixel(0, 0, qRgb(21, 22, 23));
    histogram.setPixel(1, 1, qRgb(24, 25, 26));
    histogram.setPixel(31, 15, qRgb(27, 28, 29));

    const std::vector<std::byte> block = cache::makeThumbnailBlock(thumbnail, histogram);
    ASSERT_EQ(block.size(), 17'376u);
    const auto at = [&block](std::size_t offset) {
        return std::vector<int>{std::to_integer<int>(block[offset]), std::to_integer<int>(block[offset + 1]),
                                std::to_integer<int>(block[offset + 2])};
    };
    EXPECT_EQ(at(0), (std::vector{3, 2, 1}));
    EXPECT_EQ(at(87 * 3), (std::vector{6, 5, 4}));
    EXPECT_EQ(at(264), (std::vector{9, 8, 7}));
    EXPECT_EQ(at(59 * 264 + 87 * 3), (std::vector{12, 11, 10}));
    EXPECT_EQ(at(15'840), (std::vector{23, 22, 21}));
    EXPECT_EQ(at(15'840 + 96 + 3), (std::vector{26, 25, 24}));
    EXPECT_EQ(at(15'840 + 15 * 96 + 31 * 3), (std::vector{29, 28, 27}));
    EXPECT_EQ(at(17'376 - 3), (std::vector{29, 28, 27}));

    const cache::BlockPictures back = cache::readThumbnailBlock(std::span<const std::byte, Layout::kSize>(block.data(), Layout::kSize));
    EXPECT_EQ(back.thumbnail, thumbnail);
    EXPECT_EQ(back.histogram, histogram);

    // 24-bit pictures are stored the same way.
    const std::vector<std::byte> again = cache::makeThumbnailBlock(thumbnail.convertToFormat(QImage::Format_RGB888),
                                                            histogram.convertToFormat(QImage::Format_RGB888));
    EXPECT_EQ(again, block);
    // Wrong sizes are refused.
    EXPECT_TRUE(cache::makeThumbnailBlock(thumbnail.copy(0, 0, 60, 88), histogram).empty());
    EXPECT_TRUE(cache::makeThumbnailBlock(thumbnail, QImage()).empty());
}

} // namespace
} // namespace qlx::thumbs
