// The pieces start-up is made of: window titles, the command-line folder,
// the instance lock, the program's location, the named locks and the worker
// protocol.

#include "shell/program_location.h"
#include "shell/single_instance.h"
#include "shell/window_title.h"
#include "shell/worker.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace qlx::shell {
namespace {

TEST(WindowTitle, ThreeModes)
{
    EXPECT_EQ(windowTitle(u"", ListMode::Folder, u"/home/a/photos", u""),
              u"Quenderluxium Ver5.96 - /home/a/photos ");
    EXPECT_EQ(windowTitle(u"[1/3] ", ListMode::Collection, u"/x", u"旅行"),
              u"[1/3] Quenderluxium Ver5.96 - コレクション [ 旅行 ]");
    EXPECT_EQ(windowTitle(u"", ListMode::Folder, u"", u"c"), u"Quenderluxium Ver5.96");
    EXPECT_EQ(windowTitle(u"", ListMode::Collection, u"/x", u""), u"Quenderluxium Ver5.96");
    EXPECT_EQ(initialWindowTitle(), u"Quenderluxium Ver5.96");
}

TEST(CommandLineFolder, EveryDoubleQuoteIsRemoved)
{
    EXPECT_EQ(stripDoubleQuotes(u"\"/home/a/My Photos\""), u"/home/a/My Photos");
    EXPECT_EQ(stripDoubleQuotes(u"/a\"b\"/c"), u"/ab/c");
    EXPECT_EQ(stripDoubleQuotes(u"\"\""), u"");
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstLets)
{
    test::TempDir dir;
    const auto path = dir.path() / "Quenderluxium";
    auto first = SingleInstanceLock::acquire(path);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->holdsFile());
    // flock locks belong to open file descriptions: a second open in another
    // process is refused. Check from a child process, as a second start would.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(SingleInstanceLock::acquire(path) ? 1 : 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    first.reset();
    EXPECT_TRUE(SingleInstanceLock::acquire(path));
}

TEST(ProgramLocation, OnlyTheProgramsOwnNameIsAccepted)
{
    EXPECT_TRUE(locateProgram("/opt/q/Quenderluxium"));
    EXPECT_EQ(locateProgram("/opt/q/Quenderluxium")->folder, "/opt/q");
    EXPECT_FALSE(locateProgram("/opt/q/Quenderluxium2"));
    EXPECT_FALSE(locateProgram("/opt/q/quenderluxium"));
    test::TempDir dir;
    EXPECT_TRUE(folderIsWritableWithSpace(dir.path()));
    EXPECT_FALSE(folderIsWritableWithSpace(dir.path() / "missing"));
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(folderIsWritableWithSpace(dir.path()));
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(folderIsWritableWithSpace("/proc"));
}

TEST(Worker, StopRequestAndFinishedState)
{
    std::atomic<bool> running{false};
    std::atomic<int> pumped{0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto waitUntil = [&](const auto& done) {
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return done();
    };
    Worker worker; // after what its thread uses, so that it is joined first
    ASSERT_TRUE(worker.start([&](const WorkerControl& control) {
        running = worker.state() == WorkerState::Running;
        waitUntil([&] { return control.stopRequested(); });
        // Like a worker whose last result waits for the user-interface
        // thread: it ends only once that thread has pumped its events.
        waitUntil([&] { return pumped > 0; });
    }));
    EXPECT_FALSE(worker.start([](const WorkerControl&) {})) << "a running worker is not started twice";
    ASSERT_TRUE(waitUntil([&] { return running.load(); }));
    worker.stop([&](int) { ++pumped; });
    EXPECT_EQ(worker.state(), WorkerState::Finished);
    EXPECT_FALSE(worker.exists());
    EXPECT_GE(pumped, 1) << "the waiting thread keeps pumping its events";
    // A stopper on a worker that does not exist returns at once.
    worker.stop();
}

TEST(Worker, WorkerThatEndsByItselfAndOneThatThrows)
{
    Worker worker;
    ASSERT_TRUE(worker.start([](const WorkerControl&) {}));
    worker.waitFinished();
    EXPECT_EQ(worker.state(), WorkerState::Finished);
    ASSERT_TRUE(worker.start([](const WorkerControl&) { throw std::runtime_error("bad file"); }));
    worker.waitFinished();
    EXPECT_EQ(worker.state(), WorkerState::Finished);
    EXPECT_TRUE(worker.start([](const WorkerControl&) {})) << "can be started again after it ended";
}

} // namespace
} // namespace qlx::shell
