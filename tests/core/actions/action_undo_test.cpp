// Undo of the newest action on an entry, kind by kind, run as the keys run
// it: the action through the executor (which keeps the undo ledger), then
// undoNewest. Expected places are what a photographer reads off the
// folders; the orientation after a rotation's undo is read by exiftool.

#include "actions/action_executor.h"
#include "actions/action_undo.h"
#include "actions/trash_emptying.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "io/file_time.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

struct Card {
    test::TempDir dir;
    std::optional<std::string> savedData;
    imagelist::ImageList list;
    ActionCounters counters;
    UndoLedger ledger;
    bool answer = false;

    Card()
    {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            savedData = old;
        ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    }
    ~Card()
    {
        if (savedData)
            ::setenv("XDG_DATA_HOME", savedData->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

    fs::path at(const fs::path& relative) const { return dir.path() / relative; }

    std::size_t add(const fs::path& relative, std::uint32_t kind = imagelist::kKindJpeg,
                    const std::string& content = "picture")
    {
        const fs::path path = at(relative);
        if (!fs::exists(path))
            writeFile(path, content);
        auto entry = imagelist::ImageEntry::createFresh(
            {path.u16string(), kind, fs::file_size(path), io::lastWriteFileTime(path).value_or(0)});
        entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
        list.append(std::move(entry));
        list.resetOrder();
        return list.size() - 1;
    }

    FileActionQuestions questions()
    {
        return {[this](const fs::path&) { return answer; }, [this](const fs::path&) { return answer; }};
    }

    // Runs and reports one action, as a key press does.
    void act(std::size_t entry, ActionKind kind, std::u16string_view destination = {})
    {
        ActionExecutor run(list, counters, {questions().replace, questions().createFolder}, false, &ledger);
        const ExecutionResult result = run.execute(entry, kind, destination);
        ASSERT_EQ(result.result, Result::Done) << result.reason;
        run.report(entry, static_cast<int>(kind), result);
    }

    UndoResult undo(std::size_t entry) { return undoNewest(list.item(entry), {questions(), &ledger, false}); }
};

struct KindCase {
    const char* name;
    ActionKind kind;
    const char16_t* destination;
    const char* madePath; // the file the action made or moved, relative to the card ("" none)
};

TEST(ActionUndo, EachKindIsTakenBackAndItsRecordMarkedUndone)
{
    const KindCase cases[] = {
        {"copy", ActionKind::Copy, u"photo/copy", "shots/photo/copy/a.jpg"},
        {"copy to an absolute folder", ActionKind::Copy, nullptr, "elsewhere/a.jpg"},
        {"move", ActionKind::Move, u"../rejects", "rejects/a.jpg"},
        {"trash", ActionKind::Trash, u"", ""},
    };
    for (const KindCase& c : cases) {
        Card card;
        const std::size_t a = card.add("shots/a.jpg");
        const std::u16string absolute = (card.at("elsewhere").u16string() + u"/");
        card.answer = true; // create the folders
        card.act(a, c.kind, c.destination ? std::u16string_view(c.destination) : std::u16string_view(absolute));
        if (*c.madePath != 0) {
            ASSERT_TRUE(fs::exists(card.at(c.madePath))) << c.name;
        }
        card.answer = false;
        const UndoResult undone = card.undo(a);
        EXPECT_EQ(undone.result, Result::Done) << c.name << ": " << undone.reason;
        EXPECT_EQ(undone.kind, static_cast<int>(c.kind)) << c.name;
        EXPECT_EQ(contentOf(card.at("shots/a.jpg")), "picture") << c.name;
        if (*c.madePath != 0) {
            EXPECT_FALSE(fs::exists(card.at(c.madePath))) << c.name;
        }
        EXPECT_TRUE(card.list.entry(a).isPresent()) << c.name;
        // A file that came back counts and is there (3); a copy's source never left.
        EXPECT_EQ(card.list.entry(a).presence(), c.kind == ActionKind::Copy ? 1 : 3) << c.name;
        EXPECT_EQ(card.list.entry(a).historyPosition(), -1) << c.name;
        EXPECT_EQ(card.list.item(a).history[0], std::byte{0}) << c.name;
        EXPECT_EQ(card.undo(a).result, Result::Skipped) << c.name;
    }
}

TEST(ActionUndo, TheHistoryKeepsTheResolvedFolder)
{
    Card card;
    const std::size_t a = card.add("shots/a.jpg");
    card.answer = true;
    card.act(a, ActionKind::Copy, u"photo/copy");
    EXPECT_EQ(imagelist::currentHistoryText(card.list.item(a)), card.at("shots/photo/copy/").u16string());
}

TEST(ActionUndo, TwoCopiesAreUndoneNewestFirst)
{
    Card card;
    const std::size_t a = card.add("shots/a.jpg");
    card.answer = true;
    card.act(a, ActionKind::Copy, u"one");
    card.act(a, ActionKind::Copy, u"two");
    ASSERT_EQ(card.undo(a).result, Result::Done);
    EXPECT_FALSE(fs::exists(card.at("shots/two/a.jpg")));
    EXPECT_TRUE(fs::exists(card.at("shots/one/a.jpg")));
    ASSERT_EQ(card.undo(a).result, Result::Done);
    EXPECT_FALSE(fs::exists(card.at("shots/one/a.jpg")));
    EXPECT_EQ(card.undo(a).result, Result::Skipped);
    EXPECT_EQ(contentOf(card.at("shots/a.jpg")), "picture");
}

struct MeanwhileCase {
    const char* name;
    ActionKind kind;
    std::function<void(Card&)> meanwhile;
    Result expected;
    bool recordKept;
    const char* leftAt;      // a file that must still be there ("" none)
    const char* leftContent; // its bytes
};

TEST(ActionUndo, WhatHappenedMeanwhileDecides)
{
    const MeanwhileCase cases[] = {
        {"the copy was deleted: the record goes", ActionKind::Copy,
         [](Card& c) { fs::remove(c.at("shots/keep/a.jpg")); }, Result::Skipped, false, "", ""},
        {"the copy was replaced by another file", ActionKind::Copy,
         [](Card& c) {
             fs::remove(c.at("shots/keep/a.jpg"));
             writeFile(c.at("shots/keep/a.jpg"), "another picture");
         },
         Result::Failed, true, "shots/keep/a.jpg", "another picture"},
        {"the moved file was deleted", ActionKind::Move, [](Card& c) { fs::remove(c.at("shots/keep/a.jpg")); },
         Result::Failed, true, "", ""},
        {"the moved file was replaced by another", ActionKind::Move,
         [](Card& c) {
             fs::remove(c.at("shots/keep/a.jpg"));
             writeFile(c.at("shots/keep/a.jpg"), "another picture");
         },
         Result::Failed, true, "shots/keep/a.jpg", "another picture"},
        {"a new file took the moved file's name", ActionKind::Move,
         [](Card& c) { writeFile(c.at("shots/a.jpg"), "newer"); }, Result::Failed, true, "shots/a.jpg", "newer"},
        {"the trash was emptied", ActionKind::Trash, [](Card&) { emptyTrashFolders(userTrashFolders()); },
         Result::Failed, true, "", ""},
    };
    for (const MeanwhileCase& c : cases) {
        Card card;
        const std::size_t a = card.add("shots/a.jpg");
        card.answer = true;
        card.act(a, c.kind, u"keep");
        card.answer = false; // "no" to replacing
        c.meanwhile(card);
        const UndoResult undone = card.undo(a);
        EXPECT_EQ(undone.result, c.expected) << c.name << ": " << undone.reason;
        EXPECT_EQ(card.list.entry(a).historyPosition(), c.recordKept ? 0 : -1) << c.name;
        if (*c.leftAt != 0) {
            EXPECT_EQ(contentOf(card.at(c.leftAt)), c.leftContent) << c.name;
        }
    }
}

TEST(ActionUndo, ARestoredFileCanBeTrashedAndRestoredAgain)
{
    Card card;
    const std::size_t a = card.add("shots/a.jpg");
    for (int round = 0; round < 2; ++round) {
        card.act(a, ActionKind::Trash);
        EXPECT_FALSE(fs::exists(card.at("shots/a.jpg")));
        ASSERT_EQ(card.undo(a).result, Result::Done) << round;
        EXPECT_EQ(contentOf(card.at("shots/a.jpg")), "picture");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(card.at("data/Trash/info")), {}), 0);
}

// Histories taken over from the cache: no ledger, perhaps a relative folder.
struct CachedCase {
    const char* name;
    std::int8_t kind;
    const char16_t* text;       // relative to the card, or absolute when it begins with '/'
    const char* made;           // the file the record points at
    bool sameSizeAndTime;       // the file there has the source's size and time
    Result expected;
};

TEST(ActionUndo, ARecordFromTheCacheIsCheckedAgainstTheSource)
{
    const CachedCase cases[] = {
        {"a copy with a relative folder, from the file's own folder", 3, u"copy", "shots/copy/a.jpg", true,
         Result::Done},
        {"a copy of another size", 3, u"copy", "shots/copy/a.jpg", false, Result::Failed},
        {"a development output cannot be told apart", 8, u"dev", "shots/dev/a.jpg", true, Result::Failed},
        {"an output already gone", 7, u"dev", "", true, Result::Skipped},
        {"a delete record", 6, u"", "", true, Result::Skipped},
        {"a hand-over record", 2, u"", "", true, Result::Skipped},
    };
    for (const CachedCase& c : cases) {
        Card card;
        const std::size_t a = card.add("shots/a.jpg");
        if (*c.made != 0) {
            writeFile(card.at(c.made), c.sameSizeAndTime ? "picture" : "a longer picture");
            fs::last_write_time(card.at(c.made), fs::last_write_time(card.at("shots/a.jpg")));
        }
        imagelist::pushHistory(card.list.item(a), c.kind, c.text);
        const UndoResult undone = undoNewest(card.list.item(a), {card.questions(), nullptr, false});
        EXPECT_EQ(undone.result, c.expected) << c.name << ": " << undone.reason;
        if (*c.made != 0) {
            EXPECT_EQ(fs::exists(card.at(c.made)), c.expected != Result::Done) << c.name;
        }
        EXPECT_EQ(contentOf(card.at("shots/a.jpg")), "picture") << c.name;
    }
}

TEST(ActionUndo, AThumbnailSaveIsTakenBack)
{
    Card card;
    const std::string jpeg(reinterpret_cast<const char*>(test::makeTestJpeg({64, 48}).data()),
                           test::makeTestJpeg({64, 48}).size());
    const std::size_t a = card.add("shots/IMG_0001.CR2", imagelist::kKindCr2, std::string(16, 'R') + jpeg + "TRAILER");
    card.list.entry(a).setPreviewOffset(16);
    card.list.entry(a).setPreviewSize(static_cast<std::uint32_t>(jpeg.size()));
    card.answer = true;
    card.act(a, ActionKind::ThumbnailSave, u"thumbs");
    ASSERT_EQ(contentOf(card.at("shots/thumbs/IMG_0001.jpg")), jpeg);
    ASSERT_EQ(card.undo(a).result, Result::Done);
    EXPECT_FALSE(fs::exists(card.at("shots/thumbs/IMG_0001.jpg")));
    EXPECT_TRUE(fs::exists(card.at("shots/IMG_0001.CR2")));
}

TEST(ActionUndo, ADistributionMoveFromTheCacheComesBackWhenItIsTheSameFile)
{
    for (const bool sameFile : {true, false}) {
        Card card;
        const std::size_t a = card.add("shots/a.jpg");
        const auto time = fs::last_write_time(card.at("shots/a.jpg"));
        fs::remove(card.at("shots/a.jpg"));
        writeFile(card.at("media/media01/a.jpg"), sameFile ? "picture" : "other");
        fs::last_write_time(card.at("media/media01/a.jpg"), time);
        card.list.entry(a).setPresence(0);
        imagelist::pushHistory(card.list.item(a), 13, card.at("media/media01").u16string());
        const UndoResult undone = undoNewest(card.list.item(a), {card.questions(), nullptr, false});
        EXPECT_EQ(undone.result, sameFile ? Result::Done : Result::Failed) << undone.reason;
        EXPECT_EQ(fs::exists(card.at("shots/a.jpg")), sameFile);
        EXPECT_EQ(fs::exists(card.at("media/media01/a.jpg")), !sameFile);
    }
}

TEST(ActionUndo, ARenameGetsItsPreviousNameBackInItsOwnFolder)
{
    for (const std::int8_t kind : {std::int8_t{10}, std::int8_t{11}}) {
        Card card;
        const std::size_t a = card.add("shots/IMG_0001.jpg");
        fs::rename(card.at("shots/IMG_0001.jpg"), card.at("shots/2024-01-01-1.jpg"));
        card.list.entry(a).setPath(card.at("shots/2024-01-01-1.jpg").u16string());
        imagelist::pushHistory(card.list.item(a), kind, card.at("shots/IMG_0001.jpg").u16string());
        imagelist::pushHistory(card.list.item(a), kind, card.at("elsewhere/IMG_0001.jpg").u16string());

        EXPECT_EQ(card.undo(a).result, Result::Failed); // never into another folder
        imagelist::retractCurrentHistory(card.list.item(a), {kind});
        const UndoResult undone = card.undo(a);
        ASSERT_EQ(undone.result, Result::Done) << undone.reason;
        EXPECT_EQ(undone.renamedFrom, card.at("shots/2024-01-01-1.jpg").u16string());
        EXPECT_EQ(card.list.entry(a).name(), u"IMG_0001.jpg");
        EXPECT_EQ(contentOf(card.at("shots/IMG_0001.jpg")), "picture");
        EXPECT_EQ(card.undo(a).result, Result::Skipped);
    }
}

std::string exifOrientation(const fs::path& file)
{
    return test::runCommand("exiftool -n -s3 -Orientation '" + file.string() + "' 2>/dev/null").out;
}

TEST(ActionUndo, ARotationIsWrittenBack)
{
    Card card;
    const fs::path file = card.at("card/IMG_0001.JPG");
    fs::create_directories(file.parent_path());
    test::writeTestJpeg(file, {320, 240, "Canon", "Canon EOS 40D", 6});
    const std::string before = contentOf(file);
    const std::size_t at = before.find(std::string("\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00", 10));
    ASSERT_NE(at, std::string::npos);
    const std::size_t a = card.add("card/IMG_0001.JPG");
    imagelist::ImageEntry& entry = card.list.entry(a);
    entry.setOrientation(6);
    entry.setOrientationOffset(static_cast<std::uint32_t>(at + 8));
    entry.setOrientationByteOrder(imagelist::ImageEntry::OrientationByteOrder::Little);
    entry.setOrientationRotation(1);
    entry.setUserRotation(1);
    card.act(a, ActionKind::LosslessRotation);
    ASSERT_EQ(entry.orientation(), 3);
    entry.setFlags(0);

    const UndoResult undone = card.undo(a);
    ASSERT_EQ(undone.result, Result::Done) << undone.reason;
    EXPECT_EQ(contentOf(file), before);
    EXPECT_EQ(entry.orientation(), 6);
    EXPECT_EQ(entry.orientationRotation(), 1);
    EXPECT_EQ(entry.userRotation(), 0);
    EXPECT_EQ(entry.itemText(imagelist::ImageEntry::kItemOrientation), u"6");
    EXPECT_TRUE(entry.hasFlag(imagelist::ImageEntry::kFlagThumbInvalid));
    EXPECT_TRUE(entry.hasFlag(imagelist::ImageEntry::kFlagReloadPicture));
    if (test::runCommand("command -v exiftool > /dev/null 2>&1").exitCode == 0) {
        EXPECT_EQ(exifOrientation(file), "6\n");
    }
}

} // namespace
