#pragma once
// Folder merge ("サブフォルダ画像統合"): the picture files of the current
// folder's subfolders are moved up into the current folder, one level down
// or every level below, and subfolders left empty are removed. Merges keep
// no history and cannot be undone; the log names them "ﾌｫﾙﾀﾞ統合".
//
// Links are never followed: a link to a folder is neither listed, merged
// nor removed, and only regular files move. No move replaces a file unless
// the user said so; a folder is removed only by rmdir, which takes nothing
// but an empty one.
//
// Thread model: the user-interface thread, with a pump callback every 16
// files. The caller keeps the folder watcher quiet meanwhile (the
// rename-in-progress flag) and reloads the tree and the list afterwards.

#include "actions/action_log.h"
#include "actions/media_settings.h"
#include "imagelist/video_extensions.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::actions {

// The question lists this many subfolders, then "以下略...".
inline constexpr std::size_t kListedSubfolders = 32;
// Folders deeper than this below the current one are neither listed nor
// merged: a card or a shoot is a few levels deep, and the cap keeps a
// pathological tree from exhausting the stack.
inline constexpr int kMaxMergeDepth = 64;
// The action log's icon for a merge line.
inline constexpr int kMergeLogIcon = 13;

struct SubfolderList {
    std::vector<std::filesystem::path> folders; // full paths, depth first, names in order
    bool cut = false;                           // there were more than kListedSubfolders
};

// The subfolders of `folder`, with `allLevels` those below them too.
SubfolderList listSubfolders(const std::filesystem::path& folder, bool allLevels);

// The question before a merge.
std::u16string mergeQuestion(const SubfolderList& list, bool deleteEmpty);

struct MergeCallbacks {
    // The Yes/No question; no callback is No.
    std::function<bool(std::u16string_view question)> confirm;
    // A file of the name is in the current folder already: true replaces
    // it. No callback is No, and the file stays in its subfolder.
    std::function<bool(const std::filesystem::path& existing)> replace;
    // Each file tried, with its action-log line.
    std::function<void(std::u16string_view logLine, Result result)> reported;
    // Every 16 files, to keep the window responsive.
    std::function<void()> pump;
};

// What the merge takes: the settings and the file kinds the list shows.
struct MergeOptions {
    MergeSettings settings;
    std::uint32_t targetMask = 0;
    const imagelist::VideoExtensions* video = nullptr; // nothing: no video kinds
};

enum class MergeOutcome : std::uint8_t {
    NoSubfolder, // messages::kMergeNoSubfolder
    Declined,    // the question was answered No
    Interrupted, // a move failed; the merge stopped there (messages::kMergeInterrupted)
    Done,
};

struct MergeReport {
    MergeOutcome outcome = MergeOutcome::NoSubfolder;
    int moved = 0;
    int kept = 0;           // name clashes the user kept
    int foldersRemoved = 0;
    // Boxes to show, in order (empty when none).
    std::vector<std::u16string_view> messages;
    std::string reason; // why a move failed, for logs and tests
};

// The whole command after its dialog: list, ask, merge into `folder`,
// remove empty subfolders when the settings say so.
MergeReport mergeSubfolders(const std::filesystem::path& folder, const MergeOptions& options,
                            const MergeCallbacks& callbacks);

struct EmptyFolderRemoval {
    int removed = 0;
    bool inUse = false; // a folder was busy (messages::kMergeFolderInUse)
};

// Removes the subfolders of `folder` that are empty, depth first, so that a
// folder holding only empty folders goes as well.
EmptyFolderRemoval deleteEmptySubfolders(const std::filesystem::path& folder);

} // namespace qlx::actions
