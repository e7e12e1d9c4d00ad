#include "act_development.h"

#include "info_command.h"

#include "actions/action_paths.h"
#include "actions/file_operations.h"
#include "imagelist/file_kind.h"
#include "raw/development_job.h"

#include <mutex>
#include <ostream>

namespace qlx::cli {

namespace fs = std::filesystem;

namespace {

// The folder the job writes into, or why there is none.
struct OutputFolder {
    fs::path folder;
    std::string problem;
};

OutputFolder outputFolder(const fs::path& first, std::u16string_view destination,
                          const actions::FileActionAnswers& answers)
{
    if (actions::checkFolderPath(destination) != actions::PathProblem::None)
        return {{}, "the destination is not a folder path that actions accept"};
    const fs::path folder = actions::resolveDestination(first, destination);
    std::error_code error;
    if (fs::is_directory(folder, error))
        return {folder, {}};
    if (!answers.createFolder)
        return {{}, "the folder " + folder.string() + " does not exist"};
    if (!actions::ensureFolder(folder))
        return {{}, "the folder " + folder.string() + " could not be made"};
    return {folder, {}};
}

} // namespace

int runDevelopmentAction(actions::ActionKind kind, const std::vector<fs::path>& files,
                         std::u16string_view destination, const actions::FileActionAnswers& answers,
                         std::ostream& out, std::ostream& err)
{
    const int kindNumber = static_cast<int>(kind);
    const auto line = [&](const fs::path& file, actions::Result result, const std::string& reason) {
        out << utf8Of(actions::logLine(kindNumber, utf16Of(file.filename()), result)) << '\n';
        if (result != actions::Result::Done)
            err << "qlx act: " << file.string() << ": " << reason << '\n';
    };
    const OutputFolder place = outputFolder(files.front(), destination, answers);
    if (place.folder.empty()) {
        for (const fs::path& file : files)
            line(file, actions::Result::Failed, place.problem);
        return 1;
    }
    // The shooting data go into the output's Exif, as in the program.
    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::Yes);
    std::vector<raw::DevelopmentItem> items;
    bool allDone = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileRead read = readFile(files[i], tables, true);
        if (!read.opened || !imagelist::isRawKind(read.entry->kind())) {
            line(files[i], actions::Result::Skipped, read.opened ? "not a RAW file" : "the file cannot be opened");
            allDone = false;
            continue;
        }
        items.push_back({i, std::shared_ptr<const imagelist::ImageEntry>(std::move(read.entry))});
    }
    const raw::OutputKind outputKind = kind == actions::ActionKind::DevelopTiff ? raw::OutputKind::Tiff
                                                                                : raw::OutputKind::Jpeg;
    raw::DevelopmentSettings settings{outputKind, place.folder, raw::DevelopMode::Best, true};
    std::mutex reports; // the job reports on its worker thread
    raw::DevelopmentJob::Callbacks callbacks;
    callbacks.replace = [replace = answers.replace](const fs::path&) { return replace; };
    callbacks.report = [&](const raw::DevelopmentReport& report) {
        const std::lock_guard lock(reports);
        line(files[report.entryIndex], report.result, report.reason);
        allDone = allDone && report.result == actions::Result::Done;
    };
    raw::DevelopmentJob job(std::move(items), settings, std::move(callbacks));
    // The drawing priority's normal level.
    if (job.total() > 0 && job.start(2))
        job.wait();
    return allDone ? 0 : 1;
}

} // namespace qlx::cli
