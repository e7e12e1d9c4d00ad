// Making the list thumbnail and the preview: where their bytes come from, the
// crop, the stretch into 88 × 60 and the file's own orientation.

#include "thumbs/thumbnail_maker.h"

#include "containers/preview_choice.h"
#include "imagelist/file_kind.h"
#include "thumbs/area_stretch.h"
#include "thumbs/list_icon.h"
#include "thumbs/preview_loader.h"

#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qlx::thumbs {
namespace {

using imagelist::ImageEntry;

// A 176 × 120 picture: 8 red rows on top, 8 blue rows at the bottom, 4 white
// columns at the left, green elsewhere.
QImage framedPicture()
{
    QImage image(176, 120, QImage::Format_RGB32);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 176; ++x)
            image.setPixel(x, y,
                           y < 8      ? qRgb(255, 0, 0)
                           : y >= 112 ? qRgb(0, 0, 255)
                           : x < 4    ? qRgb(255, 255, 255)
                                      : qRgb(0, 200, 0));
    return image;
}

// The picture embedded at offset 4096 of an entry's file, its record's crop
// margins (top, bottom, left, right) cut off, the rest stretched over 88 × 60.
TEST(ThumbnailMaker, CropsTheEmbeddedPictureThenStretchesItOverTheWhole)
{
    const auto png = test::encodePicture(framedPicture(), "png");
    std::vector<std::byte> file(4096 + png.size() + 100, std::byte{0x55});
    std::copy(png.begin(), png.end(), file.begin() + 4096);
    io::MemorySource source(file);
    ImageEntry entry;
    entry.setKind(imagelist::kKindPng);
    entry.setThumbOffset(4096);
    entry.setThumbSize(static_cast<std::uint32_t>(png.size()));
    metadata::CameraRecord record;
    record.thumbCrop = {8, 8, 4, 0};
    const ThumbnailResult result = makeThumbnail(source, entry, record, {}, nullptr);
    ASSERT_EQ(result.status, PictureStatus::Made);
    const Thumbnail& thumbnail = result.thumbnail;
    EXPECT_EQ(thumbnail.picture.size(), QSize(88, 60));
    EXPECT_EQ(thumbnail.decodedSize, QSize(176, 120));
    EXPECT_EQ(thumbnail.pictureSize, QSize(172, 104));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 88; ++x)
            ASSERT_EQ(thumbnail.picture.pixel(x, y), qRgb(0, 200, 0)) << x << ',' << y;
    // The cropped size becomes the entry's picture size; a plain picture
    // whose thumbnail is its preview gets its ImageSize text.
    recordThumbnail(entry, thumbnail, true);
    EXPECT_EQ(entry.pictureHeight(), 104);
    EXPECT_EQ(entry.itemText(ImageEntry::kItemImageSize), u"");
    entry.setPreviewOffset(4096);
    recordThumbnail(entry, thumbnail, true);
    EXPECT_EQ(entry.itemText(ImageEntry::kItemImageSize), u"176*120");
    // The range points at noise: the thumbnail fails.
    entry.setThumbOffset(10);
    EXPECT_EQ(makeThumbnail(source, entry, record, {}, nullptr).status, PictureStatus::Failed);
    // The preview is cut the same way, and keeps its pixels; without margins
    // it is the whole picture.
    EXPECT_EQ(makePreviewFromBytes(png, {0, 0, 0, 0}).picture.size(), QSize(176, 120));
    const Preview preview = makePreviewFromBytes(png, {8, 8, 4, 0});
    EXPECT_EQ(preview.picture.size(), QSize(172, 104));
    EXPECT_EQ(preview.picture.pixel(0, 0), qRgb(0, 200, 0));

    // Margins of each side apart, past the edges (cut back to them), and
    // leaving nothing.
    EXPECT_EQ(cropRectangle({160, 120}, {1, 2, 3, 4}), QRect(3, 1, 153, 117));
    EXPECT_EQ(cropRectangle({160, 120}, {-5, 0, -1, 0}), QRect(0, 0, 160, 120));
    EXPECT_FALSE(cropRectangle({160, 120}, {60, 60, 0, 0}).has_value());
    EXPECT_FALSE(cropRectangle({160, 120}, {0, 0, 100, 100}).has_value());
    EXPECT_FALSE(cropRectangle({160, 120}, {0, 0, INT32_MAX, 0}).has_value());
}

// Area averaging: at half size each pixel is the mean of its 2 × 2 block,
// rounded half up; three pixels into two share the middle one half and half.
TEST(ThumbnailMaker, StretchAveragesTheArea)
{
    QImage source(4, 2, QImage::Format_RGB32);
    const int values[2][4] = {{0, 100, 10, 11}, {200, 50, 12, 13}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            source.setPixel(x, y, qRgb(values[y][x], values[y][x], values[y][x]));
    QImage target(2, 1, QImage::Format_RGB32);
    ASSERT_TRUE(stretchArea(source.convertToFormat(QImage::Format_RGB888), source.rect(), target));
    EXPECT_EQ(qRed(target.pixel(0, 0)), 88); // 350 / 4 = 87.5
    EXPECT_EQ(qRed(target.pixel(1, 0)), 12); // 46 / 4 = 11.5

    const QImage row = source.copy(0, 0, 3, 1); // 0, 100, 10
    ASSERT_TRUE(stretchArea(row, row.rect(), target));
    EXPECT_EQ(qRed(target.pixel(0, 0)), 33); // (0 × 2 + 100 × 1) / 3
    EXPECT_EQ(qRed(target.pixel(1, 0)), 40); // (100 × 1 + 10 × 2) / 3
    EXPECT_FALSE(stretchArea(row, QRect(2, 0, 2, 1), target));
    EXPECT_FALSE(stretchArea(row, QRect(), target));
}

// The stored thumbnail keeps the file's own orientation (the decoder does
// not turn it by its Exif tag); the rotation total is applied when the icon
// is drawn. The test picture has a white block in its top-left eighth.
TEST(ThumbnailMaker, OrientationIsKeptAndAppliedWhenDrawn)
{
    const Thumbnail turned = makeThumbnailFromBytes(test::makeTestJpeg({640, 480, {}, {}, 6}), {});
    ASSERT_TRUE(turned.ok());
    EXPECT_EQ(turned.decodedSize, QSize(640, 480));
    EXPECT_GT(qGray(turned.picture.pixel(3, 3)), 240);

    ImageEntry entry;
    entry.setKind(imagelist::kKindJpeg);
    entry.setOrientation(6);
    recordThumbnail(entry, turned, true);
    EXPECT_EQ(entry.pictureWidth(), 640);
    // Shown 480 × 640 in 88 × 88: 66 wide from x = 11. A quarter turn
    // clockwise takes the top-left eighth to the top right: x 69..76, y 0..10.
    const auto icon = [&turned](int turns) {
        return drawListIcon(turned.picture, turned.pictureSize, turns, {QSize(88, 88), false, 0});
    };
    EXPECT_GT(qGray(icon(rotationTotal(entry)).pixel(73, 4)), 240);
    EXPECT_LT(qGray(icon(rotationTotal(entry)).pixel(14, 4)), 200);
    // Three quarter turns take it to the bottom left (x 11..19, y 77..87);
    // two, with the picture 66 high from y = 11, to the bottom right.
    EXPECT_GT(qGray(icon(3).pixel(14, 83)), 240);
    EXPECT_GT(qGray(icon(2).pixel(83, 73)), 240);

    // Orientations 3, 6 and 8 are two, one and three quarter turns; the rest none.
    const int turns[] = {0, 0, 0, 2, 0, 0, 1, 0, 3, 0};
    for (std::uint8_t orientation = 0; orientation < 10; ++orientation)
        EXPECT_EQ(orientationQuarterTurns(orientation, true), turns[orientation]) << int{orientation};
    EXPECT_EQ(orientationQuarterTurns(6, false), 0);
    entry.setUserRotation(3);
    entry.setOrientationRotation(3);
    EXPECT_EQ(rotationTotal(entry), 2);
}

TEST(PicturePlan, RangesLeadingBytesAndWholeFiles)
{
    std::vector<std::byte> file(300'000);
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = std::byte(static_cast<unsigned char>(i * 7));
    io::MemorySource source(file);
    const auto read = [&](io::FileSource& from, std::uint64_t offset, std::uint64_t size, std::uint32_t kind = 0) {
        return readPictureBytes(from, {PictureSource::FileBytes, offset, size}, kind);
    };
    EXPECT_EQ(read(source, 1000, 500), std::vector(file.begin() + 1000, file.begin() + 1500));
    // A range running past the end is a short read.
    EXPECT_FALSE(read(source, 299'900, 500));
    EXPECT_FALSE(read(source, 400'000, 10));
    EXPECT_EQ(read(source, 0, 0)->size(), file.size());
    constexpr std::uint64_t kLeading = containers::kLeadingThumbnailBytes;
    EXPECT_EQ(read(source, 0, kLeading)->size(), kLeading);
    // The leading bytes of a shorter file: what it holds.
    io::MemorySource shorter(std::span<const std::byte>(file).first(1000));
    EXPECT_EQ(read(shorter, 0, kLeading)->size(), 1000u);
    // The leading bytes of a JPEG file: the whole picture.
    std::memcpy(file.data(), "\xFF\xD8\xFF", 3);
    EXPECT_EQ(read(source, 0, kLeading)->size(), file.size());
    // The Minolta thumbnail gets its start-of-image marker.
    const auto mrw = read(source, 10, 20, imagelist::kKindMrw);
    ASSERT_TRUE(mrw.has_value());
    EXPECT_EQ(std::vector(mrw->begin(), mrw->begin() + 3), (std::vector{std::byte{0xFF}, std::byte{0xD8}, file[12]}));
}

// Where the picture of an entry without a usable embedded one comes from.
TEST(ThumbnailMaker, PlaceholderEngineAndVideoEntries)
{
    QImage grey(640, 480, QImage::Format_RGB32);
    grey.fill(qRgb(90, 90, 90));
    const auto placeholder = test::encodePicture(grey, "png");
    io::MemorySource empty({});
    ImageEntry entry;
    entry.setKind(imagelist::kKindCr2);
    metadata::CameraRecord record;
    record.developable = true;
    const ThumbnailResult result = makeThumbnail(empty, entry, record, placeholder, nullptr);
    ASSERT_EQ(result.status, PictureStatus::Made);
    EXPECT_EQ(result.thumbnail.pictureSize, QSize(640, 480));
    EXPECT_EQ(result.thumbnail.picture.pixel(10, 10), qRgb(90, 90, 90));
    EXPECT_EQ(loadPreview(empty, entry, record, placeholder, {}, nullptr, raw::DevelopMode::Quick).preview.picture.pixel(600, 400), qRgb(90, 90, 90));
    EXPECT_EQ(makeThumbnail(empty, entry, record, {}, nullptr).status, PictureStatus::Failed);
    entry.setKind(imagelist::kKindDng); // no embedded picture (size 0)
    EXPECT_EQ(makeThumbnail(empty, entry, record, placeholder, nullptr).status, PictureStatus::NeedsEngine);
    EXPECT_EQ(loadPreview(empty, entry, record, placeholder, {}, nullptr, raw::DevelopMode::Quick).status, PictureStatus::NeedsEngine);
    EXPECT_EQ(planPicture(entry, {}, 0, 0).source, PictureSource::FileBytes); // not developable: the whole file
    entry.setKind(imagelist::kKindCr2);
    record.id = metadata::kCameraIdX3f; // the X3F record: the engine only where LibRaw decodes X3F
    EXPECT_EQ(planPicture(entry, record, 0, 0).source,
              raw::decodesX3f() ? PictureSource::Engine : PictureSource::Placeholder);
    record.id = metadata::kUnknownCameraId; // never the engine, whatever the record says
    entry.setKind(imagelist::kKindDng);
    EXPECT_EQ(planPicture(entry, record, 0, 0).source, PictureSource::Placeholder);
    // Bytes read that give no picture: the engine, but never for MEF
    // (developed only when the user asks).
    record.id = metadata::kCameraIdDng;
    EXPECT_TRUE(developsAfterUnusableBytes(entry, record, planPicture(entry, record, 0, 262144)));
    entry.setKind(imagelist::kKindMef);
    EXPECT_FALSE(developsAfterUnusableBytes(entry, record, planPicture(entry, record, 0, 262144)));
    entry.setKind(imagelist::kKindNef);
    const PicturePlan range = planPicture(entry, record, 1234, 5678);
    EXPECT_EQ(std::tuple(range.source, range.offset, range.size), std::tuple(PictureSource::FileBytes, 1234u, 5678u));
    entry.setKind(imagelist::kKindVideo);
    EXPECT_EQ(loadPreview(empty, entry, {}, placeholder, {}, nullptr, raw::DevelopMode::Quick).status, PictureStatus::NeedsVideoFrame);
}

} // namespace
} // namespace qlx::thumbs
