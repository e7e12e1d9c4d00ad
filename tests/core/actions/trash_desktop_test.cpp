// The desktop sees what we trash: a file sent to the home trash is listed
// by `gio list trash://` and `gio info -a trash::orig-path` gives its
// original path; both run in a private session bus with XDG_DATA_HOME
// pointing at the test's folder, which the trash backend honours.

#include "actions/trash.h"
#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

TEST(TrashDesktop, GioListsTheFileWithItsOriginalPath)
{
    using qlx::test::runCommand;
    if (runCommand("command -v gio > /dev/null 2>&1 && command -v dbus-run-session > /dev/null 2>&1").exitCode != 0)
        GTEST_SKIP() << "gio (libglib2.0-bin) or dbus-run-session (dbus) is not installed";
    qlx::test::TempDir dir;
    const fs::path data = dir.path() / "data";
    fs::create_directories(dir.path() / "card");
    const fs::path file = dir.path() / "card" / "IMG 0001.jpg";
    std::ofstream(file) << "picture";
    const std::string session = "XDG_DATA_HOME=" + quoted(data.string()) + " dbus-run-session -- sh -c ";

    // gio needs the trash backend of gvfs; without it trash:// is refused.
    const auto probe = runCommand(session + quoted("gio list trash:// 2>&1"));
    if (probe.exitCode != 0)
        GTEST_SKIP() << "gio cannot list trash:// here (gvfs is not installed?): " << probe.out;

    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const qlx::actions::TrashResult trashed = qlx::actions::moveToTrash(file);
    if (old)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(trashed.done());

    const auto listed = runCommand(session + quoted("gio list trash:// 2>/dev/null; "
                                                    "gio info -a trash::orig-path 'trash:///IMG 0001.jpg' 2>/dev/null"));
    EXPECT_NE(listed.out.find("IMG 0001.jpg\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("trash::orig-path: " + file.string() + "\n"), std::string::npos) << listed.out;
}

} // namespace
