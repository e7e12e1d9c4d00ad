// Info files as other programs and damaged disks leave them. The accepted
// ones are as `gio trash` and file managers write them, after the
// freedesktop.org trash standard's example ("Path=foo/bar/meow.bow-wow",
// "DeletionDate=2004-08-31T22:32:08"); everything else yields no entry,
// without a crash.

#include "actions/trash_info.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qlx::actions::kMaxTrashInfoSize;
using qlx::actions::parseTrashInfo;

std::span<const std::byte> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

struct Case {
    const char* name;
    std::string text;
    bool accepted;
    std::string path;
    std::uint64_t deletedAt;
};

TEST(TrashInfo, ParsesWhatTheDesktopWritesAndRefusesTheRest)
{
    const Case cases[] = {
        {"gio", "[Trash Info]\nPath=/home/u/card/IMG%200001.jpg\nDeletionDate=2026-12-07T14:23:54\n", true,
         "/home/u/card/IMG 0001.jpg", 20261207142354},
        {"relative in a volume's trash", "[Trash Info]\nPath=DCIM/100CANON/IMG_0001.CR2\nDeletionDate=2024-01-02T03:04:05\n",
         true, "DCIM/100CANON/IMG_0001.CR2", 20240102030405},
        {"CRLF and a comment", "# made by hand\r\n[Trash Info]\r\nDeletionDate=2024-01-02T03:04:05\r\nPath=/a\r\n", true, "/a",
         20240102030405},
        {"UTF-8 escaped", "[Trash Info]\nPath=/p/%E5%86%99%E7%9C%9F.jpg\nDeletionDate=2024-01-02T03:04:05\n", true,
         "/p/\xE5\x86\x99\xE7\x9C\x9F.jpg", 20240102030405},
        {"lower-case hex", "[Trash Info]\nPath=/p/a%2fb\nDeletionDate=2024-01-02T03:04:05\n", true, "/p/a/b",
         20240102030405},
        {"no group", "Path=/a\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"keys in another group", "[Other]\nPath=/a\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"no date", "[Trash Info]\nPath=/a\n", false, "", 0},
        {"no path", "[Trash Info]\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"empty path", "[Trash Info]\nPath=\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"escape cut at the end", "[Trash Info]\nPath=/a%4\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"lone percent", "[Trash Info]\nPath=/a%\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"bad hex", "[Trash Info]\nPath=/a%G1\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"escaped NUL", "[Trash Info]\nPath=/a%00b\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"raw NUL", std::string("[Trash Info]\nPath=/a") + std::string(1, '\0') + "b\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"two paths", "[Trash Info]\nPath=/a\nPath=/b\nDeletionDate=2024-01-02T03:04:05\n", false, "", 0},
        {"bad date", "[Trash Info]\nPath=/a\nDeletionDate=yesterday\n", false, "", 0},
        {"date with letters", "[Trash Info]\nPath=/a\nDeletionDate=2024-0x-02T03:04:05\n", false, "", 0},
        {"empty", "", false, "", 0},
        {"odd bytes", "\xFF\xFE[Trash Info]\x80\n\x01Path=\xC3\n", false, "", 0},
    };
    for (const Case& c : cases) {
        const auto info = parseTrashInfo(bytesOf(c.text));
        ASSERT_EQ(info.has_value(), c.accepted) << c.name;
        if (!info)
            continue;
        EXPECT_EQ(info->path, c.path) << c.name;
        EXPECT_EQ(info->deletedAt, c.deletedAt) << c.name;
    }
}

TEST(TrashInfo, AFileLargerThanTheCapIsNoInfoFile)
{
    std::string text = "[Trash Info]\nPath=/a\nDeletionDate=2024-01-02T03:04:05\n";
    text += "#" + std::string(kMaxTrashInfoSize, 'x') + "\n";
    EXPECT_FALSE(parseTrashInfo(bytesOf(text)).has_value());
}

} // namespace
