#pragma once
// The development actions (kinds 7 and 8): RAW files developed one at a
// time on a worker thread, each turned upright by its entry's rotation
// total and written as TIFF or JPEG into a folder, with a result per file
// for the action log.
//
// The job works on copies of the entries (only those present on disk are
// taken) and reports through its callbacks, which run on the worker thread:
// whoever owns widgets routes them to the user-interface thread. The replace
// question blocks the worker until it is answered.
//
// Cancelling stops the development in work (its file is reported as skipped,
// not failed, and nothing is written for it) and every file after it (no
// report at all). A file already being written is finished first.

#include "actions/action_log.h"
#include "imagelist/image_entry.h"
#include "raw/cancel_flag.h"
#include "raw/developed_image_writer.h"
#include "raw/raw_engine.h"
#include "shell/worker.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qlx::settings {
class SettingsRecord;
}

namespace qlx::raw {

struct DevelopmentSettings {
    OutputKind kind = OutputKind::Tiff;
    std::filesystem::path folder; // where the developed files go
    DevelopMode mode = DevelopMode::Best;
    bool exif = true; // write the shooting data as Exif
};

// The quality of file output (the third `rawQuality`) and `exifOnDevelop`.
DevelopmentSettings developmentSettingsFrom(const settings::SettingsRecord& record, OutputKind kind,
                                            std::filesystem::path folder);

// One file to develop: its place in the list and a copy of its entry.
struct DevelopmentItem {
    std::size_t entryIndex = 0;
    std::shared_ptr<const imagelist::ImageEntry> entry;
};

struct DevelopmentReport {
    std::size_t entryIndex = 0;
    std::u16string fileName;
    actions::Result result = actions::Result::Failed;
    std::filesystem::path output; // empty unless written
    std::string reason;           // why it failed or was skipped
};

struct DevelopmentProgress {
    int done = 0;  // files finished (written or failed; a cancelled one is not)
    int total = 0; // files the job develops
    std::u16string current; // the file under way; empty once the job is over
};

class DevelopmentJob {
public:
    struct Callbacks {
        ReplaceQuestion replace;
        std::function<void(const DevelopmentReport&)> report;
        std::function<void(const DevelopmentProgress&)> progress;
        std::function<void()> ended; // after the last report, however the job ended
    };

    DevelopmentJob(std::vector<DevelopmentItem> items, DevelopmentSettings settings, Callbacks callbacks);
    ~DevelopmentJob(); // cancels and waits for the worker
    DevelopmentJob(const DevelopmentJob&) = delete;
    DevelopmentJob& operator=(const DevelopmentJob&) = delete;

    int total() const { return static_cast<int>(m_items.size()); }
    // Starts the worker at the drawing priority's level; false when it runs.
    bool start(int drawingPriority);
    // Stops the development in work and every file after it; returns at once.
    void cancel();
    bool cancelled() const { return m_cancel.requested(); }
    // Waits for the job to end (every file, unless cancelled), pumping the
    // caller's events meanwhile.
    void wait(const shell::PumpFunction& pump = {});
    bool running() const { return m_worker.state() != shell::WorkerState::Finished; }

private:
    void run();
    DevelopmentReport developOne(const DevelopmentItem& item);

    std::vector<DevelopmentItem> m_items;
    DevelopmentSettings m_settings;
    Callbacks m_callbacks;
    CancelFlag m_cancel;
    shell::Worker m_worker; // last: stopped first when the job goes
};

} // namespace qlx::raw
