// The settings file: scrambling, version acceptance, short and damaged files,
// the normal-exit flag and the round trip through disk.

#include "io/file_io.h"
#include "shell/settings_defaults.h"
#include "shell/settings_file.h"
#include "shell/settings_startup.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace qlx::settings {
namespace {

std::vector<std::byte> fileBytes(const std::filesystem::path& path)
{
    auto read = io::readFileCapped(path, 1 << 20);
    return read ? read->bytes : std::vector<std::byte>{};
}

void writeRaw(const std::filesystem::path& path, std::span<const std::byte> bytes)
{
    ASSERT_TRUE(io::writeFileAtomically(path, bytes));
}

// A record as another program version would have written it.
std::vector<std::byte> scrambledRecordWithVersion(std::u16string_view version, std::uint8_t normalExit)
{
    SettingsRecord record;
    applyFirstStartDefaults(record, version);
    record.setText(kLastOpenedFolder, u"/photos/2024");
    record.set(kTargetFormatMask, 0x12u);
    record.set(kNormalExit, normalExit);
    std::vector<std::byte> bytes(record.bytes().begin(), record.bytes().end());
    scramble(bytes);
    return bytes;
}

TEST(SettingsScramble, IsItsOwnInverseAndChangesEveryPositionOfTheKey)
{
    std::vector<std::byte> bytes(100);
    std::mt19937 random(7);
    for (auto& b : bytes)
        b = static_cast<std::byte>(random());
    const auto original = bytes;
    scramble(bytes);
    EXPECT_NE(bytes, original);
    // A zero buffer shows the key itself: 16 bytes repeating, not all zero.
    std::vector<std::byte> zeros(48);
    scramble(zeros);
    EXPECT_TRUE(std::equal(zeros.begin(), zeros.begin() + 16, zeros.begin() + 16));
    EXPECT_TRUE(std::equal(zeros.begin(), zeros.begin() + 16, zeros.begin() + 32));
    EXPECT_TRUE(std::any_of(zeros.begin(), zeros.end(), [](std::byte b) { return b != std::byte{0}; }));
    scramble(bytes);
    EXPECT_EQ(bytes, original);
}

TEST(SettingsVersion, AcceptsTheSameAndThePreviousMajorVersionOnly)
{
    EXPECT_EQ(majorVersion(u"5.96"), 5);
    EXPECT_EQ(majorVersion(u"4.10"), 4);
    EXPECT_EQ(majorVersion(u"garbage"), 0);
    EXPECT_TRUE(versionAccepted(u"5.96", u"5.96"));
    EXPECT_TRUE(versionAccepted(u"5.01", u"5.96"));
    EXPECT_TRUE(versionAccepted(u"4.50", u"5.96"));
    EXPECT_FALSE(versionAccepted(u"3.99", u"5.96"));
    EXPECT_FALSE(versionAccepted(u"6.00", u"5.96"));
    EXPECT_FALSE(versionAccepted(u"", u"5.96"));
}

class SettingsFileTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::filesystem::path path = dir.path() / "Quenderluxium.cfg";
    SettingsFile file{path, u"5.96"};
    SettingsRecord record;
};

TEST_F(SettingsFileTest, SavedFileIsTheWholeRecordScrambledAndLoadsBack)
{
    applyFirstStartDefaults(record, u"5.96");
    record.setText(kLastOpenedFolder, u"/home/user/写真");
    record.set(kTargetFormatMask, 0x2u);
    record.set(kNormalExit, std::uint8_t{1});
    ASSERT_TRUE(file.save(record));

    const auto bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), 375'096u);
    // The record in memory was not left scrambled.
    EXPECT_EQ(record.get(kTargetFormatMask), 0x2u);
    // The file is the record XOR the key: unscrambling gives the record.
    auto unscrambled = bytes;
    scramble(unscrambled);
    EXPECT_TRUE(std::equal(unscrambled.begin(), unscrambled.end(), record.bytes().begin()));

    SettingsRecord loaded;
    const auto result = file.load(loaded);
    EXPECT_EQ(result.status, LoadStatus::Loaded);
    EXPECT_FALSE(result.askRecovery);
    EXPECT_EQ(loaded.text(kLastOpenedFolder), u"/home/user/写真");
    EXPECT_EQ(loaded.get(kTargetFormatMask), 0x2u);
    EXPECT_EQ(loaded.get(kNormalExit), 0) << "a loaded normal-exit flag is cleared for the running session";
}

TEST_F(SettingsFileTest, MissingFileAndOtherMajorVersionsAreNotLoaded)
{
    EXPECT_EQ(file.load(record).status, LoadStatus::Missing);

    for (std::u16string_view version : {u"3.20", u"6.00"}) {
        writeRaw(path, scrambledRecordWithVersion(version, 1));
        EXPECT_EQ(file.load(record).status, LoadStatus::VersionRejected) << std::string(version.begin(), version.end());
        EXPECT_EQ(record.get(kTargetFormatMask), 0u) << "a rejected file leaves the record zero";
    }
    writeRaw(path, scrambledRecordWithVersion(u"4.80", 1));
    const auto result = file.load(record);
    EXPECT_EQ(result.status, LoadStatus::Loaded);
    EXPECT_EQ(record.text(kVersion), u"5.96") << "the version is rewritten as the program's";
}

TEST_F(SettingsFileTest, FileWrittenWithAnotherKeyIsRejected)
{
    SettingsRecord other;
    applyFirstStartDefaults(other, u"5.96");
    std::vector<std::byte> bytes(other.bytes().begin(), other.bytes().end());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] ^= static_cast<std::byte>(0x5A + i % 16);
    writeRaw(path, bytes);
    EXPECT_EQ(file.load(record).status, LoadStatus::VersionRejected);
}

TEST_F(SettingsFileTest, ShortFileLoadsWithZeroTailAndEverySectionGetsItsDefaults)
{
    auto bytes = scrambledRecordWithVersion(u"5.96", 1);
    bytes.resize(1000);
    writeRaw(path, bytes);
    const auto startup = loadSettingsAtStartup(file, record, [] { return false; });
    EXPECT_EQ(startup.status, LoadStatus::Loaded);
    // Offsets past 1,000 were zero, so the defaults pass and all six
    // sections filled them.
    EXPECT_EQ(record.get(kSectionA), 1234u);
    EXPECT_EQ(record.get(kSectionF), 1234u);
    EXPECT_EQ(record.text(kVideoExtensions), u"avi;wmv;mpg;mpeg;mp4;mov;flv;3gp;3g2;divx;m2ts;mts;");
    EXPECT_EQ(record.get(kGpsUtcOffsetHours), 9);
    EXPECT_EQ(record.get(kListFontSize), 12);
    EXPECT_EQ(record.get(kColumnOrder, 23), 23);
    EXPECT_EQ(record.get(kToolBoxCount), 33);
    EXPECT_EQ(record.get(kMailLongSide), 640);
    // The first 1,000 bytes were kept: the mask came from the file.
    EXPECT_EQ(record.get(kTargetFormatMask), 0x12u);
    // The normal-exit byte lies past 1,000 and read as 0: the run did not
    // end normally as far as the file can tell.
    EXPECT_TRUE(startup.askedRecovery);
}

TEST_F(SettingsFileTest, LongerFileIsReadUpToTheRecordSize)
{
    auto bytes = scrambledRecordWithVersion(u"5.96", 1);
    bytes.resize(bytes.size() + 5000, std::byte{0x77});
    writeRaw(path, bytes);
    EXPECT_EQ(file.load(record).status, LoadStatus::Loaded);
    EXPECT_EQ(record.text(kLastOpenedFolder), u"/photos/2024");
}

TEST_F(SettingsFileTest, RecoveryQuestionDecidesWhetherTheLastFolderReopens)
{
    writeRaw(path, scrambledRecordWithVersion(u"5.96", 0));
    int asked = 0;
    auto no = loadSettingsAtStartup(file, record, [&] { ++asked; return false; });
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(no.askedRecovery);
    EXPECT_TRUE(no.startFolder.empty());

    auto yes = loadSettingsAtStartup(file, record, [&] { ++asked; return true; });
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(yes.startFolder, u"/photos/2024");

    // A normal close puts 1 on disk: the next start does not ask.
    ASSERT_TRUE(saveAtNormalExit(file, record));
    auto normal = loadSettingsAtStartup(file, record, [&] { ++asked; return false; });
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(normal.askedRecovery);
    EXPECT_EQ(normal.startFolder, u"/photos/2024");
    // ... and the running program's first save puts 0 back on disk.
    ASSERT_TRUE(file.save(record));
    auto bytes = fileBytes(path);
    scramble(bytes);
    EXPECT_EQ(bytes[119'997], std::byte{0});
}

TEST_F(SettingsFileTest, RandomBytesStartWithDefaultsWithoutAQuestion)
{
    std::vector<std::byte> bytes(375'096);
    std::mt19937 random(42);
    for (auto& b : bytes)
        b = static_cast<std::byte>(random());
    writeRaw(path, bytes);
    int asked = 0;
    const auto startup = loadSettingsAtStartup(file, record, [&] { ++asked; return true; });
    EXPECT_EQ(startup.status, LoadStatus::VersionRejected);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(record.get(kTargetFormatMask), 0x83FFFFFFu);
    EXPECT_EQ(record.get(kDisplayStyle), 3);
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFile)
{
    applyFirstStartDefaults(record, u"5.96");
    ASSERT_TRUE(file.save(record));
    const auto before = fileBytes(path);
    SettingsFile nowhere(dir.path() / "missing-folder" / "Quenderluxium.cfg", u"5.96");
    std::string error;
    EXPECT_FALSE(nowhere.save(record, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fileBytes(path), before);
    // No temporary files are left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

} // namespace
} // namespace qlx::settings
