// qlx act's kinds that work from the file's metadata: a lossless quarter
// turn each way (the orientation exiftool reads back: 1 turned clockwise is
// 6, and back), a thumbnail save of a file without a preview (skipped), and
// a development that never replaces a file without a yes.

#include "cli/qlx_runner.h"
#include "support/samples_gtest.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

std::string exifOrientation(const fs::path& file)
{
    return runCommand("exiftool -s3 -n -Orientation " + quoted(file)).out;
}

// The result of the one log line, "OK!", "NG!" or "Skip!".
std::string resultOf(const CommandOutcome& run, const std::string& file)
{
    const auto at = run.out.find(":" + file + "->");
    if (at == std::string::npos)
        return run.out;
    const auto start = at + file.size() + 3;
    return run.out.substr(start, run.out.find('\n', start) - start);
}

TEST(ActKindsCli, RotationEachWayAndAThumbnailWithoutPreview)
{
    QLX_NEED_SAMPLES("exif-samples/Canon_40D.jpg");
    if (runCommand("command -v exiftool > /dev/null").exitCode != 0)
        GTEST_SKIP() << "exiftool is not installed";
    TempDir dir;
    const fs::path file = dir.path() / "Canon_40D.jpg";
    fs::copy_file(samplesDir() / "exif-samples" / "Canon_40D.jpg", file);
    ASSERT_EQ(exifOrientation(file), "1\n");
    struct Step {
        std::string arguments;
        std::string result;
        int exitCode;
        std::string orientation;
    };
    const Step steps[] = {
        {"act rotate-cw", "OK!", 0, "6\n"},
        {"act rotate-cw", "OK!", 0, "3\n"},
        {"act rotate-ccw", "OK!", 0, "6\n"},
        {"act rotate-ccw", "OK!", 0, "1\n"},
        // The JPEG embeds no preview of its own.
        {"act thumbnail --to . --yes", "Skip!", 1, "1\n"},
    };
    for (const Step& step : steps) {
        const CommandOutcome run = runQlx(step.arguments + " " + quoted(file));
        EXPECT_EQ(resultOf(run, "Canon_40D.jpg"), step.result) << step.arguments << "\n" << run.out;
        EXPECT_EQ(run.exitCode, step.exitCode) << step.arguments;
        EXPECT_EQ(exifOrientation(file), step.orientation) << step.arguments;
    }
    EXPECT_EQ(runQlx("act thumbnail " + quoted(file)).exitCode, 2) << "thumbnail needs --to";
}

TEST(ActKindsCli, DevelopmentNeverReplacesWithoutAYes)
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng");
    TempDir dir;
    const fs::path file = dir.path() / "colorchart.dng";
    fs::copy_file(samplesDir() / "raw-full" / "colorchart.dng", file);
    const auto before = fs::file_size(file);
    const CommandOutcome first = runQlx("act tiff --to out --yes " + quoted(file));
    EXPECT_EQ(resultOf(first, "colorchart.dng"), "OK!") << first.out;
    EXPECT_EQ(first.exitCode, 0);
    const fs::path output = dir.path() / "out" / "colorchart.tiff";
    ASSERT_TRUE(fs::exists(output));
    // TIFF's "II*\0" or "MM\0*".
    EXPECT_EQ(runCommand("head -c 2 " + quoted(output)).out.substr(0, 1).find_first_of("IM"), 0u);
    const auto written = fs::last_write_time(output);
    const CommandOutcome again = runQlx("act tiff --to out " + quoted(file));
    EXPECT_EQ(resultOf(again, "colorchart.dng"), "NG!") << again.out;
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(fs::last_write_time(output), written);
    // The RAW file itself is untouched.
    EXPECT_EQ(fs::file_size(file), before);
}

} // namespace
