// Any bytes as a thumbnail cache file, whole and as its index part alone.
// Must never crash or read outside the bytes. Whatever is accepted must also
// survive a round trip: its records, histories and thumbnails, written again
// by the builder, read back the same.
#include "imagelist/image_entry.h"
#include "cache/cache_file.h"
#include "cache/cache_writer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using qlx::cache::CacheEntryImage;
using qlx::cache::CacheFile;

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool same(std::span<const std::byte> a, std::span<const std::byte> b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

void exercise(const CacheFile& file)
{
    require(file.focusedPosition() <= file.recordCount());
    std::vector<CacheEntryImage> images;
    for (std::size_t i = 0; i < file.recordCount(); ++i) {
        images.push_back({file.record(i), file.history(i), file.thumbnail(i)});
        // A record is an image entry's record, whatever it holds.
        const auto entry = qlx::imagelist::ImageEntry::fromCacheRecord(file.record(i));
        require(entry != nullptr);
        (void)entry->path();
        (void)entry->itemText(qlx::imagelist::ImageEntry::kItemLens);
    }
    require(file.record(file.recordCount()).empty());

    const std::u16string folder = file.folder();
    qlx::cache::CacheImageHeader header;
    header.folder = folder;
    header.focusedPosition = file.focusedPosition();
    // A folder field without a terminator holds 260 units, one more than a
    // new file may store.
    if (folder.size() >= 260)
        return;
    auto image = qlx::cache::buildCacheImage(header, images);
    require(image.has_value());
    const auto again = CacheFile::fromBytes(std::move(*image));
    require(again.has_value());
    require(again->recordCount() == file.recordCount());
    require(again->focusedPosition() == file.focusedPosition());
    for (std::size_t i = 0; i < file.recordCount(); ++i) {
        require(same(again->record(i), file.record(i)));
        require(same(again->history(i), file.history(i)));
        require(same(again->thumbnail(i), file.thumbnail(i)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto* first = reinterpret_cast<const std::byte*>(data);
    const std::vector<std::byte> bytes(first, first + size);
    if (const auto whole = CacheFile::fromBytes(bytes))
        exercise(*whole);
    if (const auto index = CacheFile::fromBytes(bytes, CacheFile::Parts::IndexOnly)) {
        require(!index->hasThumbnail(0));
        exercise(*index);
    }
    return 0;
}
