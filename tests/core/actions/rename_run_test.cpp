// Pattern rename and replace-rename run on real files in a temporary
// folder: numbering runs, the shared number of a RAW file and its JPEG,
// date collisions with the first file's log line replaced, type 24, and
// the guarantees: a file never leaves its folder, never replaces another,
// and is back under its own name whenever it could not take the new one.

#include "actions/actions_messages.h"
#include "actions/rename_run.h"
#include "imagelist/file_history.h"
#include "imagelist/file_kind.h"
#include "io/system_calls.h"
#include "support/test_paths.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace {

using qlx::test::contentOf;

namespace fs = std::filesystem;
using namespace qlx;
using namespace qlx::actions;
using imagelist::ImageEntry;

struct FileSpec {
    fs::path path;
    const char16_t* exifDate = u""; // "YYYY/MM/DD HH:MM:SS" or empty
    std::uint32_t kind = imagelist::kKindJpeg;
};

// The files (each holding its own name as its bytes) and their entries.
imagelist::ImageList makeList(std::initializer_list<FileSpec> files, std::uint64_t lastWriteTime = 0)
{
    imagelist::ImageList list;
    for (const FileSpec& file : files) {
        fs::create_directories(file.path.parent_path());
        std::ofstream(file.path, std::ios::binary) << file.path.filename().string();
        auto entry = ImageEntry::createFresh({file.path.u16string(), file.kind, 4, lastWriteTime});
        entry->setItemText(ImageEntry::kItemDateTime, file.exifDate);
        entry->setPresence(ImageEntry::kPresenceCounted);
        list.append(std::move(entry));
    }
    list.resetOrder();
    return list;
}

std::vector<std::size_t> all(const imagelist::ImageList& list)
{
    std::vector<std::size_t> entries;
    for (std::size_t i = 0; i < list.size(); ++i)
        entries.push_back(i);
    return entries;
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RenameSettings numbered(std::int32_t type, std::u16string prefix, std::int32_t joiner, std::int32_t start)
{
    RenameSettings s;
    s.renameType = type;
    s.prefixType = prefix.empty() ? kPrefixNone : kPrefixText;
    s.prefixText = std::move(prefix);
    s.prefixJoiner = joiner;
    s.startNumber = start;
    return s;
}

RenameSettings dated(std::int32_t type, std::int32_t dateJoiner = 0)
{
    RenameSettings s;
    s.renameType = type;
    s.dateJoiner = dateJoiner;
    return s;
}

TEST(RenameRun, NumberingRunSkipsTakenNamesAndKeepsHistory)
{
    test::TempDir dir;
    std::ofstream(dir.path() / "IMG_0008.jpg") << "other";
    auto list = makeList({{dir.path() / "a.jpg"}, {dir.path() / "b.jpg"}});
    const auto report = renameEntries(list, all(list), numbered(1, u"IMG", 2, 7));
    ASSERT_EQ(report.results.size(), 2u);
    EXPECT_EQ(report.results[0].logLine, u"ﾘﾈｰﾑ:IMG_0007.jpg->OK!");
    EXPECT_EQ(report.results[1].logLine, u"ﾘﾈｰﾑ:IMG_0009.jpg->OK!");
    EXPECT_EQ(contentOf(dir.path() / "IMG_0007.jpg"), "a.jpg");
    EXPECT_EQ(contentOf(dir.path() / "IMG_0008.jpg"), "other");
    EXPECT_EQ(contentOf(dir.path() / "IMG_0009.jpg"), "b.jpg");
    EXPECT_EQ(list.entry(1).path(), (dir.path() / "IMG_0009.jpg").u16string());
    EXPECT_EQ(imagelist::currentHistoryKind(list.item(1)), std::optional<std::int8_t>(10));
    EXPECT_EQ(report.results[1].historyText, (dir.path() / "b.jpg").u16string());
    EXPECT_TRUE(report.allSucceeded());
}

TEST(RenameRun, RawFileAndItsJpegShareTheirNumber)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "a.cr2", u"", imagelist::kKindCr2},
                          {dir.path() / "a.jpg"},
                          {dir.path() / "b.cr2", u"", imagelist::kKindCr2},
                          {dir.path() / "b.jpg"}});
    const std::vector<std::size_t> raws{0, 2, 1, 3};
    const auto report = renameEntries(list, raws, numbered(0, u"", 0, 1), {.jpegPartners = true});
    EXPECT_EQ(report.results.size(), 4u);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"001.cr2", "001.jpg", "002.cr2", "002.jpg"}));
    EXPECT_EQ(contentOf(dir.path() / "002.jpg"), "b.jpg");
}

TEST(RenameRun, TypeTwentyFourNumbersOnlyWhenTaken)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "a.jpg"}, {dir.path() / "b.jpg"}, {dir.path() / "c.jpg"}});
    renameEntries(list, all(list), numbered(24, u"X", 0, 1));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"X-2.jpg", "X-3.jpg", "X.jpg"}));
    EXPECT_EQ(contentOf(dir.path() / "X-3.jpg"), "c.jpg");
}

TEST(RenameRun, SameSecondGivesTheFirstFileNumberOneAndReplacesItsLogLine)
{
    test::TempDir dir;
    // A file of the date that is not in the list is never touched.
    std::ofstream(dir.path() / "2024-05-06-10-00-00.jpg") << "outside";
    auto list = makeList({{dir.path() / "p.jpg", u"2024/05/06 07:08:09"},
                          {dir.path() / "q.jpg", u"2024/05/06 07:08:09"},
                          {dir.path() / "r.jpg", u"2024/05/06 07:08:09"},
                          {dir.path() / "s.jpg", u"2024/05/06 10:00:00"}});
    const auto report = renameEntries(list, all(list), dated(3));
    ASSERT_EQ(report.results.size(), 4u);
    EXPECT_EQ(report.results[0].logLine, u"ﾘﾈｰﾑ:2024-05-06-07-08-09.jpg->OK!");
    ASSERT_TRUE(report.results[1].earlier);
    EXPECT_EQ(report.results[1].earlier->entry, 0u);
    EXPECT_EQ(report.results[1].earlier->oldLine, u"ﾘﾈｰﾑ:2024-05-06-07-08-09.jpg->OK!");
    EXPECT_EQ(report.results[1].earlier->newLine, u"ﾘﾈｰﾑ:2024-05-06-07-08-09-1.jpg->OK!");
    EXPECT_EQ(report.results[1].logLine, u"ﾘﾈｰﾑ:2024-05-06-07-08-09-2.jpg->OK!");
    EXPECT_FALSE(report.results[2].earlier);
    EXPECT_EQ(report.results[2].logLine, u"ﾘﾈｰﾑ:2024-05-06-07-08-09-3.jpg->OK!");
    EXPECT_EQ(report.results[3].logLine, u"ﾘﾈｰﾑ:2024-05-06-10-00-00-2.jpg->OK!");
    EXPECT_EQ(contentOf(dir.path() / "2024-05-06-07-08-09-1.jpg"), "p.jpg");
    EXPECT_EQ(contentOf(dir.path() / "2024-05-06-10-00-00.jpg"), "outside");
    EXPECT_EQ(list.entry(0).name(), u"2024-05-06-07-08-09-1.jpg");
    // The first file's two renames are both in its history, newest its own
    // plain date name.
    EXPECT_EQ(list.item(0).history.size(), 2 * imagelist::kHistoryRecordSize);
}

TEST(RenameRun, DatesFromTheModificationTimeWhenExifHasNone)
{
    test::TempDir dir;
    const char* oldTz = std::getenv("TZ");
    const std::string savedTz = oldTz ? oldTz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2024-05-06 07:08:09 UTC as FILETIME: (1714979289 s + 11644473600 s) × 10^7.
    auto list = makeList({{dir.path() / "a.jpg"}}, 133'594'528'890'000'000);
    renameEntries(list, all(list), dated(8));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"0506-070809.jpg"}));
    auto second = makeList({{dir.path() / "sub" / "b.jpg"}}, 133'594'528'890'000'000);
    renameEntries(second, all(second), dated(21, 1));
    EXPECT_EQ(namesIn(dir.path() / "sub"), (std::vector<std::string>{"240506_070809.jpg"}));
    if (oldTz)
        ::setenv("TZ", savedTz.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

TEST(RenameRun, FilesStayInTheirOwnFolders)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "one" / "a.jpg"}, {dir.path() / "two" / "b.jpg"}});
    renameEntries(list, all(list), numbered(0, u"", 0, 1));
    EXPECT_EQ(namesIn(dir.path() / "one"), (std::vector<std::string>{"001.jpg"}));
    EXPECT_EQ(namesIn(dir.path() / "two"), (std::vector<std::string>{"002.jpg"}));
}

TEST(RenameRun, RefusedNamesLeaveEveryFileUnderItsOwnName)
{
    struct Case {
        const char* what;
        RenameSettings settings;
        std::string folder; // under the temporary folder
    };
    RenameSettings slash = numbered(0, u"x/y", 0, 1);
    RenameSettings colon = numbered(0, u"a:b", 0, 1);
    RenameSettings emptyStem = numbered(24, u"", 0, 1);
    RenameSettings longPrefix = numbered(0, std::u16string(31, u'p'), 0, 1);
    const std::vector<Case> cases{
        {"a prefix with a slash", slash, "f"},
        {"a prefix with a refused character", colon, "f"},
        {"nothing before the extension", emptyStem, "f"},
        {"no date", dated(3), "f"},
        {"a path past 259 units", longPrefix, std::string(220, 'd')},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path folder = dir.path() / c.folder;
        auto list = makeList({{folder / "a.jpg"}});
        const auto report = renameEntries(list, all(list), c.settings);
        ASSERT_EQ(report.results.size(), 1u);
        EXPECT_EQ(report.results[0].result, Result::Skipped) << c.what;
        EXPECT_EQ(report.results[0].logLine, u"ﾘﾈｰﾑ:a.jpg->Skip!") << c.what;
        EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"a.jpg"})) << c.what;
    }
}

TEST(RenameRun, AFailedMoveIsPutBackBeforeItIsReported)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "a.jpg"}});
    // Call 0 moves the file aside, call 1 would give it its new name.
    io::sys::setFaultPlan(io::sys::FaultPlan{1, EIO, false});
    const auto report = renameEntries(list, all(list), numbered(0, u"", 0, 1));
    io::sys::setFaultPlan(std::nullopt);
    EXPECT_EQ(report.results[0].result, Result::Failed);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(list.entry(0).path(), (dir.path() / "a.jpg").u16string());
    EXPECT_TRUE(list.item(0).history.empty());
}

TEST(ReplaceRename, Cases)
{
    struct Case {
        const char* file;
        const char16_t* oldText;
        const char16_t* newText;
        Result result;
        std::vector<std::string> after;
    };
    const std::vector<Case> cases{
        {"img_1.jpg", u"img", u"IMG", Result::Done, {"IMG_1.jpg"}},
        {"a.jpg.jpg", u"jpg", u"X", Result::Done, {"a.X.jpg"}},
        {"Img_img.jpg", u"IMG", u"imgimg", Result::Done, {"imgimg_imgimg.jpg"}},
        {"a.jpg", u"", u"x", Result::Skipped, {"a.jpg"}},
        {"a.jpg", u"a", u"a", Result::Skipped, {"a.jpg"}},
        {"a.jpg", u"zz", u"y", Result::Skipped, {"a.jpg"}},
        {"a.jpg", u"a", u"", Result::Failed, {"a.jpg"}},
        {"a.jpg", u"a", u"x/y", Result::Failed, {"a.jpg"}},
        {"a.jpg", u"a", u"b?", Result::Failed, {"a.jpg"}},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        auto list = makeList({{dir.path() / c.file}});
        RenameSettings s;
        s.oldText = c.oldText;
        s.newText = c.newText;
        const auto report = replaceRenameEntries(list, all(list), s);
        ASSERT_EQ(report.results.size(), 1u);
        EXPECT_EQ(report.results[0].result, c.result) << c.file;
        EXPECT_EQ(namesIn(dir.path()), c.after) << c.file;
        if (c.result == Result::Failed) {
            EXPECT_EQ(report.results[0].failureMessage,
                      u"置換ファイル名が不正です。\nファイル名に使用できない文字列が含まれていないか確認してください。");
        }
        if (c.result == Result::Done) {
            EXPECT_EQ(report.results[0].logLine, u"置換ﾘﾈｰﾑ:" + fs::path(c.after[0]).u16string() + u"->OK!");
        }
    }
}

TEST(ReplaceRename, ADistinctFileOfAnotherCaseIsNeverReplaced)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "img_1.jpg"}, {dir.path() / "IMG_1.jpg"}});
    RenameSettings s;
    s.oldText = u"img";
    s.newText = u"IMG";
    const auto report = replaceRenameEntries(list, std::vector<std::size_t>{0}, s);
    EXPECT_EQ(report.results[0].result, Result::Skipped);
    EXPECT_EQ(contentOf(dir.path() / "img_1.jpg"), "img_1.jpg");
    EXPECT_EQ(contentOf(dir.path() / "IMG_1.jpg"), "IMG_1.jpg");
    // A second name of the same file (one inode) is not a distinct file,
    // but it is not replaced either: the file keeps both names.
    fs::remove(dir.path() / "IMG_1.jpg");
    fs::create_hard_link(dir.path() / "img_1.jpg", dir.path() / "IMG_1.jpg");
    const auto linked = replaceRenameEntries(list, std::vector<std::size_t>{0}, s);
    EXPECT_NE(linked.results[0].result, Result::Done);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"IMG_1.jpg", "img_1.jpg"}));
}

TEST(ReplaceRename, AnInvalidNameStopsTheRun)
{
    test::TempDir dir;
    auto list = makeList({{dir.path() / "a1.jpg"}, {dir.path() / "a2.jpg"}});
    RenameSettings s;
    s.oldText = u"a";
    s.newText = u"*";
    const auto report = replaceRenameEntries(list, all(list), s);
    EXPECT_EQ(report.results.size(), 1u);
    EXPECT_FALSE(report.allSucceeded());
}

} // namespace
