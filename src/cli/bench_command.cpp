#include "bench_command.h"
#include "bench_arguments.h"

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


} // namespace

int runBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsed = parseBenchArguments(args, "metadata");
    if (!parsed) {
        err << kUsage;
        return 2;
    }
    const auto files = benchFiles(*parsed, err);
    if (!files)
        return 1;
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
