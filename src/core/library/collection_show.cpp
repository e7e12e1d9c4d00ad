#include "library/collection_show.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "imagelist/file_kind.h"
#include "io/file_time.h"
#include "library/collection_path.h"

namespace qlx::library {

namespace {

struct Slot {
    ShownEntry entry;
    bool removed = false;
    bool visited = false;
    // The probe's answer once asked; a file is opened at most once.
    std::optional<std::optional<FileFacts>> facts;
};

class ShowPlanner {
public:
    ShowPlanner(const Collection& collection, std::span<const CachedRecordFacts> records,
                const ShowOptions& options, const FileProbe& probe)
        : m_collection(collection), m_records(records), m_options(options), m_probe(probe),
          m_video(options.video ? *options.video : imagelist::defaultVideoExtensions())
    {
    }

    // Pass 1: the cache's records in their stored order.
    void takeCachedRecords()
    {
        for (std::size_t i = 0; i < m_records.size() && m_live < m_options.maxEntries; ++i) {
            const CachedRecordFacts& record = m_records[i];
            if (!isShown(record.path))
                continue;
            std::u16string key = record.path;
            if (m_byKey.contains(key) || !m_collection.contains(record.path))
                continue;
            Slot slot;
            slot.entry = {record.path, ShownEntry::Source::Cached, i};
            if (m_options.dropMissingCached) {
                slot.facts = m_probe(record.path);
                // Kept as a removed slot, so the second pass does not list
                // the deleted file again as a new entry.
                slot.removed = !*slot.facts;
                slot.visited = slot.removed;
            }
            add(std::move(key), std::move(slot));
        }
    }

    // Pass 2: the collection's paths in its order.
    void visitListedPaths()
    {
        for (const std::u16string_view path : m_collection.listedPaths()) {
            if (!isShown(path))
                continue;
            std::u16string key(path);
            const auto found = m_byKey.find(key);
            if (found != m_byKey.end()) {
                checkCached(m_slots[found->second]);
            } else if (m_live < m_options.maxEntries) {
                Slot slot;
                slot.entry = {std::u16string(path), ShownEntry::Source::New, 0};
                slot.visited = true;
                add(std::move(key), std::move(slot));
            }
        }
    }

    std::vector<ShownEntry> result()
    {
        std::vector<ShownEntry> shown;
        shown.reserve(m_live);
        for (auto& slot : m_slots) {
            if (!slot.removed)
                shown.push_back(std::move(slot.entry));
        }
        return shown;
    }

private:
    bool isShown(std::u16string_view path) const
    {
        const std::size_t slash = path.rfind(u'/');
        const std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
        return !path.empty() && path.size() <= kMaxPathUnits
            && imagelist::classify(name, m_options.targetMask, m_video) != 0;
    }

    void add(std::u16string key, Slot slot)
    {
        if (!slot.removed)
            ++m_live;
        m_byKey.emplace(std::move(key), m_slots.size());
        m_slots.push_back(std::move(slot));
    }

    // A listed path with a cached record: kept, read afresh, or dropped.
    void checkCached(Slot& slot)
    {
        if (slot.visited) // a path listed twice, or a new entry
            return;
        slot.visited = true;
        if (!slot.facts)
            slot.facts = m_probe(slot.entry.path);
        const std::optional<FileFacts>& facts = *slot.facts;
        if (!facts) {
            slot.removed = true;
            --m_live;
            return;
        }
        const CachedRecordFacts& record = m_records[slot.entry.record];
        if (facts->fileSize != record.fileSize || facts->lastWriteTime != record.lastWriteTime)
            slot.entry.source = ShownEntry::Source::CachedStale;
    }

    const Collection& m_collection;
    std::span<const CachedRecordFacts> m_records;
    const ShowOptions& m_options;
    const FileProbe& m_probe;
    const imagelist::VideoExtensions& m_video;
    std::vector<Slot> m_slots;
    std::unordered_map<std::u16string, std::size_t> m_byKey;
    std::size_t m_live = 0; // slots not removed
};

} // namespace

std::optional<FileFacts> probeFile(std::u16string_view path)
{
    const auto file = toFilePath(path);
    if (!file)
        return std::nullopt;
    const int fd = ::open(file->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    const bool ok = ::fstat(fd, &status) == 0;
    ::close(fd);
    if (!ok)
        return std::nullopt;
    FileFacts facts;
    facts.fileSize = static_cast<std::uint32_t>(static_cast<std::uint64_t>(status.st_size) & 0xFFFF'FFFFu);
    facts.lastWriteTime = io::fileTimeFromStat(status);
    return facts;
}

std::vector<ShownEntry> planShownEntries(const Collection& collection,
                                         std::span<const CachedRecordFacts> records,
                                         const ShowOptions& options, const FileProbe& probe)
{
    ShowPlanner planner(collection, records, options, probe);
    planner.takeCachedRecords();
    planner.visitListedPaths();
    return planner.result();
}

} // namespace qlx::library
