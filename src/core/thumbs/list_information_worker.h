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

#include "imagelist/image_entry.h"
#include "thumbs/list_information.h"
#include "thumbs/thumbnail_maker.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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
    PictureStatus thumbnailStatus = PictureStatus::Failed;
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
    // queue goes from empty to not empty, and when a pass ends.
    ListInformationWorker(ListInformationTables tables, ListInformationSettings settings,
                          std::function<void()> resultsWaiting);
    ~ListInformationWorker();
    ListInformationWorker(const ListInformationWorker&) = delete;
    ListInformationWorker& operator=(const ListInformationWorker&) = delete;

    // Starts a pass (stopping the one before).
    void start(InformationPass pass);
    // Asks the pass to stop and waits for the thread to end.
    void stop();
    // The focus moved: the pass goes on from there, alternating.
    void focusMoved(std::size_t position);

    std::vector<InformationResult> takeResults();
    bool running() const { return m_running.load(); }
    // Entries read in this pass, and the number the pass has to visit.
    std::size_t visited() const { return m_visited.load(); }
    std::size_t toVisit() const { return m_toVisit.load(); }

private:
    void run(InformationPass pass);
    InformationResult work(std::uint64_t generation, InformationJob& job);
    void deliver(InformationResult result);

    ListInformationTables m_tables;
    ListInformationSettings m_settings;
    std::function<void()> m_resultsWaiting;

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<std::int64_t> m_focus{-1};
    std::atomic<std::size_t> m_visited{0};
    std::atomic<std::size_t> m_toVisit{0};

    std::mutex m_mutex;
    std::vector<InformationResult> m_results;
};

// Copies into `target` what the worker found for it (the camera, the
// orientation, the preview fields, the picture size, the shooting-data
// texts and the metadata and thumbnail flags), leaving what the user or
// other parts of the program changed meanwhile (the check mark, the
// presence, the Status and Media# texts, the history, the rotation the user
// chose) as it is.
void applyInformation(imagelist::ImageEntry& target, const imagelist::ImageEntry& worked);

} // namespace qlx::thumbs
