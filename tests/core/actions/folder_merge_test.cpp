// Folder merge: which subfolders the question lists (depth first, 32 at
// most, never through a link), which files move up (picture files below
// the top only, one level or all), name clashes kept unless the user says
// otherwise, empty subfolders removed and full ones kept, and no file lost
// whichever file-system call fails.

#include "actions/folder_merge.h"
#include "actions/media_messages.h"
#include "io/system_calls.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <set>

using namespace qlx;
using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kAllKinds = 0x83FFFFFF; // the target-format default

std::string contentOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Every file under `root` by its path relative to it, links as "name@".
std::set<std::string> filesUnder(const fs::path& root)
{
    std::set<std::string> files;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = it->path().lexically_relative(root).generic_string();
        if (it->is_symlink())
            files.insert(relative + "@");
        else if (it->is_regular_file())
            files.insert(relative);
    }
    return files;
}

struct Shots {
    test::TempDir dir;
    fs::path top = dir.path() / "shots";
    std::vector<std::u16string> lines;
    std::u16string question;
    int replaceAsked = 0;

    void add(const std::string& relative) { writeFile(top / relative, "bytes of " + relative); }

    MergeReport merge(bool allLevels, bool deleteEmpty, bool yes = true, bool replace = false)
    {
        const MergeOptions options{MergeSettings{allLevels, deleteEmpty}, kAllKinds, nullptr};
        const MergeCallbacks callbacks{
            [this, yes](std::u16string_view text) { question = text; return yes; },
            [this, replace](const fs::path&) { ++replaceAsked; return replace; },
            [this](std::u16string_view line, Result) { lines.emplace_back(line); }, {}};
        return mergeSubfolders(top, options, callbacks);
    }
};

TEST(FolderMerge, ListsSubfoldersDepthFirstWithoutLinks)
{
    Shots shots;
    for (const char* folder : {"a/b", "c"})
        fs::create_directories(shots.top / folder);
    fs::create_directories(shots.dir.path() / "elsewhere" / "deep");
    fs::create_directory_symlink(shots.dir.path() / "elsewhere", shots.top / "link");

    const SubfolderList one = listSubfolders(shots.top, false);
    EXPECT_EQ(one.folders, (std::vector<fs::path>{shots.top / "a", shots.top / "c"}));
    EXPECT_FALSE(one.cut);
    const SubfolderList all = listSubfolders(shots.top, true);
    EXPECT_EQ(all.folders, (std::vector<fs::path>{shots.top / "a", shots.top / "a" / "b", shots.top / "c"}));

    EXPECT_EQ(mergeQuestion(one, false), u"下記のサブフォルダ内の画像ファイルを現在のフォルダに移動します。\n\n"
                                         + (shots.top / "a").u16string() + u"\n" + (shots.top / "c").u16string()
                                         + u"\n\n処理を実行してもよろしいですか？");
    EXPECT_EQ(mergeQuestion(one, true), u"下記のサブフォルダ内の画像ファイルを現在のフォルダに移動します。\n\n"
                                        + (shots.top / "a").u16string() + u"\n" + (shots.top / "c").u16string()
                                        + u"\n\n※移動処理の後、空フォルダを削除する設定になっています。\n"
                                          u"\n処理を実行してもよろしいですか？");
}

TEST(FolderMerge, ListStopsAfterThirtyTwo)
{
    for (const int count : {32, 33}) {
        SCOPED_TRACE(count);
        Shots shots;
        for (int i = 0; i < count; ++i)
            fs::create_directories(shots.top / ("d" + std::to_string(100 + i)));
        const SubfolderList list = listSubfolders(shots.top, false);
        EXPECT_EQ(list.folders.size(), 32u);
        EXPECT_EQ(list.cut, count == 33);
        const std::u16string question = mergeQuestion(list, false);
        EXPECT_EQ(question.find(u"以下略...\n") != std::u16string::npos, count == 33);
        EXPECT_EQ(question.find(u"d132"), std::u16string::npos);
    }
}

TEST(FolderMerge, MovesPictureFilesUpByLevel)
{
    struct Case {
        bool allLevels;
        bool deleteEmpty;
        std::set<std::string> after;
    };
    const std::vector<Case> cases{
        {false, false, {"top.jpg", "1.jpg", "a/notes.txt", "a/b/2.nef", "e/c/3.jpg"}},
        {true, false, {"top.jpg", "1.jpg", "a/notes.txt", "2.nef", "3.jpg"}},
        {true, true, {"top.jpg", "1.jpg", "a/notes.txt", "2.nef", "3.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.allLevels) + std::to_string(c.deleteEmpty));
        Shots shots;
        for (const char* file : {"top.jpg", "a/1.jpg", "a/notes.txt", "a/b/2.nef", "e/c/3.jpg"})
            shots.add(file);
        const MergeReport report = shots.merge(c.allLevels, c.deleteEmpty);
        EXPECT_EQ(report.outcome, MergeOutcome::Done) << report.reason;
        EXPECT_EQ(filesUnder(shots.top), c.after);
        EXPECT_EQ(contentOf(shots.top / "1.jpg"), "bytes of a/1.jpg");
        EXPECT_NE(std::find(shots.lines.begin(), shots.lines.end(), u"ﾌｫﾙﾀﾞ統合:1.jpg->OK!"), shots.lines.end());
        // "a" still holds notes.txt; "a/b", "e/c" and "e" are empty once
        // their files went up.
        EXPECT_TRUE(fs::exists(shots.top / "a"));
        EXPECT_EQ(fs::exists(shots.top / "a" / "b"), !(c.allLevels && c.deleteEmpty));
        EXPECT_EQ(fs::exists(shots.top / "e"), !(c.allLevels && c.deleteEmpty));
        EXPECT_EQ(report.foldersRemoved, c.allLevels && c.deleteEmpty ? 3 : 0);
    }
}

TEST(FolderMerge, NameClashKeepsBothUnlessTheUserReplaces)
{
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        Shots shots;
        shots.add("x.jpg");
        shots.add("a/x.jpg");
        const MergeReport report = shots.merge(false, true, true, replace);
        EXPECT_EQ(report.outcome, MergeOutcome::Done);
        EXPECT_EQ(shots.replaceAsked, 1);
        EXPECT_EQ(contentOf(shots.top / "x.jpg"), replace ? "bytes of a/x.jpg" : "bytes of x.jpg");
        EXPECT_EQ(fs::exists(shots.top / "a" / "x.jpg"), !replace);
        EXPECT_EQ(fs::exists(shots.top / "a"), !replace); // removed only once empty
        EXPECT_EQ(shots.lines.back(), replace ? u"ﾌｫﾙﾀﾞ統合:x.jpg->OK!" : u"ﾌｫﾙﾀﾞ統合:x.jpg->Skip!");
    }
}

TEST(FolderMerge, LinksAreNeverFollowedNorRemoved)
{
    Shots shots;
    shots.add("a/1.jpg");
    writeFile(shots.dir.path() / "elsewhere" / "far.jpg", "far");
    fs::create_directories(shots.dir.path() / "elsewhere" / "empty");
    fs::create_directory_symlink(shots.dir.path() / "elsewhere", shots.top / "a" / "link");
    fs::create_symlink(shots.dir.path() / "elsewhere" / "far.jpg", shots.top / "a" / "far.jpg");
    const MergeReport report = shots.merge(true, true);
    EXPECT_EQ(report.outcome, MergeOutcome::Done);
    EXPECT_EQ(filesUnder(shots.top), (std::set<std::string>{"1.jpg", "a/far.jpg@", "a/link@"}));
    EXPECT_TRUE(fs::exists(shots.dir.path() / "elsewhere" / "empty"));
    EXPECT_EQ(contentOf(shots.dir.path() / "elsewhere" / "far.jpg"), "far");
}

TEST(FolderMerge, NothingToMergeOrNoToTheQuestion)
{
    Shots shots;
    shots.add("top.jpg");
    MergeReport report = shots.merge(false, true);
    EXPECT_EQ(report.outcome, MergeOutcome::NoSubfolder);
    EXPECT_EQ(report.messages, std::vector<std::u16string_view>{messages::kMergeNoSubfolder});

    shots.add("a/1.jpg");
    report = shots.merge(false, true, false);
    EXPECT_EQ(report.outcome, MergeOutcome::Declined);
    EXPECT_TRUE(fs::exists(shots.top / "a" / "1.jpg"));
}

TEST(FolderMerge, DeletesOnlyEmptyFolders)
{
    Shots shots;
    fs::create_directories(shots.top / "empty" / "inner");
    shots.add("full/keep.jpg");
    const EmptyFolderRemoval removal = deleteEmptySubfolders(shots.top);
    EXPECT_EQ(removal.removed, 2);
    EXPECT_FALSE(fs::exists(shots.top / "empty"));
    EXPECT_TRUE(fs::exists(shots.top / "full" / "keep.jpg"));
}

TEST(FolderMerge, NoFileLostWhateverCallFails)
{
    const std::vector<std::string> files{"a/1.jpg", "a/2.jpg", "a/b/3.jpg", "c/4.jpg"};
    const auto prepare = [&files](Shots& shots) {
        for (const std::string& file : files)
            shots.add(file);
    };
    std::uint64_t calls = 0;
    {
        Shots clean;
        prepare(clean);
        io::sys::setFaultPlan(io::sys::FaultPlan{~std::uint64_t{0}, EIO});
        clean.merge(true, true);
        calls = io::sys::callCount();
        io::sys::setFaultPlan(std::nullopt);
    }
    ASSERT_GT(calls, 0u);
    for (const int error : {EIO, ENOSPC, EXDEV, EBUSY}) {
        for (std::uint64_t at = 0; at < calls; ++at) {
            SCOPED_TRACE("call " + std::to_string(at) + " fails with " + std::to_string(error));
            Shots shots;
            prepare(shots);
            io::sys::setFaultPlan(io::sys::FaultPlan{at, error});
            const MergeReport report = shots.merge(true, true);
            io::sys::setFaultPlan(std::nullopt);
            const std::set<std::string> after = filesUnder(shots.top);
            for (const std::string& file : files) {
                const std::string name = fs::path(file).filename().string();
                const bool up = after.contains(name);
                const bool stayed = after.contains(file);
                EXPECT_NE(up, stayed) << file;
                EXPECT_EQ(contentOf(shots.top / (up ? name : file)), "bytes of " + file);
            }
            EXPECT_EQ(after.size(), files.size());
            // A top folder that cannot be read shows no subfolder.
            if (report.outcome == MergeOutcome::Interrupted)
                EXPECT_EQ(report.messages, std::vector<std::u16string_view>{messages::kMergeInterrupted});
            else
                EXPECT_NE(report.outcome, MergeOutcome::Declined);
        }
    }
}

} // namespace
