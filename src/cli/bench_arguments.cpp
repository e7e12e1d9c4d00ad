#include "bench_arguments.h"
#include "file_arguments.h"

#include "imagelist/file_kind.h"
#include "imagelist/video_extensions.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace qlx::cli {

namespace {

constexpr int kMaxRepeat = 1'000'000;
// A development of the largest camera files takes seconds: a minute is past
// any of them, and cancel points are spread over the development's length.
constexpr int kMaxCancelAfterMs = 60'000;
constexpr int kLastMode = 3;
constexpr std::string_view kDevelopUsage =
    "usage: qlx bench develop FILE [--mode 0|1|2|3] [--repeat N] [--cancel-after MS]\n";

struct BenchArguments {
    std::filesystem::path folder;
    int repeat = 1;
};

std::optional<BenchArguments> parseBenchArguments(const std::vector<std::string>& args, std::string_view what)
{
    if (args.empty() || args[0] != what)
        return std::nullopt;
    BenchArguments parsed;
    bool haveFolder = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--repeat") {
            if (i + 1 >= args.size())
                return std::nullopt;
            const auto repeat = parseBoundedInt(args[++i], 1, kMaxRepeat);
            if (!repeat)
                return std::nullopt;
            parsed.repeat = *repeat;
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

// The option's value, when it is a number in range, goes to `target`.
ValueOption numberOption(std::string_view name, std::string_view needs, int low, int high, int& target)
{
    return {name, needs, [low, high, &target](std::string_view text) {
                const auto value = parseBoundedInt(text, low, high);
                target = value.value_or(target);
                return value.has_value();
            }};
}

} // namespace

std::optional<int> parseBoundedInt(std::string_view text, int low, int high)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

DevelopBenchSetup prepareDevelopBench(const std::vector<std::string>& args, std::ostream& err)
{
    DevelopBenchSetup setup;
    int mode = 0;
    const ValueOption options[] = {
        numberOption("--mode", "a mode from 0 to 3", 0, kLastMode, mode),
        numberOption("--repeat", "a count from 1", 1, kMaxRepeat, setup.repeat),
        numberOption("--cancel-after", "milliseconds from 1 to 60000", 1, kMaxCancelAfterMs, setup.cancelAfterMs),
    };
    const std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    const auto files = parseFileArguments(rest, "bench develop", kDevelopUsage, err, options);
    if (!files || files->size() != 1) {
        if (files)
            err << kDevelopUsage;
        setup.exitCode = 2;
        return setup;
    }
    setup.file = files->front();
    setup.mode = static_cast<std::uint8_t>(mode);
    return setup;
}

BenchSetup prepareBench(const std::vector<std::string>& args, std::string_view what, std::ostream& err)
{
    BenchSetup setup;
    const auto parsed = parseBenchArguments(args, what);
    if (!parsed) {
        err << "usage: qlx bench " << what << " DIR [--repeat N]\n";
        setup.exitCode = 2;
        return setup;
    }
    std::error_code error;
    auto files = listedFiles(std::filesystem::absolute(parsed->folder, error));
    if (!files) {
        err << "qlx bench: cannot list " << parsed->folder.string() << '\n';
        setup.exitCode = 1;
        return setup;
    }
    setup.repeat = parsed->repeat;
    setup.files = std::move(*files);
    setup.tables = loadTablesBesideProgram(LensTablesWanted::No);
    return setup;
}

} // namespace qlx::cli
