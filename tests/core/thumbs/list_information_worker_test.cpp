// The list-information worker: its visiting order, a pass over pictures the
// test makes, a picture too large for the memory left, a stop, the merge.

#include "imagelist/file_kind.h"
#include "imagelist/folder_reader.h"
#include "thumbs/list_information_worker.h"
#include "thumbs/visit_order.h"

#include "support/test_paths.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace qlx::thumbs {
namespace {

using imagelist::ImageEntry;
using Positions = std::vector<std::size_t>;

Positions visits(VisitOrder order, std::optional<std::size_t> focusAfterTwo = {})
{
    Positions out;
    for (auto next = order.next(); next; next = order.next())
        if (out.push_back(*next); out.size() == 2 && focusAfterTwo)
            order.restartAt(*focusAfterTwo);
    return out;
}

TEST(VisitOrder, ForwardWrappingOrAlternatingAroundTheFocus)
{
    EXPECT_EQ(visits(VisitOrder(5, 2, false)), (Positions{2, 3, 4, 0, 1}));
    EXPECT_EQ(visits(VisitOrder(6, 3, true)), (Positions{3, 2, 4, 1, 5, 0}));
    EXPECT_EQ(visits(VisitOrder(5, 4, true)), (Positions{4, 3, 0, 2, 1}));
    EXPECT_EQ(visits(VisitOrder(8, 0, false), 6), (Positions{0, 1, 6, 5, 7, 4, 3, 2}));
    VisitOrder skipping(4, 0, false);
    skipping.skip(1); // nothing to do there
    EXPECT_EQ(visits(std::move(skipping)), (Positions{0, 2, 3}));
}

const metadata::CameraTable kNoCameras; // every camera unknown: enough for a pass
const metadata::LensTables kNoLenses;

// Runs a pass over the pictures of `folder`, each a job, to its end.
std::vector<InformationResult> runPassOver(const std::filesystem::path& folder)
{
    imagelist::ImageList list;
    imagelist::FolderReadOptions options;
    options.targetMask = imagelist::kDefaultTargetMask;
    imagelist::readFolder(list, folder.u16string(), nullptr, options);
    InformationPass pass{7, {}, 0, false};
    for (const std::size_t entry : list.order())
        pass.jobs.push_back(std::make_unique<InformationJob>(InformationJob{entry, list.entry(entry), true}));
    std::mutex mutex;
    std::condition_variable noticed;
    ListInformationWorker worker({kNoCameras, kNoLenses}, {}, 3, nullptr, [&] {
        const std::lock_guard lock(mutex);
        noticed.notify_all();
    });
    worker.start(std::move(pass));
    std::unique_lock lock(mutex);
    // The last notice comes once the pass has ended.
    EXPECT_TRUE(noticed.wait_for(lock, std::chrono::seconds(20), [&] { return !worker.running(); }));
    return worker.takeResults();
}

// The result for `name` came, and tells of this thumbnail and camera model.
bool readAs(const std::vector<InformationResult>& results, std::u16string_view name, PictureStatus thumbnail,
            std::u16string_view model)
{
    return std::any_of(results.begin(), results.end(), [&](const InformationResult& r) {
        return r.record->name() == name && r.generation == 7 && r.thumbnailStatus == thumbnail
               && r.record->hasFlag(ImageEntry::kFlagMetadataRead) && r.record->itemText(ImageEntry::kItemModel) == model;
    });
}

TEST(ListInformationWorker, APassReadsEveryEntryAndMakesItsThumbnail)
{
    test::TempDir dir;
    test::writeTestJpeg(dir.path() / "a.jpg", {320, 240, "Canon", "Canon EOS 40D", 0});
    test::writeTestJpeg(dir.path() / "b.jpg", {240, 320, "NIKON CORPORATION", "NIKON D70", 6});
    const auto results = runPassOver(dir.path());
    EXPECT_EQ(results.size(), 2u);
    EXPECT_TRUE(readAs(results, u"a.jpg", PictureStatus::Made, u"Canon EOS 40D"));
    EXPECT_TRUE(readAs(results, u"b.jpg", PictureStatus::Made, u"NIKON D70"));
}

// In a child process with 96 MiB of address space to spare.
[[noreturn]] void runPassWithLittleMemory(const std::filesystem::path& folder)
{
    std::uintmax_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlimit limit{pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{96} << 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    const auto results = runPassOver(folder);
    const bool failed = readAs(results, u"a_huge.jpg", PictureStatus::Failed, u"");
    std::_Exit(failed && readAs(results, u"b.jpg", PictureStatus::Made, u"Canon EOS 40D") ? 0 : 1);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(ListInformationWorker, AnEntryThatRunsOutOfMemoryFailsAndThePassGoesOn)
{
    if (kSanitized)
        GTEST_SKIP() << "the sanitizers' allocators do not honour an address-space limit";
    // A picture that decodes, padded to 200 MiB: the whole file is read, and
    // with memory to spare its thumbnail is made.
    test::TempDir dir;
    test::writeTestJpeg(dir.path() / "a_huge.jpg", {64, 48, "", "", 0});
    std::filesystem::resize_file(dir.path() / "a_huge.jpg", std::uintmax_t{200} << 20);
    test::writeTestJpeg(dir.path() / "b.jpg", {64, 48, "Canon", "Canon EOS 40D", 0});
    EXPECT_EXIT(runPassWithLittleMemory(dir.path()), ::testing::ExitedWithCode(0), "");
}

TEST(ListInformationWorker, AStopEndsThePassAfterTheEntryInWork)
{
    std::atomic<bool> pumped{false};
    // The first notice holds the worker in its first entry until the
    // stopping thread pumps, which it does after asking for the stop.
    ListInformationWorker worker({kNoCameras, kNoLenses}, {}, 3, nullptr, [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!pumped && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    });
    InformationPass pass;
    for (std::size_t i = 0; i < 2000; ++i)
        pass.jobs.push_back(std::make_unique<InformationJob>(InformationJob{i, ImageEntry(), false}));
    worker.start(std::move(pass));
    worker.stop([&] { pumped = true; });
    EXPECT_FALSE(worker.running());
    EXPECT_LE(worker.visited(), 1u);
}

TEST(ApplyInformation, TheWorkersFindingsMergeWithTheUsersChanges)
{
    ImageEntry target;
    target.setChecked(true);
    target.setItemText(ImageEntry::kItemStatus, u"移動");
    ImageEntry worked;
    worked.setItemText(ImageEntry::kItemModel, u"Canon EOS 40D");
    worked.setPreviewOffset(1234);
    worked.setPictureSize(3888, 2592);
    worked.setFlags(ImageEntry::kFlagMetadataRead);
    applyInformation(target, worked);
    EXPECT_EQ(target.itemText(ImageEntry::kItemModel), u"Canon EOS 40D");
    EXPECT_EQ(target.previewOffset(), 1234u);
    EXPECT_EQ(target.pictureWidth(), 3888);
    EXPECT_TRUE(target.hasFlag(ImageEntry::kFlagMetadataRead));
    EXPECT_TRUE(target.checked()) << "what the user did meanwhile stays";
    EXPECT_EQ(target.itemText(ImageEntry::kItemStatus), u"移動");
}

} // namespace
} // namespace qlx::thumbs
