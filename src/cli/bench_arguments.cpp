#include "bench_arguments.h"

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
