// One action kind on one entry of the list: where the file goes, what the
// entry and its history say afterwards, and the counters. Expected places
// and values are those a photographer reads off the folder: "photo/copy"
// lands below each file's own folder, a file moved away is gone for every
// further action, orientation 6 with one more clockwise turn is written as
// 3, a mirrored orientation is left alone.

#include "actions/action_executor.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "io/file_time.h"
#include "support/data_home.h"
#include "support/file_contents.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace qlx;
using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

using qlx::test::contentOf;

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// A list of the files as the folder reader would make it, in this order.
struct Card {
    test::TempDir dir;
    imagelist::ImageList list;
    ActionCounters counters;
    int replaceAsked = 0;
    int createAsked = 0;
    bool answer = true;

    std::size_t add(const fs::path& relative, std::uint32_t kind, const std::string& content = "picture")
    {
        const fs::path path = dir.path() / relative;
        if (!fs::exists(path))
            writeFile(path, content);
        const std::u16string text = path.u16string();
        auto entry = imagelist::ImageEntry::createFresh(
            {text, kind, fs::file_size(path), io::lastWriteFileTime(path).value_or(0)});
        entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
        list.append(std::move(entry));
        list.resetOrder();
        return list.size() - 1;
    }

    ActionExecutor executor()
    {
        return ActionExecutor(list, counters,
                              {[this](const fs::path&) { ++replaceAsked; return answer; },
                               [this](const fs::path&) { ++createAsked; return answer; }},
                              false);
    }
};

TEST(ActionExecutor, CopyGoesBelowEachFilesOwnFolderAndLeavesItsHistory)
{
    Card card;
    const std::size_t a = card.add("shots/a.jpg", imagelist::kKindJpeg);
    const std::size_t b = card.add("other/b.jpg", imagelist::kKindJpeg); // a collection spans folders
    ActionExecutor run = card.executor();
    for (const std::size_t entry : {a, b}) {
        const ExecutionResult result = run.execute(entry, ActionKind::Copy, u"photo/copy");
        EXPECT_EQ(result.result, Result::Done) << result.reason;
        EXPECT_EQ(run.report(entry, 3, result), entry == a ? u"ｺﾋﾟｰ:a.jpg->OK!" : u"ｺﾋﾟｰ:b.jpg->OK!");
    }
    EXPECT_EQ(contentOf(card.dir.path() / "shots/photo/copy/a.jpg"), "picture");
    EXPECT_EQ(contentOf(card.dir.path() / "other/photo/copy/b.jpg"), "picture");
    EXPECT_EQ(card.createAsked, 2); // each folder was new, and asked for
    EXPECT_EQ(card.counters.copies, 2);
    EXPECT_EQ(imagelist::currentHistoryKind(card.list.item(a)), std::int8_t{3});
    EXPECT_TRUE(card.list.entry(a).isPresent());

    // A second copy meets the first: the replace question, "no" is NG! and
    // the earlier copy stays as it was.
    writeFile(card.dir.path() / "shots/a.jpg", "changed");
    card.answer = false;
    const ExecutionResult again = run.execute(a, ActionKind::Copy, u"photo/copy");
    EXPECT_EQ(again.result, Result::Failed);
    EXPECT_EQ(card.replaceAsked, 1);
    EXPECT_EQ(run.report(a, 3, again), u"ｺﾋﾟｰ:a.jpg->NG!");
    EXPECT_EQ(contentOf(card.dir.path() / "shots/photo/copy/a.jpg"), "picture");
    EXPECT_EQ(card.list.entry(a).historyCount(), 1u); // a failure leaves no record
}

TEST(ActionExecutor, AFileTakenAwayIsGoneForEveryFurtherAction)
{
    struct Case {
        ActionKind kind;
        const char16_t* destination;
        const char* placed; // where the file is afterwards, relative; "" for the trash or nowhere
        int ActionCounters::*counter;
    };
    const Case cases[] = {
        {ActionKind::Move, u"../rejects", "rejects/a.jpg", &ActionCounters::moves},
        {ActionKind::Trash, u"", "", &ActionCounters::deletions},
        {ActionKind::Delete, u"", "", &ActionCounters::deletions},
    };
    for (const Case& c : cases) {
        Card card;
        const test::DataHome dataHome(card.dir.path() / "data");
        const std::size_t a = card.add("card/a.jpg", imagelist::kKindJpeg);
        ActionExecutor run = card.executor();
        const ExecutionResult result = run.execute(a, c.kind, c.destination);
        ASSERT_EQ(result.result, Result::Done) << result.reason;
        run.report(a, static_cast<int>(c.kind), result);
        EXPECT_FALSE(fs::exists(card.dir.path() / "card/a.jpg"));
        if (*c.placed) {
            EXPECT_EQ(contentOf(card.dir.path() / c.placed), "picture");
        }
        EXPECT_EQ(card.counters.*c.counter, 1);
        EXPECT_FALSE(card.list.entry(a).isPresent());
        EXPECT_NE(result.statusParts & kStatusListTotals, 0);
        // Nothing more happens to it: copy, rotation and the trash fail.
        for (const ActionKind next : {ActionKind::Copy, ActionKind::LosslessRotation, ActionKind::Trash})
            EXPECT_EQ(run.execute(a, next, u"x").result, Result::Failed);
    }
    if (HasFailure())
        return;
    // Moved, then back by another program: the history still says it went,
    // so the actions leave it alone (undo brings it back properly).
    Card card;
    const std::size_t a = card.add("card/a.jpg", imagelist::kKindJpeg);
    imagelist::pushHistory(card.list.item(a), imagelist::kHistoryMove, u"../rejects");
    EXPECT_EQ(card.executor().execute(a, ActionKind::Copy, u"copy").result, Result::Skipped);
    EXPECT_FALSE(fs::exists(card.dir.path() / "card/copy"));
}

TEST(ActionExecutor, AFailedMoveKeepsTheFileAndItsEntry)
{
    Card card;
    const std::size_t a = card.add("card/a.jpg", imagelist::kKindJpeg);
    card.answer = false; // the missing folder is not made
    ActionExecutor run = card.executor();
    const ExecutionResult result = run.execute(a, ActionKind::Move, u"rejects");
    EXPECT_EQ(result.result, Result::Failed);
    EXPECT_TRUE(card.list.entry(a).isPresent());
    EXPECT_EQ(contentOf(card.dir.path() / "card/a.jpg"), "picture");
    EXPECT_EQ(card.counters.moves, 0);
    EXPECT_FALSE(fs::exists(card.dir.path() / "card/rejects"));
}

TEST(ActionExecutor, RotationWritesTheTurnedOrientationAndKeepsWhatWasBefore)
{
    Card card;
    const fs::path file = card.dir.path() / "card/IMG_0001.JPG";
    fs::create_directories(file.parent_path());
    test::writeTestJpeg(file, {320, 240, "Canon", "Canon EOS 40D", 6});
    const std::string bytes = contentOf(file);
    // The orientation entry: tag 0x0112, SHORT, count 1, value 6, as the
    // test picture writes it (little-endian).
    const std::string entryBytes("\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00", 10);
    const std::size_t at = bytes.find(entryBytes);
    ASSERT_NE(at, std::string::npos);
    const std::size_t a = card.add("card/IMG_0001.JPG", imagelist::kKindJpeg);
    imagelist::ImageEntry& entry = card.list.entry(a);
    entry.setOrientation(6);
    entry.setOrientationOffset(static_cast<std::uint32_t>(at + 8));
    entry.setOrientationByteOrder(imagelist::ImageEntry::OrientationByteOrder::Little);
    entry.setOrientationRotation(1);
    entry.setUserRotation(1); // one clockwise turn in the view

    ActionExecutor run = card.executor();
    const ExecutionResult result = run.execute(a, ActionKind::LosslessRotation, {});
    ASSERT_EQ(result.result, Result::Done) << result.reason;
    EXPECT_EQ(static_cast<unsigned char>(contentOf(file)[at + 8]), 3);
    EXPECT_EQ(entry.orientation(), 3);
    EXPECT_EQ(entry.orientationRotation(), 2);
    EXPECT_EQ(entry.userRotation(), 0);
    EXPECT_EQ(entry.itemText(imagelist::ImageEntry::kItemOrientation), u"3");
    EXPECT_TRUE(entry.hasFlag(imagelist::ImageEntry::kFlagThumbInvalid));
    EXPECT_EQ(result.historyText, (std::u16string{6, 1, 1}));
    run.report(a, 12, result);
    EXPECT_EQ(imagelist::currentHistoryKind(card.list.item(a)), std::int8_t{12});

    // Nothing more to turn, and a mirrored orientation is left alone.
    EXPECT_EQ(run.execute(a, ActionKind::LosslessRotation, {}).result, Result::Skipped);
    entry.setOrientation(2);
    entry.setUserRotation(1);
    EXPECT_EQ(run.execute(a, ActionKind::LosslessRotation, {}).result, Result::Skipped);
}

TEST(ActionExecutor, ThePartnerOfARawFileIsTheJpegOfTheSameNameInAnyCase)
{
    Card card;
    const std::size_t jpeg = card.add("card/img_0001.jpg", imagelist::kKindJpeg);
    const std::size_t raw = card.add("card/IMG_0001.CR2", imagelist::kKindCr2);
    const std::size_t lone = card.add("card/IMG_0002.JPG", imagelist::kKindJpeg);
    const std::size_t other = card.add("card/IMG_0003.CR2", imagelist::kKindCr2);
    EXPECT_EQ(findJpegPartner(card.list, raw), jpeg);
    EXPECT_EQ(findJpegPartner(card.list, lone), std::nullopt); // not a RAW file
    EXPECT_EQ(findJpegPartner(card.list, other), std::nullopt);
    EXPECT_EQ(logIcon(3, Result::Done), 3);
    EXPECT_EQ(logIcon(3, Result::Skipped), 17);
}

TEST(FileHistory, APushDropsTheUndoneRecordsAboveThePosition)
{
    Card card;
    imagelist::ListItem& item = card.list.item(card.add("a.jpg", imagelist::kKindJpeg));
    imagelist::pushHistory(item, 3, u"one");
    imagelist::pushHistory(item, 4, u"two");
    ASSERT_TRUE(imagelist::retractCurrentHistory(item, {4}));
    imagelist::pushHistory(item, 9, u"three");
    EXPECT_EQ(item.entry->historyPosition(), 1);
    EXPECT_EQ(item.entry->historyCount(), 2u);
    ASSERT_EQ(item.history.size(), 2u * imagelist::kHistoryRecordSize);
    EXPECT_EQ(item.history[imagelist::kHistoryRecordSize], std::byte{9});
    // The text: UTF-16LE after the kind byte and a spare byte.
    EXPECT_EQ(item.history[imagelist::kHistoryRecordSize + 2], std::byte{'t'});
    EXPECT_EQ(item.history[imagelist::kHistoryRecordSize + 3], std::byte{0});
    EXPECT_TRUE(imagelist::mayAct(item));
    imagelist::pushHistory(item, imagelist::kHistoryRecycle, u"");
    EXPECT_FALSE(imagelist::mayAct(item));
}

} // namespace
