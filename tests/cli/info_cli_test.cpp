// qlx info, qlx preview and qlx bench metadata as a user runs them. Expected
// values of real samples were read with exiftool (-n, -v3) and written in
// the program's formats.
//
// The tools read their tables from the "bin" folder beside the program, so
// the tests run a copy of qlx beside tables of their own: the fixed records
// per file kind with no thumbnail or preview slot, and the unknown camera.
// What a record's slots choose is the preview chooser's test; here they only
// have to be known.

#include "io/file_io.h"
#include "io/record_bytes.h"
#include "metadata/camera_table.h"
#include "shell/data_tables.h"
#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace std::string_view_literals;

using Outcome = qlx::test::CommandOutcome;
using qlx::test::runCommand;

// A copy of qlx with its own "bin" folder.
class Install {
public:
    Install()
    {
        fs::copy_file(QLX_CLI_PATH, m_dir.path() / "qlx");
        const fs::path bin = m_dir.path() / "bin";
        fs::create_directories(bin);
        using Layout = qlx::metadata::CameraRecordLayout;
        const std::vector<std::uint32_t> ids{165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 213, 181};
        std::vector<std::byte> cameras(18 * Layout::kSize);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const auto row = std::span<std::byte>(cameras).subspan(i * Layout::kSize, Layout::kSize);
            qlx::io::storeUtf16(row, Layout::kModel, u"fixed");
            qlx::io::storeLe<std::uint32_t>(row, Layout::kId.offset, ids[i]);
        }
        m_ok = qlx::shell::writeTableFile(bin / qlx::shell::kCameraTable.fileName, cameras);
        for (const auto& lens : qlx::shell::kLensTables)
            m_ok = m_ok && qlx::shell::writeTableFile(bin / lens.fileName, std::vector<std::byte>(lens.recordSize));
    }
    bool ok() const { return m_ok; }

    Outcome qlx(const std::string& arguments, bool withErrors = false) const
    {
        return runCommand((m_dir.path() / "qlx").string() + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null"));
    }

private:
    qlx::test::TempDir m_dir;
    bool m_ok = false;
};

const Install& install()
{
    static const auto kInstall = std::make_unique<Install>();
    return *kInstall;
}

Outcome qlx(const std::string& arguments, bool withErrors = false)
{
    return install().qlx(arguments, withErrors);
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

fs::path sample(std::string_view relative) { return qlx::test::samplesDir() / relative; }

std::vector<std::byte> bytesOf(std::string_view text)
{
    std::vector<std::byte> out;
    for (const char c : text)
        out.push_back(static_cast<std::byte>(c));
    return out;
}

#define REQUIRE_SAMPLES()                                                                                            \
    if (!fs::exists(sample("exiftool")))                                                                             \
    GTEST_SKIP() << "samples not found"

TEST(QlxInfo, TestInstallHasItsTables)
{
    EXPECT_TRUE(install().ok());
    EXPECT_EQ(qlx("info /dev/null", true).out.find("could not be loaded"), std::string::npos);
}

TEST(QlxInfo, UsageAndExitCodes)
{
    EXPECT_EQ(qlx("info").exitCode, 2);
    EXPECT_NE(qlx("info", true).out.find("usage: qlx info"), std::string::npos);
    EXPECT_EQ(qlx("info --what x.jpg").exitCode, 2);
    const Outcome missing = qlx("info /no/such/file.jpg");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(hasLine(missing.out, "== /no/such/file.jpg"));
}

TEST(QlxInfo, JpegBlocksInOrder)
{
    REQUIRE_SAMPLES();
    const fs::path file = sample("exiftool/Canon.jpg");
    ASSERT_EQ(qlx("info " + quoted(file)).exitCode, 0);
    const std::string out = qlx("info " + quoted(file)).out;
    const std::size_t header = out.find("== " + file.string() + "\n");
    const std::size_t record = out.find("\n-- record\n");
    const std::size_t previews = out.find("\n-- previews\n");
    ASSERT_EQ(header, 0u) << out;
    ASSERT_NE(record, std::string::npos);
    ASSERT_NE(previews, std::string::npos);
    EXPECT_LT(record, previews);
    // The text begins with the full path.
    EXPECT_TRUE(out.starts_with("== " + file.string() + "\n" + file.string() + "\n")) << out;
    // exiftool: Model "Canon EOS DIGITAL REBEL"; Orientation 1 stored as
    // 01 00 at file offset 0x36 in an "II" block.
    EXPECT_TRUE(hasLine(out, "Model\tCanon EOS DIGITAL REBEL"));
    EXPECT_TRUE(hasLine(out, "FlipI54"));
    EXPECT_TRUE(hasLine(out, "Format\tJPG"));
    EXPECT_TRUE(hasLine(out, "orientation\t1\t1\t54"));
    // The fixed JPG record (165) of the test's tables: no thumbnail slot, no
    // preview slot.
    EXPECT_TRUE(hasLine(out, "thumb\t0\t262144"));
    EXPECT_TRUE(hasLine(out, "preview\t0\t0"));
    EXPECT_TRUE(hasLine(out, "camera\t165"));
}

TEST(QlxInfo, RecordHasTheEnglishLongNamesInItemOrder)
{
    REQUIRE_SAMPLES();
    const std::string out = qlx("info " + quoted(sample("exiftool/Canon.jpg"))).out;
    const std::size_t record = out.find("-- record\n");
    ASSERT_NE(record, std::string::npos);
    std::string names;
    for (std::size_t at = out.find('\n', record) + 1; at < out.size() && out.compare(at, 3, "-- ") != 0;) {
        const std::size_t end = out.find('\n', at);
        names += out.substr(at, out.find('\t', at) - at) + ",";
        at = end + 1;
    }
    EXPECT_EQ(names, "Status,Format,Filesize,UpdateTime,ImageSize,Maker,Model,Orientation,DateTime,ShutterSpeed,"
                     "FNumber,ExposureProgram,ISO,ExposureBias,MeteringMode,Lens,FocalLength,ExposureMode,"
                     "WhiteBalance,Flash,ExifVersion,Media#,FL35mm,");
}

TEST(QlxInfo, ContainerSlots)
{
    REQUIRE_SAMPLES();
    // CRW: JpgFromRaw (0x2007) is 29 bytes at 0x30 (exiftool -v3); the fixed
    // CRW record keeps an empty preview.
    const Outcome crw = qlx("info " + quoted(sample("exiftool/CanonRaw.crw")));
    EXPECT_EQ(crw.exitCode, 0);
    EXPECT_TRUE(hasLine(crw.out, "cg1ofs\t48"));
    EXPECT_TRUE(hasLine(crw.out, "cg1size\t29"));
    EXPECT_TRUE(hasLine(crw.out, "Format\tCRW"));
    EXPECT_TRUE(hasLine(crw.out, "camera\t167"));
    EXPECT_TRUE(hasLine(crw.out, "preview\t0\t0"));

    // This trimmed RAF holds far less than 8 MiB behind its JPEG: the pass
    // fails and the entry gets no text, so no camera.
    const Outcome raf = qlx("info " + quoted(sample("exiftool/FujiFilm.raf")));
    EXPECT_EQ(raf.exitCode, 0);
    EXPECT_TRUE(hasLine(raf.out, "-- no metadata"));
    EXPECT_TRUE(hasLine(raf.out, "camera\t181"));

    // An older X3F without an embedded Exif JPEG: no section, the pass
    // fails; the X3F kind still has its fixed record (213).
    const Outcome x3f = qlx("info " + quoted(sample("exiftool/Sigma.x3f")));
    EXPECT_TRUE(hasLine(x3f.out, "-- no metadata"));
    EXPECT_TRUE(hasLine(x3f.out, "camera\t213"));
}

TEST(QlxInfo, SeveralFilesAndOneMissingExitWithTwo)
{
    REQUIRE_SAMPLES();
    const Outcome run = qlx("info " + quoted(sample("exiftool/Canon.jpg")) + " /no/such.crw "
                            + quoted(sample("exiftool/CanonRaw.crw")));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(hasLine(run.out, "== /no/such.crw"));
    EXPECT_TRUE(hasLine(run.out, "cg1ofs\t48"));
}

// A JPEG with an Exif block naming a model and a Photoshop thumbnail.
std::vector<std::byte> jpegWithPhotoshopThumbnail(std::string_view thumbnail)
{
    const std::string_view tiff =
        "II*\0\x08\0\0\0" "\x01\0" "\x10\x01\x02\0\x05\0\0\0" "\x1A\0\0\0" "\0\0\0\0" "Cam1\0\0"sv;
    std::string exif = "Exif\0\0"s + std::string(tiff);
    std::string resources = "8BIM\x04\x0C\0\0"s;
    const std::size_t size = 28 + thumbnail.size();
    resources += std::string{'\0', '\0', static_cast<char>(size >> 8), static_cast<char>(size & 0xFF)};
    resources += std::string(28, '\0') + std::string(thumbnail);
    const std::string photoshop = "Photoshop 3.0\0"s + resources;
    auto segment = [](unsigned marker, const std::string& data) {
        const std::size_t length = data.size() + 2;
        return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} + data;
    };
    const std::string file = "\xFF\xD8"s + segment(0xE1, exif) + segment(0xED, photoshop) + "\xFF\xDA\0\x04\0\0\xFF\xD9"s;
    return bytesOf(file);
}

TEST(QlxPreview, WritesThePhotoshopThumbnailAndRefusesMissingRanges)
{
    qlx::test::TempDir dir;
    const std::string_view thumbnail = "\xFF\xD8\xFF\xDB-thumbnail-bytes-\xFF\xD9"sv;
    const fs::path file = dir.path() / "photo.jpg";
    ASSERT_TRUE(qlx::io::writeFileAtomically(file, jpegWithPhotoshopThumbnail(thumbnail)));
    const Outcome info = qlx("info " + quoted(file));
    EXPECT_TRUE(hasLine(info.out, "Model\tCam1")) << info.out;
    EXPECT_TRUE(hasLine(info.out, "camera\t165"));

    const fs::path out = dir.path() / "thumb.jpg";
    EXPECT_EQ(qlx("preview --thumb " + quoted(file) + " -o " + quoted(out)).exitCode, 0);
    const auto written = qlx::io::readFileCapped(out, 1024);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->bytes, bytesOf(thumbnail));

    // The fixed JPG record has no preview: the view decodes the whole file.
    const fs::path none = dir.path() / "none.jpg";
    EXPECT_EQ(qlx("preview " + quoted(file) + " -o " + quoted(none)).exitCode, 1);
    EXPECT_FALSE(fs::exists(none));
}

TEST(QlxPreview, RangesOutsideTheFileAreRefused)
{
    REQUIRE_SAMPLES();
    qlx::test::TempDir dir;
    const fs::path out = dir.path() / "out.jpg";
    // The PSD record's thumbnail is the first 256 KiB of a 17 KiB file.
    const Outcome run = qlx("preview --thumb " + quoted(sample("exiftool/Photoshop.psd")) + " -o " + quoted(out), true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("does not lie inside"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(out));
}

TEST(QlxPreview, LeadingBytesThumbnailOfALargeFile)
{
    const fs::path dng = sample("raw-full/colorchart.dng");
    if (!fs::exists(dng))
        GTEST_SKIP() << "samples not found";
    qlx::test::TempDir dir;
    const fs::path out = dir.path() / "thumb.bin";
    ASSERT_EQ(qlx("preview --thumb " + quoted(dng) + " -o " + quoted(out)).exitCode, 0);
    const auto written = qlx::io::readFileCapped(out, 1 << 20);
    const auto original = qlx::io::readFileCapped(dng, 262'144);
    ASSERT_TRUE(written && original);
    EXPECT_EQ(written->bytes, original->bytes);
}

TEST(QlxPreview, Usage)
{
    for (const char* arguments : {"preview", "preview x.jpg", "preview -o out", "preview a b -o out",
                                  "preview --size x.jpg -o out", "preview x.jpg -o"})
        EXPECT_EQ(qlx(arguments).exitCode, 2) << arguments;
    EXPECT_EQ(qlx("preview /no/such.jpg -o /tmp/x").exitCode, 1);
}

TEST(QlxBench, CountsTheListedFiles)
{
    REQUIRE_SAMPLES();
    qlx::test::TempDir dir;
    for (const char* name : {"Canon.jpg", "CanonRaw.crw", "Nikon.nef"})
        fs::copy_file(sample("exiftool") / name, dir.path() / name);
    std::FILE* other = std::fopen((dir.path() / "notes.txt").c_str(), "w");
    ASSERT_NE(other, nullptr);
    std::fclose(other);
    const Outcome run = qlx("bench metadata " + quoted(dir.path()) + " --repeat 3");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(hasLine(run.out, "files\t3")) << run.out;
    EXPECT_TRUE(hasLine(run.out, "repeat\t3")) << run.out;
    for (const char* key : {"seconds\t", "files/s\t", "bytes/file\t"})
        EXPECT_NE(run.out.find(key), std::string::npos) << key;

    for (const char* arguments : {"bench", "bench metadata", "bench other /tmp", "bench metadata /tmp --repeat 0",
                                  "bench metadata /tmp --repeat x"})
        EXPECT_EQ(qlx(arguments).exitCode, 2) << arguments;
    EXPECT_EQ(qlx("bench metadata /no/such/folder").exitCode, 1);
}

} // namespace
