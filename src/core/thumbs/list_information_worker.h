#pragma once
// The list-information worker: one thread that visits the entries of the
// list that still need their metadata or their thumbnail, nearest the focus
// first, and hands each result back as a plain value.
//
// The worker never touches the list. It works on copies of the records it
// was given when the pass started; the coordinator on the user-interface
// thread takes the results (`takeResults`), drops those of an older pass by
// their generation, and copies what the worker found into the live entries
// (`applyInformation`). A folder load stops the worker before the list
// changes and starts a new pass afterwards.
//
// The thread is a shell::Worker: a stop request is looked at between two
// entries, and an entry whose work throws (no memory for a huge picture)
// comes back as a failed result while the pass goes on with the next one.
// A stop also stops the RAW development in work (its entry comes back
// Cancelled and is visited again by the next pass), so leaving a folder
// never waits seconds for a thumbnail nobody will see. The worker develops
// one thumbnail at a time, like everything else it does.

#include "imagelist/image_entry.h"
#include "imagelist/memory_reserve.h"
#include "raw/cancel_flag.h"
#include "shell/worker.h"
#include "thumbs/list_information.h"
#include "thumbs/thumbnail_failures.h"
#include "thumbs/thumbnail_maker.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace qlx::thumbs {

struct InformationJob {
    std::size_t entry = 0;            // the entry's number in the list
    imagelist::ImageEntry record;     // a copy taken when the pass started
    bool needsThumbnail = false;
};

struct InformationResult {
    std::uint64_t generation = 0;
    std::size_t entry = 0;
    std::unique_ptr<imagelist::ImageEntry> record; // the copy after the work
    bool metadataRead = false;
    // None when the job asked for no thumbnail.
    std::optional<PictureStatus> thumbnailStatus;
    std::vector<std::byte> thumbnail;  // a new block when one was made
};

struct InformationPass {
    std::uint64_t generation = 0;
    // One slot per display position; null where nothing is to be done.
    std::vector<std::unique_ptr<InformationJob>> jobs;
    std::size_t start = 0;
    bool alternating = false; // the list was opened away from its first entry
};

class ListInformationWorker {
public:
    // `resultsWaiting` is called on the worker's thread when the result
    // queue goes from empty to not empty, and when a pass has ended
    // (running() is false by then). `drawingPriority` is the setting's
    // level 0..3. `reserve` (may be null) is handed to the RAW engine.
    ListInformationWorker(ListInformationTables tables, ListInformationSettings settings, int drawingPriority,
                          imagelist::MemoryReserve* reserve, std::function<void()> resultsWaiting);
    ~ListInformationWorker(); // stops the pass (without a pump)
    ListInformationWorker(const ListInformationWorker&) = delete;
    ListInformationWorker& operator=(const ListInformationWorker&) = delete;

    // Starts a pass. The owner stops the pass before with its pump; one
    // still running here is stopped without one.
    void start(InformationPass pass);
    // Asks the pass to stop after the entry in work and waits for it,
    // pumping the caller's events.
    void stop(const shell::PumpFunction& pump = {});
    // The focus moved: the pass goes on from there, alternating.
    void focusMoved(std::size_t position);

    std::vector<InformationResult> takeResults();
    bool running() const { return m_worker.state() != shell::WorkerState::Finished; }
    // Entries read in this pass, and the number the pass has to visit.
    std::size_t visited() const { return m_visited.load(); }
    std::size_t toVisit() const { return m_toVisit.load(); }

private:
    void run(const shell::WorkerControl& control, InformationPass& pass);
    InformationResult work(std::uint64_t generation, const InformationJob& job) const;
    void deliver(InformationResult result);

    const ListInformationTables m_tables;
    const ListInformationSettings m_settings;
    const int m_drawingPriority;
    imagelist::MemoryReserve* const m_reserve;
    const std::function<void()> m_resultsWaiting;
    raw::CancelFlag m_cancel; // requested by a stop, cleared when a pass starts

    std::atomic<std::int64_t> m_focus{-1};
    std::atomic<std::size_t> m_visited{0};
    std::atomic<std::size_t> m_toVisit{0};

    std::mutex m_mutex;
    std::vector<InformationResult> m_results; // guarded by m_mutex

    shell::Worker m_worker; // last: its thread ends before the members above go
};

// Copies into `target` what the worker found for it (the camera, the
// orientation, the preview fields, the picture size, the shooting-data
// texts and the metadata and thumbnail flags), leaving what the user or
// other parts of the program changed meanwhile (the check mark, the
// presence, the Status and Media# texts, the history, the rotation the user
// chose) as it is. True when that changed any byte of `target`: a visit
// that found nothing new (a thumbnail that waits for the RAW engine or a
// video frame) leaves the cache as it was.
bool applyInformation(imagelist::ImageEntry& target, const imagelist::ImageEntry& worked);

// A pass over `list` in display order from its current position: a job for
// every present entry whose metadata is unread, or whose thumbnail is
// missing or invalid and did not fail before as its file is now.
InformationPass planInformationPass(const imagelist::ImageList& list, const ThumbnailFailures& failures,
                                    std::uint64_t generation);

struct MergedInformation {
    bool changed = false;        // the entry's record or thumbnail changed
    bool developFailed = false;  // its thumbnail's development failed
};

// Merges one result into its item: the record (applyInformation), a new
// thumbnail block, or the failure remembered in `failures` (a failed or
// undevelopable thumbnail; a cancelled one is tried again next pass).
MergedInformation mergeInformation(imagelist::ListItem& item, InformationResult& result, ThumbnailFailures& failures);

} // namespace qlx::thumbs
