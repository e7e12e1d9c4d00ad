#pragma once
// The control protocol every worker thread follows: the thread stores
// Running first thing, the user-interface thread stores StopRequested to ask
// it to end, and the thread stores Finished as its very last act. Whoever
// stops a worker keeps the user interface alive while it waits by calling a
// pump function (process pending events, then wait a little).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace qlx::shell {

enum class WorkerState : std::uint32_t { Running = 0, StopRequested = 1, Finished = 3 };

// Drawing priority 0..3 of the performance settings mapped to a nice value
// for worker threads (best effort: raising a priority needs privileges that
// a desktop user usually lacks, lowering never does).
int niceValueForDrawingPriority(int level);

// Handed to the worker's body so that it can poll for a stop request.
class WorkerControl {
public:
    bool stopRequested() const;

private:
    friend class Worker;
    explicit WorkerControl(const std::atomic<WorkerState>& state) : m_state(state) {}
    const std::atomic<WorkerState>& m_state;
};

// Processes pending events of the calling (user-interface) thread and then
// waits up to `milliseconds`; `wake` returns early when set.
using PumpFunction = std::function<void(int milliseconds)>;

// A pump for threads without an event loop: it only sleeps.
void sleepPump(int milliseconds);

class Worker {
public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker(); // stops and joins a worker that is still running

    // Starts the thread unless one exists; returns false when it already did.
    bool start(std::function<void(const WorkerControl&)> body, int drawingPriority = 3);
    // Asks the thread to stop (unless it has already finished), then pumps in
    // 10 ms steps until it has stored Finished, and joins it.
    void stop(const PumpFunction& pump = sleepPump);
    // Waits for a thread that ends by itself (never asked to stop).
    void waitFinished(const PumpFunction& pump = sleepPump);

    bool exists() const { return m_thread.joinable(); }
    WorkerState state() const { return m_state.load(); }

private:
    void joinAfterFinish(const PumpFunction& pump);

    std::thread m_thread;
    std::atomic<WorkerState> m_state{WorkerState::Finished};
    std::mutex m_mutex;
    std::condition_variable m_finished;
};

} // namespace qlx::shell
