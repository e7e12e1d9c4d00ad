#include "imagelist/collection_reader.h"

#include "imagelist/file_kind.h"
#include "library/collection_path.h"
#include "library/collection_show.h"
#include "cache/cache_file.h"


#include <chrono>

namespace qlx::imagelist {

namespace {

std::vector<library::CachedRecordFacts> recordFacts(const cache::CacheFile* cache)
{
    std::vector<library::CachedRecordFacts> records;
    if (cache == nullptr)
        return records;
    for (std::size_t number = 0; number < cache->recordCount(); ++number) {
        const auto entry = ImageEntry::fromCacheRecord(cache->record(number));
        if (entry)
            records.push_back({entry->path(), entry->fileSize(), entry->lastWriteTime()});
        else
            records.push_back({});
    }
    return records;
}

} // namespace

FolderReadResult readCollection(ImageList& list, const library::Collection& collection,
                                std::shared_ptr<const cache::CacheFile> cache, const FolderReadOptions& options,
                                bool dropMissingCached)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    FolderReadResult result;
    result.listed = true;
    list.clear();
    const std::vector<library::CachedRecordFacts> records = recordFacts(cache.get());
    const library::ShowOptions show{options.targetMask, options.videos, dropMissingCached, kMaxListEntries};
    const std::vector<library::ShownEntry> plan = library::planShownEntries(collection, records, show, library::probeFile);
    const VideoExtensions& videos = options.videos != nullptr ? *options.videos : defaultVideoExtensions();

    for (const library::ShownEntry& shown : plan) {
        const std::u16string_view name = std::u16string_view(shown.path).substr(shown.path.rfind(u'/') + 1);
        const std::uint32_t kind = classify(name, options.targetMask, videos);
        const auto facts = freshFactsOfFile(shown.path, kind, options.videoVolumeSetting, options.startEnlargedVideo);
        if (!facts) {
            ++result.unlistable; // gone since the plan looked
            continue;
        }
        const ImageEntry::FreshFacts& fresh = *facts;
        if (shown.source == library::ShownEntry::Source::New || !cache) {
            auto entry = ImageEntry::createFresh(fresh);
            if (!entry || !list.append(std::move(entry))) {
                ++result.unlistable;
                continue;
            }
            ++result.added;
            continue;
        }
        auto entry = ImageEntry::fromCacheRecord(cache->record(shown.record));
        if (!entry || !appendCachedRecord(list, *cache, shown.record, std::move(entry), options, result.cacheChanged))
            continue;
        ++result.fromCache;
        ListItem& item = list.item(list.size() - 1);
        if (shown.source == library::ShownEntry::Source::CachedStale) {
            // The file changed since the record was written: read afresh.
            item.history.clear();
            item.dropThumbnail();
            item.entry->fillFresh(fresh);
            result.cacheChanged = true;
            ++result.refilled;
        } else {
            ++result.unchanged;
        }
        item.entry->setPresence(ImageEntry::kPresenceCounted);
    }
    for (std::size_t index = 0; index < list.size(); ++index)
        list.entry(index).setPresence(ImageEntry::kPresenceCounted | ImageEntry::kPresenceSeenAtEnd);
    if (records.size() != result.fromCache)
        result.cacheChanged = true;
    list.setCacheSource(std::move(cache));
    list.resetOrder();
    result.scanTime = Clock::now() - start;
    return result;
}

} // namespace qlx::imagelist
