// No file is lost, whatever call fails: each operation on the user's files
// (copy, move on one file system, move by copying as across file systems,
// trash, lossless rotation, thumbnail save, the writing of a developed
// picture, the last two also over a file the answer lets them replace; and
// the undo of a copy, of a move and of a trash, which restores the file)
// runs once cleanly to count its file-system
// calls, then again with each call in turn failing with each errno (and
// each write cut short), and after every run the files are checked:
//  - the picture's bytes are under its own name, under the name it was
//    given, or in the trash with an info file naming where it came from;
//  - no final name holds a part of a file, no temporary file is left, and
//    the trash holds no file without its info nor info without its file;
//  - the result reported says what happened.

#include "actions/action_executor.h"
#include "actions/action_undo.h"
#include "actions/file_operations.h"
#include "actions/lossless_rotation.h"
#include "actions/rename_run.h"
#include "actions/thumbnail_save.h"
#include "actions/trash.h"
#include "raw/developed_image_writer.h"
#include "imagelist/file_kind.h"
#include "io/file_time.h"
#include "io/system_calls.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using qlx::test::contentOf;

namespace fs = std::filesystem;
using namespace qlx;

// The list an undo runs on: the picture's entry, its history and the
// ledger the executor kept.
struct UndoScene {
    imagelist::ImageList list;
    actions::ActionCounters counters;
    actions::UndoLedger ledger;
};

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    return names;
}

// What one run of an operation left, judged against where the bytes may be.
struct World {
    fs::path root;
    fs::path source;  // root/card/a.jpg
    fs::path keep;    // root/keep
    std::string bytes; // the picture's bytes before the run
    std::shared_ptr<UndoScene> scene;
};

// An operation: runs on a prepared world and says whether it reported success.
struct Operation {
    const char* name;
    std::function<void(World&)> prepare;
    std::function<bool(World&)> run;
    // The files after a run that reported `done`; empty when they are right.
    std::function<std::string(const World&, bool done)> check;
};

std::string leftovers(const World& world)
{
    std::string found;
    for (const auto& item : fs::recursive_directory_iterator(world.root)) {
        const std::string name = item.path().filename().string();
        if (name.starts_with(".qlx") || name.find(".tmp-") != std::string::npos)
            found += " temporary " + item.path().string();
    }
    const fs::path trash = world.root / "data" / "Trash";
    if (fs::exists(trash / "info")) {
        for (const auto& info : fs::directory_iterator(trash / "info")) {
            const fs::path file = trash / "files" / info.path().stem();
            if (!fs::exists(file))
                found += " info without its file " + info.path().string();
        }
    }
    if (fs::exists(trash / "files")) {
        for (const auto& file : fs::directory_iterator(trash / "files"))
            if (!fs::exists(trash / "info" / (file.path().filename().string() + ".trashinfo")))
                found += " file without its info " + file.path().string();
    }
    return found;
}

std::string transferCheck(const World& w, bool done, bool moves)
{
    const fs::path target = w.keep / "a.jpg";
    std::string problems = leftovers(w);
    if (fs::exists(target) && contentOf(target) != w.bytes)
        problems += " the target holds other bytes";
    if (fs::exists(w.source) && contentOf(w.source) != w.bytes)
        problems += " the source changed";
    if (done) {
        if (!fs::exists(target))
            problems += " done, but no target";
        if (moves && fs::exists(w.source))
            problems += " moved, but the source stays";
        if (!moves && !fs::exists(w.source))
            problems += " copied, but the source is gone";
    } else {
        if (!fs::exists(w.source))
            problems += " failed, and the source is gone";
        if (fs::exists(target))
            problems += " failed, but a target stands";
    }
    return problems;
}

void prepareCard(World& w)
{
    fs::create_directories(w.source.parent_path());
    fs::create_directories(w.keep);
    test::writeTestJpeg(w.source, {320, 240, "Canon", "Canon EOS 40D", 6});
    w.bytes = contentOf(w.source);
}

// A written file (thumbnail, developed picture) at root/keep/a.jpg: with
// `replacing`, an older file stood there and the answer was yes.
constexpr const char* kOlder = "older file under the target's name";

std::string writtenCheck(const World& w, bool done, const std::string& expected, bool replacing)
{
    const fs::path target = w.keep / "a.jpg";
    std::string problems = leftovers(w);
    if (contentOf(w.source) != w.bytes)
        problems += " the source changed";
    const std::string now = fs::exists(target) ? contentOf(target) : std::string();
    if (done && now != expected)
        problems += " done, but the target is not the whole new file";
    if (!done && now != (replacing ? kOlder : ""))
        problems += replacing ? " failed, but the older file is not whole" : " failed, but a target stands";
    return problems;
}

// The preview the thumbnail save writes: the test picture inside a file
// that is not a JPEG, as in a RAW file.
constexpr std::size_t kPreviewOffset = 16;

void prepareRawCard(World& w, bool replacing)
{
    prepareCard(w);
    const std::string jpeg = w.bytes;
    w.source = w.source.parent_path() / "a.cr2";
    std::ofstream(w.source, std::ios::binary) << std::string(kPreviewOffset, 'R') << jpeg << "TRAILER";
    fs::remove(w.source.parent_path() / "a.jpg");
    w.bytes = contentOf(w.source);
    if (replacing)
        std::ofstream(w.keep / "a.jpg", std::ios::binary) << kOlder;
}

QImage developedPicture()
{
    QImage picture(8, 6, QImage::Format_RGB888);
    picture.fill(QColor(200, 120, 40));
    return picture;
}

std::string developedBytes()
{
    const auto bytes = raw::encodeDevelopedImage(developedPicture(), raw::OutputKind::Jpeg, nullptr, nullptr);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()) : std::string();
}

void addWritingOperations(std::vector<Operation>& all)
{
    for (const bool replacing : {false, true}) {
        all.push_back({replacing ? "thumbnail save, replacing" : "thumbnail save",
                       [replacing](World& w) { prepareRawCard(w, replacing); },
                       [replacing](World& w) {
                           const actions::ThumbnailSource source{
                               w.source, kPreviewOffset,
                               static_cast<std::uint32_t>(w.bytes.size() - kPreviewOffset - 7), false};
                           return actions::saveThumbnail(source, w.keep, [replacing](const fs::path&) {
                                      return replacing;
                                  }).done();
                       },
                       [replacing](const World& w, bool done) {
                           return writtenCheck(w, done, w.bytes.substr(kPreviewOffset, w.bytes.size() - kPreviewOffset - 7),
                                               replacing);
                       }});
        all.push_back({replacing ? "development output, replacing" : "development output",
                       [replacing](World& w) { prepareRawCard(w, replacing); },
                       [replacing](World& w) {
                           const raw::OutputPlace place{w.keep / "a.jpg", w.source, replacing};
                           return raw::writeDevelopedImage(developedPicture(), raw::OutputKind::Jpeg, place).done;
                       },
                       [replacing](const World& w, bool done) {
                           return writtenCheck(w, done, developedBytes(), replacing);
                       }});
    }
}

// A card whose picture went through `kind` into root/keep (or the trash),
// by the executor, so that the ledger knows what it made.
void prepareUndo(World& w, actions::ActionKind kind)
{
    prepareCard(w);
    w.scene = std::make_shared<UndoScene>();
    auto entry = imagelist::ImageEntry::createFresh(
        {w.source.u16string(), imagelist::kKindJpeg, w.bytes.size(), io::lastWriteFileTime(w.source).value_or(0)});
    entry->setPresence(imagelist::ImageEntry::kPresenceCounted);
    w.scene->list.append(std::move(entry));
    w.scene->list.resetOrder();
    actions::ActionExecutor run(w.scene->list, w.scene->counters, {}, false, &w.scene->ledger);
    const auto result = run.execute(0, kind, (w.keep.u16string() + u"/"));
    run.report(0, static_cast<int>(kind), result);
}

bool runUndo(World& w)
{
    return actions::undoNewest(w.scene->list.item(0), {{}, &w.scene->ledger, false}).result == actions::Result::Done;
}

std::vector<fs::path> trashedFiles(const World& w)
{
    std::vector<fs::path> trashed;
    if (fs::exists(w.root / "data" / "Trash" / "files"))
        for (const auto& item : fs::directory_iterator(w.root / "data" / "Trash" / "files"))
            trashed.push_back(item.path());
    return trashed;
}

void addUndoOperations(std::vector<Operation>& all)
{
    // Undone: the copy is gone; not undone: it is whole. The source stays.
    all.push_back({"undo of a copy", [](World& w) { prepareUndo(w, actions::ActionKind::Copy); }, runUndo,
                   [](const World& w, bool done) {
                       std::string problems = leftovers(w);
                       const fs::path copy = w.keep / "a.jpg";
                       if (contentOf(w.source) != w.bytes)
                           problems += " the source changed";
                       if (done == fs::exists(copy))
                           problems += done ? " undone, but the copy stays" : " failed, but the copy is gone";
                       if (!done && contentOf(copy) != w.bytes)
                           problems += " the copy is not whole";
                       return problems;
                   }});
    // Undone: the file is back; not undone: it is whole where it was moved.
    all.push_back({"undo of a move", [](World& w) { prepareUndo(w, actions::ActionKind::Move); }, runUndo,
                   [](const World& w, bool done) {
                       std::string problems = leftovers(w);
                       const fs::path here = done ? w.source : w.keep / "a.jpg";
                       const fs::path gone = done ? w.keep / "a.jpg" : w.source;
                       if (!fs::exists(here) || contentOf(here) != w.bytes)
                           problems += " the picture is not whole at " + here.string();
                       if (fs::exists(gone))
                           problems += " a file stands at " + gone.string();
                       return problems;
                   }});
    // Undone: the file is back and the trash is empty; not undone: the
    // trash still holds it, with its info.
    all.push_back({"undo of a trash", [](World& w) { prepareUndo(w, actions::ActionKind::Trash); }, runUndo,
                   [](const World& w, bool done) {
                       std::string problems = leftovers(w);
                       const std::vector<fs::path> trashed = trashedFiles(w);
                       if (done != fs::exists(w.source) || trashed.size() != (done ? 0u : 1u))
                           return problems + " the result does not say where the file is";
                       const fs::path here = done ? w.source : trashed.front();
                       if (contentOf(here) != w.bytes)
                           problems += " the picture is not whole at " + here.string();
                       return problems;
                   }});
}

// Three files renamed to 001.jpg … 003.jpg: each is under a new name
// when its result says so, else back under its own; the entry names where
// it is; no temporary "NNNN_" name is left.
void addRenameOperation(std::vector<Operation>& all)
{
    static constexpr std::array<const char*, 3> kNames{"a.jpg", "b.jpg", "c.jpg"};
    auto where = std::make_shared<std::vector<std::pair<fs::path, actions::Result>>>();
    const auto expected = [](const World& w, std::size_t i) {
        return i == 0 ? w.bytes : std::string("picture ") + kNames[i];
    };
    all.push_back({"pattern rename of three files",
                   [](World& w) {
                       prepareCard(w);
                       for (std::size_t i = 1; i < kNames.size(); ++i)
                           std::ofstream(w.source.parent_path() / kNames[i], std::ios::binary)
                               << "picture " << kNames[i];
                   },
                   [where](World& w) {
                       imagelist::ImageList list;
                       for (const char* name : kNames) {
                           auto entry = imagelist::ImageEntry::createFresh(
                               {(w.source.parent_path() / name).u16string(), imagelist::kKindJpeg, 0, 0});
                           list.append(std::move(entry));
                       }
                       const std::vector<std::size_t> entries{0, 1, 2};
                       actions::RenameSettings settings;
                       const auto report = actions::renameEntries(list, entries, settings);
                       where->clear();
                       bool allDone = report.results.size() == kNames.size();
                       for (const auto& result : report.results) {
                           where->emplace_back(fs::path(list.entry(result.entry).path()), result.result);
                           allDone = allDone && result.result == actions::Result::Done;
                       }
                       return allDone;
                   },
                   [where, expected](const World& w, bool done) {
                       std::string problems = leftovers(w);
                       const fs::path card = w.source.parent_path();
                       if (where->size() != kNames.size() || namesIn(card).size() != kNames.size())
                           return problems + " not three files and three results";
                       for (std::size_t i = 0; i < kNames.size(); ++i) {
                           const auto& [path, result] = (*where)[i];
                           // A file that failed takes no number: the next one takes it.
                           const std::string name = path.filename().string();
                           const bool numbered = name.size() == 7 && name.starts_with("00") && name.ends_with(".jpg");
                           const bool placed = result == actions::Result::Done ? numbered && path.parent_path() == card
                                                                               : path == card / kNames[i];
                           if (!placed || contentOf(path) != expected(w, i))
                               problems += std::string(" ") + kNames[i] + " is not whole where its result says";
                       }
                       (void)done; // each file's own result is checked above
                       return problems;
                   }});
}

std::vector<Operation> operations()
{
    std::vector<Operation> all;
    all.push_back({"copy", prepareCard, [](World& w) { return actions::copyFile(w.source, w.keep).done(); },
                   [](const World& w, bool done) { return transferCheck(w, done, false); }});
    all.push_back({"move", prepareCard, [](World& w) { return actions::moveFile(w.source, w.keep).done(); },
                   [](const World& w, bool done) { return transferCheck(w, done, true); }});
    all.push_back({"move across file systems", prepareCard,
                   [](World& w) {
                       return actions::moveFile(w.source, w.keep, {actions::ExistingTarget::Refuse, true}).done();
                   },
                   [](const World& w, bool done) { return transferCheck(w, done, true); }});
    all.push_back({"trash", prepareCard, [](World& w) { return actions::moveToTrash(w.source).done(); },
                   [](const World& w, bool done) {
                       std::string problems = leftovers(w);
                       // A name found taken makes it take the next one: the
                       // file is wherever the trash holds one.
                       std::vector<fs::path> trashed;
                       if (fs::exists(w.root / "data" / "Trash" / "files"))
                           for (const auto& item : fs::directory_iterator(w.root / "data" / "Trash" / "files"))
                               trashed.push_back(item.path());
                       if (done != !fs::exists(w.source) || trashed.size() != (done ? 1u : 0u))
                           return problems + " the result does not say where the file is";
                       if (!done)
                           return contentOf(w.source) == w.bytes ? problems : problems + " the source changed";
                       if (contentOf(trashed.front()) != w.bytes)
                           problems += " the trashed bytes are not whole";
                       const fs::path info = w.root / "data" / "Trash" / "info" / (trashed.front().filename().string() + ".trashinfo");
                       if (contentOf(info).find("Path=" + w.source.string() + "\n") == std::string::npos)
                           problems += " the info does not name the file's place";
                       return problems;
                   }});
    all.push_back({"lossless rotation", prepareCard,
                   [](World& w) {
                       // The orientation entry of the test picture, found by its bytes.
                       const std::string entry("\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00", 10);
                       const auto at = w.bytes.find(entry);
                       if (at == std::string::npos)
                           return false;
                       struct stat st {};
                       ::stat(w.source.c_str(), &st);
                       const actions::OrientationPatch patch{w.source, at + 8, false, 6, 1, w.bytes.size(),
                                                             io::fileTimeFromStat(st), false};
                       return actions::rotateLosslessly(patch).outcome == actions::RotationOutcome::Done;
                   },
                   [](const World& w, bool done) {
                       std::string rotated = w.bytes;
                       const auto at = w.bytes.find(std::string("\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00", 10));
                       rotated[at + 8] = '\x03';
                       const std::string now = contentOf(w.source);
                       std::string problems = leftovers(w);
                       if (now != (done ? rotated : w.bytes))
                           problems += done ? " done, but the bytes are not the rotated ones" : " failed, but the file changed";
                       return problems;
                   }});
    addWritingOperations(all);
    addUndoOperations(all);
    addRenameOperation(all);
    return all;
}

struct Fault {
    int error;
    bool shortWrite;
    const char* name;
};

constexpr Fault kFaults[] = {
    {ENOSPC, false, "ENOSPC"}, {EIO, false, "EIO"},     {EACCES, false, "EACCES"}, {EROFS, false, "EROFS"},
    {EXDEV, false, "EXDEV"},   {EEXIST, false, "EEXIST"}, {0, true, "short write"},
};

TEST(NoFileLost, EveryCallOfEveryOperationFailingInTurn)
{
    test::TempDir dir;
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData ? oldData : "";
    std::size_t runs = 0;
    int counter = 0;
    for (const Operation& operation : operations()) {
        const auto freshWorld = [&] {
            World w;
            w.root = dir.path() / std::to_string(counter++);
            w.source = w.root / "card" / "a.jpg";
            w.keep = w.root / "keep";
            ::setenv("XDG_DATA_HOME", (w.root / "data").c_str(), 1);
            operation.prepare(w);
            return w;
        };
        World clean = freshWorld();
        io::sys::setFaultPlan(io::sys::FaultPlan{~std::uint64_t{0}, 0, false});
        const bool cleanDone = operation.run(clean);
        const std::uint64_t calls = io::sys::callCount();
        io::sys::setFaultPlan(std::nullopt);
        ASSERT_TRUE(cleanDone) << operation.name;
        ASSERT_EQ(operation.check(clean, true), "") << operation.name;
        ASSERT_GT(calls, 0u) << operation.name;
        for (std::uint64_t call = 0; call < calls; ++call) {
            for (const Fault& fault : kFaults) {
                World w = freshWorld();
                io::sys::setFaultPlan(io::sys::FaultPlan{call, fault.error, fault.shortWrite});
                const bool done = operation.run(w);
                io::sys::setFaultPlan(std::nullopt);
                EXPECT_EQ(operation.check(w, done), "")
                    << operation.name << ", call " << call << " of " << calls << " failing with " << fault.name;
                ++runs;
            }
            fs::remove_all(dir.path() / std::to_string(counter - 1));
        }
        std::cout << "[ matrix   ] " << operation.name << ": " << calls << " calls x " << std::size(kFaults)
                  << " faults\n";
    }
    std::cout << "[ matrix   ] " << runs << " runs\n";
    if (oldData)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

} // namespace
