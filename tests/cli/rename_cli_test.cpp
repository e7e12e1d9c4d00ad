// `qlx rename` end to end on copies of sample pictures: the dates are the
// DateTimeOriginal values exiftool shows for them
// (`exiftool -s3 -DateTimeOriginal`), typed in here:
//   Canon_40D.jpg    2008:05:30 15:56:01
//   Nikon_D70.jpg    2008:03:15 09:52:01
//   Pentax_K10D.jpg  2008:05:04 16:47:24

#include "cli/qlx_runner.h"
#include "support/samples_gtest.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

const fs::path kCanon = "exif-samples/Canon_40D.jpg";
const fs::path kNikon = "exif-samples/Nikon_D70.jpg";
const fs::path kPentax = "exif-samples/Pentax_K10D.jpg";

// Copies of the samples in a folder of their own (never the samples).
void copySamples(const fs::path& folder, std::initializer_list<std::pair<fs::path, const char*>> files)
{
    for (const auto& [sample, name] : files)
        fs::copy_file(samplesDir() / sample, folder / name);
}

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RenameCli, ByShootingDateInBothJoiners)
{
    QLX_NEED_SAMPLES(kCanon, kNikon, kPentax);
    struct Case {
        const char* options;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases{
        {"--type 3", {"2008-03-15-09-52-01.jpg", "2008-05-04-16-47-24.jpg", "2008-05-30-15-56-01.jpg"}},
        {"--type 7 --date-joiner 1", {"080315_095201.jpg", "080504_164724.jpg", "080530_155601.jpg"}},
        {"--type 5 --prefix shot --joiner 1", {"shot-03-15-09-52-01.jpg", "shot-05-04-16-47-24.jpg", "shot-05-30-15-56-01.jpg"}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        copySamples(dir.path(), {{kCanon, "Canon_40D.jpg"}, {kNikon, "Nikon_D70.jpg"}, {kPentax, "Pentax_K10D.jpg"}});
        const auto outcome = runQlx(std::string("rename ") + c.options + " " + quoted(dir.path()));
        EXPECT_EQ(outcome.exitCode, 0) << outcome.out;
        EXPECT_EQ(namesIn(dir.path()), c.names) << c.options;
        for (const std::string& name : c.names)
            expectLines(outcome.out, {"ﾘﾈｰﾑ:" + name + "->OK!"});
    }
}

TEST(RenameCli, SameSecondNumbersBothFiles)
{
    QLX_NEED_SAMPLES(kCanon);
    TempDir dir;
    copySamples(dir.path(), {{kCanon, "a.jpg"}, {kCanon, "b.jpg"}});
    const auto outcome = runQlx("rename --type 3 " + quoted(dir.path()));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.out;
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"2008-05-30-15-56-01-1.jpg", "2008-05-30-15-56-01-2.jpg"}));
    expectLines(outcome.out, {"ﾘﾈｰﾑ:2008-05-30-15-56-01.jpg->OK!", "ﾘﾈｰﾑ:2008-05-30-15-56-01-1.jpg->OK!",
                                 "ﾘﾈｰﾑ:2008-05-30-15-56-01-2.jpg->OK!"});
}

TEST(RenameCli, NumbersInNameOrderAndReplace)
{
    QLX_NEED_SAMPLES(kCanon, kNikon, kPentax);
    TempDir dir;
    copySamples(dir.path(), {{kCanon, "Canon_40D.jpg"}, {kNikon, "Nikon_D70.jpg"}, {kPentax, "Pentax_K10D.jpg"}});
    std::ofstream(dir.path() / "notes.txt") << "not a picture";
    const auto outcome = runQlx("rename --prefix IMG --joiner 2 --type 1 --start 7 " + quoted(dir.path()));
    EXPECT_EQ(outcome.exitCode, 0) << outcome.out;
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"IMG_0007.jpg", "IMG_0008.jpg", "IMG_0009.jpg", "notes.txt"}));
    EXPECT_EQ(readFileBytes(dir.path() / "IMG_0008.jpg"), readFileBytes(samplesDir() / kNikon));

    const auto replaced = runQlx("rename --replace img_000 P " + quoted(dir.path()));
    EXPECT_EQ(replaced.exitCode, 0) << replaced.out;
    expectLines(replaced.out, {"置換ﾘﾈｰﾑ:P7.jpg->OK!", "置換ﾘﾈｰﾑ:P8.jpg->OK!", "置換ﾘﾈｰﾑ:P9.jpg->OK!"});
    const auto invalid = runQlx("rename --replace P 'a:b' " + quoted(dir.path()));
    EXPECT_EQ(invalid.exitCode, 1) << invalid.out;
    EXPECT_NE(invalid.out.find("置換ファイル名が不正です。"), std::string::npos) << invalid.out;
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"P7.jpg", "P8.jpg", "P9.jpg", "notes.txt"}));
}

TEST(RenameCli, UsageErrors)
{
    EXPECT_EQ(runQlx("rename").exitCode, 2);
    EXPECT_EQ(runQlx("rename --type x /tmp").exitCode, 2);
    EXPECT_EQ(runQlx("rename /nonexistent/folder/of/nothing").exitCode, 2);
}

} // namespace
