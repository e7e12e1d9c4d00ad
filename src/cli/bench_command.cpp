#include "bench_command.h"

#include "info_command.h"
#include "imagelist/file_kind.h"
#include "imagelist/video_extensions.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage = "usage: qlx bench metadata DIR [--repeat N]\n";
constexpr int kMaxRepeat = 1'000'000;

struct Arguments {
    std::filesystem::path folder;
    int repeat = 1;
};

std::optional<Arguments> parse(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] != "metadata")
        return std::nullopt;
    Arguments parsed;
    bool haveFolder = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--repeat") {
            if (i + 1 >= args.size())
                return std::nullopt;
            const std::string& count = args[++i];
            const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), parsed.repeat);
            if (error != std::errc{} || end != count.data() + count.size() || parsed.repeat < 1
                || parsed.repeat > kMaxRepeat)
                return std::nullopt;
        } else if (arg.size() > 1 && arg.starts_with("-")) {
            return std::nullopt;
        } else {
            if (haveFolder)
                return std::nullopt;
            parsed.folder = arg;
            haveFolder = true;
        }
    }
    if (!haveFolder)
        return std::nullopt;
    return parsed;
}

// The folder's files that the list shows, by name, in name order.
std::optional<std::vector<std::filesystem::path>> listedFiles(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator items(folder, error);
    if (error)
        return std::nullopt;
    std::vector<std::filesystem::path> files;
    const auto& video = imagelist::defaultVideoExtensions();
    for (const auto& item : items) {
        if (!item.is_regular_file(error))
            continue;
        const std::string name = item.path().filename().native();
        const std::u16string name16 =
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toStdU16String();
        if (imagelist::classify(name16, imagelist::kDefaultTargetMask, video) != 0)
            files.push_back(item.path());
    }
    std::ranges::sort(files);
    return files;
}

} // namespace

int runBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = parse(args);
    if (!parsed) {
        err << kUsage;
        return 2;
    }
    // Absolute once here, so that no pass asks for the working folder.
    std::error_code error;
    const auto files = listedFiles(std::filesystem::absolute(parsed->folder, error));
    if (!files) {
        err << "qlx bench: cannot list " << parsed->folder.string() << '\n';
        return 1;
    }
    const MetadataTables tables = loadTablesBesideProgram(LensTablesWanted::No);

    std::uint64_t bytesRead = 0;
    std::uint64_t passes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < parsed->repeat; ++round) {
        for (const auto& file : *files) {
            const FileRead read = readFile(file, tables, false);
            bytesRead += read.pass.bytesRead;
            ++passes;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    const double seconds = elapsed.count();
    const double perSecond = seconds > 0 ? static_cast<double>(passes) / seconds : 0.0;
    const double perFile = passes > 0 ? static_cast<double>(bytesRead) / static_cast<double>(passes) : 0.0;
    char line[160];
    std::snprintf(line, sizeof line, "files\t%zu\nrepeat\t%d\nseconds\t%.4f\nfiles/s\t%.0f\nbytes/file\t%.0f\n",
                  files->size(), parsed->repeat, seconds, perSecond, perFile);
    out << line;
    return 0;
}

} // namespace qlx::cli
