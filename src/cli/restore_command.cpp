#include "restore_command.h"

#include "file_arguments.h"
#include "info_command.h"

#include "actions/action_log.h"
#include "actions/trash_restore.h"

#include <array>
#include <filesystem>
#include <ostream>

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage = "usage: qlx restore [--yes] FILE...\n"
                                    "  FILE: the path a trashed file had; --yes replaces a file of that name\n"
                                    "        and creates a missing folder\n";

// The log's kind for the trash: its line names the undo of a trash.
constexpr int kTrashKind = 5;

} // namespace

int runRestoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    bool yes = false;
    const std::array<FlagOption, 1> flags{{{"--yes", [&] { yes = true; }}}};
    const auto files = parseFileArguments(args, "restore", kUsage, err, {}, flags);
    if (!files)
        return 2;
    const auto answer = [yes](const std::filesystem::path&) { return yes; };
    bool allDone = true;
    for (const std::string& name : *files) {
        const std::filesystem::path original = std::filesystem::absolute(name).lexically_normal();
        const actions::RestoreResult restored = actions::restoreFromTrash(original, {answer, answer});
        const actions::Result result = restored.done() ? actions::Result::Done : actions::Result::Failed;
        out << utf8Of(actions::logLine(kTrashKind, utf16Of(original.filename()), result)) << '\n';
        if (!restored.done()) {
            allDone = false;
            err << "qlx restore: " << name << ": " << restored.reason << '\n';
        }
    }
    return allDone ? 0 : 1;
}

} // namespace qlx::cli
