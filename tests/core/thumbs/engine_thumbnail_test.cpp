// Thumbnails the RAW engine develops, through the list-information worker
// and the merge the list controller does: a file without a usable embedded
// picture gets its block and is done, a file the engine cannot develop fails
// once, and neither is visited again; the cache is written once. A stop
// stops a development without making it a failure.

#include "cache/thumbnail_block.h"
#include "imagelist/folder_session.h"
#include "raw/development_gate.h"
#include "shell/data_tables.h"
#include "thumbs/list_information_worker.h"

#include "../imagelist/folder_test_files.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>

namespace qlx::thumbs {
namespace {

namespace fs = std::filesystem;

// The program's own camera table, as the build writes it.
const metadata::CameraTable& programCameras()
{
    static const metadata::CameraTable table(
        shell::loadTableFile(test::buildDir() / "bin" / "camera.bin", metadata::CameraRecordLayout::kSize).value());
    return table;
}
const metadata::LensTables kNoLenses;

class EngineThumbnails : public ::testing::Test {
protected:
    // Runs `pass` to its end and merges its results as the list controller
    // does; the entries whose development failed.
    std::vector<std::u16string> runAndMerge(imagelist::ImageList& list, InformationPass pass)
    {
        std::mutex mutex;
        std::condition_variable noticed;
        ListInformationWorker worker({programCameras(), kNoLenses}, {}, 3, &reserve, [&] {
            const std::lock_guard lock(mutex);
            noticed.notify_all();
        });
        worker.start(std::move(pass));
        std::unique_lock lock(mutex);
        EXPECT_TRUE(noticed.wait_for(lock, std::chrono::seconds(30), [&] { return !worker.running(); }));
        std::vector<std::u16string> developFailed;
        for (InformationResult& result : worker.takeResults()) {
            const MergedInformation merged = mergeInformation(list.item(result.entry), result, failures);
            if (merged.developFailed)
                developFailed.push_back(list.entry(result.entry).name());
        }
        return developFailed;
    }

    std::size_t jobCount(const imagelist::ImageList& list) const
    {
        const InformationPass pass = planInformationPass(list, failures, 1);
        return static_cast<std::size_t>(std::count_if(pass.jobs.begin(), pass.jobs.end(), [](const auto& j) { return j != nullptr; }));
    }

    test::TempDir folder;
    test::TempDir cacheDir;
    imagelist::MemoryReserve reserve;
    ThumbnailFailures failures;
};

TEST_F(EngineThumbnails, DevelopedOnceFailedOnceAndNeitherVisitedAgain)
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw");
    // colorchart.dng: raw data where the first small image is looked for,
    // no preview. KyoceraRaw.raw: no embedded picture. CanonRaw.crw: a
    // 29-byte JPEG. Both trimmed ones stop LibRaw ("Cannot unpack ...:
    // Input/output error" from `dcraw -i -v`, which develops neither).
    for (const char* sample : {"raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw"})
        fs::copy_file(test::samplesDir() / sample, folder.path() / fs::path(sample).filename());
    cache::ThumbnailCache cache(cache::CacheSettings{cacheDir.path(), 0, false, false, false});
    imagelist::FolderSession session(cache, reserve, test::readOptions);
    session.load({folder.path().u16string()});
    imagelist::ImageList& list = session.list();
    ASSERT_EQ(list.size(), 3u);

    auto failed = runAndMerge(list, planInformationPass(list, failures, 1));
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, (std::vector<std::u16string>{u"CanonRaw.crw", u"KyoceraRaw.raw"}));
    const imagelist::ListItem& chart = list.item(*list.findByName(u"colorchart.dng"));
    EXPECT_EQ(chart.thumbnail().size(), cache::ThumbnailBlockLayout::kSize);
    // `dcraw -i -v`: 1734 × 1156; the list-thumbnail mode gives an eighth,
    // edges rounded up. Orientation 1 (`exiftool -n`): nothing turned.
    EXPECT_EQ(std::pair(chart.entry->pictureWidth(), chart.entry->pictureHeight()), std::pair(217, 145));
    EXPECT_EQ(rotationTotal(*chart.entry), 0);
    EXPECT_EQ(jobCount(list), 0u) << "done or failed: no entry is visited again";
    session.markEntriesChanged();
    EXPECT_EQ(session.saveCache(), cache::CacheSaveOutcome::Prepared);

    // Back from the cache: the block is there, nothing to do, nothing to write.
    session.load({folder.path().u16string(), true});
    EXPECT_EQ(session.lastRead().fromCache, 3u);
    EXPECT_EQ(list.item(*list.findByName(u"colorchart.dng")).thumbnail().size(), cache::ThumbnailBlockLayout::kSize);
    EXPECT_EQ(jobCount(list), 0u);
    EXPECT_EQ(session.saveCache(), cache::CacheSaveOutcome::TimeRenewed);
}

TEST_F(EngineThumbnails, AStoppedDevelopmentIsNoFailureAndTheEntryIsTriedAgain)
{
    QLX_NEED_SAMPLES("raw-full/colorchart.dng");
    fs::copy_file(test::samplesDir() / "raw-full/colorchart.dng", folder.path() / "colorchart.dng");
    imagelist::ImageList list;
    imagelist::readFolder(list, folder.path().u16string(), nullptr, test::readOptions());
    imagelist::ListItem& item = list.item(0);
    readEntryMetadata(item, {programCameras(), kNoLenses}, {});
    raw::CancelFlag stop;
    stop.request();
    imagelist::ListItem copy;
    copy.entry = std::make_unique<imagelist::ImageEntry>(*item.entry);
    InformationResult result;
    result.thumbnailStatus = makeEntryThumbnail(copy, {programCameras(), kNoLenses}, {}, &stop, &reserve);
    result.record = std::move(copy.entry);
    EXPECT_EQ(result.thumbnailStatus, PictureStatus::Cancelled);
    EXPECT_FALSE(mergeInformation(item, result, failures).developFailed);
    EXPECT_EQ(jobCount(list), 1u);

    // The worker's stop stops the development it waits for: this test holds
    // the engine, which a stop that waited would never get.
    std::optional<raw::DevelopmentGate::Turn> held = raw::DevelopmentGate::shared().enter(nullptr);
    ListInformationWorker worker({programCameras(), kNoLenses}, {}, 3, &reserve, [] {});
    worker.start(planInformationPass(list, failures, 1));
    auto stopped = std::async(std::launch::async, [&] { worker.stop(); });
    const bool prompt = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    held.reset();
    ASSERT_TRUE(prompt) << "the stop waited for the engine";
    for (const InformationResult& r : worker.takeResults())
        EXPECT_EQ(r.thumbnailStatus, PictureStatus::Cancelled);
}

} // namespace
} // namespace qlx::thumbs
