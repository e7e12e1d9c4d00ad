// qlx act as a script runs it: each file's action-log line ("<kind>:<file>
// -><result>" with the kinds' short names), the questions answered no
// unless --yes, the files where they belong, and the exit code.

#include "cli/qlx_runner.h"
#include "support/test_paths.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using qlx::test::contentOf;

namespace fs = std::filesystem;
using namespace qlx::test;

TEST(ActCli, CopyMoveTrashAndDeleteWithTheirQuestions)
{
    TempDir dir;
    const fs::path card = dir.path() / "card";
    fs::create_directories(card);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        std::ofstream(card / name) << name;
    const std::string in = "cd " + quoted(card) + " && ";
    struct Step {
        std::string arguments;
        std::string out;
        int exitCode;
    };
    const Step steps[] = {
        // The folder is missing and nobody says to make it.
        {"act copy --to keep a.jpg", "ｺﾋﾟｰ:a.jpg->NG!\n", 1},
        {"act copy --to keep --yes a.jpg b.jpg", "ｺﾋﾟｰ:a.jpg->OK!\nｺﾋﾟｰ:b.jpg->OK!\n", 0},
        // A copy already there is not replaced without a yes.
        {"act copy --to keep a.jpg", "ｺﾋﾟｰ:a.jpg->NG!\n", 1},
        {"act move --to ../rejects --yes a.jpg", "移動:a.jpg->OK!\n", 0},
        {"act trash b.jpg", "ｺﾞﾐ箱:b.jpg->OK!\n", 0},
        {"act delete c.jpg gone.jpg", "削除:c.jpg->OK!\n削除:gone.jpg->NG!\n", 1},
    };
    for (const Step& step : steps) {
        const CommandOutcome run = runCommand(in + "XDG_DATA_HOME=" + quoted(dir.path() / "data") + " "
                                              + quoted(QLX_CLI_PATH) + " " + step.arguments + " 2>/dev/null");
        EXPECT_EQ(run.out, step.out) << step.arguments;
        EXPECT_EQ(run.exitCode, step.exitCode) << step.arguments;
    }
    EXPECT_EQ(contentOf(card / "keep" / "a.jpg"), "a.jpg");
    EXPECT_EQ(contentOf(dir.path() / "rejects" / "a.jpg"), "a.jpg");
    EXPECT_EQ(contentOf(dir.path() / "data" / "Trash" / "files" / "b.jpg"), "b.jpg");
    EXPECT_TRUE(fs::exists(dir.path() / "data" / "Trash" / "info" / "b.jpg.trashinfo"));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        EXPECT_FALSE(fs::exists(card / name)) << name;
    EXPECT_EQ(runQlx("act copy a.jpg").exitCode, 2); // copy needs --to
    EXPECT_EQ(runQlx("act shred a.jpg").exitCode, 2);
}

} // namespace
