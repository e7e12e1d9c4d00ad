// Choosing an entry's thumbnail, preview, camera and orientation from its
// metadata text and camera record, and the rules for cached records.

#include "containers/preview_choice.h"

#include "imagelist/file_kind.h"
#include "support/camera_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace qlx::containers {
namespace {

using namespace imagelist;

// Rows 0..17 are the reserved rows with the fixed records; cameras of the
// makers follow, with their thumbnail and preview slots.
const metadata::CameraTable& cameras()
{
    static const metadata::CameraTable kTable(test::cameraTableData({
        {u"", u"JPG", 0, 0, 165}, {u"", u"TIFF", 0, 0, 166}, {u"", u"CRW", 0, 0, 167}, {u"", u"DNG", 0, 0, 168},
        {u"", u"RAW", 0, 0, 169}, {u"", u"MEF", 4, 0, 170}, {u"", u"PSD", 0, 0, 171}, {u"", u"3FR", 0, 0, 172},
        {u"", u"MPG", 0, 0, 173}, {u"", u"DCR", 0, 0, 174}, {u"", u"X3F", 0, 0, 213}, {u"", u"unknown", 0, 0, 181},
        {}, {}, {}, {}, {}, {},
        {u"Canon", u"Canon EOS M50", 2, 1, 1001}, {u"Canon", u"Canon EOS 40D", 0, 3, 1002},
        {u"Canon", u"Canon PowerShot", 5, 6, 1003}, {u"FujiFilm", u"X-T3", 1, 1, 3001},
        {u"FujiFilm", u"X-T30", 1, 1, 3002}, {u"Sigma", u"SIGMA DP2", 3, 3, 4001},
    }));
    return kTable;
}

ImageEntry choose(std::uint32_t kind, std::u16string_view text, bool mamiya = false)
{
    ImageEntry entry;
    entry.setKind(kind);
    choosePreviews(entry, text, cameras(), mamiya);
    return entry;
}

const std::u16string kSlots = u"/p/f\ncg1ofs\t1000\ncg1size\t100\ncg2ofs\t2000\ncg2size\t200\ncg3ofs\t3000\ncg3size\t300\n";
std::u16string camera(std::u16string_view maker, std::u16string_view model)
{
    return u"Maker\t" + std::u16string(maker) + u"\nModel\t" + std::u16string(model) + u"\n";
}

TEST(PreviewChoice, SlotsOfTheCameraRecord)
{
    const struct {
        const char* what;
        std::uint32_t kind;
        std::u16string text;
        bool mamiya;
        std::uint32_t thumbOffset, thumbSize, previewOffset, previewSize, camera;
    } cases[] = {
        {"thumbnail slot 2, preview 1", kKindCr3, kSlots + camera(u"Canon", u"Canon EOS M50"), false, 2000, 200, 1000, 100, 1001},
        {"thumbnail slot 0: the first 256 KiB", kKindCr2, kSlots + camera(u"Canon", u"Canon EOS 40D"), false, 0, 262'144, 3000, 300, 1002},
        {"the Photoshop thumbnail first", kKindCr3, kSlots + u"cg6ofs\t7000\ncg6size\t700\n" + camera(u"Canon", u"Canon EOS M50"), false, 7000, 700, 1000, 100, 1001},
        {"half a slot 6 is none", kKindCr3, kSlots + u"cg6ofs\t7000\n" + camera(u"Canon", u"Canon EOS M50"), false, 2000, 200, 1000, 100, 1001},
        {"neither slot written", kKindCr2, kSlots + camera(u"Canon", u"Canon PowerShot"), false, 0, 0, 0, 0, 1003},
        {"no thumbnail slot: the preview's", kKindCr2, u"/p/f\ncg6ofs\t600\n" + camera(u"Canon", u"Canon PowerShot"), false, 600, 0, 600, 0, 1003},
        {"no preview slot: the thumbnail's", kKindCr3, u"/p/f\ncg2ofs\t2000\ncg2size\t200\n" + camera(u"Canon", u"Canon EOS M50"), false, 2000, 200, 2000, 200, 1001},
        {"X-T3: three times its slot", kKindRaf, kSlots + camera(u"FUJIFILM", u"X-T3"), false, 1000, 100, 1000, 300, 3001},
        {"X-T30", kKindRaf, kSlots + camera(u"FUJIFILM", u"X-T30"), false, 1000, 100, 1000, 100, 3002},
        {"fixed record, not the camera's", kKindJpeg, kSlots + camera(u"Canon", u"Canon EOS M50"), false, 0, 262'144, 0, 0, 165},
        {"DCR without text", kKindDcr, u"/p/f\n", false, 0, 262'144, 0, 262'144, 174},
        {"X3F naming its model", kKindX3f, kSlots + camera(u"SIGMA", u"SIGMA DP2"), false, 3000, 300, 3000, 300, 4001},
        {"X3F without a model", kKindX3f, kSlots, false, 0, 262'144, 0, 0, 213},
        {"blank model", kKindJpeg, kSlots + u"Model\t   \n", false, 0, 0, 0, 0, metadata::kUnknownCameraId},
        {"no model: only slot 6", kKindNef, kSlots + u"cg6ofs\t7000\ncg6size\t700\n", false, 7000, 700, 0, 0, metadata::kUnknownCameraId},
        {"failed pass", kKindCr2, u"", false, 0, 0, 0, 0, metadata::kUnknownCameraId},
        {"model not in the table", kKindNef, kSlots + camera(u"NIKON CORPORATION", u"NIKON Z 9"), false, 0, 0, 0, 0, metadata::kUnknownCameraId},
        {"MEF without the Mamiya setting", kKindMef, u"/p/f\ncg4ofs\t4000\ncg4size\t400\n", false, 0, 262'144, 0, 0, 170},
        {"MEF with it", kKindMef, u"/p/f\ncg4ofs\t4000\ncg4size\t400\n", true, 4000, 400, 0, 0, 170},
        {"MEF with it, no slot 4: developed", kKindMef, u"/p/f\n", true, 0, 0, 0, 0, 170},
        // Values are 32-bit numbers written with %d.
        {"values past 2 GiB", kKindCr3, u"/p/f\ncg2ofs\t2000\ncg2size\t200\ncg1ofs\t-2147483000\ncg1size\t-8\n" + camera(u"Canon", u"Canon EOS M50"),
         false, 2000, 200, 0x8000'0288, 0xFFFF'FFF8, 1001},
        {"cg11 is not cg1, an empty value none", kKindCr3, u"/p/f\ncg11ofs\t5\ncg11size\t5\ncg2ofs\t\ncg2size\t9\n" + camera(u"Canon", u"Canon EOS M50"),
         false, 0, 0, 0, 0, 1001},
    };
    for (const auto& c : cases) {
        const ImageEntry entry = choose(c.kind, c.text, c.mamiya);
        EXPECT_EQ(entry.thumbOffset(), c.thumbOffset) << c.what;
        EXPECT_EQ(entry.thumbSize(), c.thumbSize) << c.what;
        EXPECT_EQ(entry.previewOffset(), c.previewOffset) << c.what;
        EXPECT_EQ(entry.previewSize(), c.previewSize) << c.what;
        EXPECT_EQ(cameras().recordAtRow(entry.cameraIndex())->id, c.camera) << c.what;
        EXPECT_TRUE(entry.hasFlag(ImageEntry::kFlagMetadataRead)) << c.what;
    }
    // Fixed records that decode the whole file keep an empty preview; the
    // others show the first 256 KiB.
    for (const std::uint32_t kind : {kKindJpeg, kKindTiff, kKindCrw, kKindDng, kKindRaw, kKindMef, kKindX3f})
        EXPECT_EQ(choose(kind, kSlots + camera(u"Any", u"Any")).previewSize(), 0u) << kind;
    for (const std::uint32_t kind : {kKindPsd, kKind3fr, kKindVideo, kKindDcr})
        EXPECT_EQ(choose(kind, kSlots + camera(u"Any", u"Any")).previewSize(), 262'144u) << kind;
}

TEST(PreviewChoice, OrientationIsClampedAndItsPlaceComesFromTheFlipLine)
{
    using Order = ImageEntry::OrientationByteOrder;
    const std::tuple<std::u16string, int, Order, std::uint32_t> cases[] = {
        {u"Direction\t6\nFlipI1234\n", 6, Order::Little, 1234}, {u"Direction\t8\nFlipM42\n", 8, Order::Big, 42},
        {u"Direction\t9\n", 8, Order::Unknown, 0},             {u"Direction\t-3\n", 0, Order::Unknown, 0},
        {u"Direction\t65542\n", 8, Order::Unknown, 0},         {u"", 0, Order::Unknown, 0},
    };
    for (const auto& [lines, orientation, order, offset] : cases) {
        const ImageEntry entry = choose(kKindCr3, u"/p/f\n" + lines + camera(u"Canon", u"Canon EOS M50"));
        EXPECT_EQ(entry.orientation(), orientation) << orientation;
        EXPECT_EQ(entry.orientationByteOrder(), order) << orientation;
        EXPECT_EQ(entry.orientationOffset(), offset) << orientation;
    }
    // A file without a camera model gets the unknown camera, and is still
    // turned by its own orientation.
    ImageEntry entry;
    entry.setKind(kKindJpeg);
    choosePreviews(entry, u"/p/f\nDirection\t6\nFlipI100\n", cameras(), false);
    EXPECT_EQ(std::tuple(entry.cameraIndex(), entry.orientation(), entry.orientationOffset()),
              std::tuple(cameras().entryRowOf(metadata::kUnknownCameraId), 6, 100u));
}

TEST(PreviewChoiceCache, MamiyaAndVideoRecordsAreRedoneWhenTheSettingChanged)
{
    // Kind, thumbnail size, Mamiya setting, video grabbed at another time;
    // whether the record is redone, and its thumbnail size then. The MEF
    // thumbnail is the first 256 KiB, or developed (size 0).
    const std::tuple<std::uint32_t, std::uint32_t, bool, bool, bool, std::uint32_t> cases[] = {
        {kKindMef, 262'144, false, false, false, 262'144}, {kKindMef, 262'144, true, false, true, 0},
        {kKindMef, 0, true, false, false, 0},               {kKindMef, 0, false, false, true, 262'144},
        {kKindMef, 1000, true, false, false, 1000},         {kKindMef, 1000, false, false, false, 1000},
        {kKindVideo, 77, false, false, false, 77},          {kKindVideo, 77, false, true, true, 77},
        {kKindJpeg, 77, true, true, false, 77},
    };
    for (const auto& [kind, thumbSize, mamiya, videoAtOtherTime, redone, thumbSizeAfter] : cases) {
        ImageEntry entry;
        entry.setKind(kind);
        entry.setCacheIndex(4);
        entry.setThumbSize(thumbSize);
        EXPECT_EQ(applyCachedRecordRules(entry, mamiya, videoAtOtherTime), redone) << kind << " " << thumbSize;
        EXPECT_EQ(entry.cacheIndex(), redone ? -1 : 4);
        EXPECT_EQ(entry.hasFlag(ImageEntry::kFlagThumbInvalid), redone);
        EXPECT_EQ(entry.thumbSize(), thumbSizeAfter);
    }
}

} // namespace
} // namespace qlx::containers
