#pragma once
// Applying the folder watcher's changes to the image list.
//
//  - removed: a listed file is greyed out (presence 0); its row stays.
//  - modified, file not listed: once the file has stopped growing and is of
//    a listed kind, it is appended and becomes the current row. A file still
//    being written is held and looked at again on later calls.
//  - modified, file listed but greyed out: it is present again, and a
//    recycle or delete record at the top of its history no longer stands.
//  - renamed: the entry follows the new name and the rename is reported so
//    that it can be logged and undone like a rename of our own.
//  - added: nothing; the file shows up through the modification that
//    follows.
//
// Runs on the thread that owns the list (the user-interface thread): the
// list can grow, so no other thread may hold references into it meanwhile.

#include "imagelist/file_stability.h"
#include "imagelist/folder_watcher.h"
#include "imagelist/image_list.h"
#include "imagelist/video_extensions.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qlx::imagelist {

struct FolderChangeOptions {
    std::u16string folderText;   // the open folder, as the list's paths begin
    std::uint32_t targetMask = 0;
    const VideoExtensions* videos = nullptr;
    std::int32_t videoVolumeSetting = ImageEntry::kDefaultVideoVolume;
    bool startEnlargedVideo = false;
    // How long a new file may stay unsettled before it is listed anyway.
    std::chrono::milliseconds settleLimit{6'000};
};

struct RenameByOtherProgram {
    std::size_t entry = 0;
    std::u16string previousPath;
};

struct FolderChangeEffects {
    std::vector<std::size_t> changedEntries;  // rows to redraw (entry numbers)
    std::vector<std::size_t> appendedEntries; // new rows at the end
    std::vector<RenameByOtherProgram> renames;
    bool reloadNeeded = false;                // the watcher lost track
    bool any() const { return !changedEntries.empty() || !appendedEntries.empty() || !renames.empty() || reloadNeeded; }
};

// Keeps the files that appeared but were still being written, and lists
// them once they settle.
class FolderChangeApplier {
public:
    explicit FolderChangeApplier(FolderChangeOptions options) : m_options(std::move(options)) {}

    FolderChangeEffects apply(ImageList& list, const std::vector<FolderChange>& changes);
    // Looks at the held files again (call it while idle); the same effects.
    FolderChangeEffects retryHeld(ImageList& list);
    bool holding() const { return !m_held.empty(); }

private:
    struct Held {
        std::u16string name;
        std::chrono::steady_clock::time_point since;
    };
    void modified(ImageList& list, const std::u16string& name, FolderChangeEffects& effects);
    // True when the name is settled (listed or given up), false to hold it.
    bool tryAppend(ImageList& list, const std::u16string& name, std::chrono::steady_clock::time_point since,
                   FolderChangeEffects& effects);

    FolderChangeOptions m_options;
    std::vector<Held> m_held;
    std::optional<std::size_t> m_renamedFrom;
};

} // namespace qlx::imagelist
