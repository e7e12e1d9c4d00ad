#pragma once
// One worker thread and its control word, `WorkerState`: the thread is
// Running from its start, the user-interface thread stores StopRequested to
// ask it to end, and the thread stores Finished when its work is over,
// however it ended. The list-information worker and the preview decoder
// run on one each; docs/threads.md tells what a worker owns, takes and
// hands back.
//
// The body polls stopRequested() between two items of work and returns when
// it is set; a body that waits for work sleeps in waitForWork(), which a
// wake() or a stop request ends. An exception never leaves the thread: the
// body's own loop turns the failure of one item into a failed result and
// goes on; whatever escapes the body ends it as if it had returned.
//
// Whoever stops a worker on the user-interface thread passes a pump (the
// event loop's pending events, gui::pumpEvents), so the window keeps
// painting while it waits.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace qlx::shell {

enum class WorkerState : std::uint32_t { Running = 0, StopRequested = 1, Finished = 3 };

// Processes the events pending for the calling thread; empty for a thread
// without an event loop.
using PumpFunction = std::function<void()>;

class Worker;

// What the body sees of its worker.
class WorkerControl {
public:
    bool stopRequested() const;
    // Sleeps until the owner calls Worker::wake() (at once when it did
    // since the last call) or asks the worker to stop.
    void waitForWork() const;

private:
    friend class Worker;
    explicit WorkerControl(Worker& worker) : m_worker(worker) {}
    Worker& m_worker;
};

class Worker {
public:
    using Body = std::function<void(const WorkerControl&)>;

    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker(); // stops the thread (without a pump) and joins it

    // Starts a thread that runs `body` at the priority of `drawingPriority`
    // (the performance setting's level 0..3); after the body ended and
    // Finished is stored, the thread calls `ended` (the owner hears of the
    // end, also after an exception). A thread that has finished is joined
    // first; false while one still runs.
    bool start(Body body, int drawingPriority, std::function<void()> ended = {});
    // The body has work: ends its waitForWork().
    void wake();
    // Asks the thread to stop (unless it has finished), pumps the caller's
    // events in steps of at most 10 ms until it has, and joins it.
    void stop(const PumpFunction& pump = {});
    // Asks the thread to stop and returns at once; the owner hears of the
    // end through `ended`.
    void requestStop();

    WorkerState state() const { return m_state.load(); }

private:
    friend class WorkerControl;

    std::thread m_thread;
    std::atomic<WorkerState> m_state{WorkerState::Finished};
    std::mutex m_mutex;
    std::condition_variable m_changed; // woken, stop requested, finished
    bool m_woken = false;              // guarded by m_mutex
};

} // namespace qlx::shell
