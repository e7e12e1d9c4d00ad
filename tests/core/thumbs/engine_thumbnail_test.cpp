// RAW files without a usable embedded picture, through the list-information
// worker and the merge the list controller does: a stopped development is
// no failure; the colour chart gets its block from the engine, trimmed files
// the engine cannot develop fail once, neither is visited again, and the
// cache is written once.

#include "cache/thumbnail_block.h"
#include "imagelist/folder_session.h"
#include "raw/development_gate.h"
#include "shell/data_tables.h"
#include "thumbs/list_information_worker.h"

#include "../imagelist/folder_test_files.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <thread>

namespace qlx::thumbs {
namespace {

TEST(EngineThumbnails, DevelopedOnceFailedOnceAndNeitherVisitedAgain)
{
    // colorchart.dng: raw data where the first small image is looked for, no
    // preview. KyoceraRaw.raw: no embedded picture; CanonRaw.crw: a 29-byte
    // JPEG. `dcraw -i -v` cannot unpack either ("Input/output error").
    QLX_NEED_SAMPLES("raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw");
    test::TempDir folder, cacheDir;
    for (const char* sample : {"raw-full/colorchart.dng", "exiftool/KyoceraRaw.raw", "exiftool/CanonRaw.crw"})
        std::filesystem::copy_file(test::samplesDir() / sample, folder.path() / std::filesystem::path(sample).filename());
    const auto table = shell::loadTableFile(test::buildDir() / "bin" / "camera.bin", metadata::CameraRecordLayout::kSize);
    ASSERT_TRUE(table) << "the build writes bin/camera.bin";
    const metadata::CameraTable cameras(*table);
    const metadata::LensTables lenses;
    imagelist::MemoryReserve reserve;
    cache::ThumbnailCache cache({cacheDir.path(), 0, false, false, false});
    imagelist::FolderSession session(cache, reserve, test::readOptions);
    session.load({folder.path().u16string()});
    imagelist::ImageList& list = session.list();
    ThumbnailFailures failures;
    std::vector<std::u16string> failed;
    const auto runPass = [&](bool stopAtOnce) {
        ListInformationWorker worker({cameras, lenses}, {}, 3, &reserve, [] {});
        worker.start(planInformationPass(list, failures, 1));
        if (stopAtOnce)
            worker.stop();
        for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
             worker.running() && std::chrono::steady_clock::now() < deadline;)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (InformationResult& result : worker.takeResults())
            if (mergeInformation(list.item(result.entry), result, failures).developFailed)
                failed.push_back(list.entry(result.entry).name());
    };
    const auto jobs = [&] {
        const InformationPass pass = planInformationPass(list, failures, 1);
        return std::count_if(pass.jobs.begin(), pass.jobs.end(), [](const auto& job) { return job != nullptr; });
    };
    {
        // This test holds the engine: a stop that waited for it would never end.
        const auto held = raw::DevelopmentGate::shared().enter(nullptr);
        runPass(true);
        // A development stopped before its turn: no picture and no failure.
        imagelist::ListItem& item = list.item(*list.findByName(u"colorchart.dng"));
        readEntryMetadata(item, {cameras, lenses}, {});
        imagelist::ListItem copy;
        copy.entry = std::make_unique<imagelist::ImageEntry>(*item.entry);
        raw::CancelFlag stop;
        stop.request();
        InformationResult result;
        result.thumbnailStatus = makeEntryThumbnail(copy, {cameras, lenses}, {}, &stop, &reserve);
        result.record = std::move(copy.entry);
        EXPECT_EQ(result.thumbnailStatus, PictureStatus::Cancelled);
        mergeInformation(item, result, failures);
    }
    EXPECT_TRUE(failed.empty());
    runPass(false);
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, (std::vector<std::u16string>{u"CanonRaw.crw", u"KyoceraRaw.raw"}));
    const imagelist::ListItem& chart = list.item(*list.findByName(u"colorchart.dng"));
    EXPECT_EQ(chart.thumbnail().size(), cache::ThumbnailBlockLayout::kSize);
    // 1734 × 1156 (`dcraw -i -v`), an eighth, edges rounded up; orientation 1
    // (`exiftool -n`): nothing to turn.
    EXPECT_EQ(std::pair(chart.entry->pictureWidth(), chart.entry->pictureHeight()), std::pair(217, 145));
    EXPECT_EQ(rotationTotal(*chart.entry), 0);
    EXPECT_EQ(jobs(), 0);
    session.markEntriesChanged();
    EXPECT_EQ(session.saveCache(), cache::CacheSaveOutcome::Prepared);

    session.load({folder.path().u16string(), true});
    EXPECT_EQ(list.item(*list.findByName(u"colorchart.dng")).thumbnail().size(), cache::ThumbnailBlockLayout::kSize);
    EXPECT_EQ(jobs(), 0);
    EXPECT_EQ(session.saveCache(), cache::CacheSaveOutcome::TimeRenewed);
}

} // namespace
} // namespace qlx::thumbs
