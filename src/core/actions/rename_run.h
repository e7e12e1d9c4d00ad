#pragma once
// Renaming entries of the image list by pattern (kind 10) and by
// replacement (kind 11), as the action keys, the batch commands and
// `qlx rename` run them.
//
// Every file is renamed inside its own folder, with rename(2) through
// io::renameNoReplace only: a name that is taken is never replaced, and a
// file never leaves its folder. A pattern rename first moves the file to a
// temporary name ("0000_<name>") so that the numbering run can take names
// the files themselves held; everything that can refuse the new name (a
// missing date, a name past 255 bytes or a path past 259 units, a prefix
// with a refused character, an empty name) is checked before that move,
// and a file whose final move fails is put back under its original name
// before it is reported.
//
// Each renamed file gets a history record (the kind and its previous full
// path) and a new path in its entry. When a date collision renames an
// earlier file of the run to "<date>-1", that file's result carries the log
// line to replace: the window removes the first line equal to `oldLine` and
// adds `newLine`.
//
// Thread model: the user-interface thread, which owns the image list.

#include "actions/action_log.h"
#include "actions/rename_settings.h"
#include "imagelist/image_list.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::actions {

// An earlier file renamed to make room in a date collision.
struct EarlierRename {
    std::size_t entry = 0;
    std::u16string oldLine; // "ﾘﾈｰﾑ:<its name before>->OK!": the first such line goes
    std::u16string newLine; // "ﾘﾈｰﾑ:<its new name>->OK!": added in its place
};

struct RenameEntryResult {
    std::size_t entry = 0;
    Result result = Result::Skipped;
    std::u16string logLine;             // the action-log line of this file
    std::u16string historyText;         // the previous full path (empty when not renamed)
    std::optional<EarlierRename> earlier;
    std::u16string_view failureMessage; // a box to show (replace-rename's invalid name)
    std::string reason;                 // why it failed or was skipped
};

// The counter of one run: set to startNumber when the run begins.
class PatternRenamer {
public:
    PatternRenamer(imagelist::ImageList& list, RenameSettings settings);

    // Renames one entry. `partner`: the JPEG taken along with a RAW file;
    // it does not advance the counter, so the RAW file gets its number.
    RenameEntryResult rename(std::size_t entry, bool partner = false);
    std::int32_t counter() const { return m_counter; }

private:
    struct Target;
    std::optional<std::u16string> finalName(const Target& target, RenameEntryResult& result);
    std::u16string freeNumberedName(const Target& target);
    std::optional<std::u16string> freeDateName(const Target& target, std::u16string_view base,
                                               RenameEntryResult& result);
    void makeRoomForCollision(const Target& target, std::u16string_view taken, std::u16string_view base,
                              RenameEntryResult& result);

    imagelist::ImageList& m_list;
    RenameSettings m_settings;
    std::int32_t m_counter = 0;
};

// Replace-rename of one entry.
RenameEntryResult replaceRename(imagelist::ImageList& list, std::size_t entry, const RenameSettings& settings);

// The user typed a new name for the entry's file in the list (the name
// before its extension; the extension stays). A name a file may not take
// fails with kLabelNameRefused, a path past the entry's field is skipped,
// and a taken name or a refused move fails with kLabelRenameFailed; done,
// the entry has its new path and a rename record (kind 10) undo takes back.
RenameEntryResult renameLabel(imagelist::ImageList& list, std::size_t entry, std::u16string_view newStem);

struct RenameOptions {
    // Rename the JPEG partner of each RAW file with it (before it, sharing
    // its number); a partner met later in `entries` is not renamed again.
    bool jpegPartners = false;
};

struct RenameReport {
    std::vector<RenameEntryResult> results; // in the order the files were renamed
    bool allSucceeded() const;              // every file OK! or Skip!
};

// One run over `entries` (indexes of the list) in the given order.
RenameReport renameEntries(imagelist::ImageList& list, std::span<const std::size_t> entries,
                           const RenameSettings& settings, RenameOptions options = {});
RenameReport replaceRenameEntries(imagelist::ImageList& list, std::span<const std::size_t> entries,
                                  const RenameSettings& settings);

} // namespace qlx::actions
