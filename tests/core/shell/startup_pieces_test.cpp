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
#include <fstream>
#include <future>
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

TEST(Worker, WorkIsWokenAndAStopEndsTheWaitingBody)
{
    Worker worker;
    std::atomic<int> woken{0};
    ASSERT_TRUE(worker.start(
        [&](const WorkerControl& control) {
            for (control.waitForWork(); !control.stopRequested(); control.waitForWork())
                ++woken;
        },
        3));
    EXPECT_EQ(worker.state(), WorkerState::Running);
    EXPECT_FALSE(worker.start([](const WorkerControl&) {}, 3)) << "a running worker is not started twice";
    worker.wake();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (woken == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(woken, 1);
    int pumped = 0;
    worker.stop([&] { ++pumped; });
    EXPECT_EQ(worker.state(), WorkerState::Finished);
    EXPECT_GE(pumped, 1) << "the stopping thread pumps its events while it waits";
    worker.stop(); // nothing left to stop
}

TEST(Worker, AnExceptionEndsTheBodyAndTheOwnerHearsOfIt)
{
    Worker worker;
    std::promise<WorkerState> ended;
    ASSERT_TRUE(worker.start([](const WorkerControl&) { throw std::bad_alloc(); }, 0,
                             [&] { ended.set_value(worker.state()); }));
    auto heard = ended.get_future();
    ASSERT_EQ(heard.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(heard.get(), WorkerState::Finished) << "the state says so before the owner is told";
    EXPECT_TRUE(worker.start([](const WorkerControl&) {}, 0)) << "a finished worker starts again";
    worker.stop();
}

} // namespace
} // namespace qlx::shell
