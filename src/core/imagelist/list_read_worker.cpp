#include "imagelist/list_read_worker.h"

#include <memory>

namespace qlx::imagelist {

ListReadWorker::ListReadWorker(int drawingPriority, std::function<void(std::size_t)> progress,
                               std::function<void()> ended)
    : m_drawingPriority(drawingPriority), m_progress(std::move(progress)), m_ended(std::move(ended))
{
}

void ListReadWorker::start(ListReadJob job, std::uint64_t generation)
{
    m_worker.stop();
    {
        const std::lock_guard lock(m_mutex);
        m_finished.reset();
    }
    // A std::function must be copyable; the job (a list of collection
    // lines, the settings) travels in a shared one that only the thread
    // touches.
    auto shared = std::make_shared<ListReadJob>(std::move(job));
    m_worker.start(
        [this, shared, generation](const shell::WorkerControl& control) {
            ListReadJob& work = *shared;
            work.options.onItem = [this, &control](std::size_t seen) {
                if (seen % kProgressStep == 0 && m_progress)
                    m_progress(seen);
                return !control.stopRequested();
            };
            work.options.lastFileWait.stopRequested = [&control] { return control.stopRequested(); };
            Finished finished{generation, false, {}};
            try {
                finished.outcome = readListOf(work);
            } catch (...) {
                finished.outcome = {}; // no memory for the list: an empty one
            }
            finished.stopped = control.stopRequested();
            const std::lock_guard lock(m_mutex);
            m_finished = std::move(finished);
        },
        m_drawingPriority, m_ended);
}

std::optional<ListReadWorker::Finished> ListReadWorker::takeFinished()
{
    const std::lock_guard lock(m_mutex);
    std::optional<Finished> out = std::move(m_finished);
    m_finished.reset();
    return out;
}

} // namespace qlx::imagelist
