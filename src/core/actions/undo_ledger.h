#pragma once
// What undo needs to know about the files our actions made, beside the
// file history: the history records keep only a folder (and are taken
// over by the thumbnail cache, so a record may be older than this run),
// which cannot tell the copy we made from another file of that name put
// there since. For each record pushed in this run the ledger keeps where
// the file went and its device, inode, size and last-write time; undo
// deletes or moves back only a file that is still that one.
//
// Records are keyed by the entry and the history position; a record pushed
// over an older one at the same position replaces its facts. The ledger
// lives as long as the image list's entries (clear it with the list): a key
// names an entry by its address.
//
// Thread model: the user-interface thread, with the image list.

#include "imagelist/image_entry.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <utility>

namespace qlx::actions {

struct MadeFileFacts {
    std::filesystem::path path; // the copy, the moved file, the output, the trash item (TRASH/files/NAME)
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0; // FILETIME
};

// The facts of the file now at `path` (a link is taken itself); nothing
// when there is none.
std::optional<MadeFileFacts> factsOf(const std::filesystem::path& path);

// Whether two facts name the same file in the same state.
bool sameFile(const MadeFileFacts& a, const MadeFileFacts& b);

class UndoLedger {
public:
    void remember(const imagelist::ImageEntry& entry, std::int32_t position, std::int8_t kind, MadeFileFacts facts);
    // The facts of the record of `kind` at `position`; nullptr when this
    // run did not push it.
    const MadeFileFacts* find(const imagelist::ImageEntry& entry, std::int32_t position, std::int8_t kind) const;
    void forget(const imagelist::ImageEntry& entry, std::int32_t position);
    void clear() { m_records.clear(); }
    std::size_t size() const { return m_records.size(); }

private:
    using Key = std::pair<const imagelist::ImageEntry*, std::int32_t>;
    struct Record {
        std::int8_t kind = 0;
        MadeFileFacts facts;
    };
    std::map<Key, Record> m_records;
};

} // namespace qlx::actions
