#include "metadata/shooting_data.h"
#include "metadata/shooting_text.h"

#include "imagelist/file_kind.h"
#include "support/camera_rows.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qlx::metadata {
namespace {

using namespace imagelist;

// 2000-01-01 00:00:00 UTC as a FILETIME.
constexpr std::uint64_t kYear2000 = 125'911'584'000'000'000;

// Sets TZ for one test and puts the old zone back.
struct ZoneGuard {
    explicit ZoneGuard(const char* zone) : saved(std::getenv("TZ") ? std::getenv("TZ") : "")
    {
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneGuard()
    {
        saved.empty() ? ::unsetenv("TZ") : ::setenv("TZ", saved.c_str(), 1);
        ::tzset();
    }
    std::string saved;
};

std::unique_ptr<ImageEntry> entryOf(std::uint32_t kind, std::uint64_t size = 0, std::uint64_t time = 0)
{
    return ImageEntry::createFresh({u"/p/IMG_0001.JPG", kind, size, time});
}

std::u16string fill(ImageEntry& entry, std::u16string_view text, int item)
{
    fillShootingData(entry, text, LensTables{});
    return entry.itemText(item);
}

std::u16string imageSize(std::uint32_t kind, std::u16string_view text)
{
    return fill(*entryOf(kind), text, ImageEntry::kItemImageSize);
}

TEST(ShootingData, ImageSizeTakesTheLargerPair)
{
    EXPECT_EQ(imageSize(kKindJpeg, u"Width\t4000\nHeight\t3000\nWidth2\t160\nHeight2\t120\n"), u"4000*3000");
    EXPECT_EQ(imageSize(kKindNef, u"Width\t160\nHeight\t120\nWidth2\t6000\nHeight2\t4000\n"), u"6000*4000");
    EXPECT_EQ(imageSize(kKindJpeg, u"Width\t4000\nHeight\t100\nWidth2\t160\nHeight2\t120\n"), u"160*120");
    EXPECT_EQ(imageSize(kKindJpeg, u"Width\t4000\nWidth2\t640\nHeight2\t480\n"), u"640*480");
    EXPECT_EQ(imageSize(kKindJpeg, u"Model\tX\n"), u"");
    EXPECT_EQ(imageSize(kKindX3f, u"Width\t2640\nHeight\t1760\nWidth2\t5424\nHeight2\t3616\n"), u"2640*1760");
    EXPECT_EQ(imageSize(kKindX3f, u"Width2\t5424\nHeight2\t3616\n"), u"");

    auto video = entryOf(kKindVideo);
    video->setPictureSize(1920, 1080);
    EXPECT_EQ(fill(*video, u"Width\t4000\nHeight\t3000\n", ImageEntry::kItemImageSize), u"1920*1080");
    EXPECT_EQ(video->itemText(ImageEntry::kItemFormat), u"MPG");
    auto jpeg = entryOf(kKindJpeg);
    jpeg->setItemText(ImageEntry::kItemImageSize, u"640*480");
    EXPECT_EQ(fill(*jpeg, u"", ImageEntry::kItemImageSize), u"640*480");
}

TEST(ShootingData, FileFactsOrientationAndDate)
{
    const ZoneGuard zone("UTC0");
    auto entry = entryOf(kKindDcr, 1023, kYear2000 + 61 * 10'000'000ull);
    EXPECT_EQ(fill(*entry, u"DateTime\t2024:01:02 10:11:12\n", ImageEntry::kItemFileSize), u"0KB");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemFormat), u"DCR");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemUpdateTime), u"2000/01/01 00:01:01");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemOrientation), u"");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemDateTime), u"2024/01/02 10:11:12");

    entry = entryOf(kKindJpeg, 2048, 0);
    entry->setOrientation(6);
    EXPECT_EQ(fill(*entry, u"DateTime\t2024-01-02 10:11:12\n", ImageEntry::kItemFileSize), u"2KB");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemUpdateTime), u"0000/00/00 00:00:00");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemOrientation), u"6");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemDateTime), u"2024-01-02 10:11:12");
    EXPECT_EQ(fill(*entry, u"", ImageEntry::kItemDateTime), u"2024-01-02 10:11:12");
}

TEST(ShootingData, CopiesTrimsAndCuts)
{
    auto entry = entryOf(kKindJpeg);
    entry->setItemText(ImageEntry::kItemFlash, u"old");
    fillShootingData(*entry,
                     u"Maker\tNIKON CORPORATION   \nModel\tNIKON D850 \nExposureTime\t1/250\nFNumber\tF5.6\n"
                     u"ExposureProg\tAv\nISO\t400\nExposureBias\t-0.3\nPhotometryMode\tｽﾎﾟｯﾄ\nFocalLength\t18mm\n"
                     u"FL35mm\t27mm\nExposureMode\tｵｰﾄ\nWhiteBalance\t晴天\nExifVer\t02\nLens\t50mm F1.4\n",
                     LensTables{});
    const std::pair<int, std::u16string_view> expected[] = {
        // (Shutter speed, f-number, ISO and focal length of a real file: list_pane_test.cpp.)
        {ImageEntry::kItemMaker, u"NIKON CORPORATION"}, {ImageEntry::kItemModel, u"NIKON D850"},
        {ImageEntry::kItemExposureProgram, u"Av"}, {ImageEntry::kItemExposureBias, u"-0.3"},
        {ImageEntry::kItemMeteringMode, u"ｽﾎﾟｯﾄ"}, {ImageEntry::kItemHistogram, u"27mm"},
        {ImageEntry::kItemExposureMode, u"ｵｰﾄ"}, {ImageEntry::kItemWhiteBalance, u"晴天"},
        {ImageEntry::kItemExifVersion, u"02"}, {ImageEntry::kItemFlash, u""}, {ImageEntry::kItemLens, u"50mm F1.4"}};
    for (const auto& [item, text] : expected)
        EXPECT_EQ(entry->itemText(item), text) << item;

    fillShootingData(*entry, u"Model\t" + std::u16string(40, u'M') + u"\nExifVer\t0230\n", LensTables{});
    EXPECT_EQ(entry->itemText(ImageEntry::kItemModel), std::u16string(31, u'M'));
    EXPECT_EQ(entry->itemText(ImageEntry::kItemExifVersion), u"023");
    EXPECT_EQ(entry->itemText(ImageEntry::kItemLens), u"");
}

TEST(ShootingData, FocalLengthIn35mm)
{
    // Row 0 without a crop factor, row 1 with 1.5, row 18 a Canon with 1.6.
    const CameraTable cameras(test::cameraTableData({{}, {.cropFactor = 1.5f}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
                                                     {}, {}, {}, {}, {}, {}, {u"Canon", u"EOS 80D", 0, 0, 77, 1.6f}}));

    auto entry = entryOf(kKindCr2);
    entry->setItemText(ImageEntry::kItemFocalLength, u"18mm");
    entry->setItemText(ImageEntry::kItemHistogram, u"27mm");
    EXPECT_EQ(focalLengthText(*entry, false, cameras), u"18mm");
    EXPECT_EQ(focalLengthText(*entry, true, cameras), u"27mm");
    entry->setItemText(ImageEntry::kItemHistogram, u"");
    entry->setCameraIndex(1);
    EXPECT_EQ(shootingFieldText(*entry, ImageEntry::kItemFocalLength, true, cameras), u"27mm");
    entry->setCameraIndex(0);
    EXPECT_EQ(focalLengthText(*entry, true, cameras), u"18mm *");
    entry->setItemText(ImageEntry::kItemMaker, u"Canon");
    entry->setItemText(ImageEntry::kItemModel, u"EOS 80D");
    EXPECT_EQ(focalLengthText(*entry, true, cameras), u"28mm"); // 18 × 1.6 = 28.8
    entry->setItemText(ImageEntry::kItemModel, u"");
    entry->setItemText(ImageEntry::kItemFocalLength, u"unknown");
    EXPECT_EQ(focalLengthText(*entry, true, cameras), u"unknown");
}

TEST(ShootingData, OverlayAndTooltipTexts)
{
    auto entry = entryOf(kKindJpeg);
    EXPECT_EQ(overlayInfoText(*entry), u"File : IMG_0001.JPG    \n              \n");
    entry->setItemText(ImageEntry::kItemImageSize, u"6000*4000");
    const std::pair<int, std::u16string_view> values[] = {
        {ImageEntry::kItemDateTime, u"2024/01/02 10:11:12"}, {ImageEntry::kItemModel, u"EOS 80D"},
        {ImageEntry::kItemShutterSpeed, u"1/250"}, {ImageEntry::kItemFNumber, u"F5.6"},
        {ImageEntry::kItemExposureProgram, u"Av"}, {ImageEntry::kItemIso, u"400"},
        {ImageEntry::kItemExposureBias, u"-0.3"}, {ImageEntry::kItemFocalLength, u"18mm"},
        {ImageEntry::kItemFlash, u"Off"}, {ImageEntry::kItemLens, u"EF-S18-55mm"}};
    for (const auto& [item, text] : values)
        entry->setItemText(item, text);
    EXPECT_EQ(overlayInfoText(*entry),
              u"File : IMG_0001.JPG  6000*4000 Pixel  Date : 2024/01/02 10:11:12\n"
              u"EOS 80D  1/250(sec)  F5.6  Av  ISO400  Ev-0.3  18mm  Flash : Off\nLens : EF-S18-55mm");
    // The list's tooltip of a real file, up to its ISO, is list_pane_test.cpp's.
    EXPECT_TRUE(tooltipInfoText(*entry).ends_with(u"\nAv\nISO400\nEv-0.3\n18mm\nEF-S18-55mm\nFlash : Off"));
}

} // namespace
} // namespace qlx::metadata
