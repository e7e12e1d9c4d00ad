// The camera and lens tables the build generates from data/, loaded the way
// the program loads them at start-up.
//
// Expected values for the sample files were read with exiftool (-n -a -G1:
// Make, Model, PreviewImage/JpgFromRaw/ThumbnailImage starts and lengths,
// the IFD image sizes) and written here by hand.

#include "containers/metadata_pass.h"
#include "containers/preview_choice.h"
#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "imagelist/video_extensions.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "metadata/lens_text.h"
#include "shell/data_tables.h"
#include "support/samples_gtest.h"

#include <QString>

#include <fstream>
#include <map>
#include <set>
#include <string>

namespace qlx::metadata {
namespace {

using namespace std::string_literals;

// The tables as the program loads them at start-up, once for all tests.
struct Loaded {
    shell::DataTables data;
    shell::TablesStatus status = shell::loadDataTables(test::buildDir() / "bin", data);
    CameraTable cameras{data.camera};
    LensTables lenses{data.lenses};
};
const Loaded& loaded()
{
    static const Loaded kLoaded;
    return kLoaded;
}
const CameraTable& cameras() { return loaded().cameras; }
const LensTables& lenses() { return loaded().lenses; }

// Rows of a data/ source: lines that are neither blank, nor comments, nor
// the header.
std::size_t sourceRows(const char* fileName)
{
    std::ifstream in(test::sourceDir() / "data" / fileName);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);)
        lines += !line.empty() && line[0] != '#';
    return lines - 1;
}

TEST(GeneratedTables, LoadWithARecordForEverySourceRow)
{
    ASSERT_EQ(loaded().status, shell::TablesStatus::Loaded);
    EXPECT_EQ(sourceRows("reserved_cameras.tsv"), kFirstMakerRow);
    EXPECT_EQ(cameras().rowCount(), kFirstMakerRow + sourceRows("cameras.tsv"));
    const std::map<LensTableId, const char*> sources{
        {LensTableId::Canon, "lens_canon.tsv"},     {LensTableId::Nikon, "lens_nikon.tsv"},
        {LensTableId::Pentax, "lens_pentax.tsv"},   {LensTableId::Olympus, "lens_olympus.tsv"},
        {LensTableId::OlympusExtender, "lens_olympus_ext.tsv"}, {LensTableId::Sony, "lens_sony.tsv"}};
    for (const auto& [table, file] : sources)
        EXPECT_EQ(lenses().rowCount(table), sourceRows(file)) << file;
}

// A maker's cameras are searched in its range: every row of a maker lies in
// it, and the ranges hold no other rows (so a maker's rows stand together).
TEST(GeneratedTables, MakersRowsLieInTheirRanges)
{
    std::size_t ranged = 0;
    for (std::size_t row = kFirstMakerRow; row < cameras().rowCount(); ++row) {
        if (const auto maker = cameraMakerOfTableName(cameras().record(row).maker)) {
            const RowRange range = cameras().makerRange(*maker);
            EXPECT_TRUE(row >= range.first && row < range.first + range.count) << "row " << row;
            ++ranged;
        }
    }
    std::size_t inRanges = 0;
    for (std::size_t i = 0; i < kCameraMakerCount; ++i) {
        EXPECT_GT(cameras().makerRange(static_cast<CameraMaker>(i)).count, 0u) << "maker " << i;
        inRanges += cameras().makerRange(static_cast<CameraMaker>(i)).count;
    }
    EXPECT_EQ(inRanges, ranged);
}

// Identifiers are unique and fit the entry's 16 bits, slots and models fit
// the program; the fixed records of the file kinds and the unknown camera sit
// in the reserved rows, where no lookup by model finds them.
TEST(GeneratedTables, RecordsFitTheProgram)
{
    std::set<std::uint32_t> ids;
    for (std::size_t row = 0; row < cameras().rowCount(); ++row) {
        const CameraRecord& record = cameras().record(row);
        if (record.id == 0 && record.model.empty())
            continue;
        EXPECT_TRUE(ids.insert(record.id).second) << "identifier " << record.id << " twice";
        EXPECT_LE(record.id, 0xFFFFu);
        EXPECT_LE(std::max(record.thumbSlot, record.previewSlot), 6u) << record.id;
        EXPECT_LT(record.model.size(), kMaxModelLength);
    }
    using namespace imagelist;
    for (const std::uint32_t kind : {kKindJpeg, kKindTiff, kKindCrw, kKindDng, kKindRaw, kKindMef, kKindPsd,
                                     kKind3fr, kKindVideo, kKindDcr, kKindX3f, 0u}) {
        const std::uint32_t id = kind ? fixedCameraId(kind).value_or(0) : kUnknownCameraId;
        const auto row = cameras().rowOfCamera(id);
        ASSERT_TRUE(row) << id;
        EXPECT_LT(*row, kFirstMakerRow) << id;
        EXPECT_TRUE(cameras().record(*row).model.empty()) << id;
    }
}

// Lens names as exiftool gives them for the lens codes the maker notes hold,
// one or two per table; the lookup rules are lens_text_test.cpp's.
TEST(GeneratedTables, LensNamesOfTheMakersCodes)
{
    using namespace imagelist;
    const struct {
        std::uint32_t kind;
        std::u16string_view text, maker, name;
    } cases[] = {
        // LensType 237 of the EF 24-105mm f/4L IS USM.
        {kKindCr2, u"Lex3\t0\nLex2\t105\nLex1\t24\nLex4\t237\n", u"Canon", u"Canon EF 24-105mm f/4L IS USM"},
        // A type several lenses share: the focal lengths pick the lens.
        {kKindCr2, u"Lex3\t6\nLex2\t50\nLex1\t18\n", u"Canon", u"Sigma 18-50mm f/3.5-5.6 DC"},
        // 50/1 50/1 14/10 14/10 with f-stops 0x54: three Nikkors, the newest named.
        {kKindNef, u"Lex1\tG\nLens\t50mm F1.4\nLex3\t54\n", u"NIKON CORPORATION", u"AF-S Nikkor 50mm f/1.4G"},
        // The D70 sample's lens (LensFStops 5.33).
        {kKindNef, u"Lex1\tG\nLens\t18-70mm F3.5-4.5\nLex3\t40\n", u"NIKON", u"AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED"},
        {kKindArw, u"Lens\t2\n", u"SONY", u"Minolta AF 28-70mm F2.8 G"},
        {kKindMrw, u"Lens\t4\n", u"Minolta", u"Minolta AF 85mm F1.4G"},
        // The K10D sample's LensType 3 44 (3 * 256 + 44).
        {kKindPef, u"Lens\t812\n", u"PENTAX", u"Sigma or Tamron Lens (3 44)"},
        // The E-1 sample's LensType 00 00 05 00 00 00 with the EC-14 (00 00 04 ...).
        {kKindOrf, u"Lens\t000005000000\nExt\t000004000000\n", u"OLYMPUS",
         u"Olympus Zuiko Digital 14-54mm F2.8-3.5 +Olympus Zuiko Digital EC-14 1.4x Teleconverter"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lensText(c.kind, c.text, c.maker, lenses()), c.name) << QString::fromStdU16String(std::u16string(c.text)).toStdString();
    // Every key is in the form the maker notes write.
    for (const NikonLensRecord& record : lenses().nikon()) {
        const QString text = QString::fromStdU16String(record.lensText);
        EXPECT_TRUE(text.contains(QStringLiteral("mm F")) && !text.contains(QStringLiteral(".0"))) << text.toStdString();
        EXPECT_EQ(record.fStops.size(), 2u);
    }
    for (const OlympusLensRecord& record : lenses().olympus())
        EXPECT_EQ(record.key.size(), kOlympusKeyLength);
}

// ---- The sample files ------------------------------------------------------

struct SampleCamera {
    const char* file;
    const char16_t* maker;
    const char16_t* model;
};

// A camera sample of every maker range and every way its makers write
// their name, with Make and Model as exiftool reads them. (The samples of
// SamplePreviewsAreTheirLargestJpegs find their cameras there.) Cameras of
// makers without a range of their own (Apple, Google, Casio, ...) are left
// out: only their DNG files would reach the table, and DNG has a fixed record.
constexpr SampleCamera kCameraSamples[] = {
    {"exiftool/ExifTool.jpg", u"Canon", u"Canon PowerShot A5"},
    {"exiftool/Nikon.nef", u"NIKON CORPORATION", u"NIKON D70"},
    {"exif-samples/gps/DSCN0010.jpg", u"NIKON", u"COOLPIX P6000"},
    {"exiftool/Pentax.jpg", u"PENTAX Corporation", u"PENTAX K10D"},
    {"exiftool/OlympusE1.jpg", u"OLYMPUS CORPORATION", u"E-1"},
    {"exiftool/FujiFilm.raf", u"FUJIFILM", u"FinePix S5Pro"},
    {"exiftool/Sony.jpg", u"SONY", u"DSC-F828"},
    {"exiftool/Minolta.mrw", u"Konica Minolta Camera, Inc.", u"DiMAGE A2"},
    {"exiftool/Minolta.jpg", u"Minolta Co., Ltd.", u"DiMAGE 7i"},
    {"exiftool/Sigma.x3f", u"SIGMA", u"SIGMA SD10"},
    {"exif-samples/tests/67-0_length_string.jpg", u"samsung", u"SM-G930F"},
};

TEST(GeneratedTables, EveryCameraSampleFindsItsCamera)
{
    for (const SampleCamera& sample : kCameraSamples)
        EXPECT_NE(cameras().findCamera(sample.model, sample.maker), kUnknownCameraId) << sample.file;
}

struct SamplePreview {
    const char* file;
    std::uint32_t fixedCamera; // 0: looked up by Maker and Model
    std::uint32_t previewOffset;
    std::uint32_t previewSize;
    std::uint32_t thumbOffset;
    std::uint32_t thumbSize;
};

// The camera samples of the RAW kinds as the program reads them: the
// preview is the largest embedded JPEG exiftool finds among the slots the
// file fills, the thumbnail the smallest.
constexpr SamplePreview kSamplePreviews[] = {
    // IFD0 PreviewImage (1536x1024) and IFD1 ThumbnailImage.
    {"exiftool/CanonRaw.cr2", 0, 8680, 26, 8620, 28},
    // SubIFD JpgFromRaw (full size) and the PreviewIFD's PreviewImage.
    {"exiftool/Nikon.nef", 0, 1120, 29, 5958, 26},
    // The maker note's PreviewImage (exiftool: 2082 from the TIFF header at
    // 48) is the only JPEG.
    {"exiftool/Minolta.mrw", 0, 2130, 26, 2130, 26},
    // IFD0 JpgFromRaw (0x002E) is the only JPEG the file structure records.
    {"exiftool/Panasonic.rw2", 0, 1536, 10785, 1536, 10785},
    // The X3F JPEG section (JpgFromRaw, 2676 bytes behind its 28-byte head)
    // and the thumbnail of its Exif IFD1.
    {"exiftool/SigmaDP2.x3f", 0, 292, 2704, 2664, 28},
    // CIFF 0x2007 JpgFromRaw.
    {"exiftool/CanonRaw.crw", kCameraIdCrw, 48, 29, 48, 29},
    // SubIFD1 PreviewImage (1024x683); the first 256 KiB for the thumbnail.
    // (Its full-size JpgFromRaw sits in a third SubIFD, which no slot names.)
    {"exiftool/DNG.dng", kCameraIdDng, 12780, 26, 0, containers::kLeadingThumbnailBytes},
    // No embedded JPEG at all: developed.
    {"raw-full/colorchart.dng", kCameraIdDng, 0, 0, 0, containers::kLeadingThumbnailBytes},
    {"exiftool/KyoceraRaw.raw", kCameraIdPanasonicRaw, 0, 0, 0, 0},
    // No Exif model: the fixed X3F record.
    {"exiftool/Sigma.x3f", kCameraIdX3f, 0, 0, 0, 0},
};

std::u16string utf16Of(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string()).toStdU16String();
}

TEST(GeneratedTables, SamplePreviewsAreTheirLargestJpegs)
{
    for (const SamplePreview& sample : kSamplePreviews) {
        QLX_NEED_SAMPLES(test::samplesDir() / sample.file);
    }
    for (const SamplePreview& sample : kSamplePreviews) {
        const auto path = test::samplesDir() / sample.file;
        io::PosixFileSource file(path);
        const auto pass = containers::readMetadata(file, utf16Of(path));
        imagelist::ImageEntry entry;
        entry.setKind(imagelist::classify(utf16Of(path.filename()), imagelist::kDefaultTargetMask,
                                          imagelist::defaultVideoExtensions()));
        containers::choosePreviews(entry, pass.ok ? entryText(pass.text) : std::u16string{}, cameras(), false);
        const CameraRecord* camera = cameras().recordAtRow(entry.cameraIndex());
        ASSERT_NE(camera, nullptr) << sample.file;
        EXPECT_TRUE(sample.fixedCamera ? camera->id == sample.fixedCamera : camera->id != kUnknownCameraId) << sample.file;
        EXPECT_EQ(entry.previewOffset(), sample.previewOffset) << sample.file;
        EXPECT_EQ(entry.previewSize(), sample.previewSize) << sample.file;
        EXPECT_EQ(entry.thumbOffset(), sample.thumbOffset) << sample.file;
        EXPECT_EQ(entry.thumbSize(), sample.thumbSize) << sample.file;
    }
}

} // namespace
} // namespace qlx::metadata
