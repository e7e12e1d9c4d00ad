// The command-line tool as a user runs it: exit codes, usage texts, output.

#include "cli/qlx_runner.h"
#include "io/file_io.h"
#include "shell/settings_defaults.h"
#include "shell/settings_file.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace qlx::test;

TEST(QlxUsage, UnknownCommandsAndBadArgumentsExitWithTwo)
{
    for (const char* arguments :
         {"", "frobnicate", "settings", "settings show", "settings dump a b", "settings dump --bogus", "kind",
          "kind --mask", "kind --mask zz x.jpg", "kind --what x.jpg", "info", "info --what x.jpg", "preview",
          "preview x.jpg", "preview -o out", "preview a b -o out", "preview --size x.jpg -o out", "preview x.jpg -o",
          "bench", "bench metadata", "bench other /tmp", "bench metadata /tmp --repeat 0",
          "bench metadata /tmp --repeat x", "bench thumbs", "bench thumbs /tmp /tmp", "bench develop",
          "bench develop a.dng b.dng", "bench develop --mode 4 a.dng", "bench develop --cancel-after 0 a.dng", "scan", "scan a b",
          "scan --bogus x"}) {
        const CommandOutcome run = runQlx(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.out.find("usage:"), std::string::npos) << arguments;
    }
    EXPECT_EQ(runQlx("--help").exitCode, 0);
}

TEST(QlxSettingsDump, DefaultsByNameAndValue)
{
    const CommandOutcome run = runQlx("settings dump --defaults");
    ASSERT_EQ(run.exitCode, 0);
    expectLines(run.out, {"version\t5.96", "targetFormatMask\t2214592511 (0x83FFFFFF)", "thumbnailSize\t88,60",
                          "listFontFace\tＭＳ Ｐゴシック", "videoExtensions\tavi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;",
                          "sectionF\t1234 (0x000004D2)", "normalExit\t0"});
}

TEST(QlxSettingsDump, ReadsAFileAsStored)
{
    TempDir dir;
    const auto path = dir.path() / "Quenderluxium.cfg";
    qlx::settings::SettingsRecord record;
    qlx::settings::applyFirstStartDefaults(record, u"5.96");
    record.setText(qlx::settings::kLastOpenedFolder, u"/home/u/写真\t2024");
    qlx::settings::SettingsFile file(path, u"5.96");
    record.set(qlx::settings::kNormalExit, std::uint8_t{1});
    ASSERT_TRUE(file.save(record));
    const CommandOutcome run = runQlx("settings dump " + quoted(path));
    ASSERT_EQ(run.exitCode, 0);
    expectLines(run.out, {"fileSize\t375096", "versionAccepted\t1", "lastOpenedFolder\t/home/u/写真\\t2024", "normalExit\t1"});

    EXPECT_EQ(runQlx("settings dump " + quoted(dir.path() / "missing.cfg")).exitCode, 1);
}

TEST(QlxKind, KindBitAndFormatNamePerFile)
{
    const CommandOutcome run = runQlx("kind IMG_0001.JPG a.jpeg /d/x.fff y.3FR clip.MTS z.dcr t.jp 'dir.cr2/readme'");
    ASSERT_EQ(run.exitCode, 0);
    expectLines(run.out, {"IMG_0001.JPG\t0x00000002\tJPG", "a.jpeg\t0x00000002\tJPG", "/d/x.fff\t0x00800000\t3FR",
                          "y.3FR\t0x00800000\t3FR", "clip.MTS\t0x01000000\tMPG", "z.dcr\t0x80000000\tDCR",
                          "t.jp\t0x00000000\t-", "dir.cr2/readme\t0x00000000\t-"});

    // With only the JPG bit cleared, .JPG is not listed but .jpeg still is.
    const CommandOutcome masked = runQlx("kind --mask 0x83FFFFFD IMG_0001.JPG a.jpeg");
    EXPECT_TRUE(hasLine(masked.out, "IMG_0001.JPG\t0x00000000\t-"));
    EXPECT_TRUE(hasLine(masked.out, "a.jpeg\t0x00000002\tJPG"));
}

} // namespace
