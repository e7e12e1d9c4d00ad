// Creating, renaming and trashing folders, with the folder's cache file
// following it.

#include "imagelist/folder_commands.h"

#include "support/test_paths.h"
#include "cache/cache_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace qlx::imagelist {
namespace {

namespace fs = std::filesystem;

std::u16string u16(const fs::path& path)
{
    return cache::utf16FromFileName(path);
}

class FolderCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(cacheDir());
        fs::create_directories(photos());
    }
    fs::path cacheDir() const { return m_temp.path() / "cache"; }
    fs::path photos() const { return m_temp.path() / "写真"; }
    fs::path cacheOf(const fs::path& folder) const { return folderCacheFile(cacheDir(), u16(folder)); }
    void putCache(const fs::path& folder, const std::string& bytes) const
    {
        std::ofstream(cacheOf(folder), std::ios::binary) << bytes;
    }

    test::TempDir m_temp;
};

TEST_F(FolderCommandsTest, CreateMakesOneFolder)
{
    const auto made = createFolder(u16(photos()), u"2024");
    EXPECT_EQ(made.status, FolderCreateStatus::Created);
    EXPECT_EQ(made.folder, u16(photos() / "2024"));
    EXPECT_TRUE(fs::is_directory(photos() / "2024"));
    EXPECT_EQ(createFolder(u16(photos()), u"2024").status, FolderCreateStatus::AlreadyThere);
    EXPECT_EQ(createFolder(u16(photos()), u"a/b").status, FolderCreateStatus::InvalidName);
    EXPECT_EQ(createFolder(u16(photos()), u"").status, FolderCreateStatus::InvalidName);
    std::ofstream(photos() / "file") << "f";
    EXPECT_EQ(createFolder(u16(photos()), u"file").status, FolderCreateStatus::Failed);
    EXPECT_EQ(createFolder(u16(photos() / "none"), u"x").status, FolderCreateStatus::Failed);
}

TEST_F(FolderCommandsTest, RenameTakesTheCacheFileAlong)
{
    fs::create_directory(photos() / "old");
    putCache(photos() / "old", "thumbnails");
    const auto renamed = renameFolder(u16(photos() / "old"), u"new", cacheDir());
    ASSERT_EQ(renamed.status, FolderRenameStatus::Renamed);
    EXPECT_EQ(renamed.folder, u16(photos() / "new"));
    EXPECT_TRUE(fs::is_directory(photos() / "new"));
    EXPECT_FALSE(fs::exists(photos() / "old"));
    EXPECT_FALSE(fs::exists(cacheOf(photos() / "old")));
    std::ifstream in(cacheOf(photos() / "new"));
    std::string bytes;
    in >> bytes;
    EXPECT_EQ(bytes, "thumbnails");
}

TEST_F(FolderCommandsTest, RenameOntoAnExistingNameDoesNothing)
{
    fs::create_directory(photos() / "a");
    fs::create_directory(photos() / "b");
    putCache(photos() / "a", "a");
    EXPECT_EQ(renameFolder(u16(photos() / "a"), u"b", cacheDir()).status, FolderRenameStatus::TargetExists);
    std::ofstream(photos() / "c") << "file";
    EXPECT_EQ(renameFolder(u16(photos() / "a"), u"c", cacheDir()).status, FolderRenameStatus::TargetExists);
    EXPECT_TRUE(fs::is_directory(photos() / "a"));
    EXPECT_TRUE(fs::exists(cacheOf(photos() / "a")));
    EXPECT_EQ(renameFolder(u16(photos() / "a"), u"", cacheDir()).status, FolderRenameStatus::Unchanged);
    EXPECT_EQ(renameFolder(u16(photos() / "a"), u"a", cacheDir()).status, FolderRenameStatus::Unchanged);
    EXPECT_EQ(renameFolder(u16(photos() / "a"), u"x|y", cacheDir()).status, FolderRenameStatus::InvalidName);
    EXPECT_EQ(renameFolder(u16(photos() / "gone"), u"z", cacheDir()).status, FolderRenameStatus::Failed);
}

TEST_F(FolderCommandsTest, TrashRemovesTheFolderAndItsCache)
{
    // The trash of this test, not the user's.
    const fs::path data = m_temp.path() / "data";
    fs::create_directories(data);
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string saved = oldData ? oldData : "";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);

    fs::create_directories(photos() / "bad" / "inner");
    putCache(photos() / "bad", "x");
    const FolderTrashStatus status = trashFolder(u16(photos() / "bad"), cacheDir());
    const FolderTrashStatus again = trashFolder(u16(photos() / "bad"), cacheDir());
    if (oldData)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");

    ASSERT_EQ(status, FolderTrashStatus::Trashed);
    EXPECT_FALSE(fs::exists(photos() / "bad"));
    EXPECT_FALSE(fs::exists(cacheOf(photos() / "bad")));
    EXPECT_TRUE(fs::is_directory(data / "Trash" / "files" / "bad" / "inner"));
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / "bad.trashinfo"));
    EXPECT_EQ(again, FolderTrashStatus::Missing);
}

} // namespace
} // namespace qlx::imagelist
