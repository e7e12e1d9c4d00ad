// Creating, renaming and trashing folders, with the folder's cache file
// following it.

#include "imagelist/folder_commands.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <tuple>

namespace qlx::imagelist {
namespace {

namespace fs = std::filesystem;

class FolderCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(cacheDir());
        fs::create_directories(photos());
    }
    fs::path cacheDir() const { return m_temp.path() / "cache"; }
    fs::path photos() const { return m_temp.path() / "写真"; }
    fs::path cacheOf(const fs::path& folder) const { return folderCacheFile(cacheDir(), folder.u16string()); }
    void putCache(const fs::path& folder, const std::string& bytes) const
    {
        std::ofstream(cacheOf(folder), std::ios::binary) << bytes;
    }

    test::TempDir m_temp;
};

// Making a folder and renaming one with its cache file are also checked
// through the folder pane; here every answer the pane may get.
TEST_F(FolderCommandsTest, CreateAndRenameAnswers)
{
    std::ofstream(photos() / "file") << "f";
    fs::create_directory(photos() / "a");
    fs::create_directory(photos() / "b");
    putCache(photos() / "a", "a");
    const std::pair<std::u16string, FolderCreateStatus> creates[] = {
        {u"2024", FolderCreateStatus::Created},   {u"2024", FolderCreateStatus::AlreadyThere},
        {u"a/b", FolderCreateStatus::InvalidName}, {u"", FolderCreateStatus::InvalidName},
        {u"file", FolderCreateStatus::Failed},
    };
    for (const auto& [name, status] : creates)
        EXPECT_EQ(createFolder(photos().u16string(), name).status, status) << ::testing::PrintToString(name);
    EXPECT_EQ(createFolder((photos() / "none").u16string(), u"x").status, FolderCreateStatus::Failed);

    const std::tuple<const char*, std::u16string, FolderRenameStatus> renames[] = {
        {"a", u"b", FolderRenameStatus::TargetExists},    {"a", u"file", FolderRenameStatus::TargetExists},
        {"a", u"", FolderRenameStatus::Unchanged},        {"a", u"a", FolderRenameStatus::Unchanged},
        {"a", u"x|y", FolderRenameStatus::InvalidName},   {"gone", u"z", FolderRenameStatus::Failed},
    };
    for (const auto& [from, name, status] : renames)
        EXPECT_EQ(renameFolder((photos() / from).u16string(), name, cacheDir()).status, status) << from;
    EXPECT_TRUE(fs::is_empty(photos() / "b"));
    EXPECT_TRUE(fs::is_regular_file(photos() / "file"));
    EXPECT_TRUE(fs::exists(cacheOf(photos() / "a")));
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
    const FolderTrashStatus status = trashFolder((photos() / "bad").u16string(), cacheDir());
    const FolderTrashStatus again = trashFolder((photos() / "bad").u16string(), cacheDir());
    if (oldData)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");

    // The folder and its cache leaving their places is the folder pane's test;
    // here that the folder, contents and all, is in the trash to be restored.
    ASSERT_EQ(status, FolderTrashStatus::Trashed);
    EXPECT_TRUE(fs::is_directory(data / "Trash" / "files" / "bad" / "inner"));
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / "bad.trashinfo"));
    EXPECT_EQ(again, FolderTrashStatus::Missing);
}

} // namespace
} // namespace qlx::imagelist
