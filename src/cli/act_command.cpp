#include "act_command.h"

#include "file_arguments.h"
#include "info_command.h"

#include "actions/file_action.h"

#include <array>
#include <filesystem>
#include <ostream>

namespace qlx::cli {
namespace {

constexpr std::string_view kUsage = "usage: qlx act copy|move|trash|delete [--to DEST] [--yes] FILE...\n";

struct KindName {
    std::string_view name;
    actions::ActionKind kind;
    bool needsDestination;
};
constexpr std::array<KindName, 4> kKinds{{
    {"copy", actions::ActionKind::Copy, true},
    {"move", actions::ActionKind::Move, true},
    {"trash", actions::ActionKind::Trash, false},
    {"delete", actions::ActionKind::Delete, false},
}};

} // namespace

int runActCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const KindName* kind = nullptr;
    for (const KindName& k : kKinds)
        if (!args.empty() && args.front() == k.name)
            kind = &k;
    if (kind == nullptr) {
        err << "qlx act: the first argument is the kind: copy, move, trash or delete\n" << kUsage;
        return 2;
    }
    std::string destination;
    actions::FileActionAnswers answers;
    const std::array<ValueOption, 1> options{{{"--to", "a folder", [&](std::string_view value) {
        destination = std::string(value);
        return !value.empty();
    }}}};
    const std::array<FlagOption, 1> flags{{{"--yes", [&] { answers = {true, true}; }}}};
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const auto files = parseFileArguments(rest, "act", kUsage, err, options, flags);
    if (!files)
        return 2;
    if (kind->needsDestination && destination.empty()) {
        err << "qlx act: " << kind->name << " needs --to DEST\n" << kUsage;
        return 2;
    }
    const std::u16string destinationText = utf16Of(std::filesystem::path(destination));
    bool allDone = true;
    for (const std::string& name : *files) {
        const std::filesystem::path file = std::filesystem::absolute(name);
        const actions::FileActionOutcome outcome = actions::runFileAction(kind->kind, file, destinationText, answers);
        out << utf8Of(actions::logLine(static_cast<int>(kind->kind), utf16Of(file.filename()), outcome.result)) << '\n';
        if (outcome.result != actions::Result::Done) {
            allDone = false;
            err << "qlx act: " << name << ": " << outcome.reason << '\n';
        }
    }
    return allDone ? 0 : 1;
}

} // namespace qlx::cli
