#include "develop_bench_command.h"
#include "bench_arguments.h"

#include "raw/cancel_flag.h"
#include "raw/raw_engine.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

namespace qlx::cli {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// Each cancel point costs up to one development; twenty cover every stage
// of a development without making the bench last minutes on large files.
constexpr int kMaxCancelPoints = 20;

double peakResidentMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kibibytes on Linux
}

struct CancelPoint {
    double afterMs = 0;
    double latencyMs = 0; // from the request to the engine's return
    bool cancelled = false;
};

CancelPoint cancelAfter(const std::filesystem::path& file, raw::DevelopMode mode, double afterMs)
{
    raw::CancelFlag flag;
    raw::Development result;
    Clock::time_point returned;
    const auto start = Clock::now();
    std::thread worker([&] {
        result = raw::develop(file, {mode, &flag, nullptr});
        returned = Clock::now();
    });
    std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(Milliseconds(afterMs)));
    const auto requested = Clock::now();
    flag.request();
    worker.join();
    return {afterMs, std::max(0.0, Milliseconds(returned - requested).count()), result.cancelled()};
}

void reportCancelling(const std::filesystem::path& file, raw::DevelopMode mode, double firstMs, double wholeMs,
                      std::ostream& out)
{
    const double step = std::max(firstMs, wholeMs / kMaxCancelPoints);
    int points = 0;
    int cancelled = 0;
    double worst = 0;
    char line[160];
    for (double after = firstMs; points == 0 || after < wholeMs; after += step) {
        const CancelPoint point = cancelAfter(file, mode, after);
        ++points;
        if (point.cancelled) {
            ++cancelled;
            worst = std::max(worst, point.latencyMs);
        }
        std::snprintf(line, sizeof line, "cancel after ms\t%.0f\t%.1f\t%s\n", point.afterMs, point.latencyMs,
                      point.cancelled ? "cancelled" : "finished");
        out << line;
    }
    std::snprintf(line, sizeof line, "cancelled\t%d of %d\ncancel latency worst ms\t%.1f\n", cancelled, points, worst);
    out << line;
}

} // namespace

int runDevelopBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const DevelopBenchSetup bench = prepareDevelopBench(args, err);
    if (bench.exitCode != 0)
        return bench.exitCode;
    const auto mode = static_cast<raw::DevelopMode>(bench.mode);

    double totalMs = 0;
    double fastestMs = 0;
    QSize size;
    for (int round = 0; round < bench.repeat; ++round) {
        const auto start = Clock::now();
        const raw::Development development = raw::develop(bench.file, {mode, nullptr, nullptr});
        const double ms = Milliseconds(Clock::now() - start).count();
        if (!development.ok()) {
            err << "qlx bench develop: " << bench.file.string() << ": " << development.reason << '\n';
            return 1;
        }
        size = development.picture.size();
        totalMs += ms;
        fastestMs = round == 0 ? ms : std::min(fastestMs, ms);
    }

    char text[512];
    std::snprintf(text, sizeof text, "mode\t%d\nsize\t%dx%d\nrepeat\t%d\nms mean\t%.1f\nms fastest\t%.1f\npeak resident MiB\t%.1f\n",
                  int(bench.mode), size.width(), size.height(), bench.repeat, totalMs / bench.repeat, fastestMs,
                  peakResidentMiB());
    out << "file\t" << bench.file.string() << '\n' << text;
    if (bench.cancelAfterMs > 0)
        reportCancelling(bench.file, mode, bench.cancelAfterMs, fastestMs, out);
    return 0;
}

} // namespace qlx::cli
