// Choosing an entry's thumbnail, preview, camera and orientation from its
// metadata text and camera record, and the rules for cached records.

#include "containers/preview_choice.h"

#include "imagelist/file_kind.h"
#include "io/record_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qlx::containers {
namespace {

using imagelist::ImageEntry;
using Layout = metadata::CameraRecordLayout;

struct Row {
    std::u16string maker;
    std::u16string model;
    std::uint32_t thumbSlot = 0;
    std::uint32_t previewSlot = 0;
    std::uint32_t id = 0;
};

// Rows 0..17 are the reserved rows with the fixed records; cameras of the
// makers follow.
metadata::CameraTable table()
{
    std::vector<Row> rows{
        {u"", u"JPG", 0, 0, 165}, {u"", u"TIFF", 0, 0, 166}, {u"", u"CRW", 0, 0, 167},
        {u"", u"DNG", 0, 0, 168}, {u"", u"RAW", 0, 0, 169}, {u"", u"MEF", 4, 0, 170},
        {u"", u"PSD", 0, 0, 171}, {u"", u"3FR", 0, 0, 172}, {u"", u"MPG", 0, 0, 173},
        {u"", u"DCR", 0, 0, 174}, {u"", u"X3F", 0, 0, 213}, {u"", u"unknown", 0, 0, 181},
    };
    rows.resize(18, Row{u"", u"", 0, 0, 0});
    rows.push_back({u"Canon", u"Canon EOS M50", 2, 1, 1001});
    rows.push_back({u"Canon", u"Canon EOS 40D", 0, 3, 1002});
    rows.push_back({u"Canon", u"Canon PowerShot", 5, 6, 1003});
    rows.push_back({u"FujiFilm", u"X-T3", 1, 1, 3001});
    rows.push_back({u"FujiFilm", u"X-T30", 1, 1, 3002});
    rows.push_back({u"Sigma", u"SIGMA DP2", 3, 3, 4001});
    shell::TableData data{std::vector<std::byte>(rows.size() * Layout::kSize), Layout::kSize};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto record = std::span<std::byte>(data.bytes).subspan(i * Layout::kSize, Layout::kSize);
        io::storeUtf16(record, Layout::kMaker, rows[i].maker);
        io::storeUtf16(record, Layout::kModel, rows[i].model);
        io::storeLe<std::uint32_t>(record, Layout::kThumbSlot.offset, rows[i].thumbSlot);
        io::storeLe<std::uint32_t>(record, Layout::kPreviewSlot.offset, rows[i].previewSlot);
        io::storeLe<std::uint32_t>(record, Layout::kId.offset, rows[i].id);
    }
    return metadata::CameraTable(data);
}

const metadata::CameraTable& cameras()
{
    static const metadata::CameraTable kTable = table();
    return kTable;
}

// The identifier of the camera record whose row the entry keeps.
std::uint32_t cameraIdOf(const ImageEntry& entry)
{
    const metadata::CameraRecord* record = cameras().recordAtRow(entry.cameraIndex());
    return record ? record->id : 0;
}

struct Chosen {
    std::uint32_t thumbOffset, thumbSize, previewOffset, previewSize;
    friend bool operator==(const Chosen&, const Chosen&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Chosen& c)
    {
        return out << c.thumbOffset << '/' << c.thumbSize << ' ' << c.previewOffset << '/' << c.previewSize;
    }
};

Chosen chosen(const ImageEntry& entry)
{
    return {entry.thumbOffset(), entry.thumbSize(), entry.previewOffset(), entry.previewSize()};
}

ImageEntry choose(std::uint32_t kind, std::u16string_view text, bool mamiya = false)
{
    ImageEntry entry;
    entry.setKind(kind);
    choosePreviews(entry, text, cameras(), mamiya);
    return entry;
}

constexpr std::u16string_view kSlots =
    u"/p/f\ncg1ofs\t1000\ncg1size\t100\ncg2ofs\t2000\ncg2size\t200\ncg3ofs\t3000\ncg3size\t300\n";

std::u16string text(std::u16string_view maker, std::u16string_view model, std::u16string_view more = kSlots)
{
    return std::u16string(more) + u"Maker\t" + std::u16string(maker) + u"\nModel\t" + std::u16string(model) + u"\n";
}

TEST(PreviewChoice, CameraThumbnailAndPreviewSlots)
{
    // EOS M50: thumbnail slot 2, preview slot 1.
    const ImageEntry entry = choose(imagelist::kKindCr3, text(u"Canon", u"Canon EOS M50"));
    EXPECT_EQ(chosen(entry), (Chosen{2000, 200, 1000, 100}));
    EXPECT_EQ(cameraIdOf(entry), 1001);
    EXPECT_TRUE(entry.hasFlag(ImageEntry::kFlagMetadataRead));
}

TEST(PreviewChoice, ThumbnailSlotZeroDecodesTheFirst256KiB)
{
    // EOS 40D: thumbnail slot 0, preview slot 3.
    const ImageEntry entry = choose(imagelist::kKindCr2, text(u"Canon", u"Canon EOS 40D"));
    EXPECT_EQ(chosen(entry), (Chosen{0, 262'144, 3000, 300}));
}

TEST(PreviewChoice, PhotoshopThumbnailComesFirst)
{
    const std::u16string withSlot6 = std::u16string(kSlots) + u"cg6ofs\t7000\ncg6size\t700\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindCr3, text(u"Canon", u"Canon EOS M50", withSlot6))),
              (Chosen{7000, 700, 1000, 100}));
    // A slot 6 with only one of its lines is no slot 6.
    const std::u16string halfSlot6 = std::u16string(kSlots) + u"cg6ofs\t7000\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindCr3, text(u"Canon", u"Canon EOS M50", halfSlot6))),
              (Chosen{2000, 200, 1000, 100}));
}

TEST(PreviewChoice, MissingThumbnailSlotFallsBackToThePreviewSlot)
{
    // PowerShot: thumbnail slot 5 and preview slot 6, neither written; then
    // only the preview slot.
    EXPECT_EQ(chosen(choose(imagelist::kKindCr2, text(u"Canon", u"Canon PowerShot"))), (Chosen{0, 0, 0, 0}));
    const std::u16string slot6Offset = u"/p/f\ncg6ofs\t600\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindCr2, text(u"Canon", u"Canon PowerShot", slot6Offset))),
              (Chosen{600, 0, 600, 0}));
}

TEST(PreviewChoice, MissingPreviewSlotTakesTheThumbnail)
{
    const std::u16string onlySlot2 = u"/p/f\ncg2ofs\t2000\ncg2size\t200\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindCr3, text(u"Canon", u"Canon EOS M50", onlySlot2))),
              (Chosen{2000, 200, 2000, 200}));
}

TEST(PreviewChoice, XT3PreviewIsThreeTimesItsSlot)
{
    EXPECT_EQ(chosen(choose(imagelist::kKindRaf, text(u"FUJIFILM", u"X-T3"))), (Chosen{1000, 100, 1000, 300}));
    EXPECT_EQ(chosen(choose(imagelist::kKindRaf, text(u"FUJIFILM", u"X-T30"))), (Chosen{1000, 100, 1000, 100}));
}

TEST(PreviewChoice, FixedRecordsThatDecodeTheWholeFileKeepAnEmptyPreview)
{
    for (const std::uint32_t kind : {imagelist::kKindJpeg, imagelist::kKindTiff, imagelist::kKindCrw,
                                     imagelist::kKindDng, imagelist::kKindRaw, imagelist::kKindMef,
                                     imagelist::kKindX3f}) {
        const ImageEntry entry = choose(kind, text(u"Any", u"Any Model"));
        EXPECT_EQ(entry.previewSize(), 0u) << kind;
        EXPECT_EQ(entry.previewOffset(), 0u) << kind;
    }
    for (const std::uint32_t kind : {imagelist::kKindPsd, imagelist::kKind3fr, imagelist::kKindVideo,
                                     imagelist::kKindDcr}) {
        const ImageEntry entry = choose(kind, text(u"Any", u"Any Model"));
        EXPECT_EQ(chosen(entry), (Chosen{0, 262'144, 0, 262'144})) << kind;
    }
    EXPECT_EQ(cameraIdOf(choose(imagelist::kKindJpeg, text(u"Canon", u"Canon EOS M50"))), 165);
    EXPECT_EQ(cameraIdOf(choose(imagelist::kKindDcr, u"/p/f\n")), 174);
}

TEST(PreviewChoice, X3fIsLookedUpOnlyWhenItNamesItsModel)
{
    const ImageEntry named = choose(imagelist::kKindX3f, text(u"SIGMA", u"SIGMA DP2"));
    EXPECT_EQ(cameraIdOf(named), 4001);
    EXPECT_EQ(chosen(named), (Chosen{3000, 300, 3000, 300}));
    const ImageEntry unnamed = choose(imagelist::kKindX3f, kSlots);
    EXPECT_EQ(cameraIdOf(unnamed), 213);
    EXPECT_EQ(chosen(unnamed), (Chosen{0, 262'144, 0, 0}));
}

TEST(PreviewChoice, NoModelGivesTheUnknownCameraWithOnlySlot6)
{
    std::u16string noModel = std::u16string(kSlots) + u"Direction\t6\nFlipI100\nModel\t   \n";
    ImageEntry entry;
    entry.setKind(imagelist::kKindJpeg);
    entry.setOrientation(3);
    entry.setThumbOffset(5);
    choosePreviews(entry, noModel, cameras(), false);
    EXPECT_EQ(cameraIdOf(entry), metadata::kUnknownCameraId);
    EXPECT_EQ(chosen(entry), (Chosen{0, 0, 0, 0}));
    EXPECT_EQ(entry.orientation(), 3) << "the orientation is not chosen for the unknown camera";
    EXPECT_TRUE(entry.hasFlag(ImageEntry::kFlagMetadataRead));

    noModel += u"cg6ofs\t90\ncg6size\t9\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindNef, noModel)), (Chosen{90, 9, 0, 0}));
    // A failed pass leaves an empty text.
    EXPECT_EQ(cameraIdOf(choose(imagelist::kKindCr2, u"")), metadata::kUnknownCameraId);
}

TEST(PreviewChoice, ModelNotInTheTableGivesTheUnknownCamera)
{
    const ImageEntry entry = choose(imagelist::kKindNef, text(u"NIKON CORPORATION", u"NIKON Z 9"));
    EXPECT_EQ(cameraIdOf(entry), metadata::kUnknownCameraId);
    EXPECT_EQ(chosen(entry), (Chosen{0, 0, 0, 0}));
    // Without the table nothing is known.
    ImageEntry bare;
    bare.setKind(imagelist::kKindJpeg);
    choosePreviews(bare, text(u"Canon", u"Canon EOS M50"), metadata::CameraTable{}, false);
    EXPECT_EQ(chosen(bare), (Chosen{0, 0, 0, 0}));
}

TEST(PreviewChoice, MamiyaThumbnailSlotOnlyWithTheDevelopmentSetting)
{
    const std::u16string slots = u"/p/f\ncg4ofs\t4000\ncg4size\t400\n";
    EXPECT_EQ(chosen(choose(imagelist::kKindMef, slots, false)), (Chosen{0, 262'144, 0, 0}));
    EXPECT_EQ(chosen(choose(imagelist::kKindMef, slots, true)), (Chosen{4000, 400, 0, 0}));
    // Without slot 4 (and the preview slot 0 never written), size 0: the
    // thumbnail is developed.
    EXPECT_EQ(chosen(choose(imagelist::kKindMef, u"/p/f\n", true)), (Chosen{0, 0, 0, 0}));
}

TEST(PreviewChoice, OrientationIsClampedAndItsPlaceComesFromTheFlipLine)
{
    auto oriented = [](std::u16string_view lines) {
        return choose(imagelist::kKindCr3, text(u"Canon", u"Canon EOS M50", std::u16string(u"/p/f\n") + std::u16string(lines)));
    };
    const ImageEntry little = oriented(u"Direction\t6\nFlipI1234\n");
    EXPECT_EQ(little.orientation(), 6);
    EXPECT_EQ(little.orientationByteOrder(), ImageEntry::OrientationByteOrder::Little);
    EXPECT_EQ(little.orientationOffset(), 1234u);
    const ImageEntry big = oriented(u"Direction\t8\nFlipM42\n");
    EXPECT_EQ(big.orientation(), 8);
    EXPECT_EQ(big.orientationByteOrder(), ImageEntry::OrientationByteOrder::Big);
    EXPECT_EQ(big.orientationOffset(), 42u);
    EXPECT_EQ(oriented(u"Direction\t9\n").orientation(), 8);
    EXPECT_EQ(oriented(u"Direction\t-3\n").orientation(), 0);
    EXPECT_EQ(oriented(u"Direction\t65542\n").orientation(), 8);
    const ImageEntry none = oriented(u"");
    EXPECT_EQ(none.orientation(), 0);
    EXPECT_EQ(none.orientationByteOrder(), ImageEntry::OrientationByteOrder::Unknown);
    EXPECT_EQ(none.orientationOffset(), 0u);
}

TEST(PreviewChoice, SlotValuesReadBackThe32BitsTheyWereWrittenFrom)
{
    const SlotValues values = slotValues(u"cg1ofs\t-2147483000\ncg1size\t-8\n", 1);
    ASSERT_TRUE(values.offset);
    EXPECT_EQ(*values.offset, 0x8000'0288u);
    EXPECT_EQ(values.size, 0xFFFF'FFF8u);
    EXPECT_FALSE(slotValues(u"cg1ofs\t\n", 1).offset);
    EXPECT_FALSE(slotValues(u"cg11ofs\t5\n", 1).offset);
    EXPECT_EQ(slotValues(u"cg12ofs\t5\n", 12).offset, 5u);
}

TEST(PreviewChoiceCache, MamiyaRecordsFollowTheSetting)
{
    ImageEntry entry;
    entry.setKind(imagelist::kKindMef);
    entry.setCacheIndex(4);
    entry.setThumbSize(262'144);
    EXPECT_FALSE(applyCachedRecordRules(entry, false, false));
    EXPECT_EQ(entry.cacheIndex(), 4);
    EXPECT_TRUE(applyCachedRecordRules(entry, true, false));
    EXPECT_EQ(entry.thumbSize(), 0u);
    EXPECT_EQ(entry.cacheIndex(), -1);
    EXPECT_TRUE(entry.hasFlag(ImageEntry::kFlagThumbInvalid));

    entry.setCacheIndex(5);
    entry.setFlag(ImageEntry::kFlagThumbInvalid, false);
    EXPECT_FALSE(applyCachedRecordRules(entry, true, false));
    EXPECT_TRUE(applyCachedRecordRules(entry, false, false));
    EXPECT_EQ(entry.thumbSize(), 262'144u);
    EXPECT_EQ(entry.cacheIndex(), -1);
    EXPECT_TRUE(entry.hasFlag(ImageEntry::kFlagThumbInvalid));

    entry.setThumbSize(1000);
    entry.setCacheIndex(6);
    EXPECT_FALSE(applyCachedRecordRules(entry, true, false));
    EXPECT_FALSE(applyCachedRecordRules(entry, false, false));
    EXPECT_EQ(entry.cacheIndex(), 6);
}

TEST(PreviewChoiceCache, VideoThumbnailsOfAnotherTimeAreRedoneWithTheirFields)
{
    ImageEntry video;
    video.setKind(imagelist::kKindVideo);
    video.setCacheIndex(2);
    video.setThumbSize(77);
    EXPECT_FALSE(applyCachedRecordRules(video, false, false));
    EXPECT_TRUE(applyCachedRecordRules(video, false, true));
    EXPECT_EQ(video.thumbSize(), 77u);
    EXPECT_EQ(video.cacheIndex(), -1);
    EXPECT_TRUE(video.hasFlag(ImageEntry::kFlagThumbInvalid));

    ImageEntry jpeg;
    jpeg.setKind(imagelist::kKindJpeg);
    jpeg.setCacheIndex(2);
    EXPECT_FALSE(applyCachedRecordRules(jpeg, true, true));
    EXPECT_EQ(jpeg.cacheIndex(), 2);
}

} // namespace
} // namespace qlx::containers
