#include "actions/undo_ledger.h"

#include "io/file_time.h"

#include <sys/stat.h>

namespace qlx::actions {

std::optional<MadeFileFacts> factsOf(const std::filesystem::path& path)
{
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return std::nullopt;
    return MadeFileFacts{path, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                         static_cast<std::uint64_t>(st.st_size), io::fileTimeFromStat(st)};
}

bool sameFile(const MadeFileFacts& a, const MadeFileFacts& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.lastWriteTime == b.lastWriteTime;
}

void UndoLedger::remember(const imagelist::ImageEntry& entry, std::int32_t position, std::int8_t kind,
                          MadeFileFacts facts)
{
    m_records[{&entry, position}] = Record{kind, std::move(facts)};
}

const MadeFileFacts* UndoLedger::find(const imagelist::ImageEntry& entry, std::int32_t position,
                                      std::int8_t kind) const
{
    const auto found = m_records.find({&entry, position});
    if (found == m_records.end() || found->second.kind != kind)
        return nullptr;
    return &found->second.facts;
}

void UndoLedger::forget(const imagelist::ImageEntry& entry, std::int32_t position)
{
    m_records.erase({&entry, position});
}

} // namespace qlx::actions
