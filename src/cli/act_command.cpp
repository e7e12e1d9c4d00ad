#include "act_command.h"

#include "act_development.h"
#include "file_arguments.h"
#include "info_command.h"

#include "actions/action_executor.h"
#include "actions/action_undo.h"
#include "actions/file_action.h"
#include "imagelist/image_list.h"

#include <array>
#include <filesystem>
#include <ostream>

namespace qlx::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "usage: qlx act KIND [--to DEST] [--yes] [--undo] FILE...\n"
    "  KIND: copy, move, thumbnail, tiff, jpeg (these need --to; \".\" is each file's folder),\n"
    "        trash, delete, rotate-cw, rotate-ccw\n"
    "  --undo: after each file's action, undo it as the undo key does\n";

// How a kind runs: on the file alone, on the entry the folder reader makes
// of it, or as one development job over all the files.
enum class Runs { OnFile, OnEntry, AsDevelopment };

struct KindName {
    std::string_view name;
    actions::ActionKind kind;
    bool needsDestination;
    Runs runs;
    int quarterTurns; // rotation: turns clockwise
};
constexpr std::array<KindName, 9> kKinds{{
    {"copy", actions::ActionKind::Copy, true, Runs::OnFile, 0},
    {"move", actions::ActionKind::Move, true, Runs::OnFile, 0},
    {"trash", actions::ActionKind::Trash, false, Runs::OnFile, 0},
    {"delete", actions::ActionKind::Delete, false, Runs::OnFile, 0},
    {"rotate-cw", actions::ActionKind::LosslessRotation, false, Runs::OnEntry, 1},
    {"rotate-ccw", actions::ActionKind::LosslessRotation, false, Runs::OnEntry, 3},
    {"thumbnail", actions::ActionKind::ThumbnailSave, true, Runs::OnEntry, 0},
    {"tiff", actions::ActionKind::DevelopTiff, true, Runs::AsDevelopment, 0},
    {"jpeg", actions::ActionKind::DevelopJpeg, true, Runs::AsDevelopment, 0},
}};

const KindName* kindNamed(const std::vector<std::string>& args)
{
    for (const KindName& k : kKinds)
        if (!args.empty() && args.front() == k.name)
            return &k;
    return nullptr;
}

// The entry the window's list would hold for `file`: for the kinds that
// need it, the orientation, its offset and byte order and the preview as
// the folder reader fills them; otherwise the file's path, size and time.
std::unique_ptr<imagelist::ImageEntry> entryOf(const KindName& kind, const fs::path& file,
                                               const MetadataTables& tables)
{
    std::unique_ptr<imagelist::ImageEntry> entry;
    if (kind.runs == Runs::OnEntry) {
        FileRead read = readFile(file, tables, false);
        if (!read.opened)
            return nullptr;
        entry = std::move(read.entry);
        entry->setUserRotation(static_cast<std::uint8_t>(kind.quarterTurns));
    } else {
        // Copy, move, trash and delete need the path alone: a move of a
        // thousand files is mostly system calls, and this saves one each.
        entry = imagelist::ImageEntry::createFresh({file.u16string(), 0, 0, 0});
    }
    if (entry)
        entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
    return entry;
}

} // namespace

int runActCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const KindName* kind = kindNamed(args);
    if (kind == nullptr) {
        err << "qlx act: the first argument is the kind\n" << kUsage;
        return 2;
    }
    std::string destination;
    actions::FileActionAnswers answers;
    const std::array<ValueOption, 1> options{{{"--to", "a folder", [&](std::string_view value) {
        destination = std::string(value);
        return !value.empty();
    }}}};
    bool undo = false;
    const std::array<FlagOption, 2> flags{{{"--yes", [&] { answers = {true, true}; }}, {"--undo", [&] { undo = true; }}}};
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const auto files = parseFileArguments(rest, "act", kUsage, err, options, flags);
    if (!files)
        return 2;
    if (kind->needsDestination && destination.empty()) {
        err << "qlx act: " << kind->name << " needs --to DEST\n" << kUsage;
        return 2;
    }
    const std::u16string destinationText = utf16Of(fs::path(destination));
    std::vector<fs::path> paths;
    for (const std::string& name : *files)
        paths.push_back(fs::absolute(name).lexically_normal());
    if (kind->runs == Runs::AsDevelopment)
        return runDevelopmentAction(kind->kind, paths, destinationText, answers, out, err);

    const MetadataTables tables = kind->runs == Runs::OnEntry ? loadTablesBesideProgram(LensTablesWanted::No)
                                                              : MetadataTables{};
    // The files as a list of their own, run through the executor the keys
    // use, with the questions answered as --yes says.
    imagelist::ImageList list;
    actions::ActionCounters counters;
    const auto answer = [yes = answers.replace](const fs::path&) { return yes; };
    actions::UndoLedger ledger;
    actions::ActionExecutor executor(list, counters, {answer, answer}, false, &ledger);
    bool allDone = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        actions::ExecutionResult result;
        std::optional<std::size_t> entry;
        if (auto made = entryOf(*kind, paths[i], tables); made && list.append(std::move(made))) {
            entry = list.size() - 1;
            result = executor.execute(*entry, kind->kind, destinationText);
        } else {
            result.reason = "the file cannot be opened";
        }
        const std::u16string line = entry ? executor.report(entry, static_cast<int>(kind->kind), result)
                                          : actions::logLine(static_cast<int>(kind->kind),
                                                             utf16Of(paths[i].filename()), result.result);
        out << utf8Of(line) << '\n';
        if (result.result != actions::Result::Done) {
            allDone = false;
            err << "qlx act: " << (*files)[i] << ": " << result.reason << '\n';
        } else if (undo && entry) {
            const actions::UndoResult undone = actions::undoNewest(list.item(*entry), {{answer, answer}, &ledger, false});
            out << utf8Of(actions::logLine(0, utf16Of(paths[i].filename()), undone.result)) << '\n';
            if (undone.result != actions::Result::Done) {
                allDone = false;
                err << "qlx act: " << (*files)[i] << ": undo: " << undone.reason << '\n';
            }
        }
    }
    return allDone ? 0 : 1;
}

} // namespace qlx::cli
