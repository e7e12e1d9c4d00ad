#pragma once
// Media distribution on the image list: the split calculation over the
// list's files ("メディア容量分割計算", which only marks them), and the
// distribution that moves every medium's files into a numbered subfolder of
// the current folder ("メディア容量に振分け実行", kind 13 in the log and the
// file history, so that undo takes each move back).
//
// Thread model: the user-interface thread, which owns the image list; the
// moves block it file by file, with a pump callback every 16 files.

#include "actions/action_executor.h"
#include "actions/media_settings.h"
#include "actions/media_split.h"
#include "imagelist/image_list.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::actions {

// A calculation's result, kept by the window until the distribution or the
// next load of the list (the "calculated" state is holding one).
struct DistributionPlan {
    std::vector<std::size_t> entries; // per row of the split: the entry, in list order
    MediaSplit split;
};

struct CalculationResult {
    DistributionPlan plan;
    std::u16string_view warning; // the oversize warning (a warning icon), or empty
    std::u16string report;       // the report box; empty for an empty list
};

// Splits the list's files in display order and writes each entry's Media#
// text. Sizes are the files' own 64-bit sizes (the entry keeps only the low
// 32 bits), looked up on disk; an entry whose file cannot be looked at
// keeps the size it was listed with. The caller refuses while the list is
// still loading (messages::kMediaStillLoading).
CalculationResult calculateDistribution(imagelist::ImageList& list, const MediaSettings& settings);

// The text put in front of the folder name: the current folder's own name
// with addParentName, else nothing.
std::u16string parentPart(const std::filesystem::path& folder, bool addParentName);

// The folder of one medium: folder / (parent part, folder name, the number
// zero-padded to the digits).
std::filesystem::path mediumFolder(const std::filesystem::path& folder, std::u16string_view parent,
                                   const MediaSettings& settings, std::int32_t medium);

// The question before a distribution: the count, one "./NAME" line for each
// of the first 16 media, "以下略..." when there are more.
std::u16string distributionQuestion(std::int32_t count, std::u16string_view parent, const MediaSettings& settings);

inline constexpr std::int32_t kQuestionMediaShown = 16;
inline constexpr int kPumpEveryFiles = 16;

struct DistributionCallbacks {
    // The Yes/No question (second button the default); no callback is No.
    std::function<bool(std::u16string_view question)> confirm;
    // A medium's folder is missing: true creates it; no callback is No.
    std::function<bool(const std::filesystem::path& folder)> createFolder;
    // Each file tried: its entry, the action-log line, the result (the row
    // is to be redrawn).
    std::function<void(std::size_t entry, std::u16string_view logLine, Result result)> reported;
    // Every 16 files, to keep the window responsive.
    std::function<void()> pump;
};

enum class DistributionOutcome : std::uint8_t {
    NotCalculated,  // no calculation to distribute by (messages::kMediaNotCalculated)
    BadFolderName,  // the folder name is empty of meaning or holds a "/"; nothing moved
    Declined,       // the question was answered No
    FolderDeclined, // a medium's folder was not to be created; nothing moved
    FolderFailed,   // a medium's folder could not be made; nothing moved
    Ran,            // every file was tried; `failed` counts the NG! ones
};

struct DistributionReport {
    DistributionOutcome outcome = DistributionOutcome::NotCalculated;
    int moved = 0;
    int failed = 0;
    bool folderCreated = false; // the folder tree changed
    int statusParts = 0;        // status-bar parts to update (action_executor.h)
    std::u16string_view message; // a box to show, or empty
    std::string reason;          // for logs and tests
};

class MediaDistributor {
public:
    // Moves are counted in `counters`; with a ledger, each move's facts are
    // kept for undo, as ActionExecutor does.
    MediaDistributor(imagelist::ImageList& list, ActionCounters& counters, UndoLedger* ledger = nullptr);

    // Moves each marked file of `plan` into its medium's folder under
    // `folder` (the current folder), never over another file. A file that
    // cannot move stays where it is and is logged "NG!"; the run goes on.
    // The caller clears its plan afterwards and reloads the folder tree.
    DistributionReport distribute(const DistributionPlan& plan, const MediaSettings& settings,
                                  const std::filesystem::path& folder, const DistributionCallbacks& callbacks);

private:
    bool ensureMediumFolders(const std::vector<std::filesystem::path>& folders,
                             const DistributionCallbacks& callbacks, DistributionReport& report);
    void moveOne(ActionExecutor& executor, std::size_t entry, const std::filesystem::path& target,
                 const DistributionCallbacks& callbacks, DistributionReport& report);

    imagelist::ImageList& m_list;
    ActionCounters& m_counters;
    UndoLedger* m_ledger = nullptr;
};

} // namespace qlx::actions
