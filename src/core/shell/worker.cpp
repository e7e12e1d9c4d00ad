#include "shell/worker.h"

#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qlx::shell {

int niceValueForDrawingPriority(int level)
{
    // Levels 0 and 1 ask for "above normal", 2 for "highest", 3 for
    // "time-critical"; on Linux these become ever lower nice values.
    switch (level) {
    case 0:
    case 1: return -1;
    case 2: return -2;
    default: return -5;
    }
}

bool WorkerControl::stopRequested() const
{
    return m_state.load(std::memory_order_acquire) == WorkerState::StopRequested;
}

void sleepPump(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Worker::~Worker()
{
    if (m_thread.joinable())
        stop();
}

bool Worker::start(std::function<void(const WorkerControl&)> body, int drawingPriority)
{
    if (m_thread.joinable())
        return false;
    m_state.store(WorkerState::Running, std::memory_order_release);
    const int nice = niceValueForDrawingPriority(drawingPriority);
    m_thread = std::thread([this, body = std::move(body), nice] {
        // Best effort: without the privilege to raise a priority the thread
        // simply runs at the normal one.
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), nice);
        const WorkerControl control(m_state);
        try {
            body(control);
        } catch (...) {
            // A worker never lets an exception end the process; its work is
            // simply over.
        }
        {
            std::lock_guard lock(m_mutex);
            m_state.store(WorkerState::Finished, std::memory_order_release);
        }
        m_finished.notify_all();
    });
    return true;
}

void Worker::stop(const PumpFunction& pump)
{
    if (!m_thread.joinable())
        return;
    WorkerState expected = WorkerState::Running;
    m_state.compare_exchange_strong(expected, WorkerState::StopRequested, std::memory_order_acq_rel);
    joinAfterFinish(pump);
}

void Worker::waitFinished(const PumpFunction& pump)
{
    if (!m_thread.joinable())
        return;
    joinAfterFinish(pump);
}

void Worker::joinAfterFinish(const PumpFunction& pump)
{
    // Pump in 10 ms steps: a worker that is waiting for the user-interface
    // thread (a queued result, a question) can then finish.
    while (m_state.load(std::memory_order_acquire) != WorkerState::Finished) {
        if (pump) {
            pump(0);
        }
        std::unique_lock lock(m_mutex);
        m_finished.wait_for(lock, std::chrono::milliseconds(10),
                            [this] { return m_state.load() == WorkerState::Finished; });
    }
    m_thread.join();
}

} // namespace qlx::shell
