#include "bench_command.h"
#include "bench_arguments.h"


#include <chrono>
#include <cstdio>
#include <ostream>

namespace qlx::cli {

int runBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const BenchSetup bench = prepareBench(args, "metadata", err);
    if (bench.exitCode != 0)
        return bench.exitCode;

    std::uint64_t bytesRead = 0;
    std::uint64_t passes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < bench.repeat; ++round) {
        for (const auto& file : bench.files) {
            const FileRead read = readFile(file, bench.tables, false);
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
                  bench.files.size(), bench.repeat, seconds, perSecond, perFile);
    out << line;
    return 0;
}

} // namespace qlx::cli
