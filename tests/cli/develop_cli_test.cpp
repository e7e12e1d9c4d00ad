// qlx develop as a user runs it: the sizes of each mode, a file that is no
// RAW, the JPEG written beside a copy with its Exif, and the raw pixels on
// standard output.

#include "cli/qlx_runner.h"
#include "support/samples_gtest.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

const fs::path kChart = "raw-full/colorchart.dng";

TEST(DevelopCli, EachModePrintsItsSize)
{
    QLX_NEED_SAMPLES(kChart);
    const fs::path chartPath = samplesDir() / kChart;
    const std::string chart = chartPath.string();
    // 867 × 578 from `dcraw_emu -h`, 1734 × 1156 from `dcraw -i -v`.
    for (const auto& [mode, size] : {std::pair{"0", "\t867\t578\t"}, std::pair{"1", "\t1734\t1156\t"}}) {
        const auto run = runQlx(std::string("develop --mode ") + mode + " -o /dev/null " + quoted(chartPath));
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_TRUE(run.out.starts_with(chart + size)) << run.out;
        EXPECT_TRUE(run.out.ends_with("\t/dev/null\n")) << run.out;
    }
}

TEST(DevelopCli, AFileThatIsNoRawIsAnError)
{
    const TempDir folder;
    const fs::path notes = folder.path() / "notes.dng";
    std::ofstream(notes) << std::string(64 * 1024, 'n');
    const auto run = runQlx("develop " + quoted(notes));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.starts_with(notes.string() + "\terror\t")) << run.out;
    EXPECT_FALSE(fs::exists(folder.path() / "notes.tiff"));
}

TEST(DevelopCli, TheJpegBesideTheFileCarriesItsExif)
{
    QLX_NEED_SAMPLES(kChart);
    if (runCommand("exiftool -ver >/dev/null 2>&1").exitCode != 0)
        GTEST_SKIP() << "exiftool is not installed";
    const TempDir folder;
    fs::copy_file(samplesDir() / kChart, folder.path() / "chart.dng");
    const auto run = runQlx("develop --jpeg --mode 0 " + quoted(folder.path() / "chart.dng"));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const fs::path jpeg = folder.path() / "chart.jpg";
    EXPECT_TRUE(run.out.ends_with("\t" + jpeg.string() + "\n")) << run.out;
    // `exiftool -n` of the DNG itself: Make "Canon", Model "Canon EOS Kiss X4".
    const auto tags = runCommand("exiftool -s -s -s -n -Make -Model -Orientation -ExifImageWidth -ImageWidth "
                                 + quoted(jpeg));
    EXPECT_EQ(tags.out, "Canon\nCanon EOS Kiss X4\n1\n867\n");
    // A second run finds the file there and leaves it.
    EXPECT_EQ(runQlx("develop --jpeg --mode 0 " + quoted(folder.path() / "chart.dng")).exitCode, 1);
}

TEST(DevelopCli, RawPixelsOnStandardOutput)
{
    QLX_NEED_SAMPLES(kChart);
    const auto run = runCommand("'" + std::string(QLX_CLI_PATH) + "' develop --mode 0 -o - "
                                + quoted(samplesDir() / kChart) + " 2>/dev/null");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.size(), 867u * 578u * 3u);
}

} // namespace
