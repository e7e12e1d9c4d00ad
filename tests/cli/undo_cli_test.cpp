// qlx act --undo and qlx restore as a script runs them: the action's line,
// then the undo's ("復帰(UNDO)" is the undo kind's short name), and the
// files back where they were; a file trashed by hand-written info and one
// restored twice.

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

TEST(UndoCli, ActionsAreUndoneAndTrashedFilesRestored)
{
    TempDir dir;
    const fs::path card = dir.path() / "card";
    fs::create_directories(card);
    std::ofstream(card / "a.jpg") << "a.jpg";
    const std::string in = "cd " + quoted(card) + " && XDG_DATA_HOME=" + quoted(dir.path() / "data") + " ";
    struct Step {
        std::string arguments;
        std::string out;
        int exitCode;
    };
    const Step steps[] = {
        {"act copy --to keep --yes --undo a.jpg", "ｺﾋﾟｰ:a.jpg->OK!\n復帰(UNDO):a.jpg->OK!\n", 0},
        {"act move --to ../rejects --yes --undo a.jpg", "移動:a.jpg->OK!\n復帰(UNDO):a.jpg->OK!\n", 0},
        {"act trash --undo a.jpg", "ｺﾞﾐ箱:a.jpg->OK!\n復帰(UNDO):a.jpg->OK!\n", 0},
        {"act trash a.jpg", "ｺﾞﾐ箱:a.jpg->OK!\n", 0},
        {"restore a.jpg", "ｺﾞﾐ箱:a.jpg->OK!\n", 0},
        // Nothing of that path is left in the trash.
        {"restore a.jpg", "ｺﾞﾐ箱:a.jpg->NG!\n", 1},
    };
    for (const Step& step : steps) {
        const CommandOutcome run = runCommand(in + quoted(QLX_CLI_PATH) + " " + step.arguments + " 2>/dev/null");
        EXPECT_EQ(run.out, step.out) << step.arguments;
        EXPECT_EQ(run.exitCode, step.exitCode) << step.arguments;
    }
    EXPECT_EQ(contentOf(card / "a.jpg"), "a.jpg");
    EXPECT_FALSE(fs::exists(card / "keep" / "a.jpg"));
    EXPECT_FALSE(fs::exists(dir.path() / "rejects" / "a.jpg"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "data" / "Trash" / "files"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "data" / "Trash" / "info"));
}

} // namespace
