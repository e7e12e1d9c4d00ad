// The developed-image writer: the Exif rebuilt from the list's texts, read
// back by exiftool and by the program's own metadata pass, from TIFF and
// JPEG files; and the rules for the output's name and for files already
// there.

#include "containers/metadata_pass.h"
#include "io/file_source.h"
#include "metadata/lens_tables.h"
#include "metadata/shooting_data.h"
#include "raw/developed_image_writer.h"
#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace qlx::raw {
namespace {

namespace fs = std::filesystem;

// exiftool's "-s -n" lines of the tags the writer writes, by name.
std::map<std::string, std::string> exiftoolTags(const fs::path& file)
{
    const auto outcome = test::runCommand("exiftool -a -s -n -Exif:all '" + file.string() + "' 2>/dev/null");
    std::map<std::string, std::string> tags;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(" : ");
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, line.find(' '));
        tags[name] = line.substr(colon + 3);
    }
    return tags;
}

bool haveExiftool()
{
    return test::runCommand("exiftool -ver >/dev/null 2>&1").exitCode == 0;
}

struct ExifCase {
    const char* label;
    ShootingTexts texts;
    // exiftool -n values (run by hand on the files this writes); "" = absent.
    std::map<std::string, std::string> expected;
};

const ShootingTexts kBase{u"Canon", u"Canon EOS Kiss X4", u"2024/05/06 12:34:56", u"2023/01/02 03:04:05",
                          u"1/250", u"F2.8", u"ﾌﾟﾛｸﾞﾗﾑAE", u"100000", u"+0.7", u"中央重点測光", u"", u"35mm"};

ShootingTexts with(ShootingTexts t, std::u16string shutter, std::u16string bias, std::u16string program,
                   std::u16string flash)
{
    t.shutterSpeed = std::move(shutter);
    t.exposureBias = std::move(bias);
    t.exposureProgram = std::move(program);
    t.flash = std::move(flash);
    return t;
}

const ExifCase kExifCases[] = {
    {"1/250 +0.7 no flash", kBase,
     {{"Make", "Canon"}, {"Model", "Canon EOS Kiss X4"}, {"Orientation", "1"}, {"ModifyDate", "2024:05:06 12:34:56"},
      {"DateTimeOriginal", "2023:01:02 03:04:05"}, {"ExposureTime", "0.004"}, {"FNumber", "2.8"},
      {"ExposureProgram", "2"}, {"ISO", "65535"}, {"ExifVersion", "0210"}, {"ExposureCompensation", "0.7"},
      {"MeteringMode", "2"}, {"Flash", ""}, {"FocalLength", "35"},
      {"Software", "Marrowfen Quenderluxium Ver5.96"}}},
    {"2.5 -1.3 unknown program flash on", with(kBase, u"2.5", u"-1.3", u"Sv", u"On"),
     {{"ExposureTime", "2.5"}, {"ExposureCompensation", "-1.3"}, {"ExposureProgram", "65535"}, {"Flash", "1"}}},
    {"0.3 unsigned bias flash off", with(kBase, u"0.3", u"±0", u"ﾊﾞﾙﾌﾞ", u"Off"),
     {{"ExposureTime", "0.3"}, {"ExposureCompensation", "0"}, {"ExposureProgram", "9"}, {"Flash", "0"}}},
    {"1/0 writes no exposure time", with(kBase, u"1/0", u"", u"", u""),
     {{"ExposureTime", ""}, {"ExposureCompensation", ""}, {"ExposureProgram", ""}}},
};

TEST(DevelopedImageWriter, ExifReadsBackWithExiftool)
{
    if (!haveExiftool())
        GTEST_SKIP() << "exiftool is not installed";
    const test::TempDir folder;
    QImage picture(64, 48, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    for (const ExifCase& c : kExifCases) {
        for (const OutputKind kind : {OutputKind::Tiff, OutputKind::Jpeg}) {
            const fs::path file = folder.path() / (std::string("out") + extensionOf(kind));
            const auto tags = exifTags(c.texts, 64, 48);
            ASSERT_TRUE(writeDevelopedImage(picture, kind, file, &tags).done) << c.label;
            auto read = exiftoolTags(file);
            EXPECT_EQ(read["ImageWidth"], "64");
            EXPECT_EQ(read["ImageHeight"], "48");
            for (const auto& [name, value] : c.expected)
                EXPECT_EQ(read[name], value) << c.label << ' ' << name << ' ' << extensionOf(kind);
        }
    }
}

TEST(DevelopedImageWriter, AWidthOverShortIsALong)
{
    const auto tags = exifTags(kBase, 70000, 2);
    ASSERT_EQ(tags[0].tag, 0x0100);
    EXPECT_EQ(tags[0].type, ExifType::Long);
    EXPECT_EQ(tags[1].type, ExifType::Short);
    if (!haveExiftool())
        GTEST_SKIP() << "exiftool is not installed";
    const test::TempDir folder;
    QImage thin(70000, 2, QImage::Format_RGB888);
    thin.fill(Qt::white);
    ASSERT_TRUE(writeDevelopedImage(thin, OutputKind::Tiff, folder.path() / "thin.tiff", &tags).done);
    auto read = exiftoolTags(folder.path() / "thin.tiff");
    EXPECT_EQ(read["ImageWidth"], "70000");
    EXPECT_EQ(read["ExposureTime"], "0.004");
}

// The rationals themselves, where exiftool -n would hide the rule (25/10
// and 5/2 both read 2.5).
TEST(DevelopedImageWriter, RationalsFollowTheTextRules)
{
    struct Rule {
        std::u16string shutter;
        std::uint32_t numerator; // 0 and 0: no tag
        std::uint32_t denominator;
    };
    for (const Rule& r : {Rule{u"1/250", 1, 250}, Rule{u"2.5", 25, 10}, Rule{u"0.3", 3, 10}, Rule{u"1/0", 0, 0},
                          Rule{u"1/8.9", 1, 8}, Rule{u"30", 300, 10}, Rule{u"abc", 0, 0}}) {
        ShootingTexts t;
        t.shutterSpeed = r.shutter;
        const auto tags = exifTags(t, 1, 1);
        const auto found = std::ranges::find(tags, std::uint16_t{0x829A}, &ExifTag::tag);
        if (r.denominator == 0) {
            EXPECT_EQ(found, tags.end());
            continue;
        }
        ASSERT_NE(found, tags.end());
        EXPECT_EQ(found->numbers[0], r.numerator);
        EXPECT_EQ(found->numbers[1], r.denominator);
    }
}

// The program's own metadata pass reads what the writer wrote back into
// the same list texts.
TEST(DevelopedImageWriter, TheMetadataPassReadsTheTextsBack)
{
    const test::TempDir folder;
    QImage picture(32, 24, QImage::Format_RGB888);
    picture.fill(Qt::gray);
    for (const OutputKind kind : {OutputKind::Tiff, OutputKind::Jpeg}) {
        const fs::path file = folder.path() / (std::string("back") + extensionOf(kind));
        const auto tags = exifTags(kBase, 32, 24);
        ASSERT_TRUE(writeDevelopedImage(picture, kind, file, &tags).done);
        io::PosixFileSource source(file);
        const auto pass = containers::readMetadata(source, u"/back");
        ASSERT_TRUE(pass.ok) << extensionOf(kind);
        imagelist::ImageEntry entry;
        metadata::fillShootingData(entry, metadata::entryText(pass.text), metadata::LensTables{});
        const ShootingTexts back = shootingTextsOf(entry);
        EXPECT_EQ(back.maker, kBase.maker);
        EXPECT_EQ(back.model, kBase.model);
        EXPECT_EQ(back.dateTime, kBase.dateTime);
        EXPECT_EQ(back.shutterSpeed, kBase.shutterSpeed);
        EXPECT_EQ(back.fNumber, kBase.fNumber);
        EXPECT_EQ(back.exposureProgram, kBase.exposureProgram);
        EXPECT_EQ(back.iso, u"65535");
        EXPECT_EQ(back.exposureBias, kBase.exposureBias);
        EXPECT_EQ(back.meteringMode, kBase.meteringMode);
        EXPECT_EQ(back.focalLength, kBase.focalLength);
    }
}

TEST(DevelopedImageWriter, OutputNames)
{
    struct Name {
        fs::path source;
        OutputKind kind;
        fs::path output;
    };
    for (const Name& n : {Name{"/card/IMG_0001.CR2", OutputKind::Jpeg, "/out/IMG_0001.jpg"},
                          Name{"/card/IMG_0001.CR2", OutputKind::Tiff, "/out/IMG_0001.tiff"},
                          Name{"/a.b/c", OutputKind::Jpeg, "/out/c.jpg"},
                          Name{"/card/x.y.nef", OutputKind::Tiff, "/out/x.y.tiff"},
                          Name{"/card/.dng", OutputKind::Jpeg, "/out/.dng.jpg"}})
        EXPECT_EQ(developedOutputPath("/out", n.source, n.kind), n.output) << n.source;
}

TEST(DevelopedImageWriter, ExistingFilesAndTheSource)
{
    const test::TempDir folder;
    const fs::path source = folder.path() / "IMG_0001.dng";
    const fs::path other = folder.path() / "IMG_0001.jpg";
    std::ofstream(source) << "raw";
    std::ofstream(other) << "old";
    int asked = 0;
    const auto yes = [&](const fs::path&) { return ++asked, true; };
    const auto no = [&](const fs::path&) { return ++asked, false; };
    EXPECT_TRUE(checkOutputPath(source, folder.path() / "new.jpg", no).done);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(checkOutputPath(source, other, no).done);
    EXPECT_TRUE(checkOutputPath(source, other, yes).done);
    EXPECT_EQ(asked, 2);
    // The source under another name (what a card's FAT makes of a case
    // change): refused without a question.
    fs::create_hard_link(source, folder.path() / "IMG_0001.tiff");
    EXPECT_FALSE(checkOutputPath(source, folder.path() / "IMG_0001.tiff", yes).done);
    EXPECT_EQ(asked, 2);
    // A Yes replaces the old file through a temporary name.
    QImage picture(8, 8, QImage::Format_RGB888);
    picture.fill(Qt::red);
    ASSERT_TRUE(writeDevelopedImage(picture, OutputKind::Jpeg, other).done);
    EXPECT_GT(fs::file_size(other), 100u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}), 3);
}

} // namespace
} // namespace qlx::raw
