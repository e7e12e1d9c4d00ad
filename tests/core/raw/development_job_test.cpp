// The development job: one result per present file (a file the engine
// cannot develop is a failure, not left out), pictures turned by the
// entry's rotation, and a cancel that skips the development in work and
// reports nothing after it.

#include "raw/development_job.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <QString>

#include <fstream>
#include <mutex>

namespace qlx::raw {
namespace {

namespace fs = std::filesystem;
using actions::Result;

std::shared_ptr<const imagelist::ImageEntry> entryFor(const fs::path& path, bool present, std::uint8_t userTurns = 0)
{
    auto entry = std::make_shared<imagelist::ImageEntry>();
    entry->setPath(QString::fromStdString(path.string()).toStdU16String());
    entry->setPresence(present ? imagelist::ImageEntry::kPresenceCounted : 0);
    entry->setUserRotation(userTurns);
    return entry;
}

struct Outcome {
    std::mutex mutex;
    std::vector<DevelopmentReport> reports;
    std::vector<DevelopmentProgress> progress;
};

DevelopmentJob::Callbacks recordInto(Outcome& outcome, std::function<void(const DevelopmentProgress&)> also = {})
{
    return {[](const fs::path&) { return false; },
            [&outcome](const DevelopmentReport& r) {
                const std::scoped_lock lock(outcome.mutex);
                outcome.reports.push_back(r);
            },
            [&outcome, also](const DevelopmentProgress& p) {
                {
                    const std::scoped_lock lock(outcome.mutex);
                    outcome.progress.push_back(p);
                }
                if (also)
                    also(p);
            },
            {}};
}

QSize sizeOf(const fs::path& file)
{
    return QImageReader(QString::fromStdString(file.string())).size();
}

TEST(DevelopmentJob, EveryPresentFileGetsAResult)
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng");
    const test::TempDir folder;
    const fs::path chart = folder.path() / "chart.dng";
    fs::copy_file(test::samplesDir() / "raw-full/colorchart.dng", chart);
    std::ofstream(folder.path() / "notes.dng") << std::string(64 * 1024, 'n');
    Outcome outcome;
    DevelopmentJob job({{0, entryFor(chart, true, 1)}, {1, entryFor(folder.path() / "gone.dng", false)},
                        {2, entryFor(folder.path() / "notes.dng", true)}},
                       {OutputKind::Jpeg, folder.path(), DevelopMode::Quick, true}, recordInto(outcome));
    EXPECT_EQ(job.total(), 2);
    ASSERT_TRUE(job.start(2));
    job.wait();
    ASSERT_EQ(outcome.reports.size(), 2u);
    EXPECT_EQ(outcome.reports[0].entryIndex, 0u);
    EXPECT_EQ(outcome.reports[0].result, Result::Done) << outcome.reports[0].reason;
    EXPECT_EQ(outcome.reports[1].entryIndex, 2u);
    EXPECT_EQ(outcome.reports[1].result, Result::Failed);
    // One quarter turn clockwise: the 867 × 578 half size stands up.
    EXPECT_EQ(sizeOf(folder.path() / "chart.jpg"), QSize(578, 867));
    EXPECT_FALSE(fs::exists(folder.path() / "notes.jpg"));
    EXPECT_EQ(outcome.progress.back().done, 2);
    EXPECT_EQ(outcome.progress.back().total, 2);
}

TEST(DevelopmentJob, ACancelSkipsTheFileInWorkAndEndsTheJob)
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng");
    const test::TempDir source;
    const test::TempDir output;
    std::vector<DevelopmentItem> items;
    for (std::size_t i = 0; i < 3; ++i) {
        const fs::path copy = source.path() / ("c" + std::to_string(i) + ".dng");
        fs::copy_file(test::samplesDir() / "raw-full/colorchart.dng", copy);
        items.push_back({i, entryFor(copy, true)});
    }
    Outcome outcome;
    DevelopmentJob* running = nullptr;
    // The second file's start: cancel before its development has begun.
    DevelopmentJob job(std::move(items), {OutputKind::Tiff, output.path(), DevelopMode::Quick, false},
                       recordInto(outcome, [&running](const DevelopmentProgress& p) {
                           if (p.done == 1 && !p.current.empty())
                               running->cancel();
                       }));
    running = &job;
    ASSERT_TRUE(job.start(2));
    job.wait();
    ASSERT_EQ(outcome.reports.size(), 2u);
    EXPECT_EQ(outcome.reports[0].result, Result::Done);
    EXPECT_EQ(outcome.reports[1].result, Result::Skipped);
    EXPECT_TRUE(fs::exists(output.path() / "c0.tiff"));
    EXPECT_EQ(std::distance(fs::directory_iterator(output.path()), fs::directory_iterator{}), 1);
}

} // namespace
} // namespace qlx::raw
