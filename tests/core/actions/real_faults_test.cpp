// No file is lost when the kernel itself refuses: a full file system and a
// read-only one (a 64 KiB tmpfs mounted in a user and mount namespace of a
// forked child), a file-size limit that stops a write half-way (EFBIG), a
// second file system (/dev/shm) and a bind mount (EXDEV on one device).
// Each case checks that the copy or move either happened whole or failed
// leaving the source whole and nothing, partial or temporary, behind; the
// tmpfs also holds a top folder's trash. Cases the machine cannot set up
// are skipped with the reason.

#include "actions/file_operations.h"
#include "actions/trash.h"
#include "actions/trash_emptying.h"
#include "support/test_paths.h"
#include "support/file_contents.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

using namespace qlx::actions;
namespace fs = std::filesystem;

namespace {

using qlx::test::contentOf;

constexpr std::size_t kPictureBytes = 256 * 1024; // four times the small file system

std::string pictureBytes()
{
    std::string bytes(kPictureBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    return bytes;
}

void write(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, none of them hidden temporary files of ours.
std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `body` in a forked child and returns what it wrote: "" when all was
// well, "SKIP: why" when the machine does not allow the case, else the
// problems found.
std::string inChild(const std::function<std::string()>& body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "SKIP: no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string report = body();
        const ssize_t put = ::write(channel[1], report.data(), report.size());
        ::_exit(put == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report += " the child ended abnormally";
    return report;
}

void writeFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t put = ::write(fd, text.data(), text.size());
        ::close(fd);
    }
}

// Becomes root of a new user and mount namespace (the child only), so
// that it may mount; "" or the reason it cannot.
std::string enterMountNamespace()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("SKIP: no user namespace: ") + std::strerror(errno);
    writeFile("/proc/self/setgroups", "deny");
    writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("SKIP: mounts cannot be made private: ") + std::strerror(errno);
    return {};
}

std::string mountTmpfs(const fs::path& at, const char* size)
{
    fs::create_directories(at);
    const std::string options = std::string("size=") + size + ",mode=0755";
    if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("SKIP: no tmpfs in a user namespace: ") + std::strerror(errno);
    return {};
}

// The report of a cased run that must fail cleanly.
std::string failedCleanly(const char* what, const TransferResult& result, int error, const fs::path& source,
                          const std::string& bytes, const fs::path& targetFolder)
{
    std::string problems;
    if (result.done())
        problems += std::string(" ") + what + ": reported done";
    if (error != 0 && result.error != error)
        problems += std::string(" ") + what + ": error " + std::strerror(result.error);
    if (contentOf(source) != bytes)
        problems += std::string(" ") + what + ": the source is not whole";
    if (!namesIn(targetFolder).empty())
        problems += std::string(" ") + what + ": something is left in the target folder";
    return problems;
}

void expectReport(const std::string& report)
{
    if (report.starts_with("SKIP: "))
        GTEST_SKIP() << report.substr(6);
    EXPECT_EQ(report, "");
}

TEST(RealFaults, AFullFileSystemTakesNothing)
{
    qlx::test::TempDir dir;
    fs::create_directories(dir.path() / "card");
    const fs::path source = dir.path() / "card" / "a.jpg";
    const std::string bytes = pictureBytes();
    write(source, bytes);
    expectReport(inChild([&]() -> std::string {
        const fs::path small = dir.path() / "small";
        if (std::string why = enterMountNamespace(); !why.empty())
            return why;
        if (std::string why = mountTmpfs(small, "64k"); !why.empty())
            return why;
        return failedCleanly("copy", copyFile(source, small), ENOSPC, source, bytes, small)
            + failedCleanly("move", moveFile(source, small), ENOSPC, source, bytes, small);
    }));
}

TEST(RealFaults, AReadOnlyFileSystemIsLeftAlone)
{
    qlx::test::TempDir dir;
    fs::create_directories(dir.path() / "card");
    fs::create_directories(dir.path() / "keep");
    const fs::path outside = dir.path() / "card" / "a.jpg";
    const std::string bytes = pictureBytes().substr(0, 16 * 1024);
    write(outside, bytes);
    expectReport(inChild([&]() -> std::string {
        const fs::path card = dir.path() / "ro";
        if (std::string why = enterMountNamespace(); !why.empty())
            return why;
        if (std::string why = mountTmpfs(card, "64k"); !why.empty())
            return why;
        write(card / "b.jpg", bytes);
        if (::mount(nullptr, card.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return std::string("SKIP: no read-only remount: ") + std::strerror(errno);
        std::string problems = failedCleanly("copy in", copyFile(outside, card), EROFS, outside, bytes, dir.path() / "keep");
        if (namesIn(card) != std::vector<std::string>{"b.jpg"})
            problems += " copy in: the read-only folder changed";
        // A move out would have to delete the source: refused before copying.
        problems += failedCleanly("move out", moveFile(card / "b.jpg", dir.path() / "keep"), EROFS, card / "b.jpg",
                                  bytes, dir.path() / "keep");
        ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
        if (moveToTrash(card / "b.jpg").done() || contentOf(card / "b.jpg") != bytes)
            problems += " trash: the file did not stay";
        return problems;
    }));
}

TEST(RealFaults, ATopFolderTrashOnASecondFileSystem)
{
    qlx::test::TempDir dir;
    expectReport(inChild([&]() -> std::string {
        const fs::path top = dir.path() / "stick";
        if (std::string why = enterMountNamespace(); !why.empty())
            return why;
        if (std::string why = mountTmpfs(top, "1m"); !why.empty())
            return why;
        ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
        fs::create_directories(top / "DCIM");
        write(top / "DCIM" / "a.jpg", "picture");
        const TrashResult trashed = moveToTrash(top / "DCIM" / "a.jpg");
        const fs::path trash = top / (".Trash-" + std::to_string(::getuid()));
        std::string problems;
        if (!trashed.done() || trashed.trashed != trash / "files" / "a.jpg" || contentOf(trashed.trashed) != "picture")
            return " the file did not go to " + trash.string();
        // In a top folder's trash the path is relative to the top folder.
        if (contentOf(trashed.info).find("\nPath=DCIM/a.jpg\n") == std::string::npos)
            problems += " info: " + contentOf(trashed.info);
        const std::vector<fs::path> folders = userTrashFolders();
        if (std::find(folders.begin(), folders.end(), trash) == folders.end())
            problems += " the top folder's trash is not among the user's trash folders";
        const TrashEmptyingResult emptied = emptyTrashFolders({trash});
        if (emptied.removed != 1 || !namesIn(trash / "files").empty() || !namesIn(trash / "info").empty())
            problems += " the top folder's trash was not emptied";
        return problems;
    }));
}

TEST(RealFaults, ABindMountIsAnotherMountOnTheSameDevice)
{
    qlx::test::TempDir dir;
    const fs::path data = dir.path() / "data";
    const fs::path view = dir.path() / "view";
    fs::create_directories(data / "keep");
    fs::create_directories(view);
    fs::create_directories(dir.path() / "card");
    const std::string bytes = pictureBytes();
    write(data / "a.jpg", bytes);
    write(dir.path() / "card" / "b.jpg", bytes);
    expectReport(inChild([&]() -> std::string {
        if (std::string why = enterMountNamespace(); !why.empty())
            return why;
        if (::mount(data.c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return std::string("SKIP: no bind mount: ") + std::strerror(errno);
        std::string problems;
        // The same file seen through the bind mount: never moved onto itself.
        if (moveFile(data / "a.jpg", view).outcome != TransferOutcome::SameFile || contentOf(data / "a.jpg") != bytes)
            problems += " a move onto itself through the bind mount was not refused";
        // rename(2) says EXDEV although the device numbers match: the move
        // copies, checks and deletes.
        const TransferResult moved = moveFile(dir.path() / "card" / "b.jpg", view / "keep");
        if (!moved.done() || contentOf(data / "keep" / "b.jpg") != bytes || fs::exists(dir.path() / "card" / "b.jpg"))
            problems += " the move across the bind mount did not happen whole: " + moved.detail;
        if (namesIn(data / "keep") != std::vector<std::string>{"b.jpg"})
            problems += " something else is left in the target folder";
        return problems;
    }));
}

TEST(RealFaults, AFileSizeLimitStopsTheWriteHalfWay)
{
    qlx::test::TempDir dir;
    fs::create_directories(dir.path() / "card");
    fs::create_directories(dir.path() / "keep");
    const fs::path source = dir.path() / "card" / "a.jpg";
    const std::string bytes = pictureBytes();
    write(source, bytes);
    expectReport(inChild([&]() -> std::string {
        // The limit's signal would end the child; the write's EFBIG is
        // what the copy must handle.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return std::string("SKIP: no file-size limit: ") + std::strerror(errno);
        const fs::path keep = dir.path() / "keep";
        return failedCleanly("copy", copyFile(source, keep), EFBIG, source, bytes, keep)
            + failedCleanly("move by copying", moveFile(source, keep, {ExistingTarget::Refuse, true}), EFBIG, source,
                            bytes, keep);
    }));
}

TEST(RealFaults, DevShmIsASecondFileSystem)
{
    qlx::test::TempDir dir;
    struct stat shm {};
    struct stat temp {};
    if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 || ::stat(dir.path().c_str(), &temp) != 0)
        GTEST_SKIP() << "/dev/shm is missing or not writable";
    if (shm.st_dev == temp.st_dev)
        GTEST_SKIP() << "/dev/shm is on the test folder's file system";
    char pattern[] = "/dev/shm/qlx-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path other = pattern;
    fs::create_directories(dir.path() / "card");
    const std::string bytes = pictureBytes();
    write(dir.path() / "card" / "a.jpg", bytes);
    const TransferResult copied = copyFile(dir.path() / "card" / "a.jpg", other);
    EXPECT_TRUE(copied.done()) << copied.detail;
    EXPECT_EQ(contentOf(other / "a.jpg"), bytes);
    fs::create_directories(other / "moved");
    const TransferResult across = moveFile(dir.path() / "card" / "a.jpg", other / "moved");
    EXPECT_TRUE(across.done()) << across.detail;
    EXPECT_EQ(contentOf(other / "moved" / "a.jpg"), bytes);
    EXPECT_FALSE(fs::exists(dir.path() / "card" / "a.jpg"));
    EXPECT_EQ(namesIn(other), (std::vector<std::string>{"a.jpg", "moved"}));
    fs::remove_all(other);
}

} // namespace
