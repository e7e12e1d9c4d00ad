#include "shell/worker.h"

#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qlx::shell {
namespace {

// Levels 0 and 1 of the drawing priority ask for "above normal", 2 for
// "highest", 3 for "time-critical"; on Linux these become ever lower nice
// values. Best effort: raising a priority needs a privilege that a desktop
// user usually lacks, and then the thread runs at the normal one.
int niceValueForDrawingPriority(int level)
{
    switch (level) {
    case 0:
    case 1: return -1;
    case 2: return -2;
    default: return -5;
    }
}

} // namespace

bool WorkerControl::stopRequested() const
{
    return m_worker.m_state.load() == WorkerState::StopRequested;
}

void WorkerControl::waitForWork() const
{
    std::unique_lock lock(m_worker.m_mutex);
    m_worker.m_changed.wait(lock, [this] {
        return m_worker.m_woken || m_worker.m_state.load() == WorkerState::StopRequested;
    });
    m_worker.m_woken = false;
}

Worker::~Worker()
{
    stop();
}

bool Worker::start(Body body, int drawingPriority, std::function<void()> ended)
{
    if (m_thread.joinable()) {
        if (m_state.load() != WorkerState::Finished)
            return false;
        m_thread.join();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_woken = false;
        // Stored here rather than by the new thread, so that the owner sees
        // Running as soon as start() returns.
        m_state.store(WorkerState::Running);
    }
    const int nice = niceValueForDrawingPriority(drawingPriority);
    m_thread = std::thread([this, body = std::move(body), ended = std::move(ended), nice] {
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), nice);
        try {
            body(WorkerControl(*this));
        } catch (...) {
            // The body's own loop catches the failure of one item; what
            // reaches here (no memory to queue a result, say) ends the work,
            // never the program.
        }
        {
            const std::lock_guard lock(m_mutex);
            m_state.store(WorkerState::Finished);
        }
        m_changed.notify_all();
        if (ended) {
            try {
                ended();
            } catch (...) {
                // The owner polls state() as well; it learns of the end then.
            }
        }
    });
    return true;
}

void Worker::wake()
{
    {
        const std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

void Worker::requestStop()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_state.load() == WorkerState::Running)
            m_state.store(WorkerState::StopRequested);
    }
    m_changed.notify_all();
}

void Worker::stop(const PumpFunction& pump)
{
    // Events are pumped between waits of at most 10 ms, so the window
    // paints and queued calls are served while the thread finishes its
    // item. A pumped event may itself stop or restart this worker: the stop
    // is asked again each round, and whatever thread is there at the end is
    // joined.
    while (m_thread.joinable() && m_state.load() != WorkerState::Finished) {
        requestStop();
        if (pump)
            pump();
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(10),
                           [this] { return m_state.load() == WorkerState::Finished; });
    }
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace qlx::shell
