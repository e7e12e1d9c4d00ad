// qlx info, qlx preview and qlx bench metadata as a user runs them, on
// pictures the tests make. (The metadata text of real camera files is the
// golden tests' part, golden_info_test.cpp.)
//
// The tools read their tables from the "bin" folder beside the program, so
// the tests run a copy of qlx beside tables of their own: the fixed records
// per file kind with no thumbnail or preview slot, and the unknown camera.
// What a record's slots choose is the preview chooser's test; here they only
// have to be known.

#include "cli/qlx_runner.h"
#include "io/file_io.h"
#include "shell/data_tables.h"
#include "support/camera_rows.h"
#include "support/container_bytes.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

// A copy of qlx with its own "bin" folder, shared by the tests.
class Install {
public:
    Install()
    {
        fs::copy_file(QLX_CLI_PATH, m_dir.path() / "qlx");
        const fs::path bin = m_dir.path() / "bin";
        fs::create_directories(bin);
        const auto cameras = cameraTableData({{.id = 165}, {.id = 166}, {.id = 167}, {.id = 168}, {.id = 169}, {.id = 170},
                                              {.id = 171}, {.id = 172}, {.id = 173}, {.id = 174}, {.id = 213}, {.id = 181},
                                              {}, {}, {}, {}, {}, {}});
        m_ok = qlx::shell::writeTableFile(bin / qlx::shell::kCameraTable.fileName, cameras.bytes);
        for (const auto& lens : qlx::shell::kLensTables)
            m_ok = m_ok && qlx::shell::writeTableFile(bin / lens.fileName, std::vector<std::byte>(lens.recordSize));
    }
    bool ok() const { return m_ok; }
    CommandOutcome qlx(const std::string& arguments) const { return runQlx(arguments, m_dir.path() / "qlx"); }

private:
    TempDir m_dir;
    bool m_ok = false;
};

CommandOutcome qlx(const std::string& arguments)
{
    static const Install kInstall;
    EXPECT_TRUE(kInstall.ok());
    return kInstall.qlx(arguments);
}

TEST(QlxInfo, TextRecordAndPreviewsOfAJpeg)
{
    TempDir dir;
    const fs::path file = dir.path() / "photo.jpg";
    writeTestJpeg(file, {.make = "Canon", .model = "Canon EOS 40D", .orientation = 6});
    const CommandOutcome run = qlx("info " + quoted(file));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    // The Exif block follows SOI: its TIFF header at 12, IFD0 at 12 + 8, the
    // orientation (the third entry) at 20 + 2 + 2 * 12, its value 8 further.
    EXPECT_TRUE(run.out.starts_with("== " + file.string() + "\n" + file.string() +
                                    "\nMaker\tCanon\nModel\tCanon EOS 40D\nDirection\t6\nFlipI54\n-- record\n"))
        << run.out;
    // The record: the English long names in item order.
    std::string names;
    for (std::size_t at = run.out.find("-- record\n") + 10; at < run.out.size() && run.out.compare(at, 2, "--") != 0;
         at = run.out.find('\n', at) + 1)
        names += run.out.substr(at, run.out.find('\t', at) - at) + ",";
    EXPECT_EQ(names, "Status,Format,Filesize,UpdateTime,ImageSize,Maker,Model,Orientation,DateTime,ShutterSpeed,"
                     "FNumber,ExposureProgram,ISO,ExposureBias,MeteringMode,Lens,FocalLength,ExposureMode,"
                     "WhiteBalance,Flash,ExifVersion,Media#,FL35mm,");
    // The fixed JPG record (165) of the test's tables: no thumbnail slot, so
    // the first 256 KiB; no preview slot, so the whole file.
    expectLines(run.out, {"Format\tJPG", "Maker\tCanon", "-- previews", "thumb\t0\t262144", "preview\t0\t0",
                          "orientation\t6\t1\t54", "camera\t165"});
    EXPECT_EQ(run.out.find("could not be loaded"), std::string::npos) << "the tables of the test's copy";

    // Several files, one missing: every file is shown, the exit code is 2.
    const CommandOutcome several = qlx("info /no/such.crw " + quoted(file));
    EXPECT_EQ(several.exitCode, 2);
    expectLines(several.out, {"== /no/such.crw", "FlipI54"});
}

// Exported and edited pictures often keep their orientation but no camera
// model (so do the orientation samples: exiftool -n shows no Model).
TEST(QlxInfo, PicturesWithoutACameraModelAreTurnedUpright)
{
    TempDir dir;
    const fs::path file = dir.path() / "edited.jpg";
    writeTestJpeg(file, {.orientation = 8});
    // IFD0 at 12 + 8; the orientation its only entry, its value at 20 + 2 + 8.
    expectLines(qlx("info " + quoted(file)).out, {"Orientation\t8", "orientation\t8\t1\t30", "camera\t181"});
}

// A DNG whose Pentax maker note gives a lens code (no table row has it; a
// DNG's note is not looked up anyway) and whose Exif LensModel names the lens.
TEST(QlxInfo, TheExifLensModelNamesTheLensTheMakerNoteDoesNot)
{
    TempDir dir;
    const fs::path file = dir.path() / "IMGP0001.DNG";
    TiffBuilder tiff(qlx::io::ByteOrder::Little);
    // "AOC\0II", then a directory of one entry: 0x003F, two shorts inline.
    const std::string note = std::string("AOC\0II", 6) + le(1, 2) + le(0x003F, 2) + le(3, 2) + le(2, 4) + le(8, 2) +
                             le(246, 2) + le(0, 4);
    const std::uint32_t exif =
        tiff.directory({undefined(0x927C, note), ascii(0xA434, "HD PENTAX-D FA 28-105mm F3.5-5.6 ED DC WR ")});
    tiff.setIfd0(tiff.directory({ascii(0x010F, "PENTAX"), ascii(0x0110, "PENTAX K-1"), link(0x8769, exif)}));
    std::ofstream(file, std::ios::binary) << tiff.bytes();
    expectLines(qlx("info " + quoted(file)).out, {"Lens\t8", "Lens\tHD PENTAX-D FA 28-105mm F3.5-5.6 ED DC WR"});
}

TEST(QlxPreview, WritesThePhotoshopThumbnailAndRefusesRangesOutsideTheFile)
{
    TempDir dir;
    const std::string thumbnail = "\xFF\xD8\xFF\xDB-thumbnail-bytes-\xFF\xD9";
    const fs::path file = dir.path() / "photo.jpg";
    std::ofstream(file, std::ios::binary)
        << jpegFile(exifSegment(tiffBlock({ascii(0x0110, "Cam1")})) + photoshopSegment(thumbnailResource(thumbnail)));
    EXPECT_TRUE(hasLine(qlx("info " + quoted(file)).out, "Model\tCam1"));
    const fs::path out = dir.path() / "thumb.jpg";
    EXPECT_EQ(qlx("preview --thumb " + quoted(file) + " -o " + quoted(out)).exitCode, 0);
    EXPECT_TRUE(std::ranges::equal(readFileBytes(out), bytesOf(thumbnail)));
    // The fixed JPG record has no preview: the view decodes the whole file.
    EXPECT_EQ(qlx("preview " + quoted(file) + " -o " + quoted(dir.path() / "none.jpg")).exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "none.jpg"));

    // Its thumbnail is the leading 256 KiB: of a file as large, and of one that is smaller.
    const TestJpeg camera{.make = "Canon", .model = "Canon EOS 40D"};
    std::vector<std::byte> large = makeTestJpeg(camera);
    large.resize(300'000, std::byte{0x55});
    ASSERT_TRUE(qlx::io::writeFileAtomically(dir.path() / "large.jpg", large));
    ASSERT_EQ(qlx("preview --thumb " + quoted(dir.path() / "large.jpg") + " -o " + quoted(out)).exitCode, 0);
    EXPECT_EQ(readFileBytes(out), std::vector<std::byte>(large.begin(), large.begin() + 262'144));
    writeTestJpeg(dir.path() / "small.jpg", camera);
    const CommandOutcome refused = qlx("preview --thumb " + quoted(dir.path() / "small.jpg") + " -o " + quoted(dir.path() / "x.jpg"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.out.find("does not lie inside"), std::string::npos) << refused.out;
    EXPECT_FALSE(fs::exists(dir.path() / "x.jpg"));
    EXPECT_EQ(qlx("preview /no/such.jpg -o " + quoted(dir.path() / "y.jpg")).exitCode, 1);
}

TEST(QlxBench, CountsTheListedFiles)
{
    TempDir dir;
    for (const char* name : {"a.jpg", "b.crw", "c.nef"})
        writeTestJpeg(dir.path() / name, {});
    std::ofstream(dir.path() / "notes.txt") << "not listed";
    const CommandOutcome run = qlx("bench metadata " + quoted(dir.path()) + " --repeat 3");
    EXPECT_EQ(run.exitCode, 0);
    expectLines(run.out, {"files\t3", "repeat\t3"});
    for (const char* key : {"\nseconds\t", "\nfiles/s\t", "\nbytes/file\t"})
        EXPECT_NE(run.out.find(key), std::string::npos) << key;
    EXPECT_EQ(qlx("bench metadata /no/such/folder").exitCode, 1);
}

} // namespace
