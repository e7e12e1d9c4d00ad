#pragma once
// Whether a file has stopped growing, so that reading it now sees the whole
// file: the last file of a folder that is still being copied in, or a file
// another program is writing into the open folder.

#include <chrono>
#include <filesystem>
#include <functional>

namespace qlx::imagelist {

enum class FileState {
    Gone,     // no longer there: nothing to wait for
    Stable,   // readable, and nobody is writing it
    Changing, // readable but still being written, or not readable yet
};

// One check. A file is stable when it opens for reading and is empty, or
// when its status (size, times, owner) last changed at least a second ago
// (the status-change time is set by the system on every write and cannot be
// set back by the writer), or else when its size is the same in two readings
// `settle` apart. With a `settle` of 0 the check does not wait: a file
// written within the last second is Changing.
FileState checkFileState(const std::filesystem::path& path,
                         std::chrono::milliseconds settle = std::chrono::milliseconds(100));

struct StableWait {
    int tries = 60;
    std::chrono::milliseconds step{100};
    // Looked at before each check: true gives the wait up (a folder read
    // that a newer one superseded).
    std::function<bool()> stopRequested = {};
};

// Checks up to `wait.tries` times, sleeping `wait.step` after each check
// that finds the file changing; true when the file became stable or gone,
// false when the tries ran out or the wait was stopped. A file that never
// settles costs at most tries × (step + settle).
bool waitUntilStable(const std::filesystem::path& path, const StableWait& wait = {});

} // namespace qlx::imagelist
