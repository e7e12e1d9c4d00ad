// `qlx scan`: a folder of pictures read as the program reads it, its cache
// file checked field by field, and the second visit served from it.

#include "cli/qlx_runner.h"
#include "io/record_bytes.h"
#include "support/test_paths.h"
#include "support/test_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace qlx::test;

class Scan : public ::testing::Test {
protected:
    Scan()
    {
        fs::create_directories(card);
        writeTestJpeg(card / "IMG_0001.JPG", {.make = "Canon", .model = "Canon EOS 40D", .orientation = 6});
        writeTestJpeg(card / "IMG_0002.jpg", {});
        writeTestJpeg(card / "IMG_0003.jpeg", {});
        std::ofstream(card / "notes.txt") << "not a picture";
    }

    std::string scan()
    {
        const auto run = runQlx("scan " + quoted(card) + " --cache-dir " + quoted(cacheDir));
        EXPECT_EQ(run.exitCode, 0) << run.out;
        return run.out;
    }

    // The cache file is named after the folder, "/" written as "￥".
    fs::path cacheFile() const
    {
        std::string name;
        for (const char c : card.string())
            name += c == '/' ? std::string("\xEF\xBF\xA5") : std::string(1, c);
        return cacheDir / (name + ".cac");
    }

    TempDir root;
    const fs::path card = root.path() / "card";
    const fs::path cacheDir = root.path() / "cache";
    static constexpr std::uint32_t kPictures = 3;
};

TEST_F(Scan, FirstVisitReadsEverythingAndWritesTheCacheFile)
{
    expectLines(scan(), {"entries\t3", "new files\t3", "cache hits\t0", "read afresh\t3", "cache save\twritten"});
    const auto bytes = readFileBytes(cacheFile());
    ASSERT_GT(bytes.size(), 548u);
    const auto u32 = [&](std::size_t offset) { return qlx::io::loadLe<std::uint32_t>(bytes, offset); };
    const auto text = [&](std::size_t offset) { return qlx::io::loadUtf16(bytes, qlx::io::Utf16Field{offset, 260}); };
    EXPECT_EQ(qlx::io::loadUtf16(bytes, qlx::io::Utf16Field{0, 8}), u"5.96");
    EXPECT_EQ(text(16), fs::path(card.string() + "/").u16string());
    EXPECT_EQ(u32(536), 0u);
    EXPECT_EQ(u32(540), kPictures);
    // No history yet: the index is 548 + N × (4 + 4 + 1624) bytes; the
    // thumbnail blocks (17,376 bytes each) follow it, packed, in record order.
    const std::uint32_t indexSize = 548 + kPictures * 1632;
    EXPECT_EQ(u32(544), indexSize);
    for (std::uint32_t i = 0; i < kPictures; ++i) {
        EXPECT_EQ(u32(548 + 4 * i), 0u) << "history offset " << i;
        EXPECT_EQ(u32(548 + 4 * kPictures + 4 * i), indexSize + i * 17'376) << "thumbnail of " << i;
        const std::size_t record = 548 + 8 * kPictures + 1624 * i;
        const fs::path file(text(record + 12));
        EXPECT_EQ(file.parent_path(), card);
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_NE(u32(record + 548), 0u) << "kind of " << file;
        EXPECT_EQ(u32(record + 552), fs::file_size(file)) << file;
        EXPECT_EQ(u32(record + 1552), 0u) << "history count of " << file;
    }
    EXPECT_EQ(bytes.size(), indexSize + kPictures * 17'376);
    // The tool that shows cache files reads it back.
    EXPECT_EQ(runQlx("cache show " + quoted(cacheFile())).exitCode, 0);
}

TEST_F(Scan, SecondVisitIsServedFromTheCacheAndAChangedFileIsReadAgain)
{
    scan();
    const auto before = readFileBytes(cacheFile());
    expectLines(scan(), {"from cache\t3", "cache hits\t3", "read afresh\t0", "thumbnails made\t0",
                         "cache save\tunchanged (time renewed)"});
    EXPECT_EQ(readFileBytes(cacheFile()), before);

    // A file changed behind the program's back is read afresh, alone.
    std::ofstream(card / "IMG_0002.jpg", std::ios::app) << "x";
    expectLines(scan(), {"changed files\t1", "read afresh\t1", "cache save\twritten"});
}

TEST_F(Scan, ADamagedCacheFileIsNoCache)
{
    scan();
    {
        std::fstream file(cacheFile(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(540);
        file.write("\xFF\xFF\x00\x00", 4); // N = 65,535
    }
    expectLines(scan(), {"from cache\t0", "read afresh\t3", "cache save\twritten"});
    EXPECT_EQ(runQlx("scan /no/such/folder").exitCode, 1);
}

} // namespace
