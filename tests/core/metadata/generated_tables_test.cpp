// The camera and lens tables the build generates from data/, loaded the way
// the program loads them at start-up.
//
// Expected values for the sample files were read with exiftool (-n -a -G1:
// Make, Model, PreviewImage/JpgFromRaw/ThumbnailImage starts and lengths,
// the IFD image sizes) and written here by hand.

#include "imagelist/file_kind.h"
#include "imagelist/image_entry.h"
#include "imagelist/video_extensions.h"
#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "metadata/lens_text.h"
#include "containers/metadata_pass.h"
#include "shell/data_tables.h"
#include "support/test_paths.h"
#include "containers/preview_choice.h"

#include <gtest/gtest.h>

#include <QString>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace qlx::metadata {
namespace {

using namespace std::string_literals;

class GeneratedTables : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        auto data = std::make_unique<shell::DataTables>();
        s_status = shell::loadDataTables(test::buildDir() / "bin", *data);
        s_cameras = std::make_unique<CameraTable>(data->camera);
        s_lenses = std::make_unique<LensTables>(data->lenses);
        s_data = std::move(data);
    }
    static void TearDownTestSuite()
    {
        s_cameras.reset();
        s_lenses.reset();
        s_data.reset();
    }

    static const CameraTable& cameras() { return *s_cameras; }
    static const LensTables& lenses() { return *s_lenses; }

    static std::size_t rowOf(std::u16string_view model)
    {
        for (std::size_t row = 0; row < cameras().rowCount(); ++row) {
            if (cameras().record(row).model == model)
                return row;
        }
        return cameras().rowCount();
    }

    static inline shell::TablesStatus s_status = shell::TablesStatus::CameraFailed;
    static inline std::unique_ptr<shell::DataTables> s_data;
    static inline std::unique_ptr<CameraTable> s_cameras;
    static inline std::unique_ptr<LensTables> s_lenses;
};

// Rows of a data/ source: lines that are neither blank, nor comments, nor
// the header.
std::size_t sourceRows(const char* fileName)
{
    std::ifstream in(test::sourceDir() / "data" / fileName);
    std::string line;
    std::size_t rows = 0;
    bool header = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (!header)
            header = true;
        else
            ++rows;
    }
    return rows;
}

TEST_F(GeneratedTables, LoadWithARecordForEverySourceRow)
{
    ASSERT_EQ(s_status, shell::TablesStatus::Loaded);
    EXPECT_EQ(sourceRows("reserved_cameras.tsv"), kFirstMakerRow);
    EXPECT_EQ(cameras().rowCount(), kFirstMakerRow + sourceRows("cameras.tsv"));
    EXPECT_GT(cameras().rowCount(), 900u);
    const std::map<LensTableId, const char*> sources{
        {LensTableId::Canon, "lens_canon.tsv"},     {LensTableId::Nikon, "lens_nikon.tsv"},
        {LensTableId::Pentax, "lens_pentax.tsv"},   {LensTableId::Olympus, "lens_olympus.tsv"},
        {LensTableId::OlympusExtender, "lens_olympus_ext.tsv"}, {LensTableId::Sony, "lens_sony.tsv"}};
    for (const auto& [table, file] : sources) {
        EXPECT_EQ(lenses().rowCount(table), sourceRows(file)) << file;
        EXPECT_GT(lenses().rowCount(table), 0u) << file;
    }
    EXPECT_GT(lenses().rowCount(LensTableId::Canon), 400u);
    EXPECT_GT(lenses().rowCount(LensTableId::Nikon), 400u);
    EXPECT_GT(lenses().rowCount(LensTableId::Sony), 300u);
}

TEST_F(GeneratedTables, MakersRowsAreContiguousAndMakeTheRanges)
{
    std::map<CameraMaker, std::pair<std::size_t, std::size_t>> seen; // first row, count
    std::optional<CameraMaker> previous;
    std::set<CameraMaker> finished;
    for (std::size_t row = kFirstMakerRow; row < cameras().rowCount(); ++row) {
        const auto maker = cameraMakerOfTableName(cameras().record(row).maker);
        if (maker != previous && previous)
            finished.insert(*previous);
        if (maker) {
            EXPECT_FALSE(finished.contains(*maker)) << "row " << row << " separated from its maker's rows";
            auto& [first, count] = seen.try_emplace(*maker, row, 0).first->second;
            ++count;
            EXPECT_EQ(first + count - 1, row);
        }
        previous = maker;
    }
    for (std::size_t i = 0; i < kCameraMakerCount; ++i) {
        const auto maker = static_cast<CameraMaker>(i);
        ASSERT_TRUE(seen.contains(maker)) << "maker " << i << " has no cameras";
        EXPECT_EQ(cameras().makerRange(maker).first, seen[maker].first);
        EXPECT_EQ(cameras().makerRange(maker).count, seen[maker].second);
    }
}

TEST_F(GeneratedTables, EveryFixedRecordSitsInTheReservedRows)
{
    using namespace imagelist;
    for (const std::uint32_t kind : {kKindJpeg, kKindTiff, kKindCrw, kKindDng, kKindRaw, kKindMef, kKindPsd,
                                     kKind3fr, kKindVideo, kKindDcr, kKindX3f}) {
        const auto id = fixedCameraId(kind);
        ASSERT_TRUE(id) << kind;
        const auto row = cameras().rowOfCamera(*id);
        ASSERT_TRUE(row) << *id;
        EXPECT_LT(*row, kFirstMakerRow) << *id;
        EXPECT_TRUE(cameras().record(*row).model.empty()) << *id;
    }
    const auto unknown = cameras().rowOfCamera(kUnknownCameraId);
    ASSERT_TRUE(unknown);
    EXPECT_LT(*unknown, kFirstMakerRow);

    // Whole-file records: JPG and TIFF thumbnails come from IFD1, their
    // previews are the file itself; DNG's preview is its second SubIFD.
    EXPECT_EQ(cameras().recordOfCamera(kCameraIdJpg)->thumbSlot, 2u);
    EXPECT_EQ(cameras().recordOfCamera(kCameraIdJpg)->previewSlot, 0u);
    EXPECT_EQ(cameras().recordOfCamera(kCameraIdDng)->previewSlot, 5u);
    EXPECT_EQ(cameras().recordOfCamera(kCameraIdCrw)->previewSlot, 1u);
    EXPECT_EQ(cameras().recordOfCamera(kCameraIdX3f)->previewSlot, 3u);
}

TEST_F(GeneratedTables, IdentifiersAreUniqueAndFitTheEntry)
{
    std::set<std::uint32_t> ids;
    for (std::size_t row = 0; row < cameras().rowCount(); ++row) {
        const CameraRecord& record = cameras().record(row);
        if (record.id == 0 && record.model.empty())
            continue;
        EXPECT_TRUE(ids.insert(record.id).second) << "identifier " << record.id << " twice";
        EXPECT_LE(record.id, 0xFFFFu); // the image entry keeps 16 bits
        EXPECT_LE(record.thumbSlot, 6u);
        EXPECT_LE(record.previewSlot, 6u);
        EXPECT_LT(record.model.size(), kMaxModelLength);
    }
}

TEST_F(GeneratedTables, ModelsMatchIgnoringBlanksAndCase)
{
    const std::uint32_t id = cameras().findCamera(u"Canon EOS 5D Mark IV", u"Canon");
    EXPECT_NE(id, kUnknownCameraId);
    EXPECT_EQ(cameras().findCamera(u"Canon EOS5D MARK IV", u"Canon"), id);
    EXPECT_EQ(cameras().findCamera(u"canon eos 5d mark iv", u"CANON INC."), id);
    EXPECT_EQ(cameras().recordOfCamera(id)->cropFactor, 1.0f);
    EXPECT_TRUE(cameras().recordOfCamera(id)->developable);
}

TEST_F(GeneratedTables, ModelsOf32CharactersAreUnknown)
{
    // A real model padded with blanks to 32 characters would match after
    // normalising, but the lookup never gets that far.
    std::u16string padded = u"Canon EOS 5D Mark IV";
    padded.resize(32, u' ');
    EXPECT_EQ(cameras().findCamera(padded, u"Canon"), kUnknownCameraId);
    padded.resize(31);
    EXPECT_NE(cameras().findCamera(padded, u"Canon"), kUnknownCameraId);
}

TEST_F(GeneratedTables, RicohMakersAreSearchedInThePentaxRange)
{
    const std::uint32_t k1 = cameras().findCamera(u"PENTAX K-1", u"RICOH IMAGING COMPANY, LTD.");
    ASSERT_NE(k1, kUnknownCameraId);
    EXPECT_EQ(k1, cameras().findCamera(u"PENTAX K-1", u"PENTAX"));
    const RowRange pentax = cameras().makerRange(CameraMaker::Pentax);
    const std::size_t row = *cameras().rowOfCamera(k1);
    EXPECT_GE(row, pentax.first);
    EXPECT_LT(row, pentax.first + pentax.count);
    // Ricoh's own cameras share that range.
    EXPECT_NE(cameras().findCamera(u"GR II", u"RICOH IMAGING COMPANY, LTD."), kUnknownCameraId);
}

TEST_F(GeneratedTables, CanonLensFromTypeAndFocalLengths)
{
    using imagelist::kKindCr2;
    // No public lens list assigns lens type 61, so a 24-105 mm lens of that
    // type keeps the text it had.
    EXPECT_EQ(lensText(kKindCr2, u"Lex3\t0\nLex2\t105\nLex1\t24\nLex4\t61\n", u"Canon", lenses(), u"24-105mm"),
              u"24-105mm");
    // The same lookup with the type the EF 24-105mm f/4L IS USM reports.
    EXPECT_EQ(lensText(kKindCr2, u"Lex3\t0\nLex2\t105\nLex1\t24\nLex4\t237\n", u"Canon", lenses()),
              u"Canon EF 24-105mm f/4L IS USM");
    EXPECT_EQ(lensText(kKindCr2, u"Lex3\t237\nLex2\t105\nLex1\t24\n", u"Canon", lenses()),
              u"Canon EF 24-105mm f/4L IS USM");
    // A type shared by several lenses: the focal lengths pick the lens.
    EXPECT_EQ(lensText(kKindCr2, u"Lex3\t6\nLex2\t50\nLex1\t18\n", u"Canon", lenses()),
              u"Sigma 18-50mm f/3.5-5.6 DC");
    EXPECT_EQ(lensText(kKindCr2, u"Lex3\t6\nLex2\t70\nLex1\t28\n", u"Canon", lenses()),
              u"Canon EF 28-70mm f/3.5-4.5 or Sigma or Tokina Lens");
}

TEST_F(GeneratedTables, NikonLensFromLensTextAndFStops)
{
    using imagelist::kKindNef;
    // 50/1 50/1 14/10 14/10 is written "50mm F1.4"; f-stops code 0x54. Three
    // Nikkors share that key; the newest is named.
    EXPECT_EQ(lensText(kKindNef, u"Lex1\tG\nLens\t50mm F1.4\nLex3\t54\n", u"NIKON CORPORATION", lenses()),
              u"AF-S Nikkor 50mm f/1.4G");
    // The D2Hs sample's lens (exiftool: AF Nikkor 50mm f/1.8D, LensFStops 7.33).
    EXPECT_EQ(lensText(kKindNef, u"Lex1\tG\nLens\t50mm F1.8\nLex3\t58\n", u"NIKON CORPORATION", lenses()),
              u"AF Nikkor 50mm f/1.8D");
    // 70/1 200/1 28/10 28/10 is written "70-200mm F2.8".
    const LensName* zoom = lenses().findNikon(u"70-200mm F2.8", u"48");
    ASSERT_NE(zoom, nullptr);
    EXPECT_NE(zoom->name.find(u"70-200mm f/2.8"), std::u16string::npos);
    // The D70 sample's kit lens (exiftool: LensID AF-S DX Zoom-Nikkor 18-70mm
    // f/3.5-4.5G IF-ED, LensFStops 5.33 = 0x40 / 12).
    EXPECT_EQ(lensText(kKindNef, u"Lex1\tG\nLens\t18-70mm F3.5-4.5\nLex3\t40\n", u"NIKON", lenses()),
              u"AF-S DX Zoom-Nikkor 18-70mm f/3.5-4.5G IF-ED");
    // Every lens text is in the form the maker note writes.
    for (const NikonLensRecord& record : lenses().nikon()) {
        const QString text = QString::fromStdU16String(record.lensText);
        EXPECT_TRUE(text.contains(QStringLiteral("mm F")) && !text.contains(QStringLiteral(".0")))
            << text.toStdString();
        EXPECT_EQ(record.fStops.size(), 2u);
    }
}

TEST_F(GeneratedTables, SonyLensModelTextWhenTheMakerNoteSays65535)
{
    using imagelist::kKindArw;
    EXPECT_EQ(lensText(kKindArw, u"Lens\t65535\nLens\tFE 24-70mm F2.8 GM\n", u"SONY", lenses()),
              u"FE 24-70mm F2.8 GM");
    EXPECT_EQ(lenses().findSony(65535), nullptr);
    EXPECT_EQ(lensText(kKindArw, u"Lens\t2\n", u"SONY", lenses()), u"Minolta AF 28-70mm F2.8 G");
    EXPECT_EQ(lensText(imagelist::kKindMrw, u"Lens\t4\n", u"Minolta", lenses()), u"Minolta AF 85mm F1.4G");
}

TEST_F(GeneratedTables, PentaxAndOlympusCodes)
{
    using namespace imagelist;
    // The K10D sample's lens (exiftool: LensType 3 44, i.e. 3 * 256 + 44).
    EXPECT_EQ(lensText(kKindPef, u"Lens\t812\n", u"PENTAX", lenses()), u"Sigma or Tamron Lens (3 44)");
    EXPECT_EQ(lensText(kKindJpeg, u"Lens\t812\n", u"PENTAX Corporation", lenses()), u"Sigma or Tamron Lens (3 44)");
    // The E-1 sample's lens (exiftool: LensType bytes 00 00 05 00 00 00) with
    // the EC-14 extender (bytes 00 00 04 00 00 00).
    EXPECT_EQ(lensText(kKindOrf, u"Lens\t000005000000\nExt\t000004000000\n", u"OLYMPUS", lenses()),
              u"Olympus Zuiko Digital 14-54mm F2.8-3.5 +Olympus Zuiko Digital EC-14 1.4x Teleconverter");
    // No extender ("000000000000") adds nothing.
    EXPECT_EQ(lensText(kKindOrf, u"Lens\t000005000000\nExt\t000000000000\n", u"OLYMPUS", lenses()),
              u"Olympus Zuiko Digital 14-54mm F2.8-3.5");
    for (const OlympusLensRecord& record : lenses().olympus())
        EXPECT_EQ(record.key.size(), kOlympusKeyLength);
}

// ---- The sample files ------------------------------------------------------

struct SampleCamera {
    const char* file;
    const char16_t* maker;
    const char16_t* model;
};

// Every camera sample whose camera shoots RAW, with Make and Model as
// exiftool reads them. Cameras of makers without a range of their own
// (Apple, Google, Casio, ...) are left out: only their DNG files would reach
// the table, and DNG has a fixed record.
constexpr SampleCamera kCameraSamples[] = {
    {"exiftool/CanonRaw.cr2", u"Canon", u"Canon EOS 350D DIGITAL"},
    {"exiftool/CanonRaw.cr3", u"Canon", u"Canon EOS M50"},
    {"exiftool/CanonRaw.crw", u"Canon", u"Canon EOS DIGITAL REBEL"},
    {"exiftool/Canon.jpg", u"Canon", u"Canon EOS DIGITAL REBEL"},
    {"exiftool/Canon1DmkIII.jpg", u"Canon", u"Canon EOS-1D Mark III"},
    {"exiftool/ExifTool.jpg", u"Canon", u"Canon PowerShot A5"},
    {"exiftool/DNG.dng", u"Canon", u"Canon EOS 350D DIGITAL"},
    {"raw-full/colorchart.dng", u"Canon", u"Canon EOS Kiss X4"},
    {"exif-samples/Canon_40D.jpg", u"Canon", u"Canon EOS 40D"},
    {"exif-samples/Canon_PowerShot_S40.jpg", u"Canon", u"Canon PowerShot S40"},
    {"exif-samples/tests/33-type_error.jpg", u"Canon", u"Canon PowerShot G9"},
    {"exif-samples/tests/22-canon_tags.jpg", u"Canon", u"Canon PowerShot SD300"},
    {"exif-samples/tests/11-tests.jpg", u"Canon", u"Canon DIGITAL IXUS 40"},
    {"exiftool/Nikon.nef", u"NIKON CORPORATION", u"NIKON D70"},
    {"exiftool/NikonD2Hs.jpg", u"NIKON CORPORATION", u"NIKON D2Hs"},
    {"exif-samples/tests/87_OSError.jpg", u"NIKON CORPORATION", u"NIKON D70s"},
    {"exif-samples/tests/32-lens_data.jpeg", u"NIKON CORPORATION", u"NIKON D300"},
    {"exif-samples/gps/DSCN0010.jpg", u"NIKON", u"COOLPIX P6000"},
    {"exif-samples/exif-org/nikon-e950.jpg", u"NIKON", u"E950"},
    {"exiftool/Pentax.jpg", u"PENTAX Corporation", u"PENTAX K10D"},
    {"exiftool/OlympusE1.jpg", u"OLYMPUS CORPORATION", u"E-1"},
    {"exif-samples/Olympus_C8080WZ.jpg", u"OLYMPUS CORPORATION", u"C8080WZ"},
    {"exiftool/FujiFilm.raf", u"FUJIFILM", u"FinePix S5Pro"},
    {"exiftool/Sony.jpg", u"SONY", u"DSC-F828"},
    {"exiftool/Panasonic.rw2", u"Panasonic", u"DMC-LX3"},
    {"exif-samples/Panasonic_DMC-FZ30.jpg", u"Panasonic", u"DMC-FZ30"},
    {"exiftool/Minolta.mrw", u"Konica Minolta Camera, Inc.", u"DiMAGE A2"},
    {"exiftool/Minolta.jpg", u"Minolta Co., Ltd.", u"DiMAGE 7i"},
    {"exiftool/Sigma.x3f", u"SIGMA", u"SIGMA SD10"},
    {"exiftool/SigmaDP2.x3f", u"SIGMA", u"SIGMA DP2"},
    {"exif-samples/tests/67-0_length_string.jpg", u"samsung", u"SM-G930F"},
};

TEST_F(GeneratedTables, EveryCameraSampleFindsItsCamera)
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

TEST_F(GeneratedTables, SamplePreviewsAreTheirLargestJpegs)
{
    for (const SamplePreview& sample : kSamplePreviews) {
        SCOPED_TRACE(sample.file);
        const auto path = test::samplesDir() / sample.file;
        const auto pass = containers::readMetadata(path);
        const std::u16string text = pass.ok ? entryText(pass.text) : std::u16string{};
        const std::uint32_t kind = imagelist::classify(utf16Of(path.filename()), imagelist::kDefaultTargetMask,
                                                       imagelist::defaultVideoExtensions());
        const std::u16string fullPath = utf16Of(path);
        imagelist::ImageEntry::FreshFacts facts;
        facts.path = fullPath;
        facts.kind = kind;
        const auto entry = imagelist::ImageEntry::createFresh(facts);
        ASSERT_NE(entry, nullptr);
        containers::choosePreviews(*entry, text, cameras(), false);
        const CameraRecord* camera = cameras().recordAtRow(entry->cameraIndex());
        ASSERT_NE(camera, nullptr);
        if (sample.fixedCamera != 0)
            EXPECT_EQ(camera->id, sample.fixedCamera);
        else
            EXPECT_NE(camera->id, kUnknownCameraId);
        EXPECT_EQ(entry->previewOffset(), sample.previewOffset);
        EXPECT_EQ(entry->previewSize(), sample.previewSize);
        EXPECT_EQ(entry->thumbOffset(), sample.thumbOffset);
        EXPECT_EQ(entry->thumbSize(), sample.thumbSize);
    }
}

// The trimmed CR3 and RAF samples hold no complete embedded JPEG for their
// walks (the CR3 scan finds none in its first 10 MiB; the RAF walk needs 8 MiB
// behind its JPEG), so only their camera records can be checked.
TEST_F(GeneratedTables, Cr3AndRafRecordsNameTheirLargestJpegSlots)
{
    const CameraRecord* m50 = cameras().recordOfCamera(cameras().findCamera(u"Canon EOS M50", u"Canon"));
    ASSERT_NE(m50, nullptr);
    EXPECT_EQ(m50->previewSlot, 1u); // the third JPEG: full size
    EXPECT_EQ(m50->thumbSlot, 2u);   // the first: THMB, 160x120
    const CameraRecord* s5 = cameras().recordOfCamera(cameras().findCamera(u"FinePix S5Pro", u"FUJIFILM"));
    ASSERT_NE(s5, nullptr);
    EXPECT_EQ(s5->previewSlot, 1u); // the embedded JPEG
    EXPECT_EQ(s5->thumbSlot, 2u);   // its Exif thumbnail
}

} // namespace
} // namespace qlx::metadata
