// The list-information worker: its visiting order, a whole pass over real
// files, and how its results are merged into entries the user changed
// meanwhile.

#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "thumbs/list_information_worker.h"
#include "thumbs/visit_order.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

namespace qlx::thumbs {
namespace {

std::vector<std::size_t> all(VisitOrder order)
{
    std::vector<std::size_t> out;
    while (const auto next = order.next())
        out.push_back(*next);
    return out;
}

TEST(VisitOrder, ForwardFromTheStartWrappingAtTheEnd)
{
    EXPECT_EQ(all(VisitOrder(5, 2, false)), (std::vector<std::size_t>{2, 3, 4, 0, 1}));
    EXPECT_EQ(all(VisitOrder(3, 0, false)), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(all(VisitOrder(0, 0, false)).empty());
}

TEST(VisitOrder, AlternatingForwardAndBackFromTheItemBeforeTheStart)
{
    EXPECT_EQ(all(VisitOrder(6, 3, true)), (std::vector<std::size_t>{3, 2, 4, 1, 5, 0}));
    // Near the end the forward side wraps round; nothing is visited twice.
    EXPECT_EQ(all(VisitOrder(5, 4, true)), (std::vector<std::size_t>{4, 3, 0, 2, 1}));
}

TEST(VisitOrder, AMovedFocusGoesOnFromThereWithoutRepeating)
{
    VisitOrder order(8, 0, false);
    EXPECT_EQ(order.next(), 0u);
    EXPECT_EQ(order.next(), 1u);
    order.restartAt(6);
    std::vector<std::size_t> rest;
    while (const auto next = order.next())
        rest.push_back(*next);
    EXPECT_EQ(rest, (std::vector<std::size_t>{6, 5, 7, 4, 3, 2}));
}

TEST(VisitOrder, SkippedPositionsAreNotVisited)
{
    VisitOrder order(4, 0, false);
    order.skip(1);
    order.skip(3);
    EXPECT_EQ(all(std::move(order)), (std::vector<std::size_t>{0, 2}));
}

TEST(ApplyInformation, TheWorkersFindingsMergeWithTheUsersChanges)
{
    imagelist::ImageEntry target;
    target.setPath(u"/card/a.jpg");
    target.setChecked(true);
    target.setPresence(0);
    target.setUserRotation(1);
    target.setItemText(imagelist::ImageEntry::kItemStatus, u"移動");
    target.setFlags(imagelist::ImageEntry::kFlagPlaybackMode);

    imagelist::ImageEntry worked;
    worked.setPath(u"/card/b.jpg");
    worked.setItemText(imagelist::ImageEntry::kItemModel, u"Canon EOS 40D");
    worked.setItemText(imagelist::ImageEntry::kItemIso, u"100");
    worked.setCameraIndex(7);
    worked.setPreviewOffset(1234);
    worked.setPictureSize(3888, 2592);
    worked.setOrientationRotation(3);
    worked.setFlags(imagelist::ImageEntry::kFlagMetadataRead);

    applyInformation(target, worked);
    EXPECT_EQ(target.itemText(imagelist::ImageEntry::kItemModel), u"Canon EOS 40D");
    EXPECT_EQ(target.itemText(imagelist::ImageEntry::kItemIso), u"100");
    EXPECT_EQ(target.cameraIndex(), 7u);
    EXPECT_EQ(target.previewOffset(), 1234u);
    EXPECT_EQ(target.pictureWidth(), 3888);
    EXPECT_EQ(target.orientationRotation(), 3);
    EXPECT_TRUE(target.hasFlag(imagelist::ImageEntry::kFlagMetadataRead));
    // What the user did meanwhile stays.
    EXPECT_EQ(target.path(), u"/card/a.jpg");
    EXPECT_TRUE(target.checked());
    EXPECT_EQ(target.presence(), 0);
    EXPECT_EQ(target.userRotation(), 1);
    EXPECT_EQ(target.itemText(imagelist::ImageEntry::kItemStatus), u"移動");
    EXPECT_TRUE(target.hasFlag(imagelist::ImageEntry::kFlagPlaybackMode));
}

TEST(ListInformationWorker, APassReadsEveryEntryThatNeedsIt)
{
    test::TempDir dir;
    const auto samples = test::samplesDir() / "exif-samples";
    for (const char* name : {"Canon_40D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg"})
        std::filesystem::copy_file(samples / name, dir.path() / name);
    imagelist::ImageList list;
    imagelist::FolderReadOptions options;
    options.targetMask = imagelist::kDefaultTargetMask;
    const std::string& native = dir.path().native();
    imagelist::readFolder(list, std::u16string(native.begin(), native.end()), nullptr, options);
    ASSERT_EQ(list.size(), 3u);

    InformationPass pass;
    pass.generation = 7;
    for (std::size_t position = 0; position < list.size(); ++position) {
        const std::size_t entry = list.order()[position];
        pass.jobs.push_back(std::make_unique<InformationJob>(InformationJob{entry, list.entry(entry), true}));
    }
    // The camera table is empty: every camera reads as unknown, which is
    // enough to see the pass go round.
    const metadata::CameraTable cameras;
    const metadata::LensTables lenses;
    std::mutex mutex;
    std::condition_variable woken;
    bool ended = false;
    ListInformationWorker worker({cameras, lenses}, {}, [&] {
        const std::lock_guard lock(mutex);
        ended = true;
        woken.notify_all();
    });
    worker.start(std::move(pass));
    {
        std::unique_lock lock(mutex);
        woken.wait_for(lock, std::chrono::seconds(20), [&] { return ended && !worker.running(); });
    }
    worker.stop();
    const auto results = worker.takeResults();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(worker.visited(), 3u);
    for (const InformationResult& result : results) {
        EXPECT_EQ(result.generation, 7u);
        EXPECT_TRUE(result.metadataRead);
        const imagelist::ImageEntry& record = *result.record;
        EXPECT_TRUE(record.hasFlag(imagelist::ImageEntry::kFlagMetadataRead));
        if (record.name() == u"Canon_40D.jpg") {
            // exiftool: Model "Canon EOS 40D", ISO 100.
            EXPECT_EQ(record.itemText(imagelist::ImageEntry::kItemModel), u"Canon EOS 40D");
            EXPECT_EQ(record.itemText(imagelist::ImageEntry::kItemIso), u"100");
        }
    }
}

TEST(ListInformationWorker, StopEndsAPassEarlyAndCanBeCalledTwice)
{
    const metadata::CameraTable cameras;
    const metadata::LensTables lenses;
    ListInformationWorker worker({cameras, lenses}, {}, {});
    InformationPass pass;
    for (int i = 0; i < 2000; ++i) {
        imagelist::ImageEntry record;
        record.setPath(u"/no/such/file.jpg");
        pass.jobs.push_back(std::make_unique<InformationJob>(InformationJob{static_cast<std::size_t>(i), record, true}));
    }
    worker.start(std::move(pass));
    worker.stop();
    worker.stop();
    EXPECT_FALSE(worker.running());
    EXPECT_LE(worker.visited(), 2000u);
}

} // namespace
} // namespace qlx::thumbs
