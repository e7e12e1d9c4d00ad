#pragma once
// The folder read of a load on a thread of its own: the directory listing
// (a folder of tens of thousands of files takes seconds on a slow card) and
// the wait for a last file still being copied in, so that the window goes
// on painting and answering the user meanwhile.
//
// The worker takes a ListReadJob (plain values: the folder, a copy of the
// collection, the cache file it shares read-only, the settings) and builds
// a list of its own, which it hands back whole with the generation of the
// load it belongs to. It never touches the live list. A newer request
// supersedes the read: requestStop() ends the listing at the next directory
// item and the wait at its next try; the end is announced all the same and
// its list is dropped.
//
// The thread is a shell::Worker (docs/threads.md); a read that throws (no
// memory for the list) hands back an empty list.

#include "imagelist/folder_session.h"
#include "shell/worker.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace qlx::imagelist {

class ListReadWorker {
public:
    // Directory items between two progress notices.
    static constexpr std::size_t kProgressStep = 32;

    struct Finished {
        std::uint64_t generation = 0;
        bool stopped = false; // superseded or shut down: the list is partial
        ListReadOutcome outcome;
    };

    // `progress` is called on the worker's thread with the directory items
    // seen, every kProgressStep items; `ended` on the worker's thread once a
    // read has ended (its result waits in takeFinished()). `drawingPriority`
    // is the setting's level 0..3.
    ListReadWorker(int drawingPriority, std::function<void(std::size_t)> progress, std::function<void()> ended);
    ~ListReadWorker() = default; // stops the read (without a pump)
    ListReadWorker(const ListReadWorker&) = delete;
    ListReadWorker& operator=(const ListReadWorker&) = delete;

    // Starts reading `job`. An earlier read still running is stopped first
    // (the owner normally waits for its end); its end is still announced.
    void start(ListReadJob job, std::uint64_t generation);
    void requestStop() { m_worker.requestStop(); }
    // Stops the read, pumping the caller's events while it ends.
    void stop(const shell::PumpFunction& pump = {}) { m_worker.stop(pump); }
    bool running() const { return m_worker.state() != shell::WorkerState::Finished; }
    std::optional<Finished> takeFinished();

private:
    const int m_drawingPriority;
    const std::function<void(std::size_t)> m_progress;
    const std::function<void()> m_ended;

    std::mutex m_mutex;
    std::optional<Finished> m_finished; // guarded by m_mutex

    shell::Worker m_worker; // last: its thread ends before the members above go
};

} // namespace qlx::imagelist
