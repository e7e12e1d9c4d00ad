// The command-line tool as a user runs it: exit codes, usage texts, output.

#include "io/file_io.h"
#include "shell/settings_defaults.h"
#include "shell/settings_file.h"
#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

// Runs qlx with the arguments (shell-quoted by the caller), standard error
// folded into the output when `withErrors`.
qlx::test::CommandOutcome qlx(const std::string& arguments, bool withErrors = false)
{
    const std::string command = std::string(QLX_CLI_PATH) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
    return qlx::test::runCommand(command);
}

bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

TEST(QlxUsage, UnknownCommandsAndBadArgumentsExitWithTwo)
{
    for (const char* arguments : {"", "frobnicate", "settings", "settings show", "settings dump a b",
                                  "settings dump --bogus", "kind", "kind --mask", "kind --mask zz x.jpg",
                                  "kind --what x.jpg"}) {
        const qlx::test::CommandOutcome run = qlx(arguments, true);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.out.find("usage:"), std::string::npos) << arguments;
    }
    EXPECT_EQ(qlx("--help").exitCode, 0);
}

TEST(QlxSettingsDump, DefaultsByNameAndValue)
{
    const qlx::test::CommandOutcome run = qlx("settings dump --defaults");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(hasLine(run.out, "version\t5.96"));
    EXPECT_TRUE(hasLine(run.out, "targetFormatMask\t2214592511 (0x83FFFFFF)"));
    EXPECT_TRUE(hasLine(run.out, "thumbnailSize\t88,60"));
    EXPECT_TRUE(hasLine(run.out, "listFontFace\tＭＳ Ｐゴシック"));
    EXPECT_TRUE(hasLine(run.out, "videoExtensions\tavi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;"));
    EXPECT_TRUE(hasLine(run.out, "sectionF\t1234 (0x000004D2)"));
    EXPECT_TRUE(hasLine(run.out, "normalExit\t0"));
}

TEST(QlxSettingsDump, ReadsAFileAsStored)
{
    qlx::test::TempDir dir;
    const auto path = dir.path() / "Quenderluxium.cfg";
    qlx::settings::SettingsRecord record;
    qlx::settings::applyFirstStartDefaults(record, u"5.96");
    record.setText(qlx::settings::kLastOpenedFolder, u"/home/u/写真\t2024");
    qlx::settings::SettingsFile file(path, u"5.96");
    record.set(qlx::settings::kNormalExit, std::uint8_t{1});
    ASSERT_TRUE(file.save(record));
    const qlx::test::CommandOutcome run = qlx("settings dump '" + path.string() + "'");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(hasLine(run.out, "fileSize\t375096"));
    EXPECT_TRUE(hasLine(run.out, "versionAccepted\t1"));
    EXPECT_TRUE(hasLine(run.out, "lastOpenedFolder\t/home/u/写真\\t2024"));
    EXPECT_TRUE(hasLine(run.out, "normalExit\t1"));

    EXPECT_EQ(qlx("settings dump '" + (dir.path() / "missing.cfg").string() + "'").exitCode, 1);
}

TEST(QlxKind, KindBitAndFormatNamePerFile)
{
    const qlx::test::CommandOutcome run = qlx("kind IMG_0001.JPG a.jpeg /d/x.fff y.3FR clip.MTS z.dcr t.jp 'dir.cr2/readme'");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(hasLine(run.out, "IMG_0001.JPG\t0x00000002\tJPG"));
    EXPECT_TRUE(hasLine(run.out, "a.jpeg\t0x00000002\tJPG"));
    EXPECT_TRUE(hasLine(run.out, "/d/x.fff\t0x00800000\t3FR"));
    EXPECT_TRUE(hasLine(run.out, "y.3FR\t0x00800000\t3FR"));
    EXPECT_TRUE(hasLine(run.out, "clip.MTS\t0x01000000\tMPG"));
    EXPECT_TRUE(hasLine(run.out, "z.dcr\t0x80000000\tDCR"));
    EXPECT_TRUE(hasLine(run.out, "t.jp\t0x00000000\t-"));
    EXPECT_TRUE(hasLine(run.out, "dir.cr2/readme\t0x00000000\t-"));

    // With only the JPG bit cleared, .JPG is not listed but .jpeg still is.
    const qlx::test::CommandOutcome masked = qlx("kind --mask 0x83FFFFFD IMG_0001.JPG a.jpeg");
    EXPECT_TRUE(hasLine(masked.out, "IMG_0001.JPG\t0x00000000\t-"));
    EXPECT_TRUE(hasLine(masked.out, "a.jpeg\t0x00000002\tJPG"));
}

} // namespace
