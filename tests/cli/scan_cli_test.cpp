// `qlx scan`: a folder of camera files read as the program reads it, its
// cache file checked field by field, and the second visit served from it.

#include "io/record_bytes.h"
#include "support/run_command.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using qlx::test::TempDir;

qlx::test::CommandOutcome qlx(const std::string& arguments)
{
    return qlx::test::runCommand(std::string(QLX_CLI_PATH) + " " + arguments + " 2>/dev/null");
}

bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

std::vector<std::byte> readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    std::memcpy(bytes.data(), chars.data(), chars.size());
    return bytes;
}

std::uint32_t u32(const std::vector<std::byte>& bytes, std::size_t offset)
{
    return qlx::io::loadLe<std::uint32_t>(bytes, offset);
}

std::u16string text(const std::vector<std::byte>& bytes, std::size_t offset, std::size_t units)
{
    return qlx::io::loadUtf16(bytes, qlx::io::Utf16Field{offset, units});
}

std::u16string ascii16(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

class Scan : public ::testing::Test {
protected:
    Scan()
    {
        card = root.path() / "card";
        cacheDir = root.path() / "cache";
        fs::create_directories(card);
        const fs::path samples = qlx::test::samplesDir();
        for (const char* name : {"Canon_40D.jpg", "Nikon_D70.jpg", "Fujifilm_FinePix_E500.jpg", "Olympus_C8080WZ.jpg"})
            if (fs::exists(samples / "exif-samples" / name))
                fs::copy_file(samples / "exif-samples" / name, card / name);
        for (const char* name : {"Canon.jpg", "Nikon.nef", "PNG.png", "GIF.gif", "Photoshop.psd"})
            fs::copy_file(samples / "exiftool" / name, card / name);
        std::ofstream(card / "notes.txt") << "not a picture";
        for (const auto& item : fs::directory_iterator(card))
            if (item.path().extension() != ".txt")
                ++pictures;
    }

    std::string scan(const std::string& extra = {})
    {
        const auto run = qlx("scan '" + card.string() + "' --cache-dir '" + cacheDir.string() + "'" + extra);
        EXPECT_EQ(run.exitCode, 0) << run.out;
        return run.out;
    }

    fs::path cacheFile() const
    {
        std::string name = card.string();
        std::string out;
        for (const char c : name)
            out += c == '/' ? std::string("\xEF\xBF\xA5") : std::string(1, c); // "/" becomes "￥"
        return cacheDir / (out + ".cac");
    }

    TempDir root;
    fs::path card;
    fs::path cacheDir;
    std::size_t pictures = 0;
};

TEST_F(Scan, FirstVisitReadsEverythingAndWritesTheCacheFile)
{
    const std::string out = scan();
    const std::string n = std::to_string(pictures);
    EXPECT_TRUE(hasLine(out, "entries\t" + n)) << out;
    EXPECT_TRUE(hasLine(out, "new files\t" + n)) << out;
    EXPECT_TRUE(hasLine(out, "cache hits\t0")) << out;
    EXPECT_TRUE(hasLine(out, "read afresh\t" + n)) << out;
    EXPECT_TRUE(hasLine(out, "cache save\twritten")) << out;

    const auto bytes = readAll(cacheFile());
    ASSERT_GT(bytes.size(), 548u);
    const std::size_t count = pictures;
    EXPECT_EQ(text(bytes, 0, 8), u"5.96");
    EXPECT_EQ(text(bytes, 16, 260), ascii16(card.string() + "/"));
    EXPECT_EQ(u32(bytes, 536), 0u);
    EXPECT_EQ(u32(bytes, 540), count);
    // No history yet: I = 548 + N × 1632.
    const std::uint32_t indexSize = 548 + static_cast<std::uint32_t>(count) * 1632;
    EXPECT_EQ(u32(bytes, 544), indexSize);
    std::size_t thumbnails = 0;
    for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(u32(bytes, 548 + 4 * i), 0u) << "history offset " << i;
        const std::uint32_t thumb = u32(bytes, 548 + 4 * count + 4 * i);
        if (thumb != 0) {
            // Blocks follow I, packed, in record order.
            EXPECT_EQ(thumb, indexSize + thumbnails * 17'376) << i;
            ++thumbnails;
        }
        const std::size_t record = 548 + 8 * count + 1624 * i;
        const std::u16string path = text(bytes, record + 12, 260);
        const fs::path file(std::string(path.begin(), path.end()));
        EXPECT_EQ(file.parent_path(), card);
        ASSERT_TRUE(fs::exists(file)) << file;
        EXPECT_EQ(u32(bytes, record + 548) != 0, true) << "kind of " << file;
        EXPECT_EQ(u32(bytes, record + 552), fs::file_size(file)) << file;
        EXPECT_EQ(u32(bytes, record + 1552), 0u) << "history count of " << file;
    }
    // Every JPEG sample has a picture to show.
    EXPECT_GE(thumbnails, 5u);
    EXPECT_EQ(bytes.size(), indexSize + thumbnails * 17'376);
    // The tool that shows cache files reads it back.
    EXPECT_EQ(qlx("cache show '" + cacheFile().string() + "'").exitCode, 0);
}

TEST_F(Scan, SecondVisitIsServedFromTheCache)
{
    scan();
    const std::string n = std::to_string(pictures);
    const auto before = readAll(cacheFile());
    const std::string out = scan();
    EXPECT_TRUE(hasLine(out, "from cache\t" + n)) << out;
    EXPECT_TRUE(hasLine(out, "cache hits\t" + n)) << out;
    EXPECT_TRUE(hasLine(out, "read afresh\t0")) << out;
    EXPECT_TRUE(hasLine(out, "thumbnails made\t0")) << out;
    EXPECT_TRUE(hasLine(out, "cache save\tunchanged (time renewed)")) << out;
    EXPECT_EQ(readAll(cacheFile()), before);

    // A file changed behind the program's back is read afresh, alone.
    std::ofstream(card / "Canon.jpg", std::ios::app) << "x";
    const std::string changed = scan();
    EXPECT_TRUE(hasLine(changed, "changed files\t1")) << changed;
    EXPECT_TRUE(hasLine(changed, "read afresh\t1")) << changed;
    EXPECT_TRUE(hasLine(changed, "cache save\twritten")) << changed;
}

TEST_F(Scan, ADamagedCacheFileIsNoCache)
{
    scan();
    {
        std::fstream file(cacheFile(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(540);
        const char huge[4] = {'\xFF', '\xFF', '\x00', '\x00'}; // N = 65,535
        file.write(huge, 4);
    }
    const std::string out = scan();
    EXPECT_TRUE(hasLine(out, "from cache\t0")) << out;
    EXPECT_TRUE(hasLine(out, "read afresh\t" + std::to_string(pictures))) << out;
    EXPECT_TRUE(hasLine(out, "cache save\twritten")) << out;
}

TEST(ScanUsage, BadArgumentsAndFolders)
{
    EXPECT_EQ(qlx("scan").exitCode, 2);
    EXPECT_EQ(qlx("scan a b").exitCode, 2);
    EXPECT_EQ(qlx("scan --bogus x").exitCode, 2);
    EXPECT_EQ(qlx("scan /no/such/folder").exitCode, 1);
}

} // namespace
