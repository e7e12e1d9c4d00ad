#include "thumbs_bench_command.h"
#include "bench_arguments.h"

#include "io/file_source.h"
#include "thumbs/histogram.h"
#include "cache/thumbnail_block.h"
#include "thumbs/thumbnail_maker.h"
#include "thumbs/video_thumbnail.h"
#include "imagelist/file_kind.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>

namespace qlx::cli {

namespace {

// The histogram background of the default settings: black at opacity 128.
constexpr std::uint32_t kDefaultHistogramBackground = 0x8000'0000u;
// The program's default thumbnail time of a clip.
constexpr std::int32_t kVideoThumbnailSecond = 1;

using Clock = std::chrono::steady_clock;

struct Totals {
    std::uint64_t made = 0;
    std::uint64_t developed = 0; // of `made`, by the RAW engine
    std::uint64_t failed = 0;
    std::uint64_t elsewhere = 0; // left to the RAW engine or the video frame grabber
    Clock::duration locate{};
    Clock::duration picture{};
    Clock::duration histogram{};
};

void makeOne(const std::filesystem::path& path, const MetadataTables& tables, Totals& totals)
{
    const auto start = Clock::now();
    const FileRead read = readFile(path, tables, false);
    const auto located = Clock::now();
    totals.locate += located - start;
    if (!read.opened || !read.entry) {
        ++totals.failed;
        return;
    }
    const metadata::CameraRecord* known = tables.cameras.recordAtRow(read.entry->cameraIndex());
    const metadata::CameraRecord record = known != nullptr ? *known : metadata::CameraRecord{};
    io::PosixFileSource file(path);
    // The program's route: files without a usable embedded picture are
    // developed, one at a time, as the list-information worker does.
    const thumbs::EngineAccess engine{path, nullptr, nullptr};
    const thumbs::ThumbnailResult result =
        read.entry->kind() == imagelist::kKindVideo
            ? thumbs::makeVideoThumbnail(*read.entry, path, kVideoThumbnailSecond)
            : thumbs::makeThumbnail(file, *read.entry, record, {}, &engine);
    const auto made = Clock::now();
    totals.picture += made - located;
    if (result.status == thumbs::PictureStatus::NeedsEngine
        || result.status == thumbs::PictureStatus::NeedsVideoFrame) {
        ++totals.elsewhere;
        return;
    }
    if (result.status != thumbs::PictureStatus::Made) {
        ++totals.failed;
        return;
    }
    const QImage histogram = thumbs::makeHistogramPicture(result.thumbnail.picture, kDefaultHistogramBackground);
    const auto block = cache::makeThumbnailBlock(result.thumbnail.picture, histogram);
    totals.histogram += Clock::now() - made;
    if (!block.empty()) {
        ++totals.made;
        totals.developed += result.developed ? 1 : 0;
    } else
        ++totals.failed;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

int runThumbsBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const BenchSetup bench = prepareBench(args, "thumbs", err);
    if (bench.exitCode != 0)
        return bench.exitCode;

    Totals totals;
    const auto start = Clock::now();
    for (int round = 0; round < bench.repeat; ++round)
        for (const auto& file : bench.files)
            makeOne(file, bench.tables, totals);
    const double elapsed = seconds(Clock::now() - start);

    const double perSecond = elapsed > 0 ? static_cast<double>(totals.made) / elapsed : 0.0;
    const double developedPerSecond = elapsed > 0 ? static_cast<double>(totals.developed) / elapsed : 0.0;
    char text[400];
    std::snprintf(text, sizeof text,
                  "files\t%zu\nrepeat\t%d\nthumbnails\t%llu\nfailed\t%llu\nengine/video\t%llu\nseconds\t%.4f\n"
                  "thumbnails/s\t%.0f\nengine thumbnails\t%llu\nengine thumbnails/s\t%.2f\n"
                  "locate s\t%.4f\npicture s\t%.4f\nhistogram s\t%.4f\n",
                  bench.files.size(), bench.repeat, static_cast<unsigned long long>(totals.made),
                  static_cast<unsigned long long>(totals.failed), static_cast<unsigned long long>(totals.elsewhere),
                  elapsed, perSecond, static_cast<unsigned long long>(totals.developed), developedPerSecond,
                  seconds(totals.locate), seconds(totals.picture), seconds(totals.histogram));
    out << text;
    return 0;
}

} // namespace qlx::cli
